#!/bin/bash
# tallymoor-list-bench.sh: times Tallymoor's file list on one folder of 100,000 files (or $1
# files) with build/bin/file_list_bench: the fill time and the longest stall of the window's
# event loop. Goals: under 300 ms, no stall over 100 ms.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=build/bin/file_list_bench
[ -x "$BIN" ] || { echo "build first: cmake --build build --target file_list_bench" >&2; exit 1; }
COUNT=${1:-100000}
DIR=$(mktemp -d /tmp/tallymoor-list-bench-XXXXXX)
trap 'rm -rf "$DIR"' EXIT
python3 - "$DIR" "$COUNT" <<'PY'
import os, sys
exts = ["txt", "pdf", "jpg", "c", "h", "bin", "tar.gz", "mp3", "doc", ""]
for i in range(int(sys.argv[2])):
    e = exts[i % len(exts)]
    with open(os.path.join(sys.argv[1], f"f{i:06d}" + ("." + e if e else "")), "wb") as f:
        f.write(b"x" * (i % 4096))
PY
HOME="$DIR/.home" XDG_CONFIG_HOME="$DIR/.home" "$BIN" "$DIR"
