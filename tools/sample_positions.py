#!/usr/bin/env python3
"""Write sample/yeast.graph.txt, the node-position file of the sample pathway.

The start-up build numbers one circle per molecule in the order in which
names first appear in the relation table (first member before second), after
the load-time normalisation of member names.  Those numbers change whenever a
row is added or reordered, so they are recomputed here from the SQL instead of
being kept by hand; the coordinates below are keyed by molecule name.

Coordinates are in plane units: the box scene multiplies them by 30, so a
spacing of 1.0 puts 30 scene units between spheres of radius 0.4.  x grows to
the right and y grows downwards (the receptor is at the top, transcription at
the bottom), which is also how the plane looks from above in the viewer.

Usage: tools/sample_positions.py [--check] [--dot FILE]
  --check   only verify that the file on disk is up to date (exit 1 if not)
  --dot     also write a Graphviz drawing with pinned positions, for a look
"""
import argparse
import itertools
import math
import os
import re
import sqlite3
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SCHEMA = os.path.join(ROOT, "sample", "schema.sql")
DATA = os.path.join(ROOT, "sample", "yeast_pathway.sql")
OUT = os.path.join(ROOT, "sample", "yeast.graph.txt")

# Spheres closer than this (plane units) would crowd their labels.
MIN_SPACING = 0.6

POSITIONS = {
    # pheromones and their processing (top)
    "prepro-alpha-factor": (-6.6, -7.4),
    "alpha-factor": (-4.4, -7.0),
    "alpha-factor_fragments": (-6.6, -6.2),
    "Bar1": (-5.4, -5.6),
    "Mfa1": (6.6, -7.4),
    "Ram1_and_Ram2": (6.6, -6.2),
    "Ste14": (5.6, -5.4),
    "a-factor": (4.0, -7.0),
    "Ste6": (3.6, -7.8),
    "PI4P": (-2.6, -7.8),
    "_[PIP2]": (-1.0, -7.0),
    # receptors and their down-regulation (left)
    "Ste2": (-2.8, -6.0),
    "Ste2_oligomer": (-4.0, -5.2),
    "Yck1": (-6.6, -5.0),
    "Yck2": (-6.6, -3.8),
    "Akr1": (-6.6, -2.6),
    "Rsp5": (-5.4, -4.4),
    "vacuolar_degradation_of_Ste2": (-5.0, -3.2),
    "Ste3": (2.4, -6.0),
    # heterotrimeric G protein
    "Gpa1": (0.2, -5.6),
    "GTP-bound_Gpa1": (1.4, -7.4),
    "GDP-bound_Gpa1": (1.4, -6.6),
    "Sst2": (2.2, -4.8),
    "Ste4": (-1.6, -4.4),
    "Ste18": (0.6, -4.4),
    "_(Gbg)": (-2.8, -3.6),
    # polarity and chemotropism (left middle)
    "Cdc24": (-5.2, -1.6),
    "Cdc42": (-3.8, -2.4),
    "Bem1": (-6.6, -0.8),
    "Bni1": (-5.2, -0.2),
    "Far1_which_binds_Cdc24": (-3.4, -4.6),
    "Ste20": (-2.0, -2.4),
    "_14-3-3_protein_Bmh1": (-3.6, -1.2),
    "Far1": (-4.0, 1.2),
    # scaffold and MAP kinase cascade (centre)
    "Ste5": (0.0, -2.4),
    "Ste5_2": (1.4, -3.0),
    "the_Ste5_scaffold": (-0.8, -1.6),
    "Ste5_at_the_plasma_membrane": (1.0, -1.6),
    "Msn5": (3.0, -0.6),
    "nuclear_export_of_Ste5": (2.0, -1.2),
    "Ste11": (-1.4, -0.6),
    "Ste11_with_Ste50": (-2.2, -1.4),
    "Ste50": (-3.0, 0.0),
    "Ste50_oligomer": (-4.8, 0.6),
    "Opy2": (-2.4, 0.8),
    "Ste7": (-0.6, 0.6),
    "Fus3": (-0.6, 2.2),
    "Kss1": (1.6, 1.6),
    "Msg5": (-2.0, 3.0),
    "Ptp2": (-0.6, 3.6),
    "Ptp3": (0.8, 3.0),
    "Fus3_in_the_nucleus": (-2.0, 4.2),
    # osmotic cross-talk and calcium (right middle)
    "Sho1": (4.6, -2.0),
    "interaction_between_Ste11_and_Ste50": (3.0, -3.6),
    "Pbs2": (4.6, -0.8),
    "Hog1": (5.6, 0.2),
    "Mid1": (5.2, -4.2),
    "cytosolic_Ca2+_signal": (6.4, -3.4),
    # cell cycle (lower left)
    "Cdc28": (-5.2, 2.4),
    "Cln1": (-6.6, 1.8),
    "Cln2": (-6.6, 3.0),
    "phosphorylation_and_degradation_of_Far1": (-6.6, 4.2),
    # nucleus and transcription (bottom)
    "Dig1": (-1.4, 5.0),
    "Dig2": (1.0, 5.0),
    "Dig1_or_Dig2": (2.6, 5.8),
    "Ste12": (0.0, 6.4),
    "Mcm1": (-2.0, 7.0),
    "Tec1": (4.4, 4.8),
    "Ste12_and_Tec1": (4.4, 6.2),
    "Kss1_when_Fus3_is_absent": (2.2, 8.6),
    "FUS1_transcription": (1.2, 7.6),
    "expression_of_FUS1": (3.0, 7.2),
    "FAR1_expression": (-3.4, 7.6),
    "FUS1_and_FUS2_co-expression": (-1.4, 8.2),
    "FLO11_expression": (5.6, 7.6),
}

