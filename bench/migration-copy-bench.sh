#!/bin/bash
# migration-copy-bench.sh: times the wizard's copy of a chosen folder tree from the source PC's
# mapped drive against `cp -a` of the same tree on the same machine.
#
# A tree of FILES files (default 20,000) of about 1 GB in all (sizes spread from 1 KB to 100 KB,
# in folders of 200) is built once under /tmp (or $1) as the source PC's C:\Data. Each command then
# runs WARMUPS times unmeasured (default 1, so the tree is read from memory) and RUNS times measured
# (default 3), each into a fresh destination:
#   cp -a      the host tree into a host folder
#   kestro     build/bin/migration_copy_bench: NEWPC copies Z:\Data (Z: mapped to \\OLDPC\C$) to its
#              C:\Data the way the files-and-folders migration does, one file per step (its own
#              timer; it checks that every file arrived)
# The medians are printed; the last line is "ratio: X", kestro's median over cp -a's.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=build/bin/migration_copy_bench
[ -x "$BIN" ] || { echo "build first: cmake --build build ($BIN is missing)" >&2; exit 1; }
BASE=${1:-/tmp}
WORK=$(mktemp -d "$BASE/migration-copy-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

python3 - "$WORK" "$(realpath "$BIN")" "${FILES:-20000}" "${RUNS:-3}" "${WARMUPS:-1}" <<'PY'
import os, random, shutil, statistics, subprocess, sys, time

work, bench, files, runs, warmups = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
source = os.path.join(work, "oldpc", "drives", "C", "Data")
rng = random.Random(19)
total = 0
block = os.urandom(100 * 1024)
for i in range(files):
    folder = os.path.join(source, "folder%03d" % (i // 200))
    os.makedirs(folder, exist_ok=True)
    size = rng.randint(1024, 100 * 1024)
    with open(os.path.join(folder, "file%05d.dat" % i), "wb") as f:
        f.write(block[:size])
    total += size
print("tree: %d files, %.2f GB" % (files, total / 1e9), flush=True)

def cp_once():
    dest = os.path.join(work, "cp-dest")
    shutil.rmtree(dest, ignore_errors=True)
    start = time.perf_counter()
    subprocess.run(["cp", "-a", source, dest], check=True)
    return time.perf_counter() - start

def kestro_once():
    out = subprocess.run([bench, work], check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        if line.startswith("kestro_seconds:"):
            return float(line.split()[1])
    raise SystemExit("no time from " + bench + ":\n" + out)

def measure(name, once):
    for _ in range(warmups):
        once()
    times = sorted(once() for _ in range(runs))
    median = statistics.median(times)
    print("%-7s median %.3f s (fastest %.3f, slowest %.3f)" % (name, median, times[0], times[-1]), flush=True)
    return median

cp = measure("cp -a", cp_once)
kestro = measure("kestro", kestro_once)
print("ratio: %.2f" % (kestro / cp))
PY
