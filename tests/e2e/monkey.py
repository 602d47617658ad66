"""Seeded random scripts for munchora-headless: a player who presses
anything at any time, to shake out crashes and bad states."""

import random

KEYS = (["Left", "Right", "Up", "Down"] * 6 + ["Enter"] * 4 + ["Escape", "Y", "N", "Space", "Z", "X",
        "Backspace"] + [chr(c) for c in range(ord("A"), ord("Z") + 1)] + [f"F{n}" for n in range(1, 8)]
        + [f"Ctrl+{d}" for d in range(1, 10)] + ["Shift+Enter", "Ctrl+Enter", "Alt+Enter", "KP1", "0"])


def monkey_script(seed, frames):
    """A script of random key presses, held keys and focus changes."""
    rng = random.Random(seed)
    lines = []
    frame = 1
    while frame < frames:
        frame += rng.randint(1, 12)
        roll = rng.random()
        if roll < 0.02:
            lines.append(f"{frame} deactivate")
            frame += rng.randint(1, 20)
            lines.append(f"{frame} activate")
        elif roll < 0.12:
            key = rng.choice(["Left", "Right", "Up", "Down", "Space", "X"])
            lines.append(f"{frame} down {key}")
            lines.append(f"{frame + rng.randint(1, 40)} up {key}")
        else:
            lines.append(f"{frame} key {rng.choice(KEYS)}")
        if rng.random() < 0.01:
            lines.append(f"{frame} dump")
    return "\n".join(lines) + "\n"
