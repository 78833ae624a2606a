#!/bin/sh
# check-format.sh: fails when a C++ file of the repository differs from what .clang-format makes of it.
set -e
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "format check: every C++ file is formatted"
