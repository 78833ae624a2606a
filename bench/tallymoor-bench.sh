#!/bin/bash
# tallymoor-bench.sh: times Tallymoor's folder scan against du (and gdu and ncdu when they are
# installed) on synthetic trees of 50,000, 200,000 and 1,000,000 entries built under /tmp (or $1).
#
# Every command runs WARMUPS times unmeasured (default 2, so every tree is read from memory),
# then RUNS times measured (default 5); the median, the fastest and slowest run, the spread
# ((slowest - fastest) / median) and the peak memory (through time(1), when installed) are
# printed. Measured are:
#   tallymoor     build/bin/tallymoor --scan-and-quit (windowless, offscreen, whole process)
#   tallymoor-1   the same with TALLYMOOR_SCAN_THREADS=1 (the scan on one thread, for reference)
#   window        build/bin/window_scan_bench: the scan in the main window, offscreen, from handing
#                 the folder over until the window is idle (its own timer; also its longest stall)
#   du            du -s -b --apparent-size
#   gdu, ncdu     gdu -n -p -s -a --no-prefix, ncdu -0 -o /dev/null (when installed)
# Checks: Tallymoor's bytes plus its folder-entry-bytes equal du's total (du counts the folders'
# own sizes too), and its file and folder counts equal the tree's. A difference fails the run.
# SIZES="50000 200000" limits the trees. The last line is "ratio: X": the windowless scan's
# median time against du's on the 200,000-entry tree.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=build/bin/tallymoor
WBIN=build/bin/window_scan_bench
for b in "$BIN" "$WBIN"; do
    [ -x "$b" ] || { echo "build first: cmake --build build ($b is missing)" >&2; exit 1; }
done
BASE=${1:-/tmp}
WORK=$(mktemp -d /tmp/tallymoor-bench-home-XXXXXX)
TREES=$(mktemp -d "$BASE/tallymoor-bench-XXXXXX")
trap 'rm -rf "$TREES" "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen HOME="$WORK" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" \
       XDG_CACHE_HOME="$WORK/cache" XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$WORK/run" && chmod 700 "$WORK/run"

python3 - "$TREES" "$BIN" "$WBIN" "${SIZES:-50000 200000 1000000}" "${RUNS:-5}" "${WARMUPS:-2}" <<'PY'
import os, random, shutil, statistics, subprocess, sys, time

trees, tallymoor, window, sizes, runs, warmups = sys.argv[1:7]
sizes = [int(s) for s in sizes.split()]
runs, warmups = max(int(runs), 5), max(int(warmups), 2)
tallymoor, window = os.path.abspath(tallymoor), os.path.abspath(window)

def build(root, entries):
    """Folders of 100 files, 50 to a parent folder; returns (files, folders) below root."""
    rnd = random.Random(1234)
    files = folders = 0
    a = 0
    while files + folders < entries:
        parent = os.path.join(root, f"a{a:03d}")
        os.mkdir(parent)
        folders += 1
        for b in range(50):
            if files + folders >= entries:
                break
            d = os.path.join(parent, f"b{b:02d}")
            os.mkdir(d)
            folders += 1
            for f in range(min(100, entries - files - folders)):
                with open(os.path.join(d, f"f{f:03d}.dat"), "wb") as fh:
                    fh.write(b"x" * rnd.randint(0, 3000))
                files += 1
        a += 1
    return files, folders

TIME = shutil.which("time") or ("/usr/bin/time" if os.path.exists("/usr/bin/time") else None)

