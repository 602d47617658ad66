"""Recorded games: every game is recorded, played again exactly, verified,
refused when it cannot be played here, kept within bounds, and shown as a
demo on the idle intro that leaves the intro as it was."""

import os
import shutil
import re
import struct
import subprocess
import zlib

from harness import BUILD_DIR, HeadlessTest, write_level
from monkey import monkey_script

START = "3 key Space\n6 key Enter\n"
# The game starts in the handler of the Enter at frame 6: the replay's frame
# 1 is the recording's frame 6.
OFFSET = 5
# Level 1 as a corridor: a monster catches the hero at once.
DEADLY = dict(rows=["BBBBBBBBB", "BACAAAACB", "BBBBBBBBB"], PlayerPointX=2, PlayerPointY=1, EnemyPointX=7,
              EnemyPointY=1, EnemyCount=1, BossCount=0, GhostCount=0, BonusLevel=0)
# What must be the same in a game and its replay.
SAME = ("screen", "score", "monsters", "bonuses", "level", "lives", "players_alive", "current_level", "last_key",
        "game", "message_line", "sprites", "paused")


class ReplayTest(HeadlessTest):
    def recordings(self):
        folder = self.data_path("replays")
        return sorted(os.listdir(folder)) if os.path.isdir(folder) else []

    def replay(self, name, script="", frames=100000, expect_ok=True):
        return self.run_game(script, frames=frames, args=["--replay", self.data_path("replays", name), "--verify"],
                             expect_ok=expect_ok)

    def assert_verifies(self, name):
        run = self.replay(name, expect_ok=False)
        self.assertEqual(run.returncode, 0, f"{name}: {run.stdout}{run.stderr}")
        self.assertIn("The replay went as recorded", run.stdout)
        return run

    def assert_refused(self, name, message):
        """The message (or its start, before the file's name), once, and no game."""
        run = self.replay(name, expect_ok=False)
        self.assertEqual(run.returncode, 1, run.stderr)
        self.assertTrue(run.stdout.startswith(message), run.stdout)
        messages = [m for _, m in run.events_of("message")]
        self.assertEqual(len(messages), 1)
        self.assertTrue(messages[0].startswith(f"Munchora|{message}"), messages)
        self.assertEqual(run.events_of("music"), [])
        return run


