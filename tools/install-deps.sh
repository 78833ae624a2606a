#!/bin/sh
# install-deps.sh: installs what building and testing need on Debian 12 (run as root); dpkg-dev
# gives the package its library dependencies (dpkg-shlibdeps); locales holds the sources of the
# locales a test builds for itself (the Turkish one of the case rules).
set -e
PKGS="build-essential cmake ninja-build pkg-config git dpkg-dev
      qt6-base-dev qt6-base-dev-tools libqt6svg6-dev qt6-image-formats-plugins libgl-dev qt6-translations-l10n
      libpugixml-dev libsqlite3-dev sqlite3 libzip-dev libcurl4-openssl-dev libglib2.0-dev
      clang-format googletest libgtest-dev libgmock-dev libbenchmark-dev python3
      clang libclang-rt-14-dev locales"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends $missing
fi
