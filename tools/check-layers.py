#!/usr/bin/env python3
"""Fails with the file and line of every include that breaks the layers.

The folders of src/ form layers; each may include only its own headers and
those of the layers below it:

    program -> shell -> actors, widgets, replay, editor -> game -> engine
        -> platform -> media -> formats

(actors, widgets, replay and editor stand side by side and do not include
each other). No
two folders may include each other, directly or round a longer cycle; the
main window is named only in shell/ and program/; the backends
(platform/sdl, platform/headless, platform/web, platform/curl) are named only
by the entry points in program/, and only they include SDL, FluidSynth,
libpng or libcurl; and the
actor tests reach nothing of the shell, not even through the test fixtures.
The build holds the same layers with a library per folder; this script names
the line that breaks them.
"""

import os
import re
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

# The folders each folder of src/ may include.
BELOW_PLATFORM = {"platform", "media", "formats"}
ALLOWED = {
    "formats": {"formats"},
    "media": {"media", "formats"},
    "platform": BELOW_PLATFORM,
    "engine": {"engine"} | BELOW_PLATFORM,
    "game": {"game", "engine"} | BELOW_PLATFORM,
    "actors": {"actors", "game", "engine"} | BELOW_PLATFORM,
    "widgets": {"widgets", "game", "engine"} | BELOW_PLATFORM,
    "replay": {"replay", "game", "engine"} | BELOW_PLATFORM,
    "editor": {"editor", "game", "engine"} | BELOW_PLATFORM,
    "shell": {"shell", "actors", "widgets", "replay", "editor", "game", "engine"} | BELOW_PLATFORM,
    "program": {"program", "shell", "actors", "widgets", "replay", "editor", "game", "engine"} | BELOW_PLATFORM,
    # The online table plays games again through the headless runner: it
    # needs the replay files and the level set, not the window.
    "server": {"server", "replay", "editor", "game", "engine"} | BELOW_PLATFORM,
}
BACKENDS = ("platform/sdl/", "platform/headless/", "platform/web/", "platform/curl/")
MACHINE_HEADER = re.compile(r'^\s*#\s*include\s+<(SDL|SDL2/|fluidsynth|png\.h|curl/)')
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
MAIN_FORM = re.compile(r"\bT?MainForm\b")


def sources(folder):
    """The C++ files below ROOT/folder, sorted."""
    found = []
    for directory, _, files in os.walk(os.path.join(ROOT, folder)):
        found += [os.path.join(directory, f) for f in files if f.endswith((".h", ".cpp"))]
    return sorted(found)


def includes(path):
    """(line number, included name) for every quoted include of the file."""
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1)


def rel(path):
    return os.path.relpath(path, ROOT)


def in_backend(path):
    return rel(path).replace(os.sep, "/").startswith(tuple("src/" + b for b in BACKENDS))


def folder_of(path):
    """The folder of src/ a file lies in."""
    return rel(path).split(os.sep)[1]


def check_src(problems):
    edges = {}  # (from folder, to folder) -> first "file:line" that makes the edge
    for path in sources("src"):
        here = folder_of(path)
        if here not in ALLOWED:
            problems.append(f"{rel(path)}:1: the folder src/{here} has no place in the layers of tools/check-layers.py")
            continue
        for number, name in includes(path):
            there = name.split("/")[0]
            if "/" not in name or there not in ALLOWED:
                continue  # a header beside the file, or a library's
            if there not in ALLOWED[here]:
                problems.append(f"{rel(path)}:{number}: {here} may not include {name}")
            elif name.startswith(BACKENDS) and here != "program" and not in_backend(path):
                problems.append(f"{rel(path)}:{number}: only the entry points name a backend ({name})")
            if there != here:
                edges.setdefault((here, there), f"{rel(path)}:{number}")
        with open(path, encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                if MACHINE_HEADER.match(line) and not in_backend(path):
                    problems.append(f"{rel(path)}:{number}: only a backend includes SDL, FluidSynth, libpng or libcurl")
        if here not in ("shell", "program"):
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    if MAIN_FORM.search(line):
                        problems.append(f"{rel(path)}:{number}: the main window is named outside shell and program")
    for cycle in folder_cycles(edges):
        steps = [f"{a} -> {b} ({edges[(a, b)]})" for a, b in zip(cycle, cycle[1:] + cycle[:1])]
        problems.append(f"{edges[(cycle[0], cycle[1 % len(cycle)])]}: folders include each other: " + ", ".join(steps))


def folder_cycles(edges):
    """Each cycle of the folder graph once, as a list of folders."""
    graph = {}
    for a, b in edges:
        graph.setdefault(a, set()).add(b)
    cycles, seen = [], set()

    def walk(start, node, path):
        for nxt in sorted(graph.get(node, ())):
            if nxt == start:
                key = frozenset(path)
                if key not in seen:
                    seen.add(key)
                    cycles.append(list(path))
            elif nxt not in path and nxt > start:
                walk(start, nxt, path + [nxt])

    for start in sorted(graph):
        walk(start, start, [start])
    return cycles


def resolve(name, including):
    """The file a quoted include names, as the test build finds it."""
    for base in (os.path.dirname(including), os.path.join(ROOT, "tests"), os.path.join(ROOT, "fuzz"),
                 os.path.join(ROOT, "src")):
        candidate = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(candidate):
            return candidate
    return None


def check_actor_tests(problems):
    """Follows the includes of tests/actors to the end: none reaches src/shell."""
    shell = os.path.join(ROOT, "src", "shell") + os.sep
    for start in sources(os.path.join("tests", "actors")):
        chain = {start: None}  # file -> (including file, line)
        todo = [start]
        while todo:
            path = todo.pop()
            for number, name in includes(path):
                target = resolve(name, path)
                if target is None or target in chain:
                    continue
                chain[target] = (path, number)
                if target.startswith(shell):
                    # Name the include in the test's own chain that leads there.
                    step = target
                    while chain[step][0] != start:
                        step = chain[step][0]
                    problems.append(f"{rel(start)}:{chain[step][1]}: the actor tests reach the shell "
                                    f"({rel(target)})")
                    todo = []
                    break
                todo.append(target)


def main():
    problems = []
    check_src(problems)
    check_actor_tests(problems)
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print("Layers: see tools/check-layers.py for the rules", file=sys.stderr)
        return 1
    print("Layers: clean")
    return 0


if __name__ == "__main__":
    sys.exit(main())
