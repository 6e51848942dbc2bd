#!/usr/bin/env bash
# Builds the library and runs the example on the bundled timeline document.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}"

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target timeline_roundtrip
"$build/examples/timeline_roundtrip" examples/data/timeline.json
