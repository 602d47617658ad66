#!/usr/bin/env bash
# Builds the browser version into build-web/ and serves it on 127.0.0.1,
# printing the address to open. --port N chooses the port (0: any free one);
# --build-only builds without serving; --dist DIR also writes the static files
# any web host can serve into DIR (no server code is needed for the game).
set -euo pipefail
cd "$(dirname "$0")"
port=8019
serve=1
dist=""
while [ $# -gt 0 ]; do
  case "$1" in
    --port) port="$2"; shift 2 ;;
    --build-only) serve=0; shift ;;
    --dist) dist="$2"; serve=0; shift 2 ;;
    *) echo "usage: ./web.sh [--port N] [--build-only] [--dist DIR]" >&2; exit 2 ;;
  esac
done
./tools/install-deps.sh web
jobs="$(nproc)"

# The pictures, sounds and tunes come from the native asset generator.
cmake -S . -B build > /dev/null
cmake --build build -j"$jobs" --target munchora_assets munchora_demo
# Debian's emscripten runs its optimizer with node, which finds Debian's own
# JavaScript modules (acorn) only on this path.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DMUNCHORA_WERROR=ON \
  -DMUNCHORA_DATA_DIR="$PWD/build" > /dev/null
cmake --build build-web -j"$jobs"
if [ -n "$dist" ]; then
  mkdir -p "$dist"
  for file in index.html page.js sw.js manifest.webmanifest munchora.js munchora.wasm munchora.data munchora.png \
      js-synthesizer.min.js js-synthesizer.worklet.min.js libfluidsynth-2.4.6.js TimGM6mb.sf2; do
    cp build-web/"$file" "$dist/"
  done
  cp -r build-web/licences "$dist/"
  echo "The page's files are in $dist: serve them from any web host."
fi
if [ "$serve" = 1 ]; then
  exec python3 web/serve.py build-web --port "$port"
fi
