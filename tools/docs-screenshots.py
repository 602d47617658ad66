#!/usr/bin/env python3
"""Takes the screenshots of docs/ with the headless runner on private copies
of the built program directory:

    tools/docs-screenshots.py [BUILD_DIR]

intro.png, game.png (a game with seven lives), highscores.png (three
results), highscores-empty.png, password.png, name-entry.png and
help-controls.png."""

import os
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
DOCS = os.path.join(ROOT, "docs")
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from harness import DATA_ENTRIES, write_level  # noqa: E402


def fresh_data(work):
    data = os.path.join(work, "data")
    os.makedirs(data)
    for entry in DATA_ENTRIES:
        source = os.path.join(BUILD, entry)
        if os.path.isdir(source):
            shutil.copytree(source, os.path.join(data, entry))
        else:
            shutil.copy2(source, os.path.join(data, entry))
    return data


def run(data, script, frames, shots, words=()):
    out = tempfile.mkdtemp(prefix="munchora_docs_out_")
    with open(os.path.join(out, "script.txt"), "w") as f:
        f.write(script)
    command = [os.path.join(BUILD, "munchora-headless"), "--data", data, "--script",
               os.path.join(out, "script.txt"), "--frames", str(frames), "--out", out]
    if words:
        command += ["--"] + list(words)
    subprocess.run(command, check=True)
    for shot in shots:
        shutil.copy(os.path.join(out, shot + ".png"), os.path.join(DOCS, shot + ".png"))
    shutil.rmtree(out)


def high_score(name, score, monsters, bonuses, level):
    record = bytearray(40)
    record[0] = len(name)
    record[1:1 + len(name)] = name.encode("latin-1")
    record[24:40] = struct.pack("<4i", score, monsters, bonuses, level)
    return bytes(record)


def main():
    work = tempfile.mkdtemp(prefix="munchora_docs_")
    try:
        data = fresh_data(work)
        # The menus: the title, the controls page, the password entry, the
        # empty high-score list, then the list with three results.
        menus = ("5 shot intro\n10 key Space\n20 key Down\n21 key Down\n22 key Down\n23 key Down\n"
                 "30 key Enter\n40 key Down\n41 key Down\n42 key Enter\n50 shot help-controls\n"
                 "60 key Escape\n70 key Up\n71 key Up\n72 key Up\n73 key Enter\n80 key M\n81 key U\n"
                 "82 key N\n83 key C\n84 key H\n90 shot password\n100 key Escape\n110 key Down\n111 key Down\n"
                 "112 key Enter\n120 shot highscores-empty\n")
        run(data, menus, 125, ["intro", "help-controls", "password", "highscores-empty"])
        with open(os.path.join(data, "Munchora.hsc"), "wb") as f:
            f.write(high_score("ACE", 48210, 37, 12, 9) + high_score("Munch fan", 23770, 18, 6, 5) +
                    high_score("Rookie", 4150, 2, 1, 2))
        run(data, "5 key Space\n10 key Down\n11 key Down\n12 key Down\n20 key Enter\n30 shot highscores\n", 35,
            ["highscores"])

        # Seven lives: a corridor whose far end is the only place an extra life
        # can appear (never next to the hero's start), walked to and fro, then
        # the real first level as level 2.
        shutil.copy(os.path.join(data, "Levels", "Level01.map"), os.path.join(data, "Levels", "Level02.map"))
        shutil.copy(os.path.join(data, "Levels", "Level01.bmp"), os.path.join(data, "Levels", "Level02.bmp"))
        write_level(data, 1, ["BBBBBBBB", "BCCCCBAB", "BBBBBBBB"], PlayerPointX=1, PlayerPointY=1, EnemyCount=0,
                    BossCount=0, GhostCount=0, BonusLevel=0)
        script = "3 key Space\n6 key Enter\n"
        frame = 20
        for step in range(4):
            script += f"{frame} key F2\n{frame + 2} key {'Right' if step % 2 == 0 else 'Left'}\n"
            frame += 40
        script += f"{frame} key Ctrl+2\n{frame + 150} key Right\n{frame + 300} shot game\n"
        run(data, script, frame + 305, ["game"], words=["Debug"])

        # The name entry after the last life: one monster in a corridor.
        write_level(data, 1, ["BBBBBBB", "BCAAACB", "BBBBBBB"], PlayerPointX=1, PlayerPointY=1, EnemyPointX=5,
                    EnemyPointY=1, EnemyCount=1, BossCount=0, GhostCount=0, BonusLevel=0)
        script = "3 key Space\n6 key Enter\n8 key Ctrl+Enter\n210 key Space\n220 key S\n221 key A\n222 key M\n"
        script += "230 shot name-entry\n"
        run(data, script, 235, ["name-entry"], words=["Debug"])
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
