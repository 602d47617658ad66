"""The online table: a game is listed only when the server has played it
again, every fault is rejected with its reason, and what was acknowledged
outlives a restart. Real HTTP on 127.0.0.1 and a real SQLite file."""

import json
import os
import shutil
import signal
import struct
import subprocess
import urllib.error
import urllib.request
import zlib

from harness import BUILD_DIR, HeadlessTest

DEMO = os.path.join(BUILD_DIR, "Data", "Demo.mnr")


def read_varint(data, at):
    value = shift = 0
    while True:
        byte = data[at]
        at += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if not byte & 0x80:
            return value, at


def with_checksum(data):
    data = bytearray(data)
    data[-4:] = struct.pack("<I", zlib.crc32(bytes(data[:-4])))
    return bytes(data)


def with_digest_changed(replay, which):
    """The levels (0) or catalogue (1) digest of a recording changed, its
    checksum made good again: the file itself is sound."""
    data = bytearray(replay)
    _, at = read_varint(data, 10)  # after magic, version and the recording time
    data[at + 8 * which] ^= 0xFF
    return with_checksum(data)


class ServerTest(HeadlessTest):
    def setUp(self):
        super().setUp()
        self.database = os.path.join(self.work, "table.db")
        self.server = None
        self.start_server()

    def tearDown(self):
        self.stop_server()
        super().tearDown()

    def start_server(self):
        self.server = subprocess.Popen(
            [os.path.join(BUILD_DIR, "munchora-server"), "--data", self.data, "--db", "sqlite:" + self.database,
             "--port", "0", "--workers", "2"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = self.server.stdout.readline()
        self.assertIn("listening on http://127.0.0.1:", line, self.server.stderr.read() if not line else line)
        self.base = line.split("listening on ")[1].split("/,")[0]

    def stop_server(self):
        if self.server:
            self.server.send_signal(signal.SIGTERM)
            self.assertEqual(self.server.wait(timeout=30), 0)
            self.server.stdout.close()
            self.server.stderr.close()
            self.server = None

    def call(self, path, body=None):
        """(status, parsed JSON or the raw bytes) of one request."""
        request = urllib.request.Request(self.base + path, data=body, method="POST" if body is not None else "GET")
        if body is not None:
            request.add_header("Content-Type", "application/octet-stream")
        try:
            with urllib.request.urlopen(request, timeout=30) as answer:
                status, kind, payload = answer.status, answer.headers.get_content_type(), answer.read()
        except urllib.error.HTTPError as error:
            status, kind, payload = error.code, error.headers.get_content_type(), error.read()
        return status, json.loads(payload) if kind == "application/json" else payload

    def submit(self, replay):
        status, verdict = self.call("/api/scores", replay)
        self.assertEqual(status, 201, verdict)
        return verdict

    def demo(self):
        with open(DEMO, "rb") as f:
            return f.read()

    def test_a_verified_game_is_listed_ranked_and_its_recording_served(self):
        self.assertEqual(self.call("/api/health"), (200, {"status": "ok", "database": "ok"}))
        first = self.submit(self.demo())
        self.assertEqual((first["status"], first["rank"], first["reason"]), ("listed", 1, ""), first)
        self.assertGreater(first["score"], 0)
        # The same score again ranks after its equal, as the game's table does.
        second = self.submit(self.demo())
        self.assertEqual((second["status"], second["rank"]), ("listed", 2))

        status, boards = self.call("/api/boards")
        self.assertEqual(status, 200)
        self.assertEqual([(b["digest"], b["levels"], b["entries"]) for b in boards], [(first["board"], 30, 2)])
        status, board = self.call(f"/api/boards/{first['board']}?limit=1&offset=1")
        self.assertEqual(status, 200)
        self.assertEqual([(e["rank"], e["id"], e["score"]) for e in board["entries"]],
                         [(2, second["id"], second["score"])])
        self.assertEqual(self.call(f"/api/replays/{first['id']}"), (200, self.demo()))
        self.assertEqual(self.call(f"/api/scores/{second['id']}")[1], second)

    def test_each_fault_is_rejected_with_its_reason_and_never_served(self):
        # A quick game of our own, its score raised and its checksum made good.
        self.run_game("3 key Space\n6 key Enter\n20 key Escape\n22 key Y\n", frames=30)
        with open(self.data_path("replays", "game-000001.mnr"), "rb") as f:
            quit_game = bytearray(f.read())
        quit_game[-13] += 100  # the zigzag-coded score at the end
        demo = self.demo()
        faults = {
            "damaged file": demo[:len(demo) // 2],
            "unknown level set": with_digest_changed(demo, 0),
            "unknown catalogue": with_digest_changed(demo, 1),
            "the game went another way than recorded": with_checksum(quit_game),
        }
        for reason, replay in faults.items():
            with self.subTest(reason):
                verdict = self.submit(replay)
                self.assertEqual(verdict["status"], "rejected")
                self.assertTrue(verdict["reason"].startswith(reason), verdict)
                self.assertIsNone(verdict["rank"])
                self.assertEqual(self.call(f"/api/replays/{verdict['id']}")[0], 404)
        self.assertEqual(self.call("/api/boards")[1][0]["entries"], 0)

    def test_requests_outside_the_limits_get_their_own_errors(self):
        cases = [
            ("POST", "/api/scores", b"\0" * (1024 * 1024 + 1), 413),
            ("POST", "/api/scores", b"", 400),
            ("GET", "/api/nothing", None, 404),
            ("GET", "/api/scores/999", None, 404),
            ("GET", "/api/boards/0123456789abcdef", None, 404),
            ("GET", "/api/replays/999", None, 404),
        ]
        board = self.call("/api/boards")[1][0]["digest"]
        cases += [("GET", f"/api/boards/{board}?limit={limit}", None, 400) for limit in ("0", "101", "x", "-1")]
        for method, path, body, status in cases:
            with self.subTest(path=path, size=len(body or b"")):
                answer = self.call(path, body if method == "POST" else None)
                self.assertEqual(answer[0], status)
                self.assertIn("error", answer[1])

    def test_what_was_acknowledged_outlives_a_restart(self):
        listed = self.submit(self.demo())
        self.stop_server()
        self.start_server()
        self.assertEqual(self.call(f"/api/scores/{listed['id']}")[1], listed)
        # A file that cannot be opened ends in the server's own message.
        os.chmod(self.work, 0o755)
        bad = subprocess.run([os.path.join(BUILD_DIR, "munchora-server"), "--data", self.data, "--db",
                              "sqlite:" + os.path.join(self.work, "no", "such", "dir", "t.db"), "--port", "0"],
                             capture_output=True, text=True, timeout=30)
        self.assertEqual(bad.returncode, 1)
        self.assertIn("can't open the database", bad.stderr)
