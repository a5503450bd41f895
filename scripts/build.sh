#!/usr/bin/env bash
# Configures and builds the project into build/: the `dev` preset of CMakePresets.json (Release with
# debug info, warnings as errors).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)"
