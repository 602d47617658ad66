#!/usr/bin/env python3
"""A corpus of recorded games and runner outputs, to show that a change of
the code left the game's behaviour as it was.

    tools/corpus.py BUILD_DIR            plays the corpus on a build, exit 1 on any difference
    tools/corpus.py --update BUILD_DIR   records it again with this build

The corpus is every runner script of the end-to-end tests (kept with the
files each test changed, tests/corpus/e2e_runs.jsonl), the playtest bot's
games (tests/corpus/games/), and the intro's demo. For each run the outputs
(final.json, state.jsonl, events.log, shots, standard output, exit status)
and the games it recorded are kept as digests in tests/corpus/digests.json,
and every recorded game must verify. The digests belong to the data they
were made with: when the levels, music or pictures change, record the corpus
again with a build from before the change being checked."""

import argparse
import concurrent.futures
import glob
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import corpus_capture  # noqa: E402

CORPUS = os.path.join(ROOT, "tests", "corpus")
E2E_RUNS = os.path.join(CORPUS, "e2e_runs.jsonl")
GAMES = os.path.join(CORPUS, "games")
DIGESTS = os.path.join(CORPUS, "digests.json")
DATA_ENTRIES = ["Munchora.ini", "Data", "Levels", "Music"]
GAME_COUNT = 20
# Frames a bot game runs on after its last key, the next level's first
# half minute with the hero idle; then the window is closed.
IDLE_FRAMES = 1500


def digest(data):
    return hashlib.sha256(data).hexdigest()[:16]


def file_digest(path):
    with open(path, "rb") as f:
        return digest(f.read())


def data_digest(build):
    """The game's data and the demo's keys: what the corpus's outcomes depend
    on besides the code."""
    h = hashlib.sha256()
    # Named as they are in the source and the build, wherever the build is.
    named = [("assets/demo.script", os.path.join(ROOT, "assets", "demo.script")),
             ("Munchora.ini", os.path.join(build, "Munchora.ini"))]
    for entry in ("Data", "Levels", "Music"):
        found = sorted(p for p in glob.glob(os.path.join(build, entry, "**"), recursive=True) if os.path.isfile(p))
        named += [(os.path.relpath(p, build), p) for p in found]
    for name, path in named:
        if path.endswith("Demo.mnr"):
            continue
        h.update(name.encode() + b"\0")
        with open(path, "rb") as f:
            h.update(f.read())
    return h.hexdigest()[:16]


class Player:
    def __init__(self, build):
        self.build = os.path.abspath(build)
        self.runner = os.path.join(self.build, "munchora-headless")

    def copy_data(self, into, timer=None, linked=False):
        """The program directory; `linked` shares the pictures and sounds,
        for runs that only read them."""
        os.makedirs(into)
        for entry in DATA_ENTRIES:
            source = os.path.join(self.build, entry)
            if entry == "Data" and linked:
                os.symlink(source, os.path.join(into, entry))
            elif os.path.isdir(source):
                shutil.copytree(source, os.path.join(into, entry))
            elif os.path.isfile(source):
                shutil.copy2(source, os.path.join(into, entry))
        if timer is not None:
            ini = os.path.join(into, "Munchora.ini")
            with open(ini, encoding="latin-1") as f:
                text = f.read()
            with open(ini, "w", encoding="latin-1") as f:
                f.write(re.sub(r"(?m)^Timer=.*$", f"Timer={timer}", text))

    def run(self, data, out, script, frames, words=(), utc_ms=None, args=(), replays=None):
        """One runner run; the digests of what it wrote."""
        os.makedirs(out, exist_ok=True)
        script_path = out + ".script"
        with open(script_path, "w") as f:
            f.write(script)
        command = [self.runner, "--data", data, "--script", script_path, "--frames", str(frames), "--out", out]
        if utc_ms is not None:
            command += ["--utc-ms", str(utc_ms)]
        if replays:
            command += ["--replays", replays]
        command += list(args)
        if words:
            command += ["--"] + list(words)
        result = subprocess.run(command, capture_output=True, timeout=600)
        # Messages name files by their path, which lies in a new directory each time.
        work = os.path.dirname(os.path.abspath(data)).encode()
        found = {"exit": result.returncode, "stdout": digest(result.stdout.replace(work, b"{work}"))}
        for name in sorted(os.listdir(out)):
            with open(os.path.join(out, name), "rb") as f:
                found[name] = digest(f.read().replace(work, b"{work}"))
        return found

    def verify(self, data, replay, out):
        """None when the recorded game plays back as it went, else why not."""
        result = subprocess.run([self.runner, "--data", data, "--replay", replay, "--verify", "--out", out],
                                capture_output=True, text=True, timeout=600)
        return None if result.returncode == 0 else (result.stdout + result.stderr).strip()


