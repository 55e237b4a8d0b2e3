#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, then builds and runs every test twice: in the release build and
# under AddressSanitizer + UndefinedBehaviorSanitizer. What the release lacks of the optional
# packages (Wine, at times) is named at the end: the tests that need it skip.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build run test test-optional
lacking="$(scripts/deps.sh --missing test-optional)"
for preset in release asan; do
    echo "=== $preset build"
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
[ -z "$lacking" ] || echo "=== optional, not installed: $lacking (the tests that need them skipped)"
