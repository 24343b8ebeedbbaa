#!/bin/sh
# Builds the libFuzzer harnesses with Clang and AddressSanitizer and runs
# each for SECONDS seconds (default 60) on a seed corpus made by
# make_fuzz_seeds plus the saved regressions. A crash leaves its input in
# the work folder: copy it to tests/fuzz/regressions/<bmp|jpeg>/ with a name
# that says what it caught, and fix the decoder.
# Usage: tests/fuzz/run-fuzzers.sh [SECONDS] [WORK_FOLDER]
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=${2:-$root/build-fuzz}
jobs=${SKYLOOM_FUZZ_JOBS:-2}

cmake -S "$root" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DSKYLOOM_FUZZ=ON >/dev/null
cmake --build "$work" -j"$jobs" --target fuzz_bmp fuzz_jpeg make_fuzz_seeds

corpus=$work/fuzz-corpus
"$work/tests/make_fuzz_seeds" "$corpus"
status=0
for target in bmp jpeg; do
    mkdir -p "$corpus/$target-new" "$work/fuzz-crashes/$target"
    echo "fuzzing $target for $seconds s"
    ASAN_OPTIONS=detect_leaks=1 "$work/fuzz/fuzz_$target" \
        -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -artifact_prefix="$work/fuzz-crashes/$target/" \
        "$corpus/$target-new" "$corpus/$target" "$root/tests/fuzz/regressions/$target" \
        || status=1
done
exit $status
