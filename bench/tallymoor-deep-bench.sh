#!/bin/bash
# tallymoor-deep-bench.sh: times two commands of Tallymoor's window (offscreen) on a tree DEPTH
# folders deep (default 10,000; one file per folder) with build/bin/deep_tree_bench: expanding
# everything below the root (the "*" key) and printing the root to a PDF file, each with the
# longest time the event loop did not run meanwhile, and the paint of the deepest rows after the
# expansion. Goal: the window stays responsive (no stall over 50 ms) and long lines are wrapped or
# shortened on the page.
# The peer in the same run is du listing every folder of the tree with its size (du -b
# --apparent-size), the same lines the printout holds. RUNS (default 5, at least 3) measured runs
# alternate their order; medians, fastest and slowest are printed. Last line: "ratio: X", the
# median print time against du's.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=build/bin/deep_tree_bench
[ -x "$BIN" ] || { echo "build first: cmake --build build --target deep_tree_bench" >&2; exit 1; }
source bench/tallymoor-bench-home.sh tallymoor-deep-bench
python3 - "$DIR/tree" "$BIN" "${DEPTH:-10000}" "${RUNS:-5}" <<'PY'
import os, statistics, subprocess, sys, time

root, binary, depth, runs = sys.argv[1], os.path.abspath(sys.argv[2]), int(sys.argv[3]), max(int(sys.argv[4]), 3)
os.mkdir(root)
fd = os.open(root, os.O_RDONLY)
for i in range(depth):  # relative to the folder above: the paths pass PATH_MAX
    os.mkdir("d", dir_fd=fd)
    with open(os.open("f.txt", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd), "w") as f:
        f.write("x" * (i % 100))
    nfd = os.open("d", os.O_RDONLY, dir_fd=fd)
    os.close(fd)
    fd = nfd
os.close(fd)
print(f"tree {depth} folders deep in {root}", flush=True)

def tallymoor():
    out = subprocess.run([binary, root], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True)
    return {k: float(v) for k, v in (l.split(": ") for l in out.stdout.decode().splitlines())}

def du():
    start = time.perf_counter()
    subprocess.run(["du", "-b", "--apparent-size", root], stdout=subprocess.DEVNULL, check=True)
    return {"du-ms": (time.perf_counter() - start) * 1000}

found = {}
for i in range(runs):
    for cmd in ((tallymoor, du) if i % 2 == 0 else (du, tallymoor)):
        for k, v in cmd().items():
            found.setdefault(k, []).append(v)
for k in ("expand-ms", "expand-max-stall-ms", "bottom-paint-ms", "print-ms", "print-max-stall-ms", "du-ms"):
    v = found[k]
    print(f"  {k:<20} median {statistics.median(v):8.1f}   fastest {min(v):8.1f}   slowest {max(v):8.1f}")
print(f"  expanded rows {int(found['expanded-rows'][-1])}, pdf {int(found['pdf-bytes'][-1])} bytes")
print(f"ratio: {statistics.median(found['print-ms']) / statistics.median(found['du-ms']):.2f}")
PY
