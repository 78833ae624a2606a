#!/bin/bash
# migration-copy-bench.sh: times the wizard's two copies of a folder tree from the source PC's
# mapped drive (the selective files-and-folders copy and the mass migration's whole-drive copy)
# against `cp -a` of the same tree on the same machine.
#
# SHAPE chooses the tree, built once under /tmp (or $1) as the source PC's C:\Data:
#   flat     FILES files (default 20,000) of 1 KB to 100 KB in folders of 200 (about 1 GB)
#   profile  a tree shaped like a user's profile: FILES files (default 30,000) of mixed sizes (most
#            under 16 KB, some up to 128 KB, a few up to 2 MB; about 1 GB) in about 6,000 folders,
#            up to 9 deep
#   wide     one folder of FILES files (default 100,000) of 100 bytes
#   large    50 files of 100 MB in one folder
#   deep     one chain of DEPTH folders (default 1,000), a small file in each; also timed at a
#            quarter and a half of the depth, to show the cost grows with the depth, not faster
#            (the copies refuse files and folders whose path passes 259 characters, as Windows
#            does, so past level 125 or so they copy nothing; "walk" times the walk they share,
#            without that limit, on the whole chain)
# MODE chooses the copies: "both" (default), "selective" or "mass".
#   cp -a      the host tree into a host folder (timed around the cp process)
#   selective  build/bin/migration_copy_bench: NEWPC copies Z:\Data (Z: mapped to \\OLDPC\C$) to its
#              C:\Data the way the files-and-folders migration does (timed inside the program around
#              the copy alone; it checks that every file arrived)
#   mass       the same program with --mass: the whole-drive copy's tree copy (FN_Copy_Folder_Tree)
# Before every run, timed or not, that command's previous destination is moved aside on a disk
# (all are deleted at the end; on a tmpfs it is deleted) and `sync` is run, outside the timed part.
# The commands run strictly in turn (cp -a, selective, mass, cp -a, ...), so each follows the same
# other command in every round: WARMUPS rounds unmeasured (default 2), then RUNS measured rounds
# (default 5). Printed for each: median, fastest, slowest and spread of the wall-clock times and of
# the processor times; then each copy's ratio of medians against cp -a. With STRACE=1 each command
# runs once more under `strace -c -f` and the stat and open calls per file are printed. Unless
# STALL=0 the copies run once more in the wizard's main window with the busy window open and print
# the longest event-loop stall they saw. The last line is "ratio: X", the larger of the copies'
# ratios. ONLY_STALL=1 leaves the timed rounds out (the stall of a copy of a wide folder or of large
# files). The machine may be shared: run it more than once and compare.
# BIN names another build of the program (default build/bin/migration_copy_bench).
#
# Notes from the last runs (8 cores shared with other builds and benches; medians of 5 rounds in
# strict turns after 2 warm-ups unless said):
#   profile, tmpfs: cp -a 0.758 s, selective 0.735 s (0.97), mass 0.752 s (0.99); strace -c -f per
#     file: cp -a 5.04 stat and 2.21 open calls, both copies 2.63 stat and 2.42 open calls (each
#     file: one open of the source and one of its partial copy, one fstat at open and one after
#     the data; the rest is per folder); longest stall in the window 11 ms.
#   profile, disk (3 rounds after 1 warm-up, the disk busy with others' work): cp -a 5.78 s,
#     selective 4.20 s (0.73), mass 4.38 s (0.76); an earlier run beside a sanitizer build gave
#     1.50 and 1.06, with spreads of 50 to 100 % for every command.
#   deep, tmpfs: the shared walk copies 250, 500 and 1,000 levels in 4, 10 and 23 ms (cp -a 22,
#     75 and 311 ms); the copies themselves stop at the path limit.
#   wide: longest stall 17 (selective) and 22 ms (mass) on tmpfs, 26 and 20 ms on disk; large
#     (50 files of 100 MB, disk; the program run with --stall on its own): 18 (selective) and 19 ms
#     (mass).
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=${BIN:-build/bin/migration_copy_bench}
[ -x "$BIN" ] || { echo "build first: cmake --build build ($BIN is missing)" >&2; exit 1; }
BASE=${1:-/tmp}
WORK=$(mktemp -d "$BASE/migration-copy-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

SHAPE=${SHAPE:-flat}
case "$SHAPE" in profile) DEFAULT_FILES=30000 ;; wide) DEFAULT_FILES=100000 ;; *) DEFAULT_FILES=20000 ;; esac
python3 - "$WORK" "$(realpath "$BIN")" "${FILES:-$DEFAULT_FILES}" "${RUNS:-5}" "${WARMUPS:-2}" "$SHAPE" \
    "${MODE:-both}" "${DEPTH:-1000}" <<'PY'
