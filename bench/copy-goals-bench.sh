#!/bin/bash
# copy-goals-bench.sh: the copy goals in one run: for each size in SIZES (default 10000 30000
# 100000 files of the profile-shaped tree) and each folder in FOLDERS (default /dev/shm, a tmpfs,
# and /work, a disk; the trees and networks are built there), the whole mass migration of OLDPC
# through the main window, Migrate to the completion box, beside `cp -a` of OLDPC's drives
# (bench/wizard-walk-bench.sh mass; goal 1.5), the selective migration of the tree chosen as one
# folder through the main window, the hand-over's selection to the report page, beside `cp -a` of
# the tree (bench/selection-walk-bench.sh, SHAPE=profile; goal 1.2), and the selective copy alone
# (bench/migration-copy-bench.sh, MODE=selective, with its stall run in the main window). Each in
# strict turns with its peer, medians of RUNS (default 3) after one warm-up. Prints each case's
# medians, ratios and longest stalls (goal 50 ms), and the load average before each case.
set -euo pipefail
cd "$(dirname "$0")/.."
SIZES=${SIZES:-10000 30000 100000}
FOLDERS=${FOLDERS:-/dev/shm /work}
RUNS=${RUNS:-3}
for folder in $FOLDERS; do
    for files in $SIZES; do
        load=$(cut -d' ' -f1-3 /proc/loadavg)
        mass=$(FILES=$files RUNS=$RUNS bench/wizard-walk-bench.sh mass "$folder" 2>&1)
        walk=$(SHAPE=profile FILES=$files RUNS=$RUNS bench/selection-walk-bench.sh "$folder" 2>&1)
        selective=$(SHAPE=profile MODE=selective FILES=$files RUNS=$RUNS WARMUPS=1 \
            bench/migration-copy-bench.sh "$folder" 2>&1)
        echo "== $folder, $files files (load before: $load)"
        echo "$mass" | grep -E "^(walk|peer|ratio)" | sed 's/^/  mass /'
        echo "$walk" | grep -vE "^(tree|building)" | sed 's/^/  selective walk /'
        echo "$selective" | grep -E "^(tree|file system|cp -a|selective|ratio:)" | sed 's/^/  selective /'
    done
done
