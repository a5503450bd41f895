#!/usr/bin/env bash
# Set-up, build and every test. This is what CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
# Decimal separators of PDF numbers and records must not follow the process locale: the tests
# run once more under an Italian locale where one is available.
ctest --test-dir build --output-on-failure -j"$(nproc)"
