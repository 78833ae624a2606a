#!/bin/bash
# tallymoor-bench.sh: times Tallymoor's folder scan against du (and gdu and ncdu when they are
# installed) on synthetic trees of 50,000, 200,000 and 1,000,000 entries built under /tmp (or $1).
#
# Every command runs WARMUPS times unmeasured (default 2, so every tree is read from memory),
# then RUNS times measured (default 5). The measured runs alternate: run i takes the commands in
# list order, run i+1 in reverse order, so a change of the machine's load meets all of them alike.
# The median, the fastest and slowest run, the spread ((slowest - fastest) / median) and the peak
# memory (through time(1), when installed) are printed. Measured are:
#   tallymoor     build/bin/tallymoor --scan-and-quit (windowless, offscreen, whole process)
#   tallymoor-1   the same with TALLYMOOR_SCAN_THREADS=1 (the scan on one thread, for reference)
#   scan alone    the windowless scan's own clock ("milliseconds"): from the scan's request until
#                 its totals are available, without process start-up
#   window        build/bin/window_scan_bench: the scan in the main window, offscreen, on the same
#                 clock: from handing the folder over until the totals are in the tree
#   window idle   the same run until the window is idle again (root listed, buttons enabled)
#   du            du -s -b --apparent-size
#   gdu, ncdu     gdu -n -p -s -a --no-prefix, ncdu -0 -o /dev/null (when installed)
# "window/scan alone" compares the two in-process clocks; both start at the request and stop at
# the totals.
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

def measure(commands):
    """commands: (label, cmd, env, own) tuples; own names the output fields holding the command's
    own times in ms (label -> field), or is None for the process's wall time. Warm-ups, then
    measured runs in alternating order. Returns ({name: median seconds}, {label: last output})."""
    for _label, cmd, env, _own in commands:
        for _ in range(warmups):
            run(cmd, env)
    times, peaks, outs = {}, {}, {}
    for i in range(runs):
        for label, cmd, env, own in (commands if i % 2 == 0 else commands[::-1]):
            s, kb, out = run(cmd, env)
            outs[label] = out
            for name, field_name in (own or {label: None}).items():
                times.setdefault(name, []).append(float(field(out, field_name)) / 1000 if field_name else s)
                peaks.setdefault(name, []).append(kb or 0)
    result = {}
    for name, ts in times.items():
        med = statistics.median(ts)
        spread = (max(ts) - min(ts)) / med * 100 if med > 0 else 0
        peak = max(peaks[name])
        print(f"  {name:<12} median {med:7.3f} s   fastest {min(ts):7.3f}   slowest {max(ts):7.3f}"
              f"   spread {spread:5.1f} %   peak " + (f"{peak / 1024:7.1f} MB" if peak else "n/a"))
        result[name] = med
    return result, outs

ratio_line = None
for n in sizes:
    root = os.path.join(trees, f"t{n}")
    os.mkdir(root)
    print(f"tree of {n} entries: building ...", flush=True)
    files, folders = build(root, n)
    subprocess.run(["sync"])
    print(f"tree of {n} entries ({files} files, {folders} folders) in {root}")
    one = dict(os.environ, TALLYMOOR_SCAN_THREADS="1")
    scan = [tallymoor, "--scan-and-quit", root]
    commands = [
        ("tallymoor", scan, None, {"tallymoor": None, "scan alone": "milliseconds"}),
        ("tallymoor-1", scan, one, None),
        ("window", [window, root], None, {"window": "window-scan-ms", "window idle": "window-idle-ms"}),
        ("du", ["du", "-s", "-b", "--apparent-size", root], None, None),
    ]
    if shutil.which("gdu"):
        commands.append(("gdu", ["gdu", "-n", "-p", "-s", "-a", "--no-prefix", root], None, None))
    if shutil.which("ncdu"):
        commands.append(("ncdu", ["ncdu", "-0", "-o", "/dev/null", root], None, None))
    med, outs = measure(commands)
    tm, tm1, du = med["tallymoor"], med["tallymoor-1"], med["du"]
    scan_ms, win, win_idle = med["scan alone"], med["window"], med["window idle"]
    others = {k: med[k] for k in ("gdu", "ncdu") if k in med}
    out, out1, wout, dout = outs["tallymoor"], outs["tallymoor-1"], outs["window"], outs["du"]
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
          f"   window idle/scan alone {win_idle / scan_ms:.2f}"
          + "".join(f"   tallymoor/{k} {tm / v:.2f}" for k, v in others.items()), flush=True)
    if n == 200000:
        ratio_line = f"ratio: {tm / du:.2f}"
    shutil.rmtree(root)
print(ratio_line or "ratio: n/a (no 200000-entry tree in SIZES)")
PY
