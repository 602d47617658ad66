"""The online table in the game: a ranked game's rank reaches the message
line, the table on the high-score screen lists it and plays its recording,
a server that is down or slow never slows the game, and a game that could
not be sent is sent at the next start. A real munchora-server on SQLite,
real HTTP on 127.0.0.1."""

import http.server
import os
import socketserver
import threading
import time
import urllib.request

import test_server

# Started, a few steps, quit to the menu (its submission goes out), then the
# high-score screen and the online table.
RANKED_GAME = "3 key Space\n6 key Enter\n60 key Left\n150 key Escape\n152 key Y\n"
TO_THE_TABLE = "".join(f"{f} key Down\n" for f in (300, 302, 304)) + "306 key Enter\n320 key Right\n"


class SlowServer(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def serve(handler_class):
    server = SlowServer(("127.0.0.1", 0), handler_class)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f"http://127.0.0.1:{server.server_address[1]}"


class OnlinePlayTest(test_server.ServerFixture):
    def play(self, script, frames, base=None, replays="replays"):
        return self.run_game(script, frames=frames, args=[
            "--replays", os.path.join(self.work, replays), "--online", base or self.base, "--player", "ANN", "--fps"])

    def assert_paced(self, run, frames):
        """The frames came on time: nothing waited for the network."""
        seconds = float(run.stdout.split("seconds: ")[1].split(",")[0])
        self.assertLess(seconds, frames * 0.020 + 1.0, run.stdout)

    def test_a_ranked_game_is_listed_shown_and_watched(self):
        script = RANKED_GAME + TO_THE_TABLE + "400 dump\n420 key Enter\n"
        run = self.play(script, frames=700)
        ranks = [value for _, value in run.events_of("online-answer")]
        self.assertEqual(ranks, ["Online rank 1"])
        self.assertEqual(run.state_at(400)["online_table"], {"state": "shown", "entries": 1, "selected": 0})
        # Enter downloaded the listed game and played it here; it went as recorded.
        verdicts = [value for _, value in run.events_of("table-replay")]
        self.assertEqual(len(verdicts), 1)
        self.assertTrue(verdicts[0].startswith("The replay went as recorded"), verdicts)
        self.assertEqual(os.listdir(os.path.join(self.work, "replays", "unsent")), [])

    def test_a_slow_or_missing_server_never_holds_the_game_up(self):
        class Sleepy(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                time.sleep(8)

            do_POST = do_GET

            def log_message(self, *args):
                pass

        slow, base = serve(Sleepy)
        try:
            script = RANKED_GAME + TO_THE_TABLE + "650 dump\n"
            run = self.play(script, frames=700, base=base)
        finally:
            slow.shutdown()
            slow.server_close()
        self.assert_paced(run, 700)
        self.assertEqual(run.state_at(650)["online_table"]["state"], "unreachable")
        # No token came: the game was played, recorded and never sent.
        self.assertEqual(run.events_of("online-answer"), [])
        self.assertTrue(os.path.exists(os.path.join(self.work, "replays", "game-000001.mnr")))

    def test_a_game_the_network_lost_is_sent_at_the_next_start(self):
        real = self.base

        class DropsSubmissions(http.server.BaseHTTPRequestHandler):
            """Hands out the real server's tokens, but a submission finds
            the connection closed."""

            def do_POST(self):
                if self.path != "/api/runs":
                    self.close_connection = True
                    return
                with urllib.request.urlopen(urllib.request.Request(real + self.path, method="POST"),
                                            timeout=10) as answer:
                    body = answer.read()
                self.send_response(200)
                self.send_header("Content-Type", "application/json")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        dropping, base = serve(DropsSubmissions)
        try:
            first = self.play(RANKED_GAME, frames=200, base=base)
        finally:
            dropping.shutdown()
            dropping.server_close()
        self.assertEqual([value for _, value in first.events_of("online-answer")],
                         ["Not sent: the online table cannot be reached"])
        unsent = os.path.join(self.work, "replays", "unsent")
        self.assertEqual(os.listdir(unsent), ["game-000001.mnr"])

        again = self.play("", frames=50)
        self.assertEqual([value for _, value in again.events_of("online-answer")], ["Online rank 1"])
        self.assertEqual(os.listdir(unsent), [])
        status, board = self.call("/api/boards")
        self.assertEqual((status, board[0]["entries"]), (200, 1))


if __name__ == "__main__":
    import unittest
    unittest.main()
