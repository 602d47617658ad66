#!/usr/bin/env python3
"""Writes the script of the demo game (assets/demo.script) that the build
plays with munchora-headless and ships as Data/Demo.mnr, the recording the
intro shows before any game was recorded.

The script is searched for, not written by hand: every STEP frames the
runner tries each arrow key and looks HORIZON frames ahead. Keys that lose a
life are dropped; of the others the one that eats the most is kept. When
every key loses a life, the search goes back to an earlier choice and takes
its next best key, within a budget of runs. Run it again when the first
level changes (it takes some minutes):

    tools/demo-script.py BUILD_DIR [SECONDS] > assets/demo.script
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile

STEP = 40
HORIZON = 120
BUDGET = 4000  # runs of the game
START = ["3 key Space", "6 key Enter"]
KEYS = ["Left", "Right", "Up", "Down"]


class Search:
    def __init__(self, build):
        self.build = build
        self.work = tempfile.mkdtemp(prefix="munchora_demo_")
        self.data = os.path.join(self.work, "data")
        os.makedirs(self.data)
        shutil.copy(os.path.join(build, "Munchora.ini"), self.data)
        for entry in ("Data", "Levels", "Music"):
            os.symlink(os.path.join(build, entry), os.path.join(self.data, entry))
        self.runs = 0

    def run(self, lines, frames):
        """(lives, level, score) after `frames` frames of the script."""
        self.runs += 1
        script = os.path.join(self.work, "script.txt")
        with open(script, "w") as f:
            f.write("\n".join(lines) + "\n")
        shutil.rmtree(os.path.join(self.data, "replays"), ignore_errors=True)
        subprocess.run([os.path.join(self.build, "munchora-headless"), "--data", self.data, "--script", script,
                        "--frames", str(frames), "--out", self.work], check=True)
        with open(os.path.join(self.work, "final.json")) as f:
            state = json.load(f)
        lives = state["lives"] if state["screen"] == "scGame" else -1
        return lives, state["current_level"], state["score"]

    def choices(self, keys, frame, lives):
        """The keys at `frame` that keep every life, best first."""
        lines = START + [f"{f} key {k}" for f, k in keys]
        tried = [(self.run(lines + [f"{frame} key {key}"], frame + HORIZON), key) for key in KEYS]
        return [key for value, key in sorted(tried, reverse=True) if value[0] >= lives]

    def search(self, end):
        lives = self.run(START, 20)[0]
        chosen = []  # (frame, the key, the keys left to try there)
        frame = 20
        while frame < end and self.runs < BUDGET:
            keys = self.choices([(f, k) for f, k, _ in chosen], frame, lives)
            if keys:
                chosen.append((frame, keys[0], keys[1:]))
                frame += STEP
                continue
            # Every key loses a life: an earlier choice goes to its next key.
            while chosen and not chosen[-1][2]:
                chosen.pop()
            if not chosen:
                break
            f, _, rest = chosen.pop()
            chosen.append((f, rest[0], rest[1:]))
            frame = f + STEP
        shutil.rmtree(self.work)
        return [(f, k) for f, k, _ in chosen]


def main():
    build = os.path.abspath(sys.argv[1])
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    keys = Search(build).search(seconds * 100)
    last = keys[-1][0] + STEP if keys else 20
    print("# The demo game: written by tools/demo-script.py, played by the build (see CMakeLists.txt).")
    print("\n".join(START + [f"{f} key {k}" for f, k in keys] + [f"{last} key Escape", f"{last + 5} key Y"]))


if __name__ == "__main__":
    main()