class RecordingTest(ReplayTest):
    def test_a_game_and_its_replay_go_the_same_way_frame_by_frame(self):
        frames = [20, 150, 400, 650, 900]
        script = START + "40 key Left\n120 key Up\n260 key Right\n330 down Space\n380 up Space\n"
        script += "500 key Down\n700 key Left\n" + "".join(f"{f} dump\n" for f in frames)
        played = self.run_game(script, frames=1000)
        self.assertEqual(self.recordings(), ["game-000001.mnr"])
        end = played.events_of("replay-written")
        self.assertEqual([name for _, name in end], ["game-000001.mnr"])
        replayed = self.replay("game-000001.mnr", "".join(f"{f - OFFSET} dump\n" for f in frames if f < end[0][0]))
        self.assertEqual(replayed.returncode, 0, replayed.stdout)
        for frame in (f for f in frames if f < end[0][0]):
            original, again = played.state_at(frame), replayed.state_at(frame - OFFSET)
            for key in SAME:
                self.assertEqual(again[key], original[key], f"{key} at frame {frame}")
        self.assertEqual(replayed.final["score"], played.final["score"])
        # The replay plays the game's sounds, and only those: the menu's click
        # of the Enter that started the game came before.
        sounds = [(f - OFFSET, s) for f, s in played.events_of("sound") if OFFSET < f <= end[0][0]]
        self.assertEqual(sounds[0], (1, "PushButton -1000"))
        del sounds[0]
        self.assertEqual(replayed.events_of("sound"), sounds)

    def test_every_game_of_the_random_player_verifies(self):
        # Test keys, level jumps, pauses, focus changes, passwords typed at random.
        for seed in (14, 6):  # seeds whose player starts several games
            self.run_game(monkey_script(seed, 6000), frames=6000, words=["Debug"])
        names = self.recordings()
        self.assertGreater(len(names), 4)
        for name in names:
            self.assert_verifies(name)

    def test_games_that_end_with_the_window_verify(self):
        # The close button, and the runner stopping in the middle of a game.
        self.run_game(START + "40 key Left\n150 close\n", frames=300)
        self.run_game(START + "40 key Right\n", frames=250)
        self.assertEqual(self.recordings(), ["game-000001.mnr", "game-000002.mnr"])
        for name in self.recordings():
            self.assert_verifies(name)

    def test_a_password_game_starts_with_what_the_game_before_left(self):
        # Quit a game with three lives, then start from a password: the lives
        # carry over, and so must the replay's.
        script = START + "20 key Escape\n22 key Y\n30 key Down\n32 key Enter\n"
        script += "".join(f"{40 + 2 * i} key {c}\n" for i, c in enumerate("BRAMWEL")) + "60 key Enter\n"
        script += "100 key Left\n200 dump\n300 key Escape\n302 key Y\n"
        run = self.run_game(script, frames=320, words=["NoMidi"])
        self.assertEqual(run.state_at(200)["current_level"], 13)
        self.assertEqual(self.recordings(), ["game-000001.mnr", "game-000002.mnr"])
        replayed = self.assert_verifies("game-000002.mnr")
        self.assertEqual(replayed.final["current_level"], 13)
        self.assertEqual(replayed.final["lives"], run.final["lives"])

    def test_a_replay_that_ends_otherwise_than_recorded_fails(self):
        # Quit at once: every number of the result takes one byte, the score
        # the thirteenth from the end (before it the end, after it level,
        # lives, monsters, bonuses, level number, place, table, entry, CRC).
        self.run_game(START + "20 key Escape\n22 key Y\n", frames=30)
        path = self.data_path("replays", "game-000001.mnr")
        with open(path, "rb") as f:
            data = bytearray(f.read())
        self.assertEqual(data[-14], 3)  # quit
        score = data[-13] // 2  # zigzag-coded: the dot under the hero's start, if any
        data[-13] = 2 * (score + 50)
        data[-4:] = struct.pack("<I", zlib.crc32(bytes(data[:-4])))
        with open(path, "wb") as f:
            f.write(data)
        run = self.replay("game-000001.mnr", expect_ok=False)
        self.assertEqual(run.returncode, 1)
        self.assertIn(f"The replay differs from its recording: score {score} (recorded {score + 50})", run.stdout)


