#!/bin/sh
# mass-copy-bench.sh: the mass migration's whole-drive copy (FN_Copy_Folder_Tree through the mapped
# share) beside `cp -a` of the same tree on this machine: bench/migration-copy-bench.sh with MODE=mass,
# on the profile-shaped tree unless SHAPE says otherwise (see there for the shapes, STRACE and STALL).
# $1 is the folder the tree is built in (default /tmp; /dev/shm for a tmpfs). The last line is
# "ratio: X" (the copy's median time over cp -a's).
set -e
here=$(dirname "$0")
MODE=mass SHAPE=${SHAPE:-profile} exec "$here/migration-copy-bench.sh" "$@"
