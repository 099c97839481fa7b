#!/usr/bin/python3
"""Writes a seeded random input script for a soak run of FRAMES frames (the --input format).

The ninja mostly walks right, which takes him through the test areas' doors in a loop, with random
jumps, attacks and short steps back; every so often he leaves through the pause to the menu (Escape,
Up to "Leave to menu", Enter, Enter to confirm), and Space continues the saved run.
Usage: soak_input.py FRAMES SEED > script.txt
"""
import random
import sys


def main():
    frames = int(sys.argv[1])
    rng = random.Random(int(sys.argv[2]))
    lines = ["# soak input: seed %s, %d frames" % (sys.argv[2], frames), "10 hold Space  # start"]
    # Frames on which the menu is visited: Escape and the pause's way out, then Space 60 frames
    # later; no other key is held
    # from 10 frames before the Escape until 30 frames after the Space.
    # The first two come early, within the warm-up: the sound layer's voice pool grows to its
    # working size there (the menu's music streams on a voice of its own while the previous
    # visit's music fades out on another, and each keeps its stream buffers for reuse).
    breaks = []
    f = rng.randint(400, 600)
    visits = 0
    while f + 200 < frames:
        breaks.append(f)
        visits += 1
        f += rng.randint(500, 700) if visits < 2 else rng.randint(2000, 5000)
    quiet = [(b - 10, b + 90) for b in breaks]

    def free(a, b):
        return all(b < q0 or a > q1 for q0, q1 in quiet)

    # Right is held everywhere outside the menu visits.
    start = 30
    for q0, q1 in quiet + [(frames, frames)]:
        if start <= q0 - 1:
            lines.append("%d-%d hold Right" % (start, q0 - 1))
        start = q1 + 1
    for b in breaks:
        lines.append("%d hold Escape" % b)
        lines.append("%d hold Up" % (b + 4))
        lines.append("%d hold Enter" % (b + 8))
        lines.append("%d hold Enter" % (b + 12))
        lines.append("%d hold Space" % (b + 60))
    # Random actions in each second.
    for second in range(1, frames // 60):
        base = second * 60 + rng.randint(0, 40)
        r = rng.random()
        if r < 0.35:
            a, b, key = base, base + rng.randint(1, 12), "Space"
        elif r < 0.55:
            a, b, key = base, base + rng.randint(1, 6), "X"
        elif r < 0.62:
            a, b, key = base, base + rng.randint(3, 15), "Left"
        else:
            continue
        if b < frames and free(a, b):
            lines.append("%d-%d hold %s" % (a, b, key))
    print("\n".join(lines))


if __name__ == "__main__":
    main()
