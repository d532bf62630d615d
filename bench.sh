#!/usr/bin/env bash
# Builds Release and runs every benchmark.
set -euo pipefail
cd "$(dirname "$0")"
. .ci/common.sh
valdran_install_packages
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build-bench -j"$(nproc)"
# One program measures the main road and ends with a summary table of the
# figures beside their baselines; it runs on one core.
if command -v taskset >/dev/null 2>&1; then
    taskset -c 0 build-bench/bin/bench_MainRoadBench "$@"
else
    build-bench/bin/bench_MainRoadBench "$@"
fi
