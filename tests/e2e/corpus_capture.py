"""What the end-to-end tests ran, kept for tools/corpus.py: each run's
script and arguments, and the files the test changed in its program
directory before the run. Played again in order on a fresh copy, the runs
see the same directory as they did in the test. Active only when
MUNCHORA_CORPUS_CAPTURE names a file to append to."""

import base64
import json
import os
import shutil
import stat
import zlib

CAPTURE = os.environ.get("MUNCHORA_CORPUS_CAPTURE")
WORK = "{work}"


def snapshot(root):
    """Every entry under root: its kind, mode, size and time of change."""
    found = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            path = os.path.join(folder, name)
            info = os.lstat(path)
            found[os.path.relpath(path, root)] = (stat.S_ISDIR(info.st_mode), info.st_mode & 0o777, info.st_size,
                                                  info.st_mtime_ns)
    return found


def changes(root, before, after):
    """What differs between two snapshots, as `apply` takes it; contents
    compressed, as the tests' made-up pictures are mostly one colour."""
    changed = {}
    for path in sorted(set(before) | set(after)):
        if path not in after:
            changed[path] = None
        elif before.get(path) != after[path]:
            is_dir, mode, _, _ = after[path]
            entry = {"mode": mode}
            if not is_dir:
                with open(os.path.join(root, path), "rb") as f:
                    entry["data"] = base64.b64encode(zlib.compress(f.read(), 9)).decode()
            changed[path] = entry
    return changed


def apply(root, changed):
    """Makes a fresh copy look as the test had made it."""
    for path, entry in sorted(changed.items(), key=lambda item: item[0].count(os.sep), reverse=True):
        if entry is None:
            target = os.path.join(root, path)
            if os.path.isdir(target) and not os.path.islink(target):
                shutil.rmtree(target)
            elif os.path.lexists(target):
                os.remove(target)
    for path, entry in sorted(changed.items()):
        if entry is None:
            continue
        target = os.path.join(root, path)
        if "data" in entry:
            os.makedirs(os.path.dirname(target), exist_ok=True)
            if os.path.lexists(target):
                os.chmod(target, 0o644)
            with open(target, "wb") as f:
                f.write(zlib.decompress(base64.b64decode(entry["data"])))
        else:
            os.makedirs(target, exist_ok=True)
        os.chmod(target, entry["mode"])


class Recorder:
    """One test's runs, written out as one line when the test ends. A test
    that runs the game as another user is left out: what it checks is the
    files' permissions, which a copy cannot stand for."""

    def __init__(self, test_id, work, data):
        self.test_id = test_id
        self.work = work
        self.data = data
        self.last = snapshot(data)
        self.runs = []
        self.usable = True

    def before_run(self, script, frames, words, utc_ms, args, unrepeatable):
        # A game played online depends on a server the corpus does not start,
        # one with --levels on files outside the program directory.
        if unrepeatable or "--online" in args or "--levels" in args:
            self.usable = False
        if not self.usable:
            return
        now = snapshot(self.data)
        self.runs.append({"script": script, "frames": frames, "words": list(words), "utc_ms": utc_ms,
                          "args": [a.replace(self.work, WORK) for a in args],
                          "files": changes(self.data, self.last, now)})

    def after_run(self):
        if self.usable:
            self.last = snapshot(self.data)

    def finish(self):
        if self.usable and self.runs:
            with open(CAPTURE, "a") as f:
                f.write(json.dumps({"test": self.test_id, "runs": self.runs}, sort_keys=True) + "\n")
