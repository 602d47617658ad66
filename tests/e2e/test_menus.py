"""The menu screens on the real data: selection and memory, options saved,
passwords, the high-score list."""

import os
import struct
import unittest

from harness import HeadlessTest, read_png, region_differs


class Script:
    """Keys two frames apart from frame 10 on, after the intro has been left."""

    def __init__(self):
        self.lines = ["5 key Escape"]
        self.frame = 10

    def keys(self, *names):
        for name in names:
            self.lines.append(f"{self.frame} key {name}")
            self.frame += 2
        return self

    def dump(self):
        """Dumps after the last key's frame; returns that frame."""
        frame = self.frame - 2
        self.lines.append(f"{frame} dump")
        return frame

    def shot(self, name):
        self.lines.append(f"{self.frame - 2} shot {name}")

    def text(self):
        return "\n".join(self.lines) + "\n"


def hsc_record(name, score, monsters, bonuses, level):
    raw = name.encode("latin-1")
    numbers = struct.pack("<iiii", score, monsters, bonuses, level)
    return bytes([len(raw)]) + raw.ljust(20, b"\0") + b"\0\0\0" + numbers


class MainMenuTest(HeadlessTest):
    def test_buttons_are_centred_in_a_column_and_the_selection_wraps(self):
        s = Script()
        first = s.keys("Down").dump()
        wrapped_up = s.keys("Up", "Up").dump()
        wrapped_down = s.keys("Down").dump()
        run = self.run_game(s.text(), frames=s.frame)
        buttons = run.state_at(first)["sprites"]
        self.assertEqual([b["class"] for b in buttons],
                         ["TNewGameButton", "TPasswordButton", "TOptionsButton", "THighScoresButton",
                          "THelpButton", "TButtonSprite", "TButtonSprite", "TExitButton"])  # Levels, Editor
        for i, button in enumerate(buttons):
            self.assertEqual(button["y"], 170 + 46 * i)
            self.assertEqual(button["x"], (800 - button["w"]) // 2)
        self.assertEqual(run.state_at(first)["selected_button"], 2)
        self.assertEqual(run.state_at(wrapped_up)["selected_button"], 8)
        self.assertEqual(run.state_at(wrapped_down)["selected_button"], 1)
        self.assertEqual(run.events_of("sound").count((s.frame - 2, "Button -1000")), 1)

    def test_menu_comes_back_with_the_button_that_left_it(self):
        s = Script()
        options = s.keys("Down", "Down", "Enter").dump()
        from_options = s.keys("Escape").dump()
        scores = s.keys("Down", "Enter").dump()
        from_scores = s.keys("Escape").dump()
        help_screen = s.keys("Down", "Enter").dump()
        from_help = s.keys("Escape").dump()
        password = s.keys("Up", "Up", "Up", "Enter").dump()
        from_password = s.keys("Escape").dump()
        game = s.keys("Up", "Enter").dump()
        from_game = s.keys("Escape", "Y").dump()
        run = self.run_game(s.text(), frames=s.frame)
        expected = [(options, "scOptions"), (from_options, 3), (scores, "scHighScores"), (from_scores, 4),
                    (help_screen, "scHelp"), (from_help, 5), (password, "scPassword"), (from_password, 2),
                    (game, "scGame"), (from_game, 1)]
        for frame, what in expected:
            state = run.state_at(frame)
            if isinstance(what, str):
                self.assertEqual(state["screen"], what)
            else:
                self.assertEqual(state["screen"], "scMainMenu", frame)
                self.assertEqual(state["selected_button"], what, frame)

    def test_exit_button_ends_the_program(self):
        s = Script()
        s.keys("Up", "Enter")
        run = self.run_game(s.text(), frames=s.frame + 20)
        self.assertEqual(run.final["screen"], "scQuit")
        self.assertEqual(run.final["frame"], s.frame - 2)


class OptionsTest(HeadlessTest):
    @staticmethod
    def sections(text):
        """Section name -> its lines, in file order."""
        result, current = {}, None
        for line in text.splitlines():
            if line.startswith("["):
                current = line.strip().lower()
                result[current] = []
            elif current and line.strip():
                result[current].append(line)
        return result

    def test_changes_are_saved_on_leaving_with_the_catalogue_intact(self):
        with open(self.data_path("Munchora.ini"), encoding="latin-1") as f:
            before = self.sections(f.read())
        s = Script()
        s.keys("Down", "Down", "Enter")  # options
        s.keys("Enter")  # classic
        s.keys("Down", "Down", "Left")  # music: quieter by 16
        s.keys("Down", "Left", "Left")  # sound: -3000, heard at -1000 and -2000
        s.keys("Down", "Right")  # speed: 10 ms -> 0 ms
        inside = s.dump()
        s.keys("Escape")
        run = self.run_game(s.text(), frames=s.frame + 10)
        self.assertEqual(run.state_at(inside)["settings"],
                         {"wave_volume": -3000, "midi_volume": 216, "timer": 0, "game_type": "gtClassic"})
        self.assertEqual([e for e in run.events_of("sound") if e[1].startswith("WaveTest")],
                         [(inside - 6, "WaveTest -1000"), (inside - 4, "WaveTest -2000")])
        self.assertEqual(len(run.events_of("settings-written")), 1)
        with open(self.data_path("Munchora.ini"), encoding="latin-1") as f:
            after = self.sections(f.read())
        general = dict(line.split("=", 1) for line in after.pop("[general]"))
        self.assertEqual(general["WaveVolume"], "-3000")
        self.assertEqual(general["MidiVolume"], "216")
        self.assertEqual(general["GameType"], "0")
        self.assertEqual(general["Timer"], "0")
        before.pop("[general]")
        self.assertEqual(after, before)


class PasswordTest(HeadlessTest):
    def test_wrong_password_is_cleared_and_right_one_starts_its_level(self):
        s = Script()
        s.keys("Down", "Enter")
        typed = s.keys("T", "O", "Q", "Q").dump()
        wrong = s.keys("Enter").dump()
        right = s.keys(*"BRAMWEL", "Enter").dump()
        run = self.run_game(s.text(), frames=s.frame)
        self.assertEqual(run.state_at(typed)["input_line"], "TOQQ")
        self.assertEqual(run.state_at(wrong)["screen"], "scPassword")
        self.assertEqual(run.state_at(wrong)["input_line"], "")
        self.assertEqual(run.state_at(right)["screen"], "scGame")
        self.assertEqual(run.state_at(right)["current_level"], 13)


class HighScoreListTest(HeadlessTest):
    def list_run(self):
        s = Script()
        listed = s.keys("Down", "Down", "Down", "Enter").dump()
        s.shot("list")
        return self.run_game(s.text(), frames=s.frame), listed

    def test_list_shows_the_file(self):
        empty, _ = self.list_run()
        with open(self.data_path("Munchora.hsc"), "wb") as f:
            f.write(hsc_record("ANNA", 9000, 12, 3, 5) + hsc_record("BO", 300, 1, 0, 1))
        full, listed = self.list_run()
        self.assertEqual(full.state_at(listed)["high_scores"],
                         [{"name": "ANNA", "score": 9000, "monsters": 12, "bonuses": 3, "level": 5, "recorded": False},
                          {"name": "BO", "score": 300, "monsters": 1, "bonuses": 0, "level": 1, "recorded": False}])
        with_rows = read_png(os.path.join(full.out_dir, "list.png"))
        without = read_png(os.path.join(empty.out_dir, "list.png"))
        # Two rows from y = 235, 25 pixels apart; nothing below them.
        self.assertTrue(region_differs(with_rows, without, 150, 235, 750, 260))
        self.assertTrue(region_differs(with_rows, without, 150, 265, 750, 285))
        self.assertFalse(region_differs(with_rows, without, 0, 295, 800, 600))
        self.assertFalse(region_differs(with_rows, without, 0, 0, 800, 235))


if __name__ == "__main__":
    unittest.main()
