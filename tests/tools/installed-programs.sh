#!/bin/sh
# installed-programs.sh BUILD: installs the build into a temporary prefix, moves the prefix to
# another place and runs the installed programs from there: Tallymoor's windowless scan and its
# window module, demo-network with the installed wizard data, and regedit on the machine it built.
set -eu
build=$1
work=$(mktemp -d /tmp/kestro-install-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
cd "$work"
ulimit -c 0
p=$work/first
cmake --install "$build" --prefix "$p" >install.log || { cat install.log; fail "cmake --install"; }
for f in bin/kestro bin/tallymoor bin/regedit bin/winbatch bin/demo-network lib/tallymoor-window.so \
  share/applications/tallymoor.desktop share/icons/hicolor/scalable/apps/tallymoor.svg \
  share/kestro/WKXFiles/Kestro.wkx share/kestro/help share/kestro/RegFiles; do
  [ -e "$p/$f" ] || fail "not installed: $f"
done
grep -qx "Exec=\"$p/bin/tallymoor\" %F" "$p/share/applications/tallymoor.desktop" ||
  fail "the desktop entry does not start $p/bin/tallymoor"

# The installed tree runs from wherever it is: nothing points back into the build.
mv "$work/first" "$work/moved"
p=$work/moved
mkdir -p tree/sub
head -c 1234 /dev/zero >tree/sub/f
run() { env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY=:4711 HOME="$work" XDG_CONFIG_HOME="$work" \
  XDG_DATA_HOME="$work" XDG_RUNTIME_DIR="$work" "$@"; }
out=$(run "$p/bin/tallymoor" --scan-and-quit tree) || fail "tallymoor --scan-and-quit: $out"
echo "$out" | grep -qx "bytes: 1234" || fail "tallymoor --scan-and-quit printed: $out"
# The window program is loaded and gets as far as asking for the display, which does not exist.
err=$(run "$p/bin/tallymoor" tree 2>&1 </dev/null || true)
case $err in
*"cannot load the window program"*) fail "$err" ;;
*4711*) ;;
*) fail "tallymoor without the option: $err" ;;
esac

"$p/bin/demo-network" net >demo.log || fail "demo-network: $(cat demo.log)"
[ -f "net/NEWPC/drives/C/Program Files/Kestro/WKXFiles/Kestro.wkx" ] ||
  fail "demo-network did not install the wizard's data on NEWPC"
WINENV_MACHINE=$work/net/NEWPC "$p/bin/regedit" /a "$work/kestro.reg" \
  'HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kestro' || fail "regedit /a"
grep -q '"InstallLocation"="C:\\\\Program Files\\\\Kestro"' kestro.reg || fail "regedit wrote: $(cat kestro.reg)"
echo "installed programs ran from $p"