# Member names that name another interaction sit beside the middle of the
# interaction they stand for, this far off the line between its two members.
REFERENCE_OFFSET = 0.6


def load_rows():
    db = sqlite3.connect(":memory:")
    with open(SCHEMA, encoding="utf-8") as f:
        db.executescript(f.read())
    with open(DATA, encoding="utf-8") as f:
        db.executescript(f.read())
    # Insertion order is the order the program reads the table in.
    return db.execute(
        'SELECT "rel_ID", "rel_mem1", "rel_mem2", "rel_kind", "rel_rem" '
        'FROM "relation" ORDER BY rowid').fetchall()


def normalise(m1, m2, kind):
    m1, m2 = m1 or "", m2 or ""
    if m1 == m2 and kind == 0:
        m2 += "_2"
        kind = 9

    def fix(m):
        m = m.strip("_")
        if m[:1] in ("(", "["):
            m = "_" + m
        if m[:1].isdigit():
            m = "_" + m
        return m

    return fix(m1), fix(m2), kind


def level_of(remark):
    m = re.match(r"\s*([+-]?\d+)", remark or "")
    return int(m.group(1)) if m else 0


def startup_build(rows):
    """Circle numbers, levels and links as the start-up build makes them."""
    circle = {}        # name -> circle number
    nodes = []         # [name, level, links(list of (target, kind))]
    records = {}       # rel_ID -> (member1, member2)

    def new(name, w):
        # A name registered twice keeps its first circle for look-ups.
        nodes.append([name, w, []])
        circle.setdefault(name, len(nodes))
        return len(nodes)

    def link(src, dst, kind):
        if (dst, kind) not in nodes[src - 1][2]:
            nodes[src - 1][2].append((dst, kind))

    for rel_id, a, b, kind, remark in rows:
        m1, m2, k = normalise(a, b, kind)
        records.setdefault(rel_id, (m1, m2))
        w = level_of(remark)
        c1, c2 = circle.get(m1), circle.get(m2)
        if c1 and c2:
            link(c1, c2, k)
            t = c1 if c1 < c2 else c2
            nodes[t - 1][1] = min(nodes[t - 1][1], w)
        elif not c1 and not c2:
            c1 = new(m1, w)
            link(c1, c1 + 1, k)
            new(m2, w)
        elif not c1:
            c1 = new(m1, w)
            link(c1, c2, k)
            nodes[c2 - 1][1] = min(nodes[c2 - 1][1], w)
        else:
            c2 = new(m2, w)
            link(c1, c2, k)
            nodes[c1 - 1][1] = min(nodes[c1 - 1][1], w)
    return nodes, records


