#!/bin/sh
# Builds the skin-file fuzzer with clang and runs it for a bounded time.
# Fails on any finding (crash, sanitizer report, leak, timeout) and when the
# compiler or its fuzzing run-time is missing, so that a machine without them
# never passes by not fuzzing.
# Usage: run_skin_fuzz.sh <clang++> <source-dir> <work-dir> [seconds]
set -eu
cxx=$1
src=$2
work=$3
seconds=${4:-10}

fail() {
    echo "skin fuzz: $*" >&2
    exit 1
}

command -v "$cxx" >/dev/null 2>&1 ||
    fail "'$cxx' not found: install clang (Debian: clang-14) and libclang-rt-14-dev"

mkdir -p "$work/corpus" "$work/artifacts"

# The run-time check first: without libFuzzer's library the real build fails
# with a link error that does not say what to install.
printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
    'extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }' >"$work/probe.cpp"
if ! "$cxx" -fsanitize=fuzzer,address,undefined "$work/probe.cpp" -o "$work/probe" >"$work/probe.log" 2>&1; then
    cat "$work/probe.log" >&2
    fail "clang's libFuzzer/sanitizer run-time is missing (libclang_rt.fuzzer): install libclang-rt-14-dev"
fi

"$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -Wall -Wextra -Werror -I"$src" \
    "$src/skin/skin_file.cpp" "$src/skin/skin_paint.cpp" "$src/tests/fuzz/skin_file_fuzz.cpp" \
    -o "$work/skin_file_fuzz" || fail "the fuzzer did not build"

# Starts from the shipped skin and the hand-made seeds; what the run finds is
# kept in the work corpus for the next run.
cp "$src/skin/skinh.she" "$work/corpus/default.she"
cd "$work"
status=0
./skin_file_fuzz -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=66000 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
    corpus "$src/tests/fuzz/corpus" >fuzz.log 2>&1 || status=$?
tail -n 25 fuzz.log
[ "$status" -eq 0 ] || fail "finding (exit $status); the input is in $work/artifacts, the log in $work/fuzz.log"
grep -q '^stat::number_of_executed_units' fuzz.log || fail "the fuzzer did not run"
echo "skin fuzz: no findings in ${seconds}s"
