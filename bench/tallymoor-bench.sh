#!/bin/bash
# tallymoor-bench.sh: times Tallymoor's folder scan against du on one synthetic tree.
#
# Builds a tree of at least 200,000 entries under /tmp (or $1), then measures it with
# "build/bin/tallymoor --scan-and-quit" (offscreen, from start to the finished tree) and with
# "du -s -b --apparent-size", prints both times and, as the last line, "ratio: <tallymoor/du>".
# du counts the folders' own sizes as well; Tallymoor reports them apart (folder-entry-bytes),
# so the check compares bytes + folder-entry-bytes with du's total. A difference fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=build/bin/tallymoor
[ -x "$BIN" ] || { echo "build first: tools/build.sh" >&2; exit 1; }
BASE=${1:-/tmp}
TREE=$(mktemp -d "$BASE/tallymoor-bench-XXXXXX")
WORK=$(mktemp -d /tmp/tallymoor-bench-home-XXXXXX)
trap 'rm -rf "$TREE" "$WORK"' EXIT

echo "building the tree in $TREE ..."
python3 - "$TREE" <<'PY'
import os, random, sys
root = sys.argv[1]
random.seed(1234)
entries = 0
for a in range(40):
    for b in range(50):
        d = os.path.join(root, f"a{a:02d}", f"b{b:02d}")
        os.makedirs(d)
        entries += 1 if b else 2
        for f in range(100):
            with open(os.path.join(d, f"f{f:03d}.dat"), "wb") as fh:
                fh.write(b"x" * random.randint(0, 3000))
            entries += 1
print(f"entries: {entries}")
PY
sync

export QT_QPA_PLATFORM=offscreen HOME="$WORK" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" \
       XDG_CACHE_HOME="$WORK/cache" XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$WORK/run" && chmod 700 "$WORK/run"

# Warm the cache once for both, so that both read from memory.
du -s -b --apparent-size "$TREE" >/dev/null

now() { date +%s.%N; }
t0=$(now); OUT=$("$BIN" --scan-and-quit "$TREE"); t1=$(now)
t2=$(now); DU=$(du -s -b --apparent-size "$TREE" | cut -f1); t3=$(now)

bytes=$(echo "$OUT" | sed -n 's/^bytes: //p')
dirs=$(echo "$OUT" | sed -n 's/^folder-entry-bytes: //p')
files=$(echo "$OUT" | sed -n 's/^files: //p')
tm=$(awk "BEGIN{print $t1 - $t0}")
td=$(awk "BEGIN{print $t3 - $t2}")
echo "tallymoor: files $files, bytes $bytes, folder bytes $dirs, total $((bytes + dirs))"
echo "du:        total $DU"
printf 'tallymoor time: %.3f s\n' "$tm"
printf 'du time:        %.3f s\n' "$td"
if [ "$((bytes + dirs))" != "$DU" ]; then
    echo "totals differ" >&2
    exit 1
fi
awk "BEGIN{printf \"ratio: %.2f\\n\", $tm / $td}"
