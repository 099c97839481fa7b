#!/usr/bin/env python3
"""Splices the areas' recorded segments into one play-through from the menu to the credits.

Each area's segment (tests/game/playthrough/segments/<file>) is a skilled run recorded in that
area alone, frames counted from the area's first frame. This script plays each segment alone to
find the frame its door (or the hat) takes the ninja away, shifts the segment to where its area
starts in the whole journey, adds the keys for the menu, the summary and the credits pages, and
writes tests/game/playthrough/journey.txt. It then replays the whole journey and checks that
every area starts where the splice put it and that the ninja stands where he stood in the
segment alone a little after each arrival (he carries his health and energy through the doors,
so a segment that leans on a full energy bar shows up here).

Usage: scripts/splice_journey.py [--exe build/src/game/mossfang] [--out FILE]
Run from the repository root; it starts its own Xvfb when no display is set.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

# The journey: area file, the entrance the previous area's door leads to, the upgrades the ninja
# carries when he arrives (for the segment played alone), and what the segment's last door does.
ROUTE = [
    ("startingArea.txt", "", ""),
    ("leafStream.txt", "streamLeftDoor", ""),
    ("simpleArea.txt", "simpleBottomDoor", ""),
    ("waspMeadow.txt", "meadowLeftDoor", "doubleJump"),
    ("trickyArea.txt", "trickyLeftDoor", "doubleJump"),
    ("spiderCellar.txt", "cellarLeftDoor", "doubleJump"),
    ("swordArea.txt", "swordLeftDoor", "doubleJump"),
    ("canopy.txt", "canopyLeftDoor", "doubleJump,sword"),
]
DT = "0.0166667"
SEGMENTS = "tests/game/playthrough/segments"
# After the hat: frames on the summary page before Space, and between the credits pages.
SUMMARY_FRAMES = 150
CREDITS_PAGES = 6
PAGE_FRAMES = 40
# Frames after an arrival at which the journey and the segment alone are compared.
COMPARE_AFTER = 30
TOLERANCE = 0.05

LINE = re.compile(r"^(\d+)(?:-(\d+))?(\s.*)$")


class Game:
    def __init__(self, exe):
        self.exe = exe
        self.scratch = tempfile.mkdtemp(prefix="splice_")
        self.env = dict(os.environ)
        self.env["ALSOFT_CONF"] = os.path.abspath("scripts/openal-null.conf")
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.scratch, "config")
        self.env["XDG_DATA_HOME"] = os.path.join(self.scratch, "data")

    def run(self, args, dump_at):
        """Runs the game at the fixed step without drawing; returns {frame: state} for dump_at."""
        # A fresh data folder each run: no saved run or best time carries over.
        shutil.rmtree(self.env["XDG_DATA_HOME"], ignore_errors=True)
        base = os.path.join(self.scratch, "state.json")
        frames = sorted(set(dump_at))
        for f in os.listdir(self.scratch):
            if f.startswith("state"):
                os.remove(os.path.join(self.scratch, f))
        command = [self.exe, "--fixed-dt", DT, "--update-only", "--dump-state", base,
                   "--dump-at", ",".join(str(f) for f in frames)] + args
        done = subprocess.run(command, env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True)
        if done.returncode != 0:
            sys.exit("the game failed (%d): %s\n%s" % (done.returncode, " ".join(command),
                                                        done.stdout))
        states = {}
        for f in frames:
            path = os.path.join(self.scratch, "state-%d.json" % f)
            if os.path.exists(path):
                with open(path) as file:
                    states[f] = json.load(file)
        return states


def player(state):
    found = [e for e in state.get("entities", []) if "player" in e.get("labels", [])]
    return found[0] if len(found) == 1 else None


def read_segment(path):
    """The segment's key lines: (frame, last frame or None, the rest of the line)."""
    lines = []
    with open(path) as file:
        for raw in file:
            text = raw.rstrip("\n")
            if text.startswith("#") or not text.strip():
                continue
            match = LINE.match(text)
            if not match:
                sys.exit("%s: cannot read the line %r" % (path, text))
            first = int(match.group(1))
            last = int(match.group(2)) if match.group(2) else None
            lines.append((first, last, match.group(3)))
    return lines


def leaving_frame(game, area, entrance, upgrades, segment, lines):
    """The first frame of the segment alone whose state shows another scene than the area."""
    args = ["--area", area, "--input", segment]
    if entrance:
        args += ["--entrance", entrance]
    if upgrades:
        args += ["--upgrades", upgrades]
    last_key = max((l if l is not None else f) for f, l, _ in lines)
    hint = None
    with open(segment) as file:
        found = re.search(r"at frame (\d+)", file.read())
        if found:
            hint = int(found.group(1))
    windows = []
    if hint is not None:
        windows.append(range(max(0, hint - 30), hint + 31))
    windows.append(range(0, last_key + 600, 20))
    for window in windows:
        states = game.run(args + ["--frames", str(window[-1] + 1)], list(window))
        away = [f for f in window if f in states and states[f]["scene"] != "area " + area]
        if not away:
            continue
        first = away[0]
        if window.step == 1:
            return first, states[first]["scene"]
        # Narrow down the coarse step.
        fine = range(max(0, first - window.step), first + 1)
        states = game.run(args + ["--frames", str(first + 1)], list(fine))
        first = next(f for f in fine if states[f]["scene"] != "area " + area)
        return first, states[first]["scene"]
    sys.exit("%s never leaves %s" % (segment, area))


