"""Damaged or missing files end in the game's own message and a clean exit,
never in a crash; damaged high-score and settings files are read safely."""

import glob
import os
import stat
import struct
import unittest

from harness import HeadlessTest, read_png, write_level

START_GAME = "3 key Space\n6 key Enter\n"


class FaultTest(HeadlessTest):
    def messages(self, run):
        return [text for _, text in run.events_of("message")]

    def fresh_copy(self):
        self.tearDown()
        self.setUp()

    def spoil(self, path, how):
        if how == "missing":
            os.remove(path)
        else:
            with open(path, "wb") as f:
                f.write(b"RIFF BM not what it claims")

    def test_a_missing_or_damaged_picture(self):
        for how in ("missing", "damaged"):
            with self.subTest(how):
                self.fresh_copy()
                self.spoil(self.data_path("Data", "Images", "Intro.bmp"), how)
                run = self.run_game("", frames=50)
                self.assertEqual(len(self.messages(run)), 1)
                self.assertTrue(self.messages(run)[0].startswith("Munchora|Can't load image Intro="))
                self.assertLess(run.final["frame"], 50)

    def test_a_missing_or_damaged_sound(self):
        for how in ("missing", "damaged"):
            with self.subTest(how):
                self.fresh_copy()
                self.spoil(self.data_path("Data", "Sounds", "EatDot.wav"), how)
                run = self.run_game("", frames=50)
                self.assertEqual(self.messages(run), ["Munchora|Can't load sound EatDot=Data\\Sounds\\EatDot.wav"])
                self.assertEqual(run.final["screen"], "scNone")

    def test_a_level_without_its_tune_plays_one_of_the_others(self):
        os.remove(self.data_path("Music", "01.mid"))
        run = self.run_game(START_GAME, frames=20)
        self.assertEqual(self.messages(run), [])
        tunes = [value for _, value in run.events_of("music")]
        self.assertEqual(len(tunes), 1)
        self.assertTrue(os.path.exists(self.data_path(*tunes[0].split("/"))))

    def test_a_damaged_tune(self):
        with open(self.data_path("Music", "01.mid"), "wb") as f:
            f.write(b"RIFF nonsense")
        run = self.run_game(START_GAME, frames=50)
        self.assertEqual(len(self.messages(run)), 1)
        self.assertIn("Midi initializing error\\rFile ", self.messages(run)[0])
        self.assertTrue(self.messages(run)[0].endswith("Music/01.mid"))
        self.assertLess(run.final["frame"], 50)

    def test_missing_or_damaged_fonts_fall_back_to_another_face(self):
        script = START_GAME + "20 dump\n20 shot panel\n"
        fonts = glob.glob(self.data_path("Data", "Fonts", "*.ttf"))
        shipped = self.run_game(script, frames=30)
        for font in fonts:
            os.remove(font)
        missing = self.run_game(script, frames=30)
        for font in fonts:
            with open(font, "wb") as f:
                f.write(b"\0\1\0\0 damaged")
        damaged = self.run_game(script, frames=30)
        for run in (missing, damaged):
            self.assertEqual(self.messages(run), [])
            self.assertEqual(run.state_at(20)["screen"], "scGame")
        shots = [read_png(os.path.join(run.out_dir, "panel.png")) for run in (shipped, missing, damaged)]
        # The status panel's texts: drawn in the fallback face both times.
        self.assertNotEqual(shots[0], shots[1])
        self.assertEqual(shots[1], shots[2])

    def test_a_damaged_level(self):
        with open(self.data_path("Levels", "Level01.map"), "w") as f:
            f.write("[General]\nMapWidth=40\n[Map]\nBBBB\n")
        run = self.run_game(START_GAME, frames=50)
        self.assertEqual(len(self.messages(run)), 1)
        self.assertTrue(self.messages(run)[0].startswith("Munchora|Error file "))
        self.assertTrue(self.messages(run)[0].endswith("Levels/Level01.map"))
        self.assertLess(run.final["frame"], 50)

    def write_scores(self, records, extra=b""):
        data = b""
        for name_length, name, score in records:
            data += bytes([name_length]) + name.ljust(20, b"\0")[:20] + b"\0\0\0"
            data += struct.pack("<iiii", score, 1, 2, 3)
        with open(self.data_path("Munchora.hsc"), "wb") as f:
            f.write(data + extra)

    def test_high_scores_of_odd_length_or_long_names_are_read_safely(self):
        self.write_scores([(3, b"ACE", 900), (255, b"X" * 20, 500)], extra=b"\x05tail")
        run = self.run_game("3 key Space\n5 key Down\n5 key Down\n5 key Down\n7 key Enter\n9 dump\n", frames=12)
        table = run.state_at(9)["high_scores"]
        self.assertEqual([(e["name"], e["score"]) for e in table], [("ACE", 900), ("X" * 20, 500)])

    def test_garbage_settings_take_their_defaults(self):
        with open(self.data_path("Munchora.ini"), "r", encoding="latin-1") as f:
            text = f.read()
        text = text.replace("WaveVolume=-1000", "WaveVolume=loud").replace("Timer=10", "Timer=0x")
        text = text.replace("MidiVolume=200", "MidiVolume=99999999999")
        with open(self.data_path("Munchora.ini"), "w", encoding="latin-1") as f:
            f.write(text)
        run = self.run_game("5 dump\n", frames=10)
        self.assertEqual(run.state_at(5)["settings"]["wave_volume"], -5000)
        self.assertEqual(run.state_at(5)["settings"]["timer"], 10)
        self.assertEqual(run.state_at(5)["settings"]["midi_volume"], 200)
        self.assertEqual(self.messages(run), [])

    def read_bytes(self, *parts):
        with open(self.data_path(*parts), "rb") as f:
            return f.read()

    def test_a_read_only_program_directory_ends_on_leaving_the_options(self):
        before = self.read_bytes("Munchora.ini")
        os.chmod(self.data, 0o555)
        # Intro, the options button, a quieter tune, back out.
        script = "3 key Space\n6 key Down\n8 key Down\n10 key Enter\n14 key Down\n16 key Down\n18 key Left\n"
        script += "20 key Escape\n"
        run = self.run_game(script, frames=60, unprivileged=True)
        self.assertEqual(self.messages(run), ["Munchora|Error of writing Munchora.ini"])
        self.assertLess(run.final["frame"], 60)
        self.assertEqual(self.read_bytes("Munchora.ini"), before)
        self.assertEqual(sorted(os.listdir(self.data)), sorted(["Munchora.ini", "Data", "Levels", "Music"]))

    def test_an_unwritable_high_score_file_keeps_its_table(self):
        self.write_scores([(3, b"OLD", 5)])
        before = self.read_bytes("Munchora.hsc")
        os.chmod(self.data_path("Munchora.hsc"), stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        # Only the file is protected: the directory takes new files from anyone.
        os.chmod(self.data, 0o777)
        write_level(self.data, 1, ["BBBBBBBBB", "BACAAAACB", "BBBBBBBBB"], PlayerPointX=2, PlayerPointY=1,
                    EnemyPointX=7, EnemyPointY=1, EnemyCount=1, BossCount=0, GhostCount=0, BonusLevel=0)
        # Eat a dot into the dead end, lose the last life, type a name and confirm it.
        script = START_GAME + "8 key Ctrl+Enter\n10 key Left\n210 key Space\n220 key A\n221 key C\n"
        script += "230 key Enter\n240 dump\n"
        run = self.run_game(script, frames=250, words=["Debug"], unprivileged=True)
        self.assertEqual(self.messages(run), ["Munchora|Error of writing Munchora.hsc"])
        self.assertEqual(run.state_at(240)["screen"], "scHighScores")
        self.assertEqual(self.read_bytes("Munchora.hsc"), before)
        self.assertFalse(os.path.exists(self.data_path("Munchora.hsc.tmp")))


if __name__ == "__main__":
    unittest.main()
