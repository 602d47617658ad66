#!/usr/bin/env python3
"""Posts mutated recordings to a live munchora-server and checks that it
answers each with a 4xx refusal or a verdict, never crashes, and still
answers /api/health afterwards. The mutations start from an online game of
the build's own (flipped, inserted and deleted bytes, cuts; with --deep,
half of them with the checksum made good, so the fields and the verifier
are reached too).

    tools/fuzz-server.py [--build build] [--count 10000] [--seed N] [--deep]"""

import argparse
import json
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import urllib.error
import urllib.request
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
SHORT_GAME = "3 key Space\n6 key Enter\n60 key Left\n150 key Escape\n152 key Y\n"


def mutate(rng, seed_game, deep):
    data = bytearray(seed_game)
    while data == seed_game:  # a mutation may put a byte back as it was
        data = mutated(rng, seed_game)
    if deep and rng.random() < 0.5 and len(data) > 4:
        data[-4:] = struct.pack("<I", zlib.crc32(bytes(data[:-4])))
    return bytes(data)


def mutated(rng, seed_game):
    data = bytearray(seed_game)
    for _ in range(rng.randint(1, 8)):
        kind = rng.randrange(5)
        at = rng.randrange(len(data)) if data else 0
        if kind == 0 and data:
            data[at] ^= 1 << rng.randrange(8)
        elif kind == 1:
            data[at:at] = bytes(rng.randrange(256) for _ in range(rng.randint(1, 16)))
        elif kind == 2 and data:
            del data[at:at + rng.randint(1, 16)]
        elif kind == 3:
            data = data[:at]
        elif data:
            data[at] = rng.choice((0, 0x7F, 0x80, 0xFF))
    return data


def call(base, path, body=None):
    request = urllib.request.Request(base + path, data=body, method="POST" if body is not None else "GET")
    try:
        with urllib.request.urlopen(request, timeout=30) as answer:
            return answer.status, answer.read()
    except urllib.error.HTTPError as error:
        return error.code, error.read()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--count", type=int, default=10000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--deep", action="store_true",
                        help="make the checksum of half the mutations good, so they reach the fields and the verifier")
    options = parser.parse_args()
    rng = random.Random(options.seed)
    work = tempfile.mkdtemp(prefix="munchora-fuzz-server-")
    server = None
    try:
        data = os.path.join(work, "data")
        os.makedirs(data)
        for entry in ("Munchora.ini", "Data", "Levels", "Music"):
            source = os.path.join(options.build, entry)
            (shutil.copytree if os.path.isdir(source) else shutil.copy2)(source, os.path.join(data, entry))
        server = subprocess.Popen([os.path.join(options.build, "munchora-server"), "--data", data, "--db",
                                   "sqlite:" + os.path.join(work, "table.db"), "--port", "0", "--rate", "100000"],
                                  stdout=subprocess.PIPE, text=True)
        base = server.stdout.readline().split("listening on ")[1].split("/,")[0]
        script = os.path.join(work, "game.txt")
        with open(script, "w") as f:
            f.write(SHORT_GAME)
        subprocess.run([os.path.join(options.build, "munchora-headless"), "--data", data, "--script", script,
                        "--frames", "160", "--out", os.path.join(work, "out"), "--replays",
                        os.path.join(work, "replays"), "--online", base], check=True, capture_output=True)
        with open(os.path.join(work, "replays", "game-000001.mnr"), "rb") as f:
            seed_game = f.read()

        answers = {}
        for number in range(options.count):
            status, body = call(base, "/api/scores", mutate(rng, seed_game, options.deep))
            if status == 201:
                verdict = json.loads(body)
                key = "201 " + verdict["status"] + ": " + verdict["reason"].split(":")[0]
            else:
                key = f"{status} " + json.loads(body)["error"].split(":")[0]
            answers[key] = answers.get(key, 0) + 1
            if server.poll() is not None:
                print(f"the server ended after {number + 1} recordings", file=sys.stderr)
                return 1
        health, _ = call(base, "/api/health")
        for key, count in sorted(answers.items(), key=lambda item: -item[1]):
            print(f"{count:6d}  {key}")
        print(f"{options.count} mutated recordings; the server still answers /api/health: {health}")
        bad = [key for key in answers if not key.startswith(("4", "201 rejected"))]
        return 0 if health == 200 and not bad else 1
    finally:
        if server:
            server.terminate()
            server.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
