#!/bin/sh
# run-thread-sanitized-tests.sh: builds the tests of the code that runs threads (the read pool and
# the parallel scan, the file lister, the background driver and the work beside the window, the
# copy walks beside the window and the copies of chosen files, the wizard's source listings and its work beside the window) with
# ThreadSanitizer into build-tsan/ and runs them; any report fails the run.
set -e
cd "$(dirname "$0")/.."
TARGETS="common_test foldersize_scanner_tests foldersize_ui_tests platform_files_test wizard_selection_test wizard_transfer_tests wizard_migration_test"
# The transfer tests run the registry editor.
TOOLS="regedit"
[ -f build-tsan/build.ninja ] || cmake -S . -B build-tsan -G Ninja -DKESTRO_SANITIZE_THREAD=ON
# shellcheck disable=SC2086
cmake --build build-tsan --target $TARGETS $TOOLS
cd build-tsan
# Thread leaks are not reported: a child forked by a test (the full-disk child) inherits the record
# of the parent's threads, which only the parent joins. Races and deadlocks are all reported.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 report_thread_leaks=0 suppressions=$(pwd)/../tools/tsan.supp"
export QT_QPA_PLATFORM=offscreen
# Each test program on its own, all at once; any report ends that program with a failure.
for t in $TARGETS; do
    ( "tests/$t" --gtest_brief=1 >"tests/$t.tsan.log" 2>&1; echo $? >"tests/$t.tsan.rc" ) &
done
wait
failed=0
for t in $TARGETS; do
    if [ "$(cat "tests/$t.tsan.rc")" != 0 ]; then
        echo "ThreadSanitizer run of $t failed:"
        cat "tests/$t.tsan.log"
        failed=1
    fi
done
[ "$failed" -eq 0 ] && echo "ThreadSanitizer: no reports in $TARGETS"
exit "$failed"
