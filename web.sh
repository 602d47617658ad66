#!/usr/bin/env bash
# Builds the browser version into build-web/ and serves it on 127.0.0.1,
# printing the address to open. --port N chooses the port (0: any free one);
# --build-only builds without serving.
set -euo pipefail
cd "$(dirname "$0")"
port=8019
serve=1
while [ $# -gt 0 ]; do
  case "$1" in
    --port) port="$2"; shift 2 ;;
    --build-only) serve=0; shift ;;
    *) echo "usage: ./web.sh [--port N] [--build-only]" >&2; exit 2 ;;
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
if [ "$serve" = 1 ]; then
  exec python3 web/serve.py build-web --port "$port"
fi
