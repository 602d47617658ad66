"""The online table: a game is listed only when the server has played it
again, every fault is rejected with its reason, and what was acknowledged
outlives a restart. Real HTTP on 127.0.0.1 and a real SQLite file, or with
MUNCHORA_SERVER_DB=postgresql a real PostgreSQL (the test command runs
these tests again inside pg_virtualenv, which gives a throwaway cluster)."""

import hashlib
import hmac
import json
import os
import secrets
import signal
import struct
import subprocess
import time
import urllib.error
import urllib.request
import zlib

import threading
import unittest

from harness import BUILD_DIR, HeadlessTest

DEMO = os.path.join(BUILD_DIR, "Data", "Demo.mnr")
POSTGRESQL = os.environ.get("MUNCHORA_SERVER_DB") == "postgresql"


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


# A short game: started, a few steps, quit; three seconds in real time.
SHORT_GAME = "3 key Space\n6 key Enter\n60 key Left\n150 key Escape\n152 key Y\n"


def result_score_at(replay):
    """Where the score of the result starts (see docs/replay-format.md)."""
    _, at = read_varint(replay, 10)  # magic, version, the recording time
    at += 16 + 1  # the digests, the game type
    _, at = read_varint(replay, at)  # the frame interval
    at += 1 + 4  # the start words, the seed
    for _ in range(6 + 1 + 1 + 2):  # the result so far, LastKey, the tick count, the input states
        _, at = read_varint(replay, at)
    length, at = read_varint(replay, at)  # the message line
    _, at = read_varint(replay, at + length)
    _, at = read_varint(replay, at)  # the start key
    at += 1 + 4  # its shift, the start time
    length, at = read_varint(replay, at)  # the events
    return at + length + 1  # after the end


def token_at(replay):
    """Where the run token's text starts in an online recording."""
    at = result_score_at(replay)
    for _ in range(6):  # the result's numbers
        _, at = read_varint(replay, at)
    scores = replay[at + 1]  # after the high-score place
    at += 2
    for _ in range(scores):
        _, at = read_varint(replay, at)
    if replay[at]:  # a high-score entry: its name, score and date
        length, at = read_varint(replay, at + 1)
        _, at = read_varint(replay, at + length)
        _, at = read_varint(replay, at)
    else:
        at += 1
    _, at = read_varint(replay, at)  # the token's length
    return at


