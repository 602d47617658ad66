#!/usr/bin/env bash
# Builds the game and its data (not the tests and tools) and starts it.
# Extra arguments go to the game (Debug, NoMidi, NoSound, FullScreen).
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j"$(nproc)" --target munchora munchora_assets munchora_demo
exec ./build/munchora "$@"