def first_frame_of(game, journey, scene, start, end):
    """The first frame in [start, end) of the journey so far whose scene is `scene`."""
    window = list(range(start, end))
    states = game.run(["--input", journey, "--frames", str(end)], window)
    for f in window:
        if f in states and states[f]["scene"] == scene:
            return f
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", default="build/src/game/mossfang")
    parser.add_argument("--out", default="tests/game/playthrough/journey.txt")
    options = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24", sys.executable]
                  + sys.argv)
    game = Game(os.path.abspath(options.exe))

    out = ["# A play-through of the whole game at --fixed-dt %s, spliced by" % DT,
           "# scripts/splice_journey.py from the areas' segments (tests/game/playthrough/segments/):",
           "# from the menu through every area, both upgrades, the hat, the summary and the credits.",
           "# Each segment was recorded in its area alone and is shifted to the frame its area starts",
           "# at here. When a level changes, re-record its segment and run the script again.",
           "", "# menu (shifted by 0 frames)", "5 hold Space  # start the game from the menu", ""]
    draft = os.path.join(game.scratch, "journey.txt")

    def write(path):
        with open(path, "w") as file:
            file.write("\n".join(out) + "\n")

    write(draft)
    # The frame that switches to a scene is the last of the old one: the new world's first update
    # comes in the next frame, as an area played alone has its first update at frame 0.
    switch = first_frame_of(game, draft, "area " + ROUTE[0][0], 0, 120)
    if switch is None:
        sys.exit("Space in the menu does not start the clearing")
    start = switch + 1
    arrivals = []
    for area, entrance, upgrades in ROUTE:
        segment = os.path.join(SEGMENTS, area)
        lines = read_segment(segment)
        leaves, next_scene = leaving_frame(game, area, entrance, upgrades, segment, lines)
        print("%s: starts at %d, leaves at its frame %d for %s" % (area, start, leaves,
                                                                  next_scene), flush=True)
        arrivals.append((area, entrance, upgrades, start))
        out.append("# %s: segments/%s shifted by %d frames; it leaves at %d" % (
            area, area, start, start + leaves))
        for first, last, rest in lines:
            if first > leaves:
                continue
            span = str(first + start)
            if last is not None:
                span += "-%d" % (min(last, leaves) + start)
            out.append(span + rest)
        out.append("")
        start += leaves + 1

    # The hat leads to the summary page, Space to the credits; Space turns each page.
    end = start
    out.append("# summary and credits: Space on the summary page, then on each credits page, the last"
               " back to the menu (shifted by %d frames)" % end)
    frame = end + SUMMARY_FRAMES
    out.append("%d hold Space  # on to the credits" % frame)
    for page in range(CREDITS_PAGES):
        frame += PAGE_FRAMES
        out.append("%d hold Space  # credits page %d" % (frame, page + 1))
    write(options.out)
    print("wrote %s: %d frames" % (options.out, frame + 60))

    # Check: each area begins where the splice says, and the ninja stands a little later where he
    # stood in the segment alone.
    checks = []
    for area, _, _, at in arrivals:
        checks += [at - 2, at - 1, at + COMPARE_AFTER]
    states = game.run(["--input", options.out, "--frames", str(frame + 60)],
                      checks + [end, frame + 59])
    ok = True
    for area, entrance, upgrades, at in arrivals:
        before, first = states.get(at - 2), states.get(at - 1)
        if first is None or first["scene"] != "area " + area or (
                before is not None and before["scene"] == "area " + area):
            print("MISMATCH: %s does not start at frame %d" % (area, at))
            ok = False
            continue
        args = ["--area", area, "--input", os.path.join(SEGMENTS, area)]
        if entrance:
            args += ["--entrance", entrance]
        if upgrades:
            args += ["--upgrades", upgrades]
        alone = game.run(args + ["--frames", str(COMPARE_AFTER + 1)], [COMPARE_AFTER])
        a = player(alone[COMPARE_AFTER])
        j = player(states[at + COMPARE_AFTER])
        # A ninja who reached the door clinging to a wall gets his gravity back in his first
        # frame here rather than before it: a few hundredths of a unit, no more.
        if a is None or j is None or any(abs(a["position"][i] - j["position"][i]) > TOLERANCE
                                         for i in range(2)):
            print("MISMATCH: %s at its frame %d: alone %s, in the journey %s" % (
                area, COMPARE_AFTER, a and a["position"], j and j["position"]))
            ok = False
    print("after the hat: %s; at the end: %s" % (states[end]["scene"],
                                                states[frame + 59]["scene"]))
    shutil.rmtree(game.scratch, ignore_errors=True)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
