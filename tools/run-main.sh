#!/bin/sh
# run-main.sh: starts Kestro on the demo network's destination PC NEWPC (WINENV_MACHINE), building
# the demo network first when it is missing. Arguments are passed on to kestro.
set -e
cd "$(dirname "$0")/.."
NET=build/demo-network

find_pc() {
  for name in NEWPC newpc; do
    if [ -f "$NET/$name/machine.ini" ]; then echo "$NET/$name"; return; fi
  done
}

PC=$(find_pc)
if [ -z "$PC" ]; then
  if [ -x build/bin/demo-network ]; then
    build/bin/demo-network "$NET"
  else
    # Without the demo-network tool: a bare Windows XP NEWPC with the wizard installed.
    APP="$NET/NEWPC/drives/C/Program Files/Kestro"
    mkdir -p "$APP"
    printf '[Machine]\r\nComputerName=NEWPC\r\nOS=winxp\r\n' > "$NET/NEWPC/machine.ini"
    for item in build/data/*; do
      case "$(basename "$item")" in CMakeFiles|*.cmake) ;; *) cp -R "$item" "$APP/" ;; esac
    done
  fi
  PC=$(find_pc)
fi
[ -n "$PC" ] || { echo "run-main.sh: no NEWPC in $NET" >&2; exit 1; }

WINENV_MACHINE="$(cd "$PC" && pwd)"
export WINENV_MACHINE
echo "Starting Kestro on $WINENV_MACHINE"
exec build/bin/kestro "$@"
