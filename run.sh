#!/usr/bin/env bash
# Installs what the build needs, builds valdran (Release) and starts it on the
# sample archives.
set -euo pipefail
cd "$(dirname "$0")"
. .ci/common.sh
valdran_install_packages
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVALDRAN_TESTS=OFF -DVALDRAN_BENCH=OFF
cmake --build build -j"$(nproc)"
exec ./build/bin/valdran AUTO "$PWD/data/archives/*.AG?" "$@"
