#!/bin/sh
# run-main.sh: starts Kestro on the demo network's destination PC NEWPC (WINENV_MACHINE), building
# the demo network first when it is missing. Arguments are passed on to kestro.
set -e
cd "$(dirname "$0")/.."
NET=build/demo-network

[ -f "$NET/NEWPC/machine.ini" ] || build/bin/demo-network "$NET"

WINENV_MACHINE="$(cd "$NET/NEWPC" && pwd)"
export WINENV_MACHINE
echo "Starting Kestro on $WINENV_MACHINE"
exec build/bin/kestro "$@"
