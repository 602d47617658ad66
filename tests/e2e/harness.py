"""Runs munchora-headless on a private copy of the built program directory
and reads back what it wrote: the final state, the dumps and the events."""

import json
import os
import re
import shutil
import subprocess
import tempfile
import unittest

import corpus_capture

BUILD_DIR = os.environ.get("MUNCHORA_BUILD_DIR", os.path.join(os.path.dirname(__file__), "..", "..", "build"))
DATA_ENTRIES = ["Munchora.ini", "Data", "Levels", "Music"]
NOBODY = 65534


class Run:
    def __init__(self, out_dir, returncode, stdout, stderr):
        self.out_dir = out_dir
        self.returncode = returncode
        self.stdout = stdout
        self.stderr = stderr
        self.final = None
        self.states = []
        self.events = []
        if os.path.exists(os.path.join(out_dir, "final.json")):
            with open(os.path.join(out_dir, "final.json"), encoding="latin-1") as f:
                self.final = json.load(f)
        if os.path.exists(os.path.join(out_dir, "state.jsonl")):
            with open(os.path.join(out_dir, "state.jsonl"), encoding="latin-1") as f:
                self.states = [json.loads(line) for line in f if line.strip()]
        if os.path.exists(os.path.join(out_dir, "events.log")):
            with open(os.path.join(out_dir, "events.log"), encoding="latin-1") as f:
                self.events = [line.rstrip("\n") for line in f]

    def state_at(self, frame):
        """The dump taken after `frame`."""
        matches = [s for s in self.states if s["frame"] == frame]
        if not matches:
            raise AssertionError(f"no dump at frame {frame}")
        return matches[-1]

    def events_of(self, kind):
        """Events of one kind as (frame, rest of line)."""
        found = []
        for line in self.events:
            frame, _, rest = line.partition(" ")
            name, _, value = rest.partition(" ")
            if name == kind:
                found.append((int(frame), value))
        return found


class HeadlessTest(unittest.TestCase):
    """Each test gets its own copy of the program directory."""

    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="munchora_e2e_")
        self.data = os.path.join(self.work, "data")
        os.makedirs(self.data)
        for entry in DATA_ENTRIES:
            source = os.path.join(BUILD_DIR, entry)
            if os.path.isdir(source):
                shutil.copytree(source, os.path.join(self.data, entry))
            elif os.path.isfile(source):
                shutil.copy2(source, os.path.join(self.data, entry))
        self.set_frame_interval(10)
        self.runs = 0
        self.capture = corpus_capture.Recorder(self.id(), self.work, self.data) if corpus_capture.CAPTURE else None

    def set_frame_interval(self, ms):
        """The scripts count their frames at a set pace, whatever speed the
        game ships with."""
        path = os.path.join(self.data, "Munchora.ini")
        if not os.path.exists(path):
            return
        with open(path, encoding="latin-1") as f:
            text = f.read()
        with open(path, "w", encoding="latin-1") as f:
            f.write(re.sub(r"(?m)^Timer=.*$", f"Timer={ms}", text))

    def tearDown(self):
        if self.capture:
            self.capture.finish()
        for root, dirs, _ in os.walk(self.work):
            for name in dirs:
                os.chmod(os.path.join(root, name), 0o755)
        shutil.rmtree(self.work, ignore_errors=True)

    def run_game(self, script="", frames=1000, words=(), utc_ms=None, expect_ok=True, unprivileged=False,
                 args=(), repeatable=True):
        """`unprivileged` runs the game as a user without rights beyond the
        files' permissions: root would write into read-only places anyway.
        `args` go to the runner as they are (--replay FILE, --verify).
        `repeatable=False`: what the run shows depends on more than its
        script (a process beside it), so the corpus leaves it out."""
        self.runs += 1
        out_dir = os.path.join(self.work, f"out{self.runs}")
        script_path = os.path.join(self.work, f"script{self.runs}.txt")
        with open(script_path, "w") as f:
            f.write(script)
        executable = os.path.join(BUILD_DIR, "munchora-headless")
        prefix = []
        if unprivileged and os.geteuid() == 0:
            # The build directory may lie where that user cannot reach it.
            os.chmod(self.work, 0o755)
            executable = shutil.copy2(executable, os.path.join(self.work, "munchora-headless"))
            os.makedirs(out_dir)
            os.chown(out_dir, NOBODY, NOBODY)
            prefix = ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups"]
        command = prefix + [executable, "--data", self.data, "--script", script_path,
                            "--frames", str(frames), "--out", out_dir]
        if utc_ms is not None:
            command += ["--utc-ms", str(utc_ms)]
        command += list(args)
        if words:
            command += ["--"] + list(words)
        if self.capture:
            self.capture.before_run(script, frames, words, utc_ms, args, unprivileged or not repeatable)
        result = subprocess.run(command, capture_output=True, text=True, timeout=600)
        if self.capture:
            self.capture.after_run()
        if expect_ok:
            self.assertEqual(result.returncode, 0, result.stderr)
        return Run(out_dir, result.returncode, result.stdout, result.stderr)

    def data_path(self, *parts):
        return os.path.join(self.data, *parts)


def read_png(path):
    """The pixels of an 8-bit RGB PNG as rows of (r, g, b), as the runner writes them."""
    import struct
    import zlib
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    pos, width, height, idat = 8, 0, 0, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour == 2, "only 8-bit RGB"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 3
    rows, previous = [], bytearray(stride)
    for y in range(height):
        filter_type = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 3] if i >= 3 else 0
            up = previous[i]
            up_left = previous[i - 3] if i >= 3 else 0
            if filter_type == 1:
                line[i] = (line[i] + left) & 0xFF
            elif filter_type == 2:
                line[i] = (line[i] + up) & 0xFF
            elif filter_type == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif filter_type == 4:
                p = left + up - up_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
                predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else up_left)
                line[i] = (line[i] + predictor) & 0xFF
        rows.append([tuple(line[x * 3:x * 3 + 3]) for x in range(width)])
        previous = line
    return rows


def region_differs(rows_a, rows_b, left, top, right, bottom):
    return any(rows_a[y][x] != rows_b[y][x] for y in range(top, bottom) for x in range(left, right))


def write_bmp(path, width, height, rgb=(10, 20, 40)):
    """A plain 24-bit BMP, for level backgrounds in test data."""
    import struct
    row = bytes(rgb[::-1]) * width
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def write_level(data_dir, number, rows, **keys):
    """Replaces level `number` of a private data copy with a small maze."""
    import os
    keys.setdefault("MapWidth", len(rows[0]))
    keys.setdefault("MapHeight", len(rows))
    lines = ["[General]"] + [f"{k}={v}" for k, v in keys.items()] + ["[Map]"] + list(rows)
    name = os.path.join(data_dir, "Levels", f"Level{number:02d}")
    with open(name + ".map", "w") as f:
        f.write("\n".join(lines) + "\n")
    write_bmp(name + ".bmp", keys["MapWidth"] * 32, keys["MapHeight"] * 32)
