#!/usr/bin/env bash
# Builds Release and runs every benchmark.
set -euo pipefail
cd "$(dirname "$0")"
. .ci/common.sh
valdran_install_packages
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build-bench -j"$(nproc)"
for b in build-bench/bin/bench_*; do
    echo "== $(basename "$b")"
    "$b" "$@"
done
