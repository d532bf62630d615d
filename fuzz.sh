#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (ASan and UBSan on) in
# build-fuzz and runs all of them in parallel.
#
#   ./fuzz.sh SECONDS [WORKERS]
#
# Each target runs for SECONDS (default 60) in its own process; at most WORKERS
# (default 6) targets run at once. Every target starts from its checked-in
# seeds (fuzz/seeds/<target>/) and keeps what it learns in
# build-fuzz/corpus/<target>/. A crash leaves its input in
# build-fuzz/artifacts/<target>/ and makes the script fail; the log of each
# run is build-fuzz/logs/<target>.log. At the end the executions per target
# are printed.
set -euo pipefail
cd "$(dirname "$0")"
SECONDS_PER_TARGET="${1:-60}"
WORKERS="${2:-6}"
. .ci/common.sh
valdran_install_packages clang libclang-rt-dev

CXX_FUZZ="$(command -v clang++ || true)"
[ -n "$CXX_FUZZ" ] || { echo "clang++ not found" >&2; exit 1; }
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER="$CXX_FUZZ" -DVALDRAN_FUZZ=ON -DVALDRAN_WARNINGS=ON \
    -DVALDRAN_TESTS=OFF -DVALDRAN_BENCH=OFF
TARGETS=()
for f in fuzz/fuzz_*.cpp; do
    TARGETS+=("$(basename "$f" .cpp)")
done
cmake --build build-fuzz -j"$(nproc)" --target "${TARGETS[@]}"

export QT_QPA_PLATFORM=offscreen
# Qt's and fontconfig's start-up keep objects until the end: not our leaks.
export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
mkdir -p build-fuzz/logs
run_target() {
    local t="$1"
    mkdir -p "build-fuzz/corpus/$t" "build-fuzz/artifacts/$t"
    local seeds=()
    [ -d "fuzz/seeds/$t" ] && seeds=("fuzz/seeds/$t")
    # The RTF reader meets whole reports: inputs up to 1 MB, long ones from
    # the start (libFuzzer would otherwise grow them slowly from a few bytes).
    local lengths=(-max_len=65536)
    [ "$t" = fuzz_rtf_reader ] && lengths=(-max_len=1048576 -len_control=0)
    "build-fuzz/bin/$t" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=4096 \
        "${lengths[@]}" -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$t/" \
        "build-fuzz/corpus/$t" "${seeds[@]}" > "build-fuzz/logs/$t.log" 2>&1
}

status=0
pids=()
names=()
for t in "${TARGETS[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$WORKERS" ]; do
        wait -n || true
    done
    echo "fuzzing $t for ${SECONDS_PER_TARGET}s"
    run_target "$t" &
    pids+=($!)
    names+=("$t")
done
for i in "${!pids[@]}"; do
    if ! wait "${pids[$i]}"; then
        echo "FINDING in ${names[$i]}: see build-fuzz/logs/${names[$i]}.log and build-fuzz/artifacts/${names[$i]}/" >&2
        status=1
    fi
done

printf '\n%-24s %14s %10s %s\n' target executions exec/s result
for t in "${TARGETS[@]}"; do
    log="build-fuzz/logs/$t.log"
    execs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1 || true)"
    rate="$(grep -o 'exec/s: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1 || true)"
    result=ok
    grep -q 'ERROR: \|runtime error\|deadly signal\|Timeout\|out-of-memory' "$log" && result=FINDING
    printf '%-24s %14s %10s %s\n' "$t" "${execs:-?}" "${rate:-?}" "$result"
done
exit "$status"
