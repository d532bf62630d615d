#!/usr/bin/env bash
# Builds Release and runs every benchmark.
set -euo pipefail
cd "$(dirname "$0")"
. .ci/common.sh
valdran_install_packages
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build-bench -j"$(nproc)"
# Every benchmark program runs on one core. The main road comes first and
# ends with a summary table of the figures beside their baselines; each other
# program ends with its own table of figures beside its goals.
pin=""
command -v taskset >/dev/null 2>&1 && pin="taskset -c 0"
$pin build-bench/bin/bench_MainRoadBench "$@"
for b in build-bench/bin/bench_*; do
    [ "$b" = build-bench/bin/bench_MainRoadBench ] && continue
    [ -x "$b" ] || continue
    echo
    echo "== $(basename "$b")"
    $pin "$b" "$@"
done
