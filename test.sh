#!/usr/bin/env bash
# Installs what the build needs, builds everything (Debug, warnings on) and runs
# every test with ctest on the offscreen platform. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
. .ci/common.sh
valdran_install_packages
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-debug -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVALDRAN_WARNINGS=ON
cmake --build build-debug -j"$(nproc)"
ctest --test-dir build-debug --output-on-failure -j"$(nproc)" --timeout 300
