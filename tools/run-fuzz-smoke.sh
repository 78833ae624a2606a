#!/bin/sh
# run-fuzz-smoke.sh: builds the fuzz targets with clang and libFuzzer into build-fuzz/ and runs each
# for FUZZ_SECONDS (default 20) on a copy of its committed corpus. A finding fails the run and leaves
# its input in build-fuzz/findings/. The seed is fixed (FUZZ_SEED, default 1) so that a run can be repeated.
set -e
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-20}"
[ -f build-fuzz/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKESTRO_FUZZ=ON \
    -DKESTRO_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Only the fuzz targets (and what they link) are built.
targets=$(sed -n 's/^project_add_fuzz(\([a-z0-9_]*\).*/\1/p' fuzz/CMakeLists.txt)
cmake --build build-fuzz --target $targets
mkdir -p build-fuzz/findings
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in build-fuzz/fuzz/*_fuzz; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=fuzz/corpus/$name
    [ -d "$corpus" ] || corpus=fuzz/corpus/$(echo "$name" | sed 's/_fuzz$//')
    work=build-fuzz/corpus-run/$name
    rm -rf "$work" && mkdir -p "$work" && cp -r "$corpus"/. "$work"/
    if QT_QPA_PLATFORM=offscreen "$target" -max_total_time="$seconds" -seed="${FUZZ_SEED:-1}" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix=build-fuzz/findings/"$name"- "$work" >build-fuzz/"$name".log 2>&1; then
        echo "$name: $(grep -E '^#[0-9]+.*(DONE|pulse)' build-fuzz/"$name".log | tail -1)"
    else
        echo "$name: FINDING (see build-fuzz/$name.log)"
        tail -40 build-fuzz/"$name".log
        status=1
    fi
done
exit $status