class RefusalTest(ReplayTest):
    def setUp(self):
        super().setUp()
        self.run_game(START + "40 key Left\n90 key Escape\n92 key Y\n", frames=100)
        with open(self.data_path("replays", "game-000001.mnr"), "rb") as f:
            self.good = f.read()

    def write(self, data, name="game-000001.mnr"):
        with open(self.data_path("replays", name), "wb") as f:
            f.write(data)

    def test_other_levels_or_catalogue_are_refused(self):
        with open(self.data_path("Levels", "Level07.map"), "a") as f:
            f.write("\n")
        self.assert_refused("game-000001.mnr", "This replay was recorded with other levels")
        with open(self.data_path("Levels", "Level07.map"), "rb+") as f:
            f.truncate(os.path.getsize(self.data_path("Levels", "Level07.map")) - 1)
        self.assert_verifies("game-000001.mnr")
        with open(self.data_path("Munchora.ini"), encoding="latin-1") as f:
            text = f.read()
        with open(self.data_path("Munchora.ini"), "w", encoding="latin-1") as f:
            f.write(text.replace("[Scene3]", "[Scene3]\nExtra=Data\\Images\\Dot.bmp,8,8", 1))
        self.assert_refused("game-000001.mnr", "This replay was recorded with another catalogue")

    def test_damaged_files_and_other_versions_give_a_message(self):
        version = bytearray(self.good)
        version[8] = 9
        self.write(bytes(version))
        self.assert_refused("game-000001.mnr", "This replay was recorded by another version of Munchora")
        for damaged in (self.good[:len(self.good) // 2], self.good[:-1] + bytes([self.good[-1] ^ 1]),
                        self.good[:40] + bytes([self.good[40] ^ 0x10]) + self.good[41:]):
            self.write(damaged)
            self.assert_refused("game-000001.mnr", "This replay file is damaged: ")
        self.write(b"[General]\nName=not a replay\n")
        self.assert_refused("game-000001.mnr", "This file is not a Munchora replay: ")
        self.assert_refused("game-000002.mnr", "Can't open file ")


class KeepingTest(ReplayTest):
    def test_the_last_twenty_games_and_those_behind_the_high_scores_are_kept(self):
        write_level(self.data, 1, **DEADLY)
        # A game lost at once, its result entered as "ACE"; then 21 games quit.
        script = START + "8 key Ctrl+Enter\n10 key Left\n210 key Space\n220 key A\n221 key C\n222 key E\n"
        script += "230 key Enter\n240 key Escape\n"
        frame = 250
        for _ in range(21):
            script += f"{frame} key Enter\n{frame + 4} key Escape\n{frame + 6} key Y\n"
            frame += 10
        script += f"{frame} key Down\n{frame + 2} key Down\n{frame + 4} key Down\n{frame + 6} key Enter\n"
        script += f"{frame + 8} dump\n"
        run = self.run_game(script, frames=frame + 10, words=["Debug"])
        kept = self.recordings()
        self.assertEqual(len(kept), 21)
        self.assertEqual(kept[0], "game-000001.mnr")  # behind the entry
        self.assertEqual(kept[1], "game-000003.mnr")
        table = run.state_at(frame + 8)["high_scores"]
        self.assertEqual([(e["name"], e["recorded"]) for e in table], [("ACE", True)])
        self.assert_verifies("game-000001.mnr")


class AttractTest(ReplayTest):
    COMPARED = ("screen", "score", "lives", "current_level", "last_key", "game", "sprites", "message_line")

    def test_the_idle_intro_shows_a_silent_demo_that_any_key_ends(self):
        script = "2990 dump\n3001 dump\n3300 dump\n3400 key A\n3401 dump\n3500 dump\n"
        run = self.run_game(script, frames=3500)
        before, during = run.state_at(2990), run.state_at(3001)
        self.assertEqual((before["screen"], before["replay"]), ("scIntro", None))
        self.assertEqual((during["screen"], during["replay"]), ("scGame", "demo"))
        self.assertEqual(run.state_at(3300)["replay"], "demo")
        self.assertEqual([f for f, _ in run.events_of("sound") if 2990 < f <= 3400], [])
        after = run.state_at(3401)
        self.assertEqual((after["screen"], after["replay"]), ("scIntro", None))
        for key in ("score", "lives", "current_level", "last_key", "level_count", "selected_button", "menu_memory",
                    "settings", "start_options", "message_line"):
            self.assertEqual(after[key], before[key], key)
        # The jingle once, the key only ended the demo, and nothing was recorded.
        self.assertEqual(len(run.events_of("sound")), 1)
        self.assertEqual(run.state_at(3500)["screen"], "scIntro")
        self.assertEqual(self.recordings(), [])

    def test_a_game_after_the_demo_goes_as_without_it(self):
        moves = "40 key Left\n120 key Up\n260 key Right\n400 key Down\n"
        dumps = [100, 300, 500]

        def script(start):
            lines = f"{start - 5} key Space\n{start} key Enter\n"
            for line in moves.splitlines():
                frame, rest = line.split(" ", 1)
                lines += f"{int(frame) + start} {rest}\n"
            return lines + "".join(f"{start + f} dump\n" for f in dumps)

        # The demo plays from frame 3000 until the A at 3400; then the game.
        after = self.run_game("3300 dump\n3400 key A\n" + script(3415) + "3415 dump\n", frames=3415 + dumps[-1] + 1)
        self.assertEqual(after.state_at(3300)["replay"], "demo")
        # The same game from an intro that never showed the demo, started at
        # the same time of day and the same phase of the 100 ms timer: the
        # demo's frames kept the pace it was recorded at, not the watcher's.
        start_ms = after.state_at(3415)["time_ms"]
        self.assertEqual(start_ms % 10, 0)
        start = 10 + start_ms % 100 // 10
        alone = self.run_game(script(start), frames=start + dumps[-1] + 1, utc_ms=start_ms - start * 10)
        for frame in dumps:
            for key in self.COMPARED:
                self.assertEqual(after.state_at(3415 + frame)[key], alone.state_at(start + frame)[key], key)

    def test_the_shipped_demo_clears_the_first_level(self):
        # A demo hiding in a corner, or one whose keys no longer leave the
        # game, shows a player nothing: the playtest makes it again.
        os.makedirs(self.data_path("replays"))
        shutil.copy(self.data_path("Data", "Demo.mnr"), self.data_path("replays", "demo.mnr"))
        run = self.assert_verifies("demo.mnr")
        self.assertIn("level 2, lives 3", run.stdout)
        self.assertLess(run.final["frame"], 60 * 50)  # under a minute at the shipped pace

    def test_the_best_recorded_game_is_the_demo(self):
        games = [self.run_game(START + "40 key Left\n60 dump\n90 key Escape\n92 key Y\n", frames=100),
                 self.run_game(START + "40 key Right\n60 key Up\n60 dump\n400 key Escape\n402 key Y\n",
                               frames=410)]
        best = max(games, key=lambda game: game.final["score"])
        self.assertGreater(best.final["score"], min(game.final["score"] for game in games))
        # The demo starts within intro frame 3000, as the game within frame 6.
        run = self.run_game("3055 dump\n", frames=3055)
        self.assertEqual(run.state_at(3055)["replay"], "demo")
        for key in self.COMPARED:
            self.assertEqual(run.state_at(3055)[key], best.state_at(60)[key], key)


class WindowTest(ReplayTest):
    """The real SDL backend with SDL's dummy drivers: a scripted game recorded
    there verifies headless, and the reverse."""

    ENV = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")

    def test_a_game_recorded_in_the_window_verifies_headless(self):
        # A quick pace, so the real-time run takes two seconds.
        with open(self.data_path("Munchora.ini"), encoding="latin-1") as f:
            text = f.read()
        with open(self.data_path("Munchora.ini"), "w", encoding="latin-1") as f:
            f.write(re.sub(r"(?m)^Timer=.*$", "Timer=2", text))
        script = os.path.join(self.work, "sdl-script.txt")
        with open(script, "w") as f:
            f.write(START + "30 key Left\n90 key Up\n200 key Right\n400 key Down\n600 key Left\n"
                    "700 down Space\n750 up Space\n800 key P\n820 key P\n900 key Escape\n905 key Y\n")
        result = subprocess.run([os.path.join(BUILD_DIR, "tests", "munchora-sdl-script"), self.data, script,
                                 self.data_path("replays"), "1000"], env=self.ENV, capture_output=True, text=True,
                                timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.recordings(), ["game-000001.mnr"])
        self.assert_verifies("game-000001.mnr")

    def test_a_game_recorded_headless_verifies_in_the_window(self):
        self.run_game(START + "40 key Left\n120 key Up\n260 key Right\n500 key Escape\n502 key Y\n", frames=510)
        # The window's game reads the build directory, whose data the copy has.
        result = subprocess.run([os.path.join(BUILD_DIR, "munchora"), "--replay",
                                 self.data_path("replays", "game-000001.mnr"), "--verify"], env=self.ENV,
                                capture_output=True, text=True, timeout=120)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("The replay went as recorded", result.stdout)


if __name__ == "__main__":
    import unittest
    unittest.main()