def new_replays(folder, before):
    """The recordings in `folder` that are new or changed since `before`."""
    now = {}
    if os.path.isdir(folder):
        for name in sorted(os.listdir(folder)):
            if name.endswith(".mnr"):
                now[name] = file_digest(os.path.join(folder, name))
    return now, {name: d for name, d in now.items() if before.get(name) != d}


def verify_where_recorded(player, data, replays, names, work):
    """Verifies recordings against a copy of the directory as it stands now,
    so the verification leaves the test's own directory untouched."""
    if not names:
        return {}
    copy = os.path.join(work, "verify-data")
    shutil.rmtree(copy, ignore_errors=True)
    os.makedirs(copy)
    for entry in os.listdir(data):
        source = os.path.join(data, entry)
        if entry == "Data":
            os.symlink(source, os.path.join(copy, entry))
        elif os.path.isdir(source):
            shutil.copytree(source, os.path.join(copy, entry))
        else:
            shutil.copy2(source, os.path.join(copy, entry))
    faults = {}
    for name in names:
        fault = player.verify(copy, os.path.join(replays, name), os.path.join(work, "verify-out"))
        if fault:
            faults[name] = fault
    return faults


def play_e2e(player, record):
    """One test's runs, in order, on one directory as the test had it."""
    work = tempfile.mkdtemp(prefix="munchora_corpus_")
    try:
        data = os.path.join(work, "data")
        player.copy_data(data, timer=10)
        replays = os.path.join(data, "replays")
        outcome, faults = {}, {}
        for number, run in enumerate(record["runs"], 1):
            corpus_capture.apply(data, run["files"])
            # What the test put there is not the game's recording.
            seen, _ = new_replays(replays, {})
            args = [a.replace(corpus_capture.WORK, work) for a in run["args"]]
            found = player.run(data, os.path.join(work, f"out{number}"), run["script"], run["frames"],
                               run["words"], run["utc_ms"], args)
            _, written = new_replays(replays, seen)
            for name, d in written.items():
                found[name] = d
            for name, fault in verify_where_recorded(player, data, replays, written, work).items():
                faults[f"{record['test']} #{number} {name}"] = fault
            outcome[str(number)] = found
        return record["test"], outcome, faults
    finally:
        shutil.rmtree(work, ignore_errors=True)


def game_frames(script):
    last = max(int(line.split()[0]) for line in script.splitlines() if line and not line.startswith("#"))
    return last + IDLE_FRAMES


def play_game(player, path):
    """A bot game from the title screen, recorded; it goes on idle after the
    bot's last key until the runner closes the window."""
    work = tempfile.mkdtemp(prefix="munchora_corpus_")
    try:
        data = os.path.join(work, "data")
        player.copy_data(data, linked=True)
        with open(path) as f:
            script = f.read()
        replays = os.path.join(work, "replays")
        found = player.run(data, os.path.join(work, "out"), script, game_frames(script), replays=replays + "/")
        _, written = new_replays(replays, {})
        found.update(written)
        faults = {f"{os.path.basename(path)} {name}": fault
                  for name, fault in verify_where_recorded(player, data, replays, written, work).items()}
        return os.path.basename(path), found, faults
    finally:
        shutil.rmtree(work, ignore_errors=True)


def play_demo(player):
    work = tempfile.mkdtemp(prefix="munchora_corpus_")
    try:
        data = os.path.join(work, "data")
        player.copy_data(data, linked=True)
        demo = os.path.join(player.build, "Data", "Demo.mnr")
        fault = player.verify(data, demo, os.path.join(work, "out"))
        return {"Demo.mnr": file_digest(demo)}, ({"Demo.mnr": fault} if fault else {})
    finally:
        shutil.rmtree(work, ignore_errors=True)


def play_all(player):
    """Everything in the corpus, two runs at a time: the digests and the
    recordings that did not verify."""
    with open(E2E_RUNS) as f:
        records = [json.loads(line) for line in f if line.strip()]
    games = sorted(glob.glob(os.path.join(GAMES, "*.script")))
    result = {"e2e": {}, "games": {}}
    faults = {}
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        e2e = [pool.submit(play_e2e, player, record) for record in records]
        bot = [pool.submit(play_game, player, path) for path in games]
        demo = pool.submit(play_demo, player)
        for future in e2e:
            name, outcome, bad = future.result()
            result["e2e"][name] = outcome
            faults.update(bad)
        for future in bot:
            name, outcome, bad = future.result()
            result["games"][name] = outcome
            faults.update(bad)
        result["demo"], bad = demo.result()
        faults.update(bad)
    return result, faults


