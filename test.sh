#!/usr/bin/env bash
# Checks the layout and the layers of the code, builds everything and runs
# every test: unit and end-to-end tests in a Release build, the browser
# version played in a headless Chromium, then the unit tests and 20,000
# frames of the random player again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh test
./tools/check-format.sh
python3 tools/check-layers.py
jobs="$(nproc)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMUNCHORA_WERROR=ON > /dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

./web.sh --build-only
node --test tests/web/

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMUNCHORA_SANITIZE=ON -DMUNCHORA_WERROR=ON > /dev/null
cmake --build build-asan -j"$jobs" --target munchora_tests munchora-headless munchora_assets
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
./build-asan/tests/munchora_tests --gtest_brief=1
MUNCHORA_BUILD_DIR="$PWD/build-asan" MUNCHORA_MONKEY_FRAMES=20000 \
  python3 -m unittest discover -s tests/e2e -p test_monkey.py
echo "All tests passed."
