#!/bin/sh
# run-main.sh: starts the project's main job after a build.
set -e
cd "$(dirname "$0")/.."
echo "Built programs:"; ls build/bin