def place(nodes, records):
    pos = {}

    def where(name, depth=0):
        if name in pos:
            return pos[name]
        if name in POSITIONS:
            pos[name] = POSITIONS[name]
        elif name.startswith("r__") and name in records and depth < 10:
            (x1, y1), (x2, y2) = (where(m, depth + 1) for m in records[name])
            dx, dy = x2 - x1, y2 - y1
            d = math.hypot(dx, dy) or 1.0
            pos[name] = ((x1 + x2) / 2 - dy / d * REFERENCE_OFFSET,
                         (y1 + y2) / 2 + dx / d * REFERENCE_OFFSET)
        else:
            sys.exit("no position for molecule %r" % name)
        return pos[name]

    return [where(n[0]) for n in nodes]


# The box scene multiplies positions by 30 while spheres have radius 0.4:
# the drawing coordinates above are shrunk so that the whole pathway spans
# about 60 scene units and spheres stay visible when it fills the viewer.
SCENE_SCALE = 0.15


def render(nodes, coords):
    coords = [(x * SCENE_SCALE, y * SCENE_SCALE) for x, y in coords]
    xs = [c[0] for c in coords]
    ys = [c[1] for c in coords]
    lines = ["graph 1.0 %.1f %.1f" % (max(xs) - min(xs), max(ys) - min(ys))]
    for i, (x, y) in enumerate(coords, 1):
        lines.append("node %d %f %f" % (i, x, y))
    for i, (_, _, links) in enumerate(nodes, 1):
        for dst, kind in links:
            lines.append("edge %d %d %d" % (i, dst, kind))
    lines.append("stop")
    return "\n".join(lines) + "\n"


def check_spacing(nodes, coords):
    ok = True
    for (i, a), (j, b) in itertools.combinations(enumerate(coords), 2):
        if math.dist(a, b) < MIN_SPACING:
            print("too close: %s and %s" % (nodes[i][0], nodes[j][0]),
                  file=sys.stderr)
            ok = False
    return ok


def write_dot(path, nodes, coords):
    with open(path, "w", encoding="utf-8") as f:
        f.write("digraph yeast {\n  node [shape=point];\n")
        for i, ((name, level, _), (x, y)) in enumerate(zip(nodes, coords), 1):
            f.write('  n%d [pos="%f,%f!", xlabel="%d %s", color=%s];\n'
                    % (i, x * 72, -y * 72, i, name.replace('"', r'\"'),
                       "black" if level == 0 else "gray"))
        for i, (_, _, links) in enumerate(nodes, 1):
            for dst, kind in links:
                f.write('  n%d -> n%d [label="%d"];\n' % (i, dst, kind))
        f.write("}\n")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--check", action="store_true")
    ap.add_argument("--dot")
    args = ap.parse_args()

    nodes, records = startup_build(load_rows())
    unused = set(POSITIONS) - {n[0] for n in nodes}
    if unused:
        sys.exit("positions for unknown molecules: %s" % ", ".join(sorted(unused)))
    coords = place(nodes, records)
    spaced = check_spacing(nodes, coords)
    text = render(nodes, coords)
    if args.dot:
        write_dot(args.dot, nodes, coords)
    if args.check:
        with open(OUT, encoding="utf-8") as f:
            current = f.read()
        if current != text:
            sys.exit("%s is out of date" % OUT)
        return 0 if spaced else 1
    with open(OUT, "w", encoding="utf-8") as f:
        f.write(text)
    shown = sum(1 for n in nodes if n[1] == 0)
    print("%d circles (%d shown at start-up), %d links"
          % (len(nodes), shown, sum(len(n[2]) for n in nodes)))
    return 0 if spaced else 1


if __name__ == "__main__":
    sys.exit(main())
