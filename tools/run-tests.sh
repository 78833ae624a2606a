#!/bin/sh
# run-tests.sh: runs every test through ctest, widgets on the offscreen platform.
set -e
cd "$(dirname "$0")/../build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
