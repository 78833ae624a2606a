#!/bin/sh
# debian-package.sh BUILD MODULE_DIR: builds the Debian package of the build (cpack -G DEB) in a
# temporary folder, unpacks it and checks what a Debian desktop relies on: the dependencies taken
# from the binaries and the ones Tallymoor's dialogs and "Öffnen" need, a desktop entry that starts
# /usr/bin/tallymoor and claims no file type, stripped programs, the copyright file, the changelog
# and a manual page for each program.
set -eu
build=$1
module=usr/$2/tallymoor-window.so
work=$(mktemp -d /tmp/kestro-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
cd "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >cpack.log 2>&1 || { cat cpack.log; fail "cpack"; }
deb=$(ls "$work"/*.deb)
depends=", $(dpkg-deb -f "$deb" Depends),"
recommends=", $(dpkg-deb -f "$deb" Recommends),"
for p in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6printsupport6 libglib2.0-0 libsqlite3-0 libzip4; do
  case $depends in *", $p "* | *", $p,"*) ;; *) fail "Depends lacks $p: $depends" ;; esac
done
for p in qt6-translations-l10n xdg-utils; do
  case $recommends in *", $p,"*) ;; *) fail "Recommends lacks $p: $recommends" ;; esac
done

dpkg-deb -x "$deb" root
entry=root/usr/share/applications/tallymoor.desktop
grep -qx 'Exec="/usr/bin/tallymoor" %F' "$entry" || fail "the desktop entry: $(cat "$entry")"
! grep -q '^MimeType=' "$entry" || fail "the desktop entry claims file types: $(grep '^MimeType=' "$entry")"
for f in usr/bin/kestro usr/bin/tallymoor "$module"; do
  [ -f "root/$f" ] || fail "not in the package: $f"
  ! readelf -S "root/$f" | grep -q '\.debug_info' || fail "packaged with debug information: $f"
done
for f in doc/kestro/copyright doc/kestro/changelog.gz man/man1/kestro.1.gz man/man1/tallymoor.1.gz \
  man/man1/regedit.1.gz man/man1/winbatch.1.gz man/man1/demo-network.1.gz; do
  [ -s "root/usr/share/$f" ] || fail "not in the package: /usr/share/$f"
done
gzip -t root/usr/share/doc/kestro/changelog.gz || fail "the changelog is no gzip file"
echo "package $(basename "$deb") checked"
