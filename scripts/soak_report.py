#!/usr/bin/python3
"""Reads a --resource-log table of a soak run, checks it and draws its plot.

Checks, after the first WARMUP door transitions (default 50, fewer for short runs):
  - resident memory in the areas: the median of each half after the warm-up stays within 5 % of
    the warm-up's (the menu is a smaller scene and sits lower);
  - no count of live GL or AL objects grows: its highest does not rise from the warm-up to the
    first half after it and again to the second while ending above the warm-up's highest.
A door transition is a change from one area to another. Prints a summary and exits 1 on failure.
Usage: soak_report.py LOG [--plot PNG] [--warmup N] [--min-transitions N]
"""
import argparse
import sys

COUNTS = ["gl_programs", "gl_textures", "gl_buffers", "gl_vertex_arrays", "gl_framebuffers",
          "al_sources", "al_buffers"]


def read(path):
    with open(path) as f:
        header = f.readline().rstrip("\n").split("\t")
        rows = []
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) != len(header):
                continue
            row = dict(zip(header, fields))
            for key in header:
                if key != "scene":
                    row[key] = int(row[key])
            rows.append(row)
    return rows


def number_transitions(rows):
    """Adds 'doors': the door transitions up to each row."""
    doors = 0
    previous = None
    for row in rows:
        scene = row["scene"]
        if previous is not None and scene != previous and scene.startswith("area") \
                and previous.startswith("area"):
            doors += 1
        row["doors"] = doors
        previous = scene


def plot(rows, path, warmup):
    from PIL import Image, ImageDraw
    width, height, margin = 900, 600, 60
    image = Image.new("RGB", (width, height), "white")
    draw = ImageDraw.Draw(image)
    xs = [r["doors"] for r in rows]
    xmax = max(max(xs), 1)
    panels = [("resident memory (MiB)", [("rss", (200, 30, 30))]),
              ("live objects", [(c, col) for c, col in zip(COUNTS, [
                  (30, 30, 200), (30, 150, 30), (200, 120, 0), (120, 0, 160), (0, 150, 150),
                  (90, 90, 90), (220, 0, 120)])])]
    panel_h = (height - 3 * margin) // 2
    for p, (title, series) in enumerate(panels):
        top = margin + p * (panel_h + margin)
        values = [(r["rss_kib"] / 1024.0 if key == "rss" else r[key]) for key, _ in series
                  for r in rows]
        vmax = max(values) * 1.1 if values and max(values) > 0 else 1.0
        draw.rectangle([margin, top, width - margin, top + panel_h], outline="black")
        draw.text((margin, top - 15), "%s, 0 to %.0f" % (title, vmax), fill="black")
        wx = margin + (width - 2 * margin) * min(warmup, xmax) / xmax
        draw.line([wx, top, wx, top + panel_h], fill=(180, 180, 180))
        for i, (key, colour) in enumerate(series):
            points = []
            for r in rows:
                v = r["rss_kib"] / 1024.0 if key == "rss" else r[key]
                points.append((margin + (width - 2 * margin) * r["doors"] / xmax,
                               top + panel_h - panel_h * v / vmax))
            if len(points) > 1:
                draw.line(points, fill=colour, width=2)
            if len(series) > 1:
                draw.text((width - margin - 140, top + 5 + 12 * i), key, fill=colour)
        draw.text((margin, top + panel_h + 3), "0", fill="black")
        draw.text((width - margin - 60, top + panel_h + 3), "%d doors" % xmax, fill="black")
    image.save(path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("log")
    parser.add_argument("--plot")
    parser.add_argument("--warmup", type=int, default=50)
    parser.add_argument("--min-transitions", type=int, default=0)
    args = parser.parse_args()
    rows = read(args.log)
    if not rows:
        print("soak: the resource log is empty")
        return 1
    number_transitions(rows)
    doors = rows[-1]["doors"]
    warmup = args.warmup if doors >= 2 * args.warmup else doors // 2
    base = [r for r in rows if r["doors"] <= warmup]
    after = [r for r in rows if r["doors"] > warmup]
    ok = True
    print("soak: %d frames, %d scene changes, %d door transitions, warm-up %d"
          % (rows[-1]["frame"] + 1, rows[-1]["scene_changes"], doors, warmup))
    if doors < args.min_transitions:
        print("soak: FAIL only %d door transitions, %d wanted" % (doors, args.min_transitions))
        ok = False
    # The part after the warm-up is cut in two halves by door count. Memory is compared area with
    # area (the menu, a smaller scene, sits lower by design) by the median of each part, since a
    # single sample moves by a few per cent as areas are built and freed. A count grows when its
    # maximum rises from the warm-up to the first half and again to the second and it ends above
    # the warm-up's highest: leaked objects never come back, while drawing's passing peaks (more
    # particles or voices alive at one sample) fall back.
    if after:
        middle = (warmup + doors) / 2.0
        parts = [base, [r for r in after if r["doors"] <= middle],
                 [r for r in after if r["doors"] > middle]]
        parts = [p for p in parts if p]

        def median_rss(part):
            values = sorted(r["rss_kib"] for r in part if r["scene"].startswith("area")) or \
                sorted(r["rss_kib"] for r in part)
            return values[len(values) // 2]

        medians = [median_rss(p) for p in parts]
        rss0 = medians[0]
        flat = all(abs(m - rss0) <= rss0 * 0.05 for m in medians[1:])
        areas = [r["rss_kib"] for r in after if r["scene"].startswith("area")] or [0]
        print("soak: resident memory in the areas, median %s MiB (warm-up, first half, second"
              " half), samples %.1f to %.1f MiB after the warm-up %s"
              % (" / ".join("%.1f" % (m / 1024) for m in medians), min(areas) / 1024,
                 max(areas) / 1024, "ok" if flat else "FAIL"))
        ok = ok and flat
        for key in COUNTS:
            peaks = [max(r[key] for r in p) for p in parts]
            good = not (len(peaks) == 3 and peaks[0] < peaks[1] < peaks[2] and
                        rows[-1][key] > peaks[0])
            print("soak: %-16s highest %s (warm-up, first half, second half), last %5d %s"
                  % (key, " / ".join("%d" % v for v in peaks), rows[-1][key],
                     "ok" if good else "FAIL"))
            ok = ok and good
    else:
        print("soak: FAIL no samples after the warm-up")
        ok = False
    if args.plot:
        plot(rows, args.plot, warmup)
        print("soak: plot written to %s" % args.plot)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