import os, random, re, resource, statistics, subprocess, sys, time

work, bench, files, runs, warmups = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
shape, mode, depth = sys.argv[6], sys.argv[7], int(sys.argv[8])
source = os.path.join(work, "oldpc", "drives", "C", "Data")
rng = random.Random(19)
block = os.urandom(2 << 20)

def put(path, size):
    with open(path, "wb") as f:
        f.write(block[:size])
    return size

def flat_tree():
    total = 0
    for i in range(files):
        folder = os.path.join(source, "folder%03d" % (i // 200))
        os.makedirs(folder, exist_ok=True)
        total += put(os.path.join(folder, "file%05d.dat" % i), rng.randint(1024, 100 * 1024))
    return files, total

sys.path.insert(0, "bench")
import bench_trees

def profile_tree():
    return bench_trees.profile_tree(source, files, rng, block)

def deep_tree(levels):
    folder, total = source, 0
    for level in range(levels):
        folder = os.path.join(folder, "d")
        os.makedirs(folder)
        total += put(os.path.join(folder, "f"), 100)
    return levels, total

def one_folder(count, size):
    os.makedirs(source)
    for i in range(count):
        if size <= len(block):
            put(os.path.join(source, "file%06d.dat" % i), size)
        else:
            with open(os.path.join(source, "file%06d.dat" % i), "wb") as f:
                for _ in range(size // len(block)):
                    f.write(block)
    return count, count * size

def build(levels=None):
    subprocess.run(["rm", "-rf", source], check=True)
    if shape in ("wide", "large"):
        n, total = one_folder(files, 100) if shape == "wide" else one_folder(50, 100 << 20)
        print("tree: one folder of %d files, %.2f GB" % (n, total / 1e9), flush=True)
        return n
    if shape == "deep":
        n, total = deep_tree(levels)
        print("tree: %d levels deep, a file in each" % n, flush=True)
        return n
    if shape == "profile":
        n, total, folders = profile_tree()
        print("tree: %d files in %d folders, %.2f GB" % (n, folders, total / 1e9), flush=True)
        return n
    n, total = flat_tree()
    print("tree: %d files, %.2f GB" % (n, total / 1e9), flush=True)
    return n

cp_dest = os.path.join(work, "cp-dest")
kestro_machine = os.path.join(work, "newpc")

trash = os.path.join(work, "trash")
os.makedirs(trash)
in_memory = subprocess.run(["stat", "-f", "-c", "%T", work], capture_output=True, text=True).stdout.strip() == "tmpfs"
print("file system: %s" % ("tmpfs" if in_memory else "disk"), flush=True)

def fresh(folder):
    # The same for every command: the previous run's destination is moved aside (deleted only
    # at the end: freshly freed inodes make a disk file system's allocation slow and erratic for
    # whichever command runs next; a tmpfs has no such cost and too little room to keep them),
    # and everything reaches the disk before the clock starts.
    if in_memory:
        subprocess.run(["rm", "-rf", folder], check=True)  # deep trees pass Python's recursion limit
    elif os.path.exists(folder):
        os.rename(folder, os.path.join(trash, str(len(os.listdir(trash)))))
    subprocess.run(["sync"], check=True)

def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime

# Each run answers (wall-clock seconds, processor seconds or None).
def cp_once():
    fresh(cp_dest)
    if in_memory:
        fresh(kestro_machine)  # the tmpfs holds only what this run meets
    cpu = children_cpu()
    start = time.perf_counter()
    subprocess.run(["cp", "-a", source, cp_dest], check=True)
    return time.perf_counter() - start, children_cpu() - cpu

def kestro_args(which):
    # A deep tree passes the copies' path limit (259 characters, as on Windows): their refusals are
    # expected there; "walk" is the walk both copies share, without that limit.
    return ([bench, work] + (["--" + which] if which in ("mass", "walk") else [])
            + (["--long-paths"] if shape == "deep" and which != "walk" else []))

def kestro_once(which):
    fresh(kestro_machine)
    if in_memory:
        fresh(cp_dest)  # cp -a's copy would crowd the memory this run copies into
    run = subprocess.run(kestro_args(which), capture_output=True, text=True)
    if run.returncode != 0:
        raise SystemExit("%s failed:\n%s%s" % (which, run.stdout, run.stderr[-3000:]))
    out = run.stdout
    values = dict(line.split(":", 1) for line in out.splitlines() if ":" in line)
    if "kestro_seconds" not in values:
        raise SystemExit("no time from " + bench + ":\n" + out)
    cpu = values.get("kestro_cpu_seconds")
    return float(values["kestro_seconds"]), float(cpu) if cpu else None

copies = ["selective", "mass"] if mode == "both" else [mode]
if shape == "deep":
    copies.append("walk")

def one_round():
    # Strictly in turn, so that every run follows the same other command in every round: when the
    # order changed from round to round, a command ran twice in a row, and those runs took up to
    # five times as long or as short as the others.
    result = {"cp -a": cp_once()}
    for which in copies:
        result[which] = kestro_once(which)
    return result

def report(name, times):
    median = statistics.median(times)
    spread = (max(times) - min(times)) / median * 100 if median else 0
    print("%-14s median %.3f s (fastest %.3f, slowest %.3f, spread %.1f%%; runs %s)"
          % (name, median, min(times), max(times), spread, " ".join("%.3f" % t for t in times)), flush=True)
    return median

def measure():
    for _ in range(warmups):
        one_round()
    rounds = [one_round() for _ in range(runs)]
    medians = {name: report(name, [r[name][0] for r in rounds]) for name in ["cp -a"] + copies}
    for name in ["cp -a"] + copies:
        if all(r[name][1] is not None for r in rounds):
            report(name + " cpu", [r[name][1] for r in rounds])
    return medians

def strace_counts(command, count):
    # Stat and open calls of every kind, per file of the tree.
    log = os.path.join(work, "strace.txt")
    subprocess.run(["strace", "-c", "-f", "-o", log] + command, check=True, capture_output=True,
                   env=dict(os.environ, BENCH_NO_CHECK="1"))
    calls = {}
    for line in open(log):
        m = re.match(r"\s*[\d.]+\s+[\d.]+\s+\d+\s+(\d+)\s+(?:\d+\s+)?(\w+)\s*$", line)
        if m:
            calls[m.group(2)] = int(m.group(1))
    stats = sum(v for k, v in calls.items() if re.fullmatch(r"(new)?f?stat(at)?(64)?|l?stat(64)?|statx", k))
    opens = sum(v for k, v in calls.items() if re.fullmatch(r"open(at2?)?", k))
    return stats / count, opens / count

ratios = {}
if os.environ.get("ONLY_STALL") == "1":
    count = build()
    medians = {}
elif shape == "deep":
    for levels in sorted({max(1, depth // 4), max(1, depth // 2), depth}):
        count = build(levels)
        medians = measure()
        for which in copies:
            print("%s at %d levels: %.3f s (cp -a %.3f s)" % (which, levels, medians[which], medians["cp -a"]))
            ratios[which] = medians[which] / medians["cp -a"]
else:
    count = build()
    medians = measure()
    ratios = {which: medians[which] / medians["cp -a"] for which in copies}
if os.environ.get("STRACE") == "1":
    fresh(cp_dest)
    print("cp -a: %.2f stat and %.2f open calls per file" % strace_counts(["cp", "-a", source, cp_dest], count))
    for which in [c for c in copies if c != "walk"]:
        fresh(kestro_machine)
        print("%s: %.2f stat and %.2f open calls per file" % ((which,) + strace_counts(kestro_args(which), count)))
if os.environ.get("STALL", "1") != "0":
    for which in [c for c in copies if c != "walk"]:
        fresh(kestro_machine)
        out = subprocess.run(kestro_args(which) + ["--stall"], check=True, capture_output=True, text=True).stdout
        print("\n".join(which + " " + line for line in out.splitlines() if line.startswith("stall")), flush=True)
for which in ratios:
    print("ratio %s: %.2f" % (which, ratios[which]))
if ratios:
    print("ratio: %.2f" % max(ratios.values()))
PY