def differences(expected, actual, where=""):
    if isinstance(expected, dict) and isinstance(actual, dict):
        lines = []
        for key in sorted(set(expected) | set(actual)):
            lines += differences(expected.get(key), actual.get(key), f"{where}/{key}" if where else key)
        return lines
    return [] if expected == actual else [f"{where}: {expected} recorded, {actual} now"]


def capture_e2e(build):
    """Runs the end-to-end tests that use the runner, keeping their runs."""
    modules = sorted(os.path.basename(p)[:-3] for p in glob.glob(os.path.join(ROOT, "tests", "e2e", "test_*.py"))
                     if "run_game(" in open(p).read())
    fd, capture = tempfile.mkstemp(prefix="munchora_capture_", suffix=".jsonl")
    os.close(fd)
    env = dict(os.environ, MUNCHORA_BUILD_DIR=os.path.abspath(build), MUNCHORA_CORPUS_CAPTURE=capture)
    try:
        # A test that failed (one in real time may, on a busy machine) still
        # leaves the runs it made, which are what the corpus keeps.
        if subprocess.run([sys.executable, "-m", "unittest", *modules], cwd=os.path.join(ROOT, "tests", "e2e"),
                          env=env).returncode != 0:
            print("corpus: some end-to-end tests failed; their runs are kept all the same")
        with open(capture) as f:
            lines = sorted(f, key=lambda line: json.loads(line)["test"])
    finally:
        os.remove(capture)
    os.makedirs(CORPUS, exist_ok=True)
    with open(E2E_RUNS, "w") as f:
        f.writelines(lines)


def capture_games(build):
    """The bot's demo games of the first level, seed after seed, until there
    are enough (a seed whose game lost a life gives none)."""
    shutil.rmtree(GAMES, ignore_errors=True)
    os.makedirs(GAMES)
    playtest = os.path.join(build, "tools", "playtest")
    seed, kept = 1, 0
    while kept < GAME_COUNT:
        if seed > 10 * GAME_COUNT:
            sys.exit("corpus: the bot found too few games worth keeping")
        path = os.path.join(GAMES, f"seed-{seed:03d}.script")
        result = subprocess.run([playtest, "--data", os.path.abspath(build) + "/", "--demo-script", path, "--profiles", "expert",
                                 "--seed", str(seed)], capture_output=True, text=True)
        if result.returncode == 0:
            # Without the bot's quitting, the game goes on to the next level.
            with open(path) as f:
                lines = [line for line in f
                         if not line.startswith("#") and not re.match(r"\d+ key (Escape|Y)$", line.strip())]
            with open(path, "w") as f:
                f.write(f"# The playtest bot's game of level 1 with seed {seed}, left idle on level 2.\n")
                f.writelines(lines)
            kept += 1
        seed += 1


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--update", action="store_true", help="record the corpus again with this build")
    parser.add_argument("build", help="the build directory")
    options = parser.parse_args()
    player = Player(options.build)
    data = data_digest(player.build)

    if options.update:
        capture_e2e(player.build)
        capture_games(player.build)
        result, faults = play_all(player)
        if faults:
            for name, fault in faults.items():
                print(f"corpus: {name} does not verify: {fault}")
            sys.exit("corpus: not recorded, as this build's games do not verify")
        with open(DIGESTS, "w") as f:
            json.dump({"data": data, **result}, f, indent=1, sort_keys=True)
            f.write("\n")
        print(f"corpus: recorded {len(result['e2e'])} tests' runs and {len(result['games'])} bot games")
        return

    with open(DIGESTS) as f:
        expected = json.load(f)
    if expected["data"] != data:
        sys.exit("corpus: the game's data (levels, music, pictures, settings or the demo's keys) is not what the "
                 "corpus was recorded with; record it again with the build from before the change being checked: "
                 "tools/corpus.py --update BUILD_DIR")
    result, faults = play_all(player)
    lines = differences({k: v for k, v in expected.items() if k != "data"}, result)
    for line in lines:
        print(f"corpus: changed: {line}")
    for name, fault in faults.items():
        print(f"corpus: {name} does not verify: {fault}")
    if lines or faults:
        sys.exit(1)
    print(f"corpus: {len(result['e2e'])} tests' runs, {len(result['games'])} bot games and the demo as recorded")


if __name__ == "__main__":
    main()
