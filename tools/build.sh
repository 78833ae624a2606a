#!/bin/sh
# build.sh: configures (once) and builds everything into build/; executables land in build/bin.
set -e
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja
cmake --build build
