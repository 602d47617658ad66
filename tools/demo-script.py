#!/usr/bin/env python3
"""Writes the script of the demo game (assets/demo.script) that the build
plays with munchora-headless and ships as Data/Demo.mnr, the recording the
intro shows before any game was recorded.

The script is searched for, not written by hand, five seconds at a time:
for each stretch the runner plays a number of random ways of steering (a
turn every fifth to two thirds of a second) and keeps the one that, a little
later, has lost the fewest lives, then reached the furthest level, then
eaten the most. Run it again when the first level changes (a few minutes):

    tools/demo-script.py BUILD_DIR [SECONDS] > assets/demo.script
"""

import json
import os
import random
import shutil
import subprocess
import sys
import tempfile

STRETCH = 500   # frames searched at a time
LOOKAHEAD = 300  # frames without keys after a stretch, before it is judged
TRIES = 60
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
        self.rng = random.Random(2026)

    def run(self, lines, frames):
        """(lives, level, score) after `frames` frames of the script; lives
        -1 once the game is over."""
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

    def stretch(self, first, last):
        lines, frame = [], first
        while frame < last:
            lines.append(f"{frame} key {self.rng.choice(KEYS)}")
            frame += self.rng.randint(20, 70)
        return lines

    def search(self, end):
        lines = list(START)
        frame = 20
        while frame < end:
            last = min(frame + STRETCH, end)
            tries = [self.stretch(frame, last) for _ in range(TRIES)]
            value, best = max((self.run(lines + t, last + LOOKAHEAD), t) for t in tries)
            lines += best
            frame = last
            if value[0] < 0:
                break  # every way lost the game
        shutil.rmtree(self.work)
        return lines, frame


def main():
    build = os.path.abspath(sys.argv[1])
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    lines, last = Search(build).search(seconds * 100)
    print("# The demo game: written by tools/demo-script.py, played by the build (see CMakeLists.txt).")
    print("\n".join(lines + [f"{last} key Escape", f"{last + 5} key Y"]))


if __name__ == "__main__":
    main()
