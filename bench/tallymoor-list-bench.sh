#!/bin/bash
# tallymoor-list-bench.sh: times Tallymoor's file list on one folder of 100,000 files (or $1
# files) with build/bin/file_list_bench (offscreen): from the click on the folder's node until the
# full list is laid out and painted, and the longest stall of the window's event loop meanwhile.
# Goals, as medians on a machine with other work running: at most 150 ms to the painted list and
# at most 50 ms longest stall.
# The peer in the same run is ls -l on the folder (every file with size and time; the whole
# process). RUNS (default 7, at least 5) measured runs after one warm-up alternate their order:
# run i takes Tallymoor first, run i+1 ls first. Medians, fastest, slowest and the spread
# ((slowest - fastest) / median) are printed. Last line: "ratio: X", Tallymoor's median time to
# the painted list against ls -l's. BIN names another build of file_list_bench.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=${BIN:-build/bin/file_list_bench}
[ -x "$BIN" ] || { echo "build first: cmake --build build --target file_list_bench" >&2; exit 1; }
COUNT=${1:-100000}
source bench/tallymoor-bench-home.sh tallymoor-list-bench
python3 - "$DIR/files" "$COUNT" "$BIN" "${RUNS:-7}" <<'PY'
import os, statistics, subprocess, sys, time

folder, count, binary, runs = sys.argv[1], int(sys.argv[2]), os.path.abspath(sys.argv[3]), max(int(sys.argv[4]), 5)
os.mkdir(folder)
exts = ["txt", "pdf", "jpg", "c", "h", "bin", "tar.gz", "mp3", "doc", ""]
for i in range(count):
    e = exts[i % len(exts)]
    with open(os.path.join(folder, f"f{i:06d}" + ("." + e if e else "")), "wb") as f:
        f.write(b"x" * (i % 4096))
subprocess.run(["sync"])
print(f"folder of {count} files in {folder}", flush=True)

def tallymoor():
    out = subprocess.run([binary, folder], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True)
    found = {k: float(v) for k, v in (l.split(": ") for l in out.stdout.decode().splitlines())}
    if int(found["files"]) != count:
        sys.exit(f"the list shows {int(found['files'])} files, not {count}")
    return found

def ls():
    start = time.perf_counter()
    subprocess.run(["ls", "-l", folder], stdout=subprocess.DEVNULL, check=True)
    return {"ls-l-ms": (time.perf_counter() - start) * 1000}

tallymoor(), ls()  # warm-up: names and inodes in memory
found = {}
for i in range(runs):
    for cmd in ((tallymoor, ls) if i % 2 == 0 else (ls, tallymoor)):
        for k, v in cmd().items():
            found.setdefault(k, []).append(v)
med = {}
for k in ("list-fill-ms", "list-filled-unpainted-ms", "max-stall-ms", "ls-l-ms"):
    v = found[k]
    med[k] = statistics.median(v)
    spread = (max(v) - min(v)) / med[k] * 100 if med[k] > 0 else 0
    print(f"  {k:<26} median {med[k]:7.1f}   fastest {min(v):7.1f}   slowest {max(v):7.1f}   spread {spread:5.1f} %")
print(f"  goals (painted list <= 150 ms, stall <= 50 ms): "
      f"{'met' if med['list-fill-ms'] <= 150 and med['max-stall-ms'] <= 50 else 'NOT met'}")
print(f"ratio: {med['list-fill-ms'] / med['ls-l-ms']:.2f}")
PY
