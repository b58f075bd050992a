#!/usr/bin/env python3
"""Checks that every include of the sources follows the order of the layers.

    scripts/check_layers.py [--root DIR] [--layers FILE] [--svg FILE] [--mermaid]

The layers and what each may use are read from FILE (default: scripts/layers.txt). Each
quoted include of a source file in a layer's folder is resolved (against the root, else
against the file's own folder) to the layer that holds it; an include of a layer that the
file's layer may not use is reported as "FILE:LINE: ..." and the check fails (exit status 1).
--svg writes the layers and their uses as a picture; --mermaid prints them as a Mermaid graph.
"""

import argparse
import os
import re
import sys

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c", ".S")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


class Layer:
    def __init__(self, name, folders, uses, line):
        self.name = name
        self.folders = folders
        self.uses = uses
        self.line = line
        self.reach = set()


def read_layers(path):
    layers = []
    names = {}
    with open(path, encoding="utf-8") as f:
        for number, text in enumerate(f, 1):
            text = text.split("#", 1)[0].strip()
            if not text:
                continue
            head, _, tail = text.partition(":")
            words = head.split()
            if len(words) < 2:
                raise SystemExit(f"{path}:{number}: a layer needs a name and at least one folder")
            uses = tail.split()
            for use in uses:
                if use not in names:
                    raise SystemExit(f"{path}:{number}: layer {words[0]} uses {use}, which is not a layer "
                                     "above it in the file")
            layer = Layer(words[0], [w.strip("/") for w in words[1:]], uses, number)
            names[layer.name] = layer
            layers.append(layer)
    for layer in layers:
        stack = list(layer.uses)
        while stack:
            name = stack.pop()
            if name not in layer.reach:
                layer.reach.add(name)
                stack.extend(names[name].uses)
    return layers


def layer_of(path, layers):
    best = None
    best_length = -1
    for layer in layers:
        for folder in layer.folders:
            if (path == folder or path.startswith(folder + "/")) and len(folder) > best_length:
                best, best_length = layer, len(folder)
    return best


def check(root, layers):
    problems = []
    checked = 0
    for top in sorted({layer.folders[0].split("/")[0] for layer in layers} |
                      {f.split("/")[0] for layer in layers for f in layer.folders}):
        base = os.path.join(root, top)
        if not os.path.isdir(base):
            continue
        for folder, dirs, files in os.walk(base):
            dirs.sort()
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                full = os.path.join(folder, name)
                path = os.path.relpath(full, root).replace(os.sep, "/")
                owner = layer_of(path, layers)
                if owner is None:
                    continue
                checked += 1
                with open(full, encoding="utf-8", errors="replace") as f:
                    for number, text in enumerate(f, 1):
                        m = INCLUDE.match(text)
                        if not m:
                            continue
                        included = m.group(1)
                        target = included
                        if not os.path.exists(os.path.join(root, target)):
                            local = os.path.normpath(os.path.join(os.path.dirname(path), included))
                            if os.path.exists(os.path.join(root, local)):
                                target = local.replace(os.sep, "/")
                        used = layer_of(target, layers)
                        if used is None or used is owner or used.name in owner.reach:
                            continue
                        allowed = ", ".join(sorted(owner.reach)) or "no other layer"
                        problems.append(f"{path}:{number}: includes {included}: layer {owner.name} may not "
                                        f"use layer {used.name} (it may use {allowed})")
    return checked, problems


def depth_rows(layers):
    """Rows of the picture, the lowest first: each layer one row above the highest layer it
    uses, then raised to just below the lowest layer that uses it; in a row, the layers in the
    order of the mean place of what they use."""
    by_name = {layer.name: layer for layer in layers}
    depth = {}
    for layer in layers:
        depth[layer.name] = 1 + max((depth[u] for u in layer.uses), default=-1)
    for layer in reversed(layers):
        users = [depth[other.name] for other in layers if layer.name in other.uses]
        if users:
            depth[layer.name] = max(depth[layer.name], min(users) - 1)
    rows = {}
    for layer in layers:
        rows.setdefault(depth[layer.name], []).append(layer)
    ordered = []
    place = {}
    for d in sorted(rows):
        row = rows[d]
        row.sort(key=lambda l: sum(place.get(u, 0.0) for u in l.uses) / max(len(l.uses), 1))
        for i, layer in enumerate(row):
            place[layer.name] = i - (len(row) - 1) / 2
        ordered.append(row)
    del by_name
    return ordered


