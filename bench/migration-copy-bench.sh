#!/bin/bash
# migration-copy-bench.sh: times the wizard's copy of a chosen folder tree from the source PC's
# mapped drive against `cp -a` of the same tree on the same machine.
#
# A tree of FILES files (default 20,000) of about 1 GB in all (sizes spread from 1 KB to 100 KB,
# in folders of 200) is built once under /tmp (or $1) as the source PC's C:\Data. Two commands copy
# it, each into a fresh destination:
#   cp -a      the host tree into a host folder (timed around the cp process)
#   kestro     build/bin/migration_copy_bench: NEWPC copies Z:\Data (Z: mapped to \\OLDPC\C$) to its
#              C:\Data the way the files-and-folders migration does, one file per step (timed
#              inside the program around the copy alone; it checks that every file arrived)
# Both see the same conditions: before every run, timed or not, that command's previous destination
# is moved aside on a disk (all are deleted at the end, so the disk needs room for every run's copy:
# about 15 GB with the defaults; on a tmpfs it is deleted) and `sync` is run, outside the timed
# part. The two run strictly in turn: WARMUPS rounds unmeasured (default 2), then RUNS measured
# rounds (default 5). Printed for each: median, fastest, slowest and the spread (slowest less
# fastest, in % of the median) of the wall-clock times and of the processor times (user and system;
# a machine busy with other work stretches them less); then the median of the per-round ratios. The
# last line is "ratio: X", kestro's median over cp -a's. Before it, one more kestro copy runs in the
# wizard's main window with its busy window open and prints the longest event-loop stall it saw.
# On a disk file system much of both times can go to finding free inodes among those recently
# freed (which is why nothing is deleted between runs); it still varies with what else was
# deleted on the disk shortly before. A tmpfs as $1 (/dev/shm) leaves that out and shows the two
# copies' own costs.
# BIN names another build of the program (default build/bin/migration_copy_bench); STALL=0 leaves
# the window run out.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=${BIN:-build/bin/migration_copy_bench}
[ -x "$BIN" ] || { echo "build first: cmake --build build ($BIN is missing)" >&2; exit 1; }
BASE=${1:-/tmp}
WORK=$(mktemp -d "$BASE/migration-copy-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

python3 - "$WORK" "$(realpath "$BIN")" "${FILES:-20000}" "${RUNS:-5}" "${WARMUPS:-2}" <<'PY'
import os, random, resource, shutil, statistics, subprocess, sys, time

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

cp_dest = os.path.join(work, "cp-dest")
kestro_machine = os.path.join(work, "newpc")

trash = os.path.join(work, "trash")
os.makedirs(trash)
in_memory = subprocess.run(["stat", "-f", "-c", "%T", work], capture_output=True, text=True).stdout.strip() == "tmpfs"

def fresh(folder):
    # The same for both commands: the previous run's destination is moved aside (deleted only
    # at the end: freshly freed inodes make a disk file system's allocation slow and erratic for
    # whichever command runs next; a tmpfs has no such cost and too little room to keep them),
    # and everything reaches the disk before the clock starts.
    if in_memory:
        shutil.rmtree(folder, ignore_errors=True)
    elif os.path.exists(folder):
        os.rename(folder, os.path.join(trash, str(len(os.listdir(trash)))))
    subprocess.run(["sync"], check=True)

def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime

# Each run answers (wall-clock seconds, processor seconds or None).
def cp_once():
    fresh(cp_dest)
    cpu = children_cpu()
    start = time.perf_counter()
    subprocess.run(["cp", "-a", source, cp_dest], check=True)
    return time.perf_counter() - start, children_cpu() - cpu

def kestro_once():
    fresh(kestro_machine)
    out = subprocess.run([bench, work], check=True, capture_output=True, text=True).stdout
    values = dict(line.split(":", 1) for line in out.splitlines() if ":" in line)
    if "kestro_seconds" not in values:
        raise SystemExit("no time from " + bench + ":\n" + out)
    cpu = values.get("kestro_cpu_seconds")
    return float(values["kestro_seconds"]), float(cpu) if cpu else None

def one_round():
    # Strictly in turn, so that every run follows one of the other command: when the order
    # changed from round to round, a command ran twice in a row, and those runs took up to five
    # times as long or as short as the others.
    cp = cp_once()
    return cp, kestro_once()

def report(name, times):
    median = statistics.median(times)
    spread = (max(times) - min(times)) / median * 100
    print("%-10s median %.3f s (fastest %.3f, slowest %.3f, spread %.1f%%; runs %s)"
          % (name, median, min(times), max(times), spread, " ".join("%.3f" % t for t in times)), flush=True)
    return median

for _ in range(warmups):
    one_round()
rounds = [one_round() for _ in range(runs)]
cp = report("cp -a", [r[0][0] for r in rounds])
kestro = report("kestro", [r[1][0] for r in rounds])
if all(r[1][1] is not None for r in rounds):
    # Processor time: what a busy machine stretches least.
    cp_cpu = report("cp -a cpu", [r[0][1] for r in rounds])
    kestro_cpu = report("kestro cpu", [r[1][1] for r in rounds])
    print("cpu ratio: %.2f" % (kestro_cpu / cp_cpu))
if os.environ.get("STALL", "1") != "0":
    fresh(kestro_machine)
    out = subprocess.run([bench, work, "--stall"], check=True, capture_output=True, text=True).stdout
    print("\n".join(line for line in out.splitlines() if line.startswith("stall")), flush=True)
paired = [k[0] / c[0] for c, k in rounds]
print("per-round ratios: median %.2f (lowest %.2f, highest %.2f)"
      % (statistics.median(paired), min(paired), max(paired)))
print("ratio: %.2f" % (kestro / cp))
PY
