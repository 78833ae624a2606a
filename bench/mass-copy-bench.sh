#!/bin/sh
# mass-copy-bench.sh: the mass migration's whole-drive copy of 200,000 entries beside `cp -a` of the
# same tree on this machine; the last line is "ratio: X" (tree copy time / cp -a time).
set -e
here=$(dirname "$0")
bin=${BUILD_DIR:-$here/../build}/bin/mass_copy_bench
[ -x "$bin" ] || { echo "build mass_copy_bench first (cmake --build build)" >&2; exit 1; }
exec "$bin" "${1:-200000}"
