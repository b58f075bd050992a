#!/usr/bin/env python3
"""Writes the seed corpus of the polygon clipper harness: pairs of polygons in the clipper's
text form (make_polygon_clipper_corpus.py DIR)."""
import os
import sys


def polygon(contours, holes=None):
    lines = [str(len(contours))]
    for i, contour in enumerate(contours):
        lines.append(str(len(contour)))
        if holes is not None:
            lines.append(str(holes[i]))
        lines += [f"{x} {y}" for x, y in contour]
    return "\n".join(lines) + "\n"


SQUARE = [(0, 0), (10, 0), (10, 10), (0, 10)]
SEEDS = {
    "overlapping_squares.txt": polygon([SQUARE]) + polygon([[(5, 5), (15, 5), (15, 15), (5, 15)]]),
    "identical_squares.txt": polygon([SQUARE]) + polygon([SQUARE]),
    "bow_tie_and_triangle.txt": polygon([[(0, 0), (10, 10), (10, 0), (0, 10)]])
    + polygon([[(5, -2), (12, 5), (5, 12)]]),
    "ring_with_hole_flags.txt": "h" + polygon([SQUARE, [(3, 3), (3, 7), (7, 7), (7, 3)]], [0, 1])
    + polygon([[(-1, 4), (11, 4), (11, 6), (-1, 6)]], [0]),
    "shared_edges_and_horizontals.txt": polygon([[(0, 0), (4, 0), (4, 2), (8, 2), (8, 6), (0, 6)]])
    + polygon([[(4, 0), (8, 0), (8, 2), (4, 2)], [(0, 6), (8, 6), (4, 9)]]),
    "flat_and_tiny_contours.txt": polygon([[(0, 1), (5, 1), (9, 1)], [(2, 2)], [(1, 1), (3, 3)]])
    + polygon([SQUARE]),
    "extreme_values.txt": polygon([[(-1e308, -1e308), (1e308, -1e308), (0, 1e308)], [(1e-300, 0), (2e-300, 1e-300), (0, 3e-300)]])
    + polygon([[("nan", 0), (1, "inf"), (2, 2)], SQUARE]),
    "collinear_overlaps.txt": polygon([[(0, 0), (6, 0), (6, 6), (3, 6), (3, 3), (0, 3)]])
    + polygon([[(2, 0), (8, 0), (8, 3), (6, 3), (6, 6), (2, 6)]]),
}

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
for name, text in SEEDS.items():
    with open(os.path.join(out, name), "w") as f:
        f.write(text)
