#!/bin/sh
# Builds the libFuzzer harnesses with Clang, AddressSanitizer and UBSan (as a
# unity build, like ./test's) and
# runs every fuzz target for SECONDS seconds (default 30) on its committed
# seeds (tests/fuzz/seeds/<target>/) and saved regressions
# (tests/fuzz/regressions/<target>/), as many targets at a time as the
# machine has cores (each target still gets its full SECONDS); each folder
# under seeds/ is one target. Prints one line per target, in name order.
#
# A crash, hang or broken check leaves its input in
# WORK_FOLDER/fuzz-crashes/<target>/; run the harness on that file to see
# the report (WORK_FOLDER/fuzz/fuzz_<target> FILE), fix the reader, and copy
# the file to tests/fuzz/regressions/<target>/ with a name that says what it
# caught, so that the replay test keeps it fixed.
# Usage: tests/fuzz/run-fuzzers.sh [SECONDS] [WORK_FOLDER]
# SKYLOOM_FUZZ_JOBS sets the build's parallel jobs (default 2);
# SKYLOOM_FUZZ_PARALLEL how many targets run at once (default: the cores).
set -eu
seconds=${1:-30}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=${2:-$root/build-fuzz}
jobs=${SKYLOOM_FUZZ_JOBS:-2}
parallel=${SKYLOOM_FUZZ_PARALLEL:-$(nproc 2>/dev/null || echo 2)}
fuzzdir=$root/tests/fuzz

targets=""
for dir in "$fuzzdir"/seeds/*/; do
    targets="$targets $(basename "$dir")"
done

# Line tables only (-g1): the reports name files and lines, and the build is quicker.
cmake -S "$root" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DSKYLOOM_FUZZ=ON >/dev/null
build=""
for target in $targets; do
    build="$build fuzz_$target"
done
# shellcheck disable=SC2086 # one word per target
cmake --build "$work" -j"$jobs" --target $build

# Scratch files of the set targets go to memory when the machine has it,
# into a folder of this run's own: a crashed target cannot clean up after itself.
base=${TMPDIR:-/tmp}
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    base=/dev/shm
fi
TMPDIR=$(mktemp -d "$base/skyloom-fuzz-run.XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
# Fuzzes one target and writes its one-line summary (and, on failure, the
# lines of its report that say why) to $work/fuzz-logs/<target>.result.
fuzz_one() {
    target=$1
    corpus=$work/fuzz-corpus/$target
    crashes=$work/fuzz-crashes/$target
    log=$work/fuzz-logs/$target.log
    out=$work/fuzz-logs/$target.result
    mkdir -p "$corpus" "$crashes" "$(dirname "$log")"
    regressions=$fuzzdir/regressions/$target
    [ -d "$regressions" ] || regressions=""
    # The programs' warnings (stderr) are dropped: libFuzzer keeps its own
    # report and the sanitizers' on a copy of stderr.
    # shellcheck disable=SC2086 # no regressions folder: no argument
    if SKYLOOM_QUIET=1 ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$work/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$crashes/" \
        "$corpus" "$fuzzdir/seeds/$target" $regressions >"$log" 2>&1; then
        result=ok
    else
        result="FAILED (inputs in $crashes, log $log)"
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    cov=$(sed -n 's/^#[0-9]*.*cov: \([0-9]*\).*/\1/p' "$log" | tail -n 1)
    corp=$(sed -n 's/^#[0-9]*.*corp: \([0-9]*\).*/\1/p' "$log" | tail -n 1)
    echo "fuzz $target: $result, ${runs:-?} runs in $seconds s, coverage ${cov:-?}, corpus ${corp:-?}" >"$out"
    if [ "$result" != ok ]; then
        grep -E 'ERROR|SUMMARY|fuzz check failed|Test unit written' "$log" | head -n 8 >>"$out"
    fi
}

mkdir -p "$work/fuzz-logs"
running=0
for target in $targets; do
    rm -f "$work/fuzz-logs/$target.result"
    fuzz_one "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$parallel" ]; then
        wait
        running=0
    fi
done
wait
status=0
for target in $targets; do
    out=$work/fuzz-logs/$target.result
    if [ -f "$out" ]; then
        cat "$out"
        head -n 1 "$out" | grep -q ": ok, " || status=1
    else
        echo "fuzz $target: FAILED (no result; see $work/fuzz-logs/$target.log)"
        status=1
    fi
done
exit $status
