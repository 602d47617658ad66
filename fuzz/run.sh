#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for the given number of seconds.
# Usage: fuzz/run.sh SECONDS [NAME...]   (names: ini level highscore replay level_pack; default all)
# Exits non-zero when any fuzzer found a crash.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:?usage: fuzz/run.sh SECONDS [NAME...]}"
shift
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(ini level highscore replay level_pack)

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if ! command -v clang++ > /dev/null; then
    sudo_if_needed apt-get update
    sudo_if_needed apt-get install -y clang
fi
# The fuzzer runtime comes in its own package on some releases.
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer - -o /dev/null 2> /dev/null; then
    sudo_if_needed apt-get install -y libclang-rt-14-dev
fi

out=build-fuzz
mkdir -p "$out"

# The readers under test depend only on each other and the standard library.
sources=(src/formats/ini_file.cpp src/formats/files.cpp src/formats/checksum.cpp src/formats/level_pack.cpp
    src/game/level.cpp src/game/level_sets.cpp src/game/random.cpp src/game/globals.cpp src/game/high_scores.cpp
    src/replay/replay_file.cpp src/replay/event_record.cpp)

seed() {
    local name="$1" corpus="$out/corpus/$1"
    mkdir -p "$corpus"
    case "$name" in
        ini) cp assets/Munchora.ini "$corpus/" ;;
        level) cp assets/levels/*.map "$corpus/" ;;
        highscore)
            # One record, and a full table with a partial record after it.
            printf '\x03Ann\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\xe8\x03\0\0\x05\0\0\0\x02\0\0\0\x03\0\0\0' \
                > "$corpus/one.hsc"
            for i in 1 2 3 4 5 6 7; do cat "$corpus/one.hsc"; done > "$corpus/full.hsc"
            printf 'abc' >> "$corpus/full.hsc"
            # A name length of 255 and an odd length.
            printf '\xffZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ1' > "$corpus/long-name.hsc"
            printf '\x01' > "$corpus/odd.hsc"
            ;;
        level_pack)
            # Three shipped levels as one pack (docs/level-set-format.md).
            python3 - "$corpus/three.mnl" assets/levels/Level0[123].map << 'PACK'
import struct, sys, zlib, os
out = b"MNLS" + struct.pack("<HI", 1, len(sys.argv) - 2)
for path in sorted(sys.argv[2:]):
    name, data = os.path.basename(path).encode(), open(path, "rb").read()
    out += struct.pack("<H", len(name)) + name + struct.pack("<I", len(data)) + data
open(sys.argv[1], "wb").write(out + struct.pack("<I", zlib.crc32(out)))
PACK
            ;;
        replay)
            # The demo the build makes, when there is a build.
            if [ -f build/Data/Demo.mnr ]; then cp build/Data/Demo.mnr "$corpus/"; fi
            ;;
    esac
    if [ -d "fuzz/regressions/$name" ]; then cp fuzz/regressions/"$name"/* "$corpus/" 2> /dev/null || true; fi
}

# UBSan findings abort, so the fuzzer keeps them as crashes.
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I src)
mkdir -p "$out/obj"
objects=()
for source in fuzz/checks.cpp "${sources[@]}"; do
    object="$out/obj/$(basename "$source" .cpp).o"
    clang++ "${flags[@]}" -c "$source" -o "$object"
    objects+=("$object")
done
for name in "${names[@]}"; do
    clang++ "${flags[@]}" "fuzz/${name}_fuzz.cpp" "${objects[@]}" -o "$out/${name}_fuzz"
done

status=0
pids=()
for name in "${names[@]}"; do
    seed "$name"
    mkdir -p "$out/crashes/$name"
    (
        "$out/${name}_fuzz" -max_total_time="$seconds" -artifact_prefix="$out/crashes/$name/" \
            -print_final_stats=1 "$out/corpus/$name" > "$out/${name}.log" 2>&1
    ) &
    pids+=($!)
done
for i in "${!pids[@]}"; do
    if ! wait "${pids[$i]}"; then
        echo "${names[$i]}: crash found, see $out/${names[$i]}.log and $out/crashes/${names[$i]}/" >&2
        status=1
    else
        echo "${names[$i]}: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$out/${names[$i]}.log")"
    fi
done
exit $status
