#!/bin/sh
# installed-programs.sh BUILD MODULE_DIR: installs the build into a temporary prefix, moves the
# prefix to another place and runs the installed programs from there: Tallymoor's windowless scan,
# its window module and its desktop entry's command, demo-network with the installed wizard data,
# and regedit on the machine it built.
set -eu
build=$1
module=$2/tallymoor-window.so
work=$(mktemp -d /tmp/kestro-install-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
cd "$work"
ulimit -c 0
p=$work/first
cmake --install "$build" --prefix "$p" >install.log || { cat install.log; fail "cmake --install"; }
for f in bin/kestro bin/tallymoor bin/regedit bin/winbatch bin/demo-network "$module" \
  share/applications/tallymoor.desktop share/icons/hicolor/scalable/apps/tallymoor.svg \
  share/kestro/WKXFiles/Kestro.wkx share/kestro/help share/kestro/RegFiles; do
  [ -e "$p/$f" ] || fail "not installed: $f"
done
for f in bin/kestro bin/tallymoor "$module"; do
  ! readelf -S "$p/$f" | grep -q '\.debug_info' || fail "installed with debug information: $f"
done
! grep -q '^MimeType=' "$p/share/applications/tallymoor.desktop" ||
  fail "the desktop entry offers Tallymoor for file types: $(grep '^MimeType=' "$p/share/applications/tallymoor.desktop")"

run() { env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY=:4711 HOME="$work/home" XDG_CONFIG_HOME="$work" \
  XDG_DATA_HOME="$work" XDG_RUNTIME_DIR="$work" "$@"; }
# The menu entry is started as a menu does by the desktop-entry rules: the value's escapes, the
# field codes (%k the entry's file; with --no-k dropped, as gio launch does), then the quoting
# rules, which are those of the shell's double quotes.
launch() {
  run python3 - "$@" <<'PY'
import os, re, sys
nok = sys.argv[1] == "--no-k"
entry, files = sys.argv[1 + nok], sys.argv[2 + nok:]
value = next(l[5:].rstrip("\n") for l in open(entry, encoding="utf-8") if l.startswith("Exec="))
value = re.sub(r"\\([\\snrt])", lambda m: {"s": " ", "n": "\n", "r": "\r", "t": "\t"}.get(m[1], m[1]), value)
argv, word, quoted, i = [], None, False, 0
while i < len(value):
    c = value[i]
    if quoted and c == "\\" and value[i + 1 : i + 2] in ('"', "`", "$", "\\"):
        c, i = value[i + 1], i + 1
    elif c == '"':
        c, quoted = "", not quoted
    elif c in " \t" and not quoted:
        argv, word, c = argv + ([word] if word is not None else []), None, None
    word = word if c is None else (word or "") + c
    i += 1
argv += [word] if word is not None else []
k = [] if nok else [entry]
argv = [x for a in argv for x in (k if a == "%k" else files if a == "%F" else [a.replace("%%", "%")])]
os.execvp(argv[0], argv)
PY
}
# A folder a program was planted beside, where a folder taken for the entry's own file would lead
# (its ../../bin), and a copy of the entry as a menu editor makes one.
mkdir -p plant/bin plant/share/applications/Fotos home/.local/share/applications
printf '#!/bin/sh\necho planted\n' >plant/bin/tallymoor
chmod +x plant/bin/tallymoor
cp "$p/share/applications/tallymoor.desktop" home/.local/share/applications/
# Where it was installed, the entry and its copy start the installed program, with or without %k.
for how in --no-k ""; do
  for entry in "$p/share/applications/tallymoor.desktop" "$work/home/.local/share/applications/tallymoor.desktop"; do
    err=$(launch $how "$entry" "$work/plant/share/applications/Fotos" 2>&1 || true)
    case $err in
    *planted*) fail "the desktop entry $entry ($how) started the program planted beside the folder" ;;
    *4711*) ;;
    *) fail "the desktop entry $entry ($how) did not start $p/bin/tallymoor: $err" ;;
    esac
  done
done

# The installed tree runs from wherever it is: nothing points back into the build.
mv "$work/first" "$work/moved"
p=$work/moved
mkdir -p tree/sub
head -c 1234 /dev/zero >tree/sub/f
out=$(run "$p/bin/tallymoor" --scan-and-quit tree) || fail "tallymoor --scan-and-quit: $out"
echo "$out" | grep -qx "bytes: 1234" || fail "tallymoor --scan-and-quit printed: $out"
# The window program is loaded and gets as far as asking for the display, which does not exist.
err=$(run "$p/bin/tallymoor" tree 2>&1 </dev/null || true)
case $err in
*"das Fensterprogramm"*) fail "$err" ;;
*4711*) ;;
*) fail "tallymoor without the option: $err" ;;
esac
# Moved, the entry finds the program from its own place, also through a link to it; without %k,
# and the copy, which finds nothing there, say why and start nothing else.
ln -s "$p/share/applications/tallymoor.desktop" linked.desktop
for entry in "$p/share/applications/tallymoor.desktop" "$work/linked.desktop"; do
  err=$(launch "$entry" "$work/tree" 2>&1 || true)
  case $err in
  *4711*) ;;
  *) fail "the desktop entry $entry did not start $p/bin/tallymoor: $err" ;;
  esac
done
for how in "--no-k $p/share/applications/tallymoor.desktop" "$work/home/.local/share/applications/tallymoor.desktop"; do
  err=$(launch $how "$work/plant/share/applications/Fotos" 2>&1) && fail "launched ($how): $err"
  case $err in
  *planted*) fail "the desktop entry ($how) started the program planted beside the folder" ;;
  *"Tallymoor ist nicht zu finden"*) ;;
  *) fail "the desktop entry ($how) did not say why it started nothing: $err" ;;
  esac
done

"$p/bin/demo-network" net >demo.log || fail "demo-network: $(cat demo.log)"
[ -f "net/NEWPC/drives/C/Program Files/Kestro/WKXFiles/Kestro.wkx" ] ||
  fail "demo-network did not install the wizard's data on NEWPC"
WINENV_MACHINE=$work/net/NEWPC "$p/bin/regedit" /a "$work/kestro.reg" \
  'HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kestro' || fail "regedit /a"
grep -q '"InstallLocation"="C:\\\\Program Files\\\\Kestro"' kestro.reg || fail "regedit wrote: $(cat kestro.reg)"
echo "installed programs ran from $p"
