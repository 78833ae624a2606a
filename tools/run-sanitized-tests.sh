#!/bin/sh
# run-sanitized-tests.sh: builds everything with AddressSanitizer, UndefinedBehaviorSanitizer and the
# standard library's assertions into build-asan/ and runs the whole suite there.
set -e
cd "$(dirname "$0")/.."
[ -f build-asan/build.ninja ] || cmake -S . -B build-asan -G Ninja -DKESTRO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan
cd build-asan
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions="$(pwd)/../tools/lsan.supp"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 900
