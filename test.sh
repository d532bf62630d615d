#!/usr/bin/env bash
# Installs what the build needs, builds everything (Debug, warnings on) and runs
# every test with ctest on the offscreen platform. Exits non-zero on any failure.
#
#   ./test.sh              the normal build in build-debug
#   ./test.sh --sanitize   the same with AddressSanitizer and
#                          UndefinedBehaviorSanitizer, in build-asan; the first
#                          UBSan report fails its test, leak reports from Qt's
#                          and fontconfig's own start-up are suppressed by
#                          .ci/lsan.supp
set -euo pipefail
cd "$(dirname "$0")"
. .ci/common.sh
valdran_install_packages $VALDRAN_TEST_PACKAGES
export QT_QPA_PLATFORM=offscreen

case "${1:-}" in
    "")
        cmake -S . -B build-debug -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVALDRAN_WARNINGS=ON
        cmake --build build-debug -j"$(nproc)"
        ctest --test-dir build-debug --output-on-failure -j"$(nproc)" --timeout 300
        ;;
    --sanitize)
        export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
        export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp:print_suppressions=0"
        export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
        cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVALDRAN_WARNINGS=ON \
            -DVALDRAN_SANITIZE=ON -DVALDRAN_BENCH=OFF
        cmake --build build-asan -j"$(nproc)"
        # The sanitizers make every test slower; give them more time.
        ctest --test-dir build-asan --output-on-failure -j"$(nproc)" --timeout 900
        ;;
    *)
        echo "usage: $0 [--sanitize]" >&2
        exit 2
        ;;
esac