def run(cmd, env=None):
    """Runs cmd; returns (seconds, peak KB or None, stdout). The peak comes from time(1): the
    rusage of a child forked from this script would keep the script's own size as its peak."""
    full = [TIME, "-f", "peak-kb %M"] + cmd if TIME else cmd
    start = time.perf_counter()
    p = subprocess.run(full, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    seconds = time.perf_counter() - start
    if p.returncode != 0:
        sys.exit(f"{cmd[0]} failed with {p.returncode}")
    lines = p.stderr.decode(errors="replace").splitlines()
    peak = int(lines[-1].split()[1]) if TIME and lines and lines[-1].startswith("peak-kb ") else None
    return seconds, peak, p.stdout.decode(errors="replace")

def field(out, name):
    for line in out.splitlines():
        if line.startswith(name + ": "):
            return line.split(": ", 1)[1].strip()
    sys.exit(f"no '{name}' in output:\n{out}")

def measure(label, cmd, env=None, own_ms=None):
    """Warm-ups, then measured runs. own_ms: a field holding the command's own time in ms."""
    for _ in range(warmups):
        run(cmd, env)
    times, peaks, outs = [], [], []
    for _ in range(runs):
        s, kb, out = run(cmd, env)
        times.append(float(field(out, own_ms)) / 1000 if own_ms else s)
        peaks.append(kb or 0)
        outs.append(out)
    med = statistics.median(times)
    spread = (max(times) - min(times)) / med * 100 if med > 0 else 0
    print(f"  {label:<12} median {med:7.3f} s   fastest {min(times):7.3f}   slowest {max(times):7.3f}"
          f"   spread {spread:5.1f} %   peak " + (f"{max(peaks) / 1024:7.1f} MB" if max(peaks) else "n/a"))
    return med, outs[-1]

ratio_line = None
for n in sizes:
    root = os.path.join(trees, f"t{n}")
    os.mkdir(root)
    print(f"tree of {n} entries: building ...", flush=True)
    files, folders = build(root, n)
    subprocess.run(["sync"])
    print(f"tree of {n} entries ({files} files, {folders} folders) in {root}")
    one = dict(os.environ, TALLYMOOR_SCAN_THREADS="1")
    tm, out = measure("tallymoor", [tallymoor, "--scan-and-quit", root])
    tm1, out1 = measure("tallymoor-1", [tallymoor, "--scan-and-quit", root], one)
    scan_ms = measure("scan alone", [tallymoor, "--scan-and-quit", root], own_ms="milliseconds")[0]
    win, wout = measure("window", [window, root], own_ms="window-scan-ms")
    du, dout = measure("du", ["du", "-s", "-b", "--apparent-size", root])
    others = {}
    if shutil.which("gdu"):
        others["gdu"] = measure("gdu", ["gdu", "-n", "-p", "-s", "-a", "--no-prefix", root])[0]
    if shutil.which("ncdu"):
        others["ncdu"] = measure("ncdu", ["ncdu", "-0", "-o", "/dev/null", root])[0]
    # The figures must agree before any time means something.
    total = int(field(out, "bytes")) + int(field(out, "folder-entry-bytes"))
    du_total = int(dout.split()[0])
    counts = (int(field(out, "files")), int(field(out, "folders")) - 1)
    print(f"  check: tallymoor {total} bytes, du {du_total}; files {counts[0]}/{files}, "
          f"folders {counts[1]}/{folders}; window shows {field(wout, 'bytes')} bytes "
          f"(max stall {field(wout, 'max-stall-ms')} ms); one thread {field(out1, 'bytes')} bytes")
    if total != du_total or counts != (files, folders) or field(wout, "bytes") != field(out, "bytes") \
            or field(out1, "bytes") != field(out, "bytes"):
        sys.exit("totals differ")
    print(f"  tallymoor/du {tm / du:.2f}   tallymoor-1/du {tm1 / du:.2f}   window/scan alone {win / scan_ms:.2f}"
          + "".join(f"   tallymoor/{k} {tm / v:.2f}" for k, v in others.items()), flush=True)
    if n == 200000:
        ratio_line = f"ratio: {tm / du:.2f}"
    shutil.rmtree(root)
print(ratio_line or "ratio: n/a (no 200000-entry tree in SIZES)")
PY
