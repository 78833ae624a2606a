#!/bin/bash
# selection-walk-bench.sh: one folder chosen on the selection page and migrated through the real
# main window (build/bin/selection_walk_bench: the hand-over from OLDPC, the folder opened or not,
# ticked, cleared, ticked again, Next, Next, Migrate to the report page), beside `cp -a` of the same folder, in strict
# turns: WARMUPS rounds unmeasured (default 1), then RUNS measured rounds (default 3); medians.
#
# SHAPE chooses the folder, built once under $1 (default /tmp):
#   wide     one folder of FILES files (default 10,000) of SIZE bytes (default 100)
#   folders  FILES files (default 100,000) of SIZE bytes in 1,000 folders of one folder
#   profile  the profile-shaped tree of bench/migration-copy-bench.sh (FILES, default 30,000 files
#            of mixed sizes in about 6,200 folders up to 9 deep)
# MODES names the wizard's runs: "opened" (the folder opened, listed, then ticked: every file is an
# item of its own; with its sub-folders opened too) and "ticked" (ticked without opening: the
# folder is one item); "partly" is "ticked" onto a NEWPC that holds copies of the first PRESENT
# files already (default 6,400; wide only); default "opened ticked" for wide and folders, "ticked"
# for profile. PEER names what the last line compares the first of MODES with:
# "ticked" (default for wide with both modes) or "cp" (cp -a). Each wizard run prints the longest
# event-loop stall of opening, ticking, clearing, ticking again, each Next and Migrate (the median
# and the largest of its rounds are shown), with the first and a second F1 on the selection page
# and the time from the copy's end to the completion box, and the medians of each step's seconds.
# The last line is "ratio: X". The machine may be shared: run it more than once and compare.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=${BIN:-build/bin/selection_walk_bench}
[ -x "$BIN" ] || { echo "build first: cmake --build build ($BIN is missing)" >&2; exit 1; }
BASE=${1:-/tmp}
WORK=$(mktemp -d "$BASE/selection-walk-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
SHAPE=${SHAPE:-wide}
if [ "$SHAPE" = profile ]; then DEFAULT_FILES=30000; DEFAULT_MODES=ticked; DEFAULT_PEER=cp
elif [ "$SHAPE" = folders ]; then DEFAULT_FILES=100000; DEFAULT_MODES="opened ticked"; DEFAULT_PEER=ticked
else DEFAULT_FILES=10000; DEFAULT_MODES="opened ticked"; DEFAULT_PEER=ticked; fi
MODES=${MODES:-$DEFAULT_MODES}
case "$MODES" in *" "*) PEER=${PEER:-$DEFAULT_PEER} ;; *) PEER=${PEER:-cp} ;; esac
python3 - "$WORK" "$(realpath "$BIN")" "${FILES:-$DEFAULT_FILES}" "${RUNS:-3}" "${WARMUPS:-1}" "$SHAPE" \
    "$MODES" "$PEER" "${SIZE:-100}" <<'PY'
import os, random, statistics, subprocess, sys, time

work, bench, files, runs, warmups, shape, modes, peer, size = sys.argv[1:10]
files, runs, warmups, modes, size = int(files), int(runs), int(warmups), modes.split(), int(size)
tree = os.path.join(work, "Chosen")
rng = random.Random(19)
block = os.urandom(2 << 20)

sys.path.insert(0, "bench")
import bench_trees

if shape == "profile":
    made, total, folders = bench_trees.profile_tree(tree, files, rng, block)
    print("tree: %d files in %d folders" % (made, folders), flush=True)
elif shape == "folders":
    for i in range(files):
        folder = os.path.join(tree, "folder%04d" % (i % 1000))
        os.makedirs(folder, exist_ok=True)
        bench_trees.put(os.path.join(folder, "file%06d.dat" % i), size, block)
    print("tree: %d files of %d bytes in 1,000 folders" % (files, size), flush=True)
else:
    os.makedirs(tree)
    for i in range(files):
        bench_trees.put(os.path.join(tree, "file%06d.dat" % i), size, block)
    print("tree: one folder of %d files of %d bytes" % (files, size), flush=True)
in_memory = subprocess.run(["stat", "-f", "-c", "%T", work], capture_output=True, text=True).stdout.strip() == "tmpfs"
print("file system: %s" % ("tmpfs" if in_memory else "disk"), flush=True)

cp_dest = os.path.join(work, "cp-dest")

def cp_once():
    subprocess.run(["rm", "-rf", cp_dest], check=True)
    subprocess.run(["sync"], check=True)
    start = time.perf_counter()
    subprocess.run(["cp", "-a", tree, cp_dest], check=True)
    seconds = time.perf_counter() - start
    # On a tmpfs its copy goes before the wizard's run, which would otherwise copy into the memory
    # that is left (at 100,000 files the run took 1.6 times as long). On a disk it stays until the
    # next cp -a: freshly freed blocks would slow whichever command ran next.
    if in_memory:
        subprocess.run(["rm", "-rf", cp_dest], check=True)
    return seconds, {}

def kestro_once(mode):
    subprocess.run(["sync"], check=True)
    run = subprocess.run([bench, work, tree, mode], capture_output=True, text=True)
    if run.returncode != 0 or not os.path.isdir(tree):
        raise SystemExit("%s failed:\n%s%s" % (mode, run.stdout, run.stderr[-3000:]))
    values = dict(line.split(": ", 1) for line in run.stdout.splitlines() if ": " in line)
    stalls = {k[6:-3]: (int(v.split()[0]), float(v.split()[1].lstrip("(")))
              for k, v in values.items() if k.startswith("stall_")}
    return float(values["kestro_seconds"]), stalls

names = ["cp -a"] + modes
def one_round():
    result = {"cp -a": cp_once()}
    for mode in modes:
        result[mode] = kestro_once(mode)
    return result

for _ in range(warmups):
    one_round()
rounds = [one_round() for _ in range(runs)]
medians = {}
for name in names:
    times = [r[name][0] for r in rounds]
    medians[name] = statistics.median(times)
    print("%-8s median %.3f s (runs %s)" % (name, medians[name], " ".join("%.3f" % t for t in times)), flush=True)
for mode in modes:
    steps = rounds[0][mode][1].keys()
    print("%s longest stalls (median, largest of the rounds): %s" % (mode, ", ".join(
        "%s %d/%d ms" % (step, statistics.median(r[mode][1][step][0] for r in rounds),
                         max(r[mode][1][step][0] for r in rounds)) for step in steps)), flush=True)
    print("%s seconds of each step (median): %s" % (mode, ", ".join(
        "%s %.3f" % (step, statistics.median(r[mode][1][step][1] for r in rounds)) for step in steps)), flush=True)
if len(modes) > 1:
    for step in rounds[0][modes[0]][1].keys():
        if step in rounds[0][modes[1]][1]:
            a = statistics.median(r[modes[0]][1][step][1] for r in rounds)
            b = statistics.median(r[modes[1]][1][step][1] for r in rounds)
            if b > 0:
                print("ratio %s/%s of step %s: %.2f" % (modes[0], modes[1], step, a / b), flush=True)
for mode in modes:
    print("ratio %s/cp -a: %.2f" % (mode, medians[mode] / medians["cp -a"]))
if len(modes) > 1:
    print("ratio %s/%s: %.2f" % (modes[0], modes[1], medians[modes[0]] / medians[modes[1]]))
other = "cp -a" if peer == "cp" else peer
print("ratio: %.2f" % (medians[modes[0]] / medians[other]))
PY