class ServerFixture(HeadlessTest):
    """A server of the test's own on a fresh table."""

    def setUp(self):
        super().setUp()
        self.set_frame_interval(20)  # the short game lasts three seconds
        if POSTGRESQL:
            name = "table_" + secrets.token_hex(6)
            subprocess.run(["psql", "-qc", f"CREATE DATABASE {name}"], check=True)
            self.database = f"postgresql:///{name}"
        else:
            self.database = "sqlite:" + os.path.join(self.work, "table.db")
        self.servers = []
        self.start_server()

    def tearDown(self):
        while self.servers:
            self.stop_server()
        super().tearDown()

    def start_server(self, *args):
        """Starts a server on the test's table; the requests go to the newest."""
        server = subprocess.Popen(
            [os.path.join(BUILD_DIR, "munchora-server"), "--data", self.data, "--db", self.database,
             "--port", "0", "--workers", "2", *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = server.stdout.readline()
        self.assertIn("listening on http://127.0.0.1:", line, server.stderr.read() if not line else line)
        self.servers.append((server, line.split("listening on ")[1].split("/,")[0]))
        self.base = self.servers[-1][1]

    def stop_server(self):
        server, _ = self.servers.pop()
        server.send_signal(signal.SIGTERM)
        self.assertEqual(server.wait(timeout=30), 0)
        server.stdout.close()
        server.stderr.close()

    def call(self, path, body=None, base=None):
        """(status, parsed JSON or the raw bytes) of one request."""
        request = urllib.request.Request((base or self.base) + path, data=body, method="POST" if body is not None else "GET")
        if body is not None:
            request.add_header("Content-Type", "application/octet-stream")
        try:
            with urllib.request.urlopen(request, timeout=30) as answer:
                status, kind, payload = answer.status, answer.headers.get_content_type(), answer.read()
        except urllib.error.HTTPError as error:
            status, kind, payload = error.code, error.headers.get_content_type(), error.read()
        return status, json.loads(payload) if kind == "application/json" else payload


class ServerTest(ServerFixture):

    def submit(self, replay):
        status, verdict = self.call("/api/scores", replay)
        self.assertEqual(status, 201, verdict)
        return verdict

    def demo(self):
        with open(DEMO, "rb") as f:
            return f.read()

    def play_online(self, name="TESTER"):
        """Plays the short game for the table; (the runner's answer lines, the recording)."""
        replays = os.path.join(self.work, f"online{self.runs}")
        run = self.run_game(SHORT_GAME, frames=160,
                            args=["--replays", replays, "--online", self.base, "--player", name])
        with open(os.path.join(replays, "game-000001.mnr"), "rb") as f:
            recording = f.read()
        return [json.loads(line[len("online: "):]) for line in run.stdout.splitlines()
                if line.startswith("online: ")], recording

    def signed_token(self, issued_ms):
        with open(self.data_path("server-secret")) as f:
            secret = f.read().strip().encode()
        text = f"{issued_ms}.{secrets.token_hex(16)}"
        return text + "." + hmac.new(secret, text.encode(), hashlib.sha256).hexdigest()

    def as_online(self, offline, lasted_ms):
        """An offline recording sent as an online game: version 2 with a run
        token issued as long ago as the game lasted, and a player."""
        token = self.signed_token(int(time.time() * 1000) - lasted_ms - 1000).encode()
        body = bytearray(offline[:-4])
        body[8:10] = struct.pack("<H", 2)
        for text in (token, b"DEMO", b"0123456789abcdef"):
            body += bytes([len(text)]) + text
        return with_checksum(bytes(body) + b"\0\0\0\0")

    @staticmethod
    def with_token(recording, token):
        at = token_at(recording)
        old = recording[at:at + len(token)]
        assert len(old) == len(token) and old.count(b".") == 2, old
        return with_checksum(recording[:at] + token.encode() + recording[at + len(token):])

    def test_a_game_played_online_is_listed_ranked_and_its_recording_served(self):
        self.assertEqual(self.call("/api/health"), (200, {"status": "ok", "database": "ok"}))
        (first,), recording = self.play_online("ANN")
        self.assertEqual((first["status"], first["rank"], first["reason"], first["name"]), ("listed", 1, "", "ANN"),
                         first)
        self.assertGreater(first["score"], 0)
        # The same score again ranks after its equal, as the game's table does.
        (second,), _ = self.play_online("BOB")
        self.assertEqual((second["status"], second["rank"], second["score"]), ("listed", 2, first["score"]))

        status, boards = self.call("/api/boards")
        self.assertEqual(status, 200)
        self.assertEqual([(b["digest"], b["levels"], b["entries"]) for b in boards], [(first["board"], 30, 2)])
        status, board = self.call(f"/api/boards/{first['board']}?limit=1&offset=1")
        self.assertEqual(status, 200)
        self.assertEqual([(e["rank"], e["id"], e["score"]) for e in board["entries"]],
                         [(2, second["id"], second["score"])])
        self.assertEqual(self.call(f"/api/replays/{first['id']}"), (200, recording))
        self.assertEqual(self.call(f"/api/scores/{second['id']}")[1], second)

    def test_the_demo_and_a_whole_game_are_listed_in_the_order_of_their_scores(self):
        demo = self.submit(self.as_online(self.demo(), 18000))
        self.assertEqual((demo["status"], demo["rank"]), ("listed", 1), demo)
        # A whole game: a hero who never moves loses its three lives.
        self.run_game("3 key Space\n6 key Enter\n", frames=3000)
        with open(self.data_path("replays", "game-000001.mnr"), "rb") as f:
            whole = f.read()
        listed = self.submit(self.as_online(whole, 30000))
        self.assertEqual(listed["status"], "listed", listed)
        self.assertLess(listed["score"], demo["score"])
        self.assertEqual(listed["rank"], 2)
        self.assertEqual([e["id"] for e in self.call(f"/api/boards/{demo['board']}")[1]["entries"]],
                         [demo["id"], listed["id"]])

    def test_each_fault_is_rejected_with_its_reason_and_never_served(self):
        (listed,), online = self.play_online()
        self.assertEqual(listed["status"], "listed")
        at = token_at(online)
        forged_score = bytearray(online)
        forged_score[result_score_at(online)] += 2  # zigzag-coded: one point more, still one byte
        forged_token = bytearray(online)
        forged_token[at + 20] ^= 1
        now = int(time.time() * 1000)
        faults = {
            "token missing": self.demo(),
            "token forged": with_checksum(forged_token),
            "token expired": self.with_token(online, self.signed_token(now - 25 * 3600 * 1000)),
            "the game's time is longer than the time since its token was issued": self.with_token(
                online, self.signed_token(now - 100)),
            "the game's time is shorter than the time since its token was issued": self.with_token(
                online, self.signed_token(now - 3600 * 1000)),
            "unknown level set": self.with_token(with_digest_changed(online, 0), self.signed_token(now - 5000)),
            "unknown catalogue": self.with_token(with_digest_changed(online, 1), self.signed_token(now - 5000)),
            "the game went another way than recorded": self.with_token(with_checksum(forged_score),
                                                                       self.signed_token(now - 5000)),
            "token used before": online,
        }
        for reason, replay in faults.items():
            with self.subTest(reason):
                verdict = self.submit(replay)
                self.assertEqual(verdict["status"], "rejected")
                self.assertTrue(verdict["reason"].startswith(reason), verdict)
                self.assertIsNone(verdict["rank"])
                self.assertEqual(self.call(f"/api/replays/{verdict['id']}")[0], 404)
        self.assertEqual(self.call("/api/boards")[1][0]["entries"], 1)

    def test_requests_outside_the_limits_get_their_own_errors(self):
        cases = [
            ("POST", "/api/scores", b"\0" * (1024 * 1024 + 1), 413),
            ("POST", "/api/scores", b"", 400),
            ("POST", "/api/scores", self.demo()[:-1], 400),  # damaged: not kept
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

    def test_one_address_sending_too_often_is_refused_for_a_while(self):
        self.stop_server()
        self.start_server("--rate", "2")
        answers = [self.call("/api/scores", b"not a game")[0] for _ in range(3)]
        self.assertEqual(answers, [400, 400, 429])
        self.assertEqual(self.call("/api/health")[0], 200)  # the rest of the table still answers

    @unittest.skipUnless(POSTGRESQL, "several server processes share a PostgreSQL database")
    def test_two_servers_on_one_database_list_each_game_exactly_once(self):
        (listed,), online = self.play_online()
        self.stop_server()
        for _ in range(2):
            self.start_server("--rate", "100000")  # all the games come from one address here
        bases = [base for _, base in self.servers]
        # Two hundred games of their own: the same play under tokens of its time.
        issued = int(time.time() * 1000) - 4000
        games = [self.with_token(online, self.signed_token(issued)) for _ in range(200)]
        answers = [None] * len(games)

        def send(first):
            for i in range(first, len(games), 4):
                answers[i] = self.call("/api/scores", games[i], base=bases[i % 2])

        senders = [threading.Thread(target=send, args=(first,)) for first in range(4)]
        for sender in senders:
            sender.start()
        for sender in senders:
            sender.join()
        ids = set()
        for status, verdict in answers:
            self.assertIn(status, (201, 202))
            ids.add(verdict["id"])
        self.assertEqual(len(ids), len(games))
        deadline = time.time() + 120
        while time.time() < deadline:
            statuses = [self.call(f"/api/scores/{i}")[1]["status"] for i in ids]
            if "pending" not in statuses:
                break
            time.sleep(0.5)
        self.assertEqual(statuses, ["listed"] * len(games))
        board = self.call("/api/boards")[1][0]
        self.assertEqual(board["entries"], len(games) + 1)

    def test_a_server_killed_while_games_come_in_keeps_every_one_it_answered(self):
        self.stop_server()
        self.start_server("--rate", "100000")
        answered = []
        lock = threading.Lock()
        offline = self.demo()  # kept, then rejected: played offline

        def send():
            for _ in range(200):
                try:
                    status, verdict = self.call("/api/scores", offline)
                except OSError:
                    return  # the server is gone
                if status in (201, 202):
                    with lock:
                        answered.append(verdict["id"])

        senders = [threading.Thread(target=send) for _ in range(4)]
        for sender in senders:
            sender.start()
        time.sleep(0.5)
        server, _ = self.servers.pop()
        server.kill()
        server.wait()
        server.stdout.close()
        server.stderr.close()
        for sender in senders:
            sender.join()
        self.assertGreater(len(answered), 10)
        self.assertEqual(len(answered), len(set(answered)))  # none twice
        self.start_server()
        for number in answered:
            status, verdict = self.call(f"/api/scores/{number}")
            self.assertEqual((status, verdict["id"]), (200, number))

    def new_database(self):
        if POSTGRESQL:
            name = "table_" + secrets.token_hex(6)
            subprocess.run(["psql", "-qc", f"CREATE DATABASE {name}"], check=True)
            return f"postgresql:///{name}"
        return "sqlite:" + os.path.join(self.work, secrets.token_hex(6) + ".db")

    def table_tool(self, *args):
        return subprocess.run([os.path.join(BUILD_DIR, "munchora-server"), *args], capture_output=True, text=True,
                              timeout=60)

    def test_a_backup_puts_the_table_back_in_another_database(self):
        (listed,), recording = self.play_online()
        self.submit(self.demo())  # a rejected game goes into the backup too
        board = self.call(f"/api/boards/{listed['board']}")[1]
        backup = os.path.join(self.work, "table.jsonl")
        exported = self.table_tool("--db", self.database, "--export", backup)
        self.assertEqual(exported.returncode, 0, exported.stderr)
        self.assertIn("exported 2 games and 1 used tokens", exported.stdout)

        self.stop_server()
        self.database = self.new_database()
        imported = self.table_tool("--db", self.database, "--import", backup)
        self.assertEqual(imported.returncode, 0, imported.stderr)
        self.start_server()
        self.assertEqual(self.call(f"/api/boards/{listed['board']}")[1], board)
        self.assertEqual(self.call(f"/api/replays/{listed['id']}"), (200, recording))
        again = self.submit(recording)
        self.assertEqual((again["id"], again["reason"]), (3, "token used before"))  # numbered after the restored

        with open(backup, "a") as f:
            f.write('{"submission": {"id": 9}}\n')
        damaged = self.table_tool("--db", self.new_database(), "--import", backup)
        self.assertEqual(damaged.returncode, 1)
        self.assertIn("table.jsonl, line 4:", damaged.stderr)

    def test_what_was_acknowledged_outlives_a_restart(self):
        (listed,), _ = self.play_online()
        self.stop_server()
        self.start_server()
        self.assertEqual(self.call(f"/api/scores/{listed['id']}")[1], listed)
        # The secret outlives it too: the tokens it gave are still its own.
        self.assertEqual(os.stat(self.data_path("server-secret")).st_mode & 0o777, 0o600)
        # A file that cannot be opened ends in the server's own message.
        os.chmod(self.work, 0o755)
        bad = subprocess.run([os.path.join(BUILD_DIR, "munchora-server"), "--data", self.data, "--db",
                              "sqlite:" + os.path.join(self.work, "no", "such", "dir", "t.db"), "--port", "0"],
                             capture_output=True, text=True, timeout=30)
        self.assertEqual(bad.returncode, 1)
        self.assertIn("can't open the database", bad.stderr)