def write_svg(layers, path):
    """A picture of the layers: the lowest at the bottom, an arrow from each layer to the
    layers it uses directly."""
    rows = depth_rows(layers)
    box_w, box_h, gap_x, gap_y, margin = 150, 44, 30, 46, 20
    widest = max(len(r) for r in rows)
    width = margin * 2 + widest * box_w + (widest - 1) * gap_x
    height = margin * 2 + len(rows) * box_h + (len(rows) - 1) * gap_y
    where = {}
    for level, row in enumerate(rows):
        row_width = len(row) * box_w + (len(row) - 1) * gap_x
        x0 = (width - row_width) / 2
        y = height - margin - box_h - level * (box_h + gap_y)
        for i, layer in enumerate(row):
            where[layer.name] = (x0 + i * (box_w + gap_x), y)
    # A layer alone in its row stands under the layers that use it.
    for row in reversed(rows):
        if len(row) != 1:
            continue
        users = [where[other.name][0] for other in layers if row[0].name in other.uses]
        if users:
            where[row[0].name] = (sum(users) / len(users), where[row[0].name][1])
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width:.0f}" height="{height:.0f}" '
           f'viewBox="0 0 {width:.0f} {height:.0f}" font-family="sans-serif" font-size="13">',
           '<defs><marker id="arrow" markerWidth="8" markerHeight="8" refX="7" refY="4" orient="auto">'
           '<path d="M0,0 L8,4 L0,8 z" fill="#555"/></marker></defs>',
           f'<rect width="{width:.0f}" height="{height:.0f}" fill="white"/>']
    for layer in layers:
        x, y = where[layer.name]
        for use in layer.uses:
            ux, uy = where[use]
            out.append(f'<line x1="{x + box_w / 2:.1f}" y1="{y + box_h:.1f}" x2="{ux + box_w / 2:.1f}" '
                       f'y2="{uy:.1f}" stroke="#555" stroke-width="1.5" marker-end="url(#arrow)"/>')
    for layer in layers:
        x, y = where[layer.name]
        fill = "#dbe8f5" if layer.folders[0].startswith("toolkit") else "#f5ead6"
        if layer.folders[0].startswith("platform"):
            fill = "#e2f0dc"
        out.append(f'<rect x="{x:.1f}" y="{y:.1f}" width="{box_w}" height="{box_h}" rx="6" fill="{fill}" '
                   'stroke="#333"/>')
        out.append(f'<text x="{x + box_w / 2:.1f}" y="{y + 18:.1f}" text-anchor="middle" '
                   f'font-weight="bold">{layer.name}</text>')
        folders = " ".join(f + "/" for f in layer.folders)
        out.append(f'<text x="{x + box_w / 2:.1f}" y="{y + 35:.1f}" text-anchor="middle" font-size="11" '
                   f'fill="#333">{folders}</text>')
    out.append("</svg>")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", default=os.path.dirname(here))
    parser.add_argument("--layers", default=os.path.join(here, "layers.txt"))
    parser.add_argument("--svg")
    parser.add_argument("--mermaid", action="store_true")
    args = parser.parse_args()
    layers = read_layers(args.layers)
    if args.svg:
        write_svg(layers, args.svg)
    if args.mermaid:
        print("graph BT")
        for layer in layers:
            for use in layer.uses:
                print(f"  {layer.name} --> {use}")
    if args.svg or args.mermaid:
        return 0
    checked, problems = check(args.root, layers)
    for problem in problems:
        print(problem)
    if problems:
        print(f"layer check: {len(problems)} include(s) against the order of the layers in {checked} files "
              f"(see {os.path.relpath(args.layers, args.root)} and docs/architecture.md)")
        return 1
    print(f"layer check: {checked} files follow the order of the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
