#!/usr/bin/env python3
"""Writes the SAT fixtures of the solids kernel tests (and the seeds of the sat_parser fuzz
harness) into this folder:

  cube_106.sat          a unit cube in the forms of the oldest writers: integer senses, faces
                        as "0 0", infinite range ends as 0 and finite ones as "1 value"
  cube_400.sat          the same cube in words, with a colour attribute on the body and a
                        history attribute on a face
  cylinder_500.sat      a cylinder: a cone surface of zero angle between two planes, circles
                        as ellipse curves, edges with parameters and a convexity, a transform
  sphere_torus_600.sat  two lumps: a sphere face and a double-sided torus face, no loops
  spline_face_400.sat   a quarter cylinder as one face on "exactsur" spline data, its edges on
                        "exactcur" intcurves, its coedges with "exppc" parameter curves, the
                        surface data shared through "ref"
  spline_face_500.sat   the same with the "full" words and the edge parameters of version 500
  pcurve_104.sat        a face with an integer sense and a pcurve whose data stands in place
  render_*.sat          bodies of the wireframe renderer tests: two cubes as two bodies, a cube
                        placed by a transform (turned, scaled, moved), a cylinder with two plane
                        caps, a cone with its apex as a loop of its own, a plane face with a
                        turned square hole
  hostile_*.sat         texts that claim more than they hold: a reference to record
                        2000000000, a record count of 2^31 - 1, a counted string of 10^9
                        characters, NURBS data of 10^9 control points, 1,000 nested braces

Run it from anywhere: python3 tests/data/acis/make_fixtures.py
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def header(version, records=0):
    text = f"{version} {records} 1 0\n"
    if version >= 200:
        text += "7 Testing 9 Tracemill 24 Thu Dec 10 12:00:00 2026\n1 9.9999999999999995e-07 1e-10\n"
    return text


def write(name, text):
    with open(os.path.join(HERE, name), "w", newline="\n") as f:
        f.write(text)


class Records:
    """Records numbered in the order they are added; references are filled in by index."""

    def __init__(self):
        self.lines = []

    def add(self, text=""):
        self.lines.append(text)
        return len(self.lines) - 1

    def set(self, index, text):
        self.lines[index] = text

    def text(self):
        return "".join(line + " #\n" for line in self.lines) + "End-of-ACIS-data\n"


def ref(index):
    return "$-1" if index is None else f"${index}"


def num(value):
    return repr(float(value)) if isinstance(value, float) else str(value)


def cube_records(r, version, origin=(0, 0, 0), transform=None):
    """Adds a unit cube of 6 plane faces, 12 straight edges and 8 vertices at `origin` to the
    records; `transform` is the 12 numbers and the scale of a transform record of the body."""
    words = version >= 200
    corners = [(x + origin[0], y + origin[1], z + origin[2]) for z in (0, 1) for y in (0, 1) for x in (0, 1)]
    # Each face: its outward normal and its corners counter-clockwise seen from outside.
    faces = [
        ((0, 0, -1), [0, 2, 3, 1]),
        ((0, 0, 1), [4, 5, 7, 6]),
        ((0, -1, 0), [0, 1, 5, 4]),
        ((0, 1, 0), [2, 6, 7, 3]),
        ((-1, 0, 0), [0, 4, 6, 2]),
        ((1, 0, 0), [1, 3, 7, 5]),
    ]
    body, lump, shell = r.add(), r.add(), r.add()
    face_ids = [r.add() for _ in faces]
    loop_ids = [r.add() for _ in faces]
    surface_ids = [r.add() for _ in faces]
    coedge_ids = [[r.add() for _ in range(4)] for _ in faces]
    edges = {}  # (a, b) with a < b -> edge record
    edge_coedges = {}
    for f, (_, loop) in enumerate(faces):
        for i in range(4):
            key = tuple(sorted((loop[i], loop[(i + 1) % 4])))
            if key not in edges:
                edges[key] = r.add()
            edge_coedges.setdefault(key, []).append(coedge_ids[f][i])
    vertex_ids = [r.add() for _ in corners]
    curve_ids = {key: r.add() for key in edges}
    point_ids = [r.add() for _ in corners]
    attributes = []
    if version >= 400 and transform is None and origin == (0, 0, 0):
        attributes = [r.add(), r.add()]
    transform_id = r.add() if transform is not None else None

    colour = attributes[0] if attributes else None
    history = attributes[1] if attributes else None
    r.set(body, f"body {ref(colour)} ${lump} $-1 {ref(transform_id)}")
    r.set(lump, f"lump $-1 $-1 ${shell} ${body}")
    wire = " $-1" if version >= 107 else ""
    r.set(shell, f"shell $-1 $-1 $-1 ${face_ids[0]}{wire} ${lump}")
    for f, (normal, loop) in enumerate(faces):
        nxt = ref(face_ids[f + 1] if f + 1 < len(faces) else None)
        attribute = ref(history if f == 2 else None)
        sense = "forward single" if words else "0 0"
        r.set(face_ids[f], f"face {attribute} {nxt} ${loop_ids[f]} ${shell} $-1 ${surface_ids[f]} {sense}")
        r.set(loop_ids[f], f"loop $-1 $-1 ${coedge_ids[f][0]} ${face_ids[f]}")
        root = corners[loop[0]]
        u = tuple(corners[loop[1]][k] - root[k] for k in range(3))
        ranges = "forward_v I I I I" if words else "0 0 0 0 0"
        r.set(surface_ids[f], "plane-surface $-1 " + " ".join(num(v) for v in root + normal + u) + " " + ranges)
        for i in range(4):
            a, b = loop[i], loop[(i + 1) % 4]
            key = tuple(sorted((a, b)))
            partner = [c for c in edge_coedges[key] if c != coedge_ids[f][i]]
            forward = (a, b) == key
            sense = ("forward" if forward else "reversed") if words else ("0" if forward else "1")
            r.set(coedge_ids[f][i], f"coedge $-1 ${coedge_ids[f][(i + 1) % 4]} ${coedge_ids[f][(i + 3) % 4]} "
                                    f"{ref(partner[0] if partner else None)} ${edges[key]} {sense} ${loop_ids[f]} $-1")
    for key, edge in edges.items():
        sense = "forward" if words else "0"
        r.set(edge, f"edge $-1 ${vertex_ids[key[0]]} ${vertex_ids[key[1]]} ${edge_coedges[key][0]} ${curve_ids[key]} {sense}")
        a, b = corners[key[0]], corners[key[1]]
        direction = tuple(b[k] - a[k] for k in range(3))
        span = "F 0 F 1" if words else "1 0 1 1"
        r.set(curve_ids[key], "straight-curve $-1 " + " ".join(num(v) for v in a + direction) + " " + span)
    for v, corner in enumerate(corners):
        edge = next(edges[key] for key in edges if v in key)
        r.set(vertex_ids[v], f"vertex $-1 ${edge} ${point_ids[v]}")
        r.set(point_ids[v], "point $-1 " + " ".join(num(c) for c in corner))
    if attributes:
        r.set(colour, f"colour-tsl-attrib $-1 $-1 $-1 ${body} 3")
        r.set(history, f"persubent-solidHistory-attrib $-1 $-1 $-1 ${face_ids[2]} 1 1 1000000000 1004")
    if transform is not None:
        r.set(transform_id, "transform $-1 " + " ".join(num(v) for v in transform) + " rotate no_reflect no_shear")
    return body


def cube(version):
    """A unit cube of 6 plane faces, 12 straight edges and 8 vertices."""
    r = Records()
    cube_records(r, version)
    return header(version, len(r.lines)) + r.text()


def cylinder_500():
    return header(500) + """body $1 $2 $-1 $3 #
colour-tsl-attrib $-1 $-1 $-1 $0 3 #
lump $-1 $-1 $4 $0 #
transform $-1 1 0 0 0 1 0 0 0 1 5 6 7 1 no_rotate no_reflect no_shear #
shell $-1 $-1 $-1 $5 $-1 $2 #
face $-1 $6 $7 $4 $-1 $8 forward single #
face $-1 $9 $10 $4 $-1 $11 forward single #
loop $-1 $12 $13 $5 #
cone-surface $-1 0 0 0 0 0 1 5 0 0 1 I I 0 1 1 forward I I I I #
face $-1 $-1 $14 $4 $-1 $15 reversed single #
loop $-1 $-1 $16 $6 #
plane-surface $-1 0 0 10 0 0 1 1 0 0 forward_v I I I I #
loop $-1 $-1 $17 $5 #
coedge $-1 $13 $13 $18 $19 reversed $7 $-1 #
loop $-1 $-1 $18 $9 #
plane-surface $-1 0 0 0 0 0 1 1 0 0 forward_v I I I I #
coedge $-1 $16 $16 $17 $20 forward $10 $-1 #
coedge $-1 $17 $17 $16 $20 reversed $12 $-1 #
coedge $-1 $18 $18 $13 $19 forward $14 $-1 #
edge $-1 $21 -3.1415926535897931 $21 3.1415926535897931 $13 $22 forward 7 unknown #
edge $-1 $23 -3.1415926535897931 $23 3.1415926535897931 $16 $24 forward 6 convex #
vertex $-1 $19 $25 #
ellipse-curve $-1 0 0 0 0 0 1 5 0 0 1 I I #
vertex $-1 $20 $26 #
ellipse-curve $-1 0 0 10 0 0 1 5 0 0 1 I I #
point $-1 -5 0 0 #
point $-1 -5 0 10 #
End-of-ACIS-data
"""


def sphere_torus_600():
    return header(600) + """body $-1 $1 $-1 $-1 #
lump $-1 $2 $3 $0 #
lump $-1 $-1 $4 $0 #
shell $-1 $-1 $-1 $5 $-1 $1 #
shell $-1 $-1 $-1 $6 $-1 $2 #
face $-1 $-1 $-1 $3 $-1 $7 forward single #
face $-1 $-1 $-1 $4 $-1 $8 forward double out #
sphere-surface $-1 0 0 0 3 1 0 0 0 0 1 forward I I I I #
torus-surface $-1 10 0 0 0 0 1 4 1 1 0 0 forward I I I I #
End-of-ACIS-data
"""


# The quarter cylinder of radius 2 about x = 22, y = 18, from z = 10.5 to 16.5: u along the
# axis (0 to 10), v around it (0 to pi/2).
QUARTER = ("nurbs 1 2 both open open none none 2 2\n0 1 10 1\n0 2 1.5707963267948966 2\n"
           "22 20 10.5 1\n22 20 16.5 1\n20 20 10.5 0.7071067811865476\n20 20 16.5 0.7071067811865476\n"
           "20 18 10.5 1\n20 18 16.5 1\n")


def spline_face(version):
    full = "full " if version >= 500 else ""
    arc = lambda z: (f"nurbs 2 open 2\n0 2 1.5707963267948966 2\n22 20 {z} 1\n20 20 {z} 0.7071067811865476\n"
                     f"20 18 {z} 1\n")
    line = lambda x, y: f"nubs 1 open 2\n10.5 1 16.5 1\n{x} {y} 10.5\n{x} {y} 16.5\n"
    pline = lambda u0, v0, u1, v1, t0, t1: f"nubs 1 open 2\n{t0} 1 {t1} 1\n{u0} {v0}\n{u1} {v1}\n"

    def intcurve(data, t0, t1):
        return (f"intcurve-curve $-1 forward {{ exactcur {full}{data}0.0001\nspline forward {{ ref 0 }} I I I I\n"
                f"null_surface\nnullbs\nnullbs\nF {t0} F {t1} }} F {t0} F {t1}")

    def pcurve(data):
        return f"pcurve $-1 0 forward {{ exppc {data}0.0001\nspline forward {{ ref 0 }} I I I I }} 0 0"

    def edge(start, end, coedge, curve, t0, t1):
        if version < 500:
            return f"edge $-1 ${start} ${end} ${coedge} ${curve} forward"
        return f"edge $-1 ${start} {t0} ${end} {t1} ${coedge} ${curve} forward 7 unknown"

    pi2 = "1.5707963267948966"
    records = [
        "body $-1 $1 $-1 $-1",
        "lump $-1 $-1 $2 $0",
        "shell $-1 $-1 $-1 $3 $-1 $1",
        "face $-1 $-1 $5 $2 $-1 $4 forward single",
        f"spline-surface $-1 forward {{ exactsur {full}{QUARTER}0.0001 0 0 }} I I I I",
        "loop $-1 $-1 $6 $3",
        # coedges 6..9 around the face; edges 10..13; vertices 14..17; curves 18..21; pcurves 22..25;
        # points 26..29
        "coedge $-1 $7 $9 $-1 $10 forward $5 $22",
        "coedge $-1 $8 $6 $-1 $11 forward $5 $23",
        "coedge $-1 $9 $7 $-1 $12 reversed $5 $24",
        "coedge $-1 $6 $8 $-1 $13 reversed $5 $25",
        edge(14, 15, 6, 18, 0, pi2),
        edge(15, 16, 7, 19, 10.5, 16.5),
        edge(17, 16, 8, 20, 0, pi2),
        edge(14, 17, 9, 21, 10.5, 16.5),
        "vertex $-1 $10 $26",
        "vertex $-1 $11 $27",
        "vertex $-1 $11 $28",
        "vertex $-1 $12 $29",
        intcurve(arc(10.5), 0, pi2),
        intcurve(line(20, 18), 10.5, 16.5),
        intcurve(arc(16.5), 0, pi2),
        intcurve(line(22, 20), 10.5, 16.5),
        pcurve(pline(0, 0, 0, pi2, 0, pi2)),
        pcurve(pline(0, pi2, 10, pi2, 10.5, 16.5)),
        pcurve(pline(10, 0, 10, pi2, 0, pi2)),
        pcurve(pline(0, 0, 10, 0, 10.5, 16.5)),
        "point $-1 22 20 10.5",
        "point $-1 20 18 10.5",
        "point $-1 20 18 16.5",
        "point $-1 22 20 16.5",
    ]
    return header(version, len(records)) + "".join(f"-{i} {text} #\n" for i, text in enumerate(records))


def pcurve_104():
    return header(104) + """body $-1 $1 $-1 $-1 #
lump $-1 $-1 $2 $0 #
shell $-1 $-1 $-1 $3 $1 #
face $-1 $-1 $4 $2 $-1 $5 1 #
loop $-1 $-1 $6 $3 #
plane-surface $-1 0 0 0 0 0 1 1 0 0 0 #
coedge $-1 $6 $6 $-1 $7 0 $4 $8 #
edge $-1 $9 $9 $6 $10 0 #
pcurve $-1 0 forward nubs 1 open 2 0 1 1 1 0 0 1 1 0.0001 plane 0 0 0 0 0 1 1 0 0 0 0 0 #
vertex $-1 $7 $11 #
ellipse-curve $-1 0 0 0 0 0 1 1 0 0 1 #
point $-1 1 0 0 #
End-of-ACIS-data
"""


def two_cubes_400():
    """Two unit cubes, at the origin and at x = 3, as two bodies of one text."""
    r = Records()
    cube_records(r, 400)
    cube_records(r, 400, origin=(3, 0, 0))
    return header(400, len(r.lines)) + r.text()


def transformed_cube_400():
    """The unit cube placed by its body's transform: turned by 30 degrees about z, scaled by 2
    and moved by (5, 6, 7)."""
    c, s = math.cos(math.radians(30)), math.sin(math.radians(30))
    r = Records()
    cube_records(r, 400, transform=(c, s, 0.0, -s, c, 0.0, 0.0, 0.0, 1.0, 5.0, 6.0, 7.0, 2.0))
    return header(400, len(r.lines)) + r.text()


def cylinder_400():
    """A cylinder of radius 2 about the z axis from z = 0 to z = 3: a side face on a cone
    surface of zero angle, bounded by two circles, and two plane caps."""
    return header(400) + """body $-1 $1 $-1 $-1 #
lump $-1 $-1 $2 $0 #
shell $-1 $-1 $-1 $3 $-1 $1 #
face $-1 $4 $6 $2 $-1 $9 forward single #
face $-1 $5 $7 $2 $-1 $10 forward single #
face $-1 $-1 $8 $2 $-1 $11 forward single #
loop $-1 $12 $13 $3 #
loop $-1 $-1 $14 $4 #
loop $-1 $-1 $15 $5 #
cone-surface $-1 0 0 0 0 0 1 2 0 0 1 I I 0 1 1 forward I I I I #
plane-surface $-1 0 0 0 0 0 -1 1 0 0 forward_v I I I I #
plane-surface $-1 0 0 3 0 0 1 1 0 0 forward_v I I I I #
loop $-1 $-1 $16 $3 #
coedge $-1 $13 $13 $14 $17 forward $6 $-1 #
coedge $-1 $14 $14 $13 $17 reversed $7 $-1 #
coedge $-1 $15 $15 $16 $18 forward $8 $-1 #
coedge $-1 $16 $16 $15 $18 reversed $12 $-1 #
edge $-1 $19 $19 $13 $21 forward #
edge $-1 $20 $20 $15 $22 forward #
vertex $-1 $17 $23 #
vertex $-1 $18 $24 #
ellipse-curve $-1 0 0 0 0 0 1 2 0 0 1 I I #
ellipse-curve $-1 0 0 3 0 0 1 2 0 0 1 I I #
point $-1 2 0 0 #
point $-1 2 0 3 #
End-of-ACIS-data
"""


def cone_400():
    """A cone of base radius 2 on z = 0 with its apex at (0, 0, 3): a side face bounded by the
    base circle and by a loop of one edge without a curve at the apex, and a plane base. The
    cone narrows along its base's normal, so the sine of its half-angle is negative."""
    s, c = -2 / math.sqrt(13), 3 / math.sqrt(13)
    return header(400) + f"""body $-1 $1 $-1 $-1 #
lump $-1 $-1 $2 $0 #
shell $-1 $-1 $-1 $3 $-1 $1 #
face $-1 $4 $5 $2 $-1 $7 forward single #
face $-1 $-1 $6 $2 $-1 $8 forward single #
loop $-1 $9 $10 $3 #
loop $-1 $-1 $11 $4 #
cone-surface $-1 0 0 0 0 0 1 2 0 0 1 I I {num(s)} {num(c)} 2 forward I I I I #
plane-surface $-1 0 0 0 0 0 -1 1 0 0 forward_v I I I I #
loop $-1 $-1 $12 $3 #
coedge $-1 $10 $10 $11 $13 forward $5 $-1 #
coedge $-1 $11 $11 $10 $13 reversed $6 $-1 #
coedge $-1 $12 $12 $-1 $14 forward $9 $-1 #
edge $-1 $15 $15 $10 $17 forward #
edge $-1 $16 $16 $12 $-1 forward #
vertex $-1 $13 $18 #
vertex $-1 $14 $19 #
ellipse-curve $-1 0 0 0 0 0 1 2 0 0 1 I I #
point $-1 2 0 0 #
point $-1 0 0 3 #
End-of-ACIS-data
"""


# The square hole of holed_face_400: centre, half side and turn about z.
HOLE = ((4.0, 5.0), 2.0, math.radians(20))


def holed_face_400():
    """A double-sided plane face (as a region's) on z = 0: the square 0 .. 10 with a square hole
    of side 4 about (4, 5), turned by 20 degrees. The outer loop runs counter-clockwise seen
    from +z, the hole's clockwise."""
    (cx, cy), h, a = HOLE
    outer = [(0.0, 0.0), (10.0, 0.0), (10.0, 10.0), (0.0, 10.0)]
    corners = [(-h, -h), (-h, h), (h, h), (h, -h)]  # clockwise
    inner = [(cx + x * math.cos(a) - y * math.sin(a), cy + x * math.sin(a) + y * math.cos(a)) for x, y in corners]
    r = Records()
    body, lump, shell, face, surface = r.add(), r.add(), r.add(), r.add(), r.add()
    loops = [r.add(), r.add()]
    r.set(body, f"body $-1 ${lump} $-1 $-1")
    r.set(lump, f"lump $-1 $-1 ${shell} ${body}")
    r.set(shell, f"shell $-1 $-1 $-1 ${face} $-1 ${lump}")
    r.set(face, f"face $-1 $-1 ${loops[0]} ${shell} $-1 ${surface} forward double out")
    r.set(surface, "plane-surface $-1 0 0 0 0 0 1 1 0 0 forward_v I I I I")
    for n, polygon in enumerate((outer, inner)):
        coedges = [r.add() for _ in polygon]
        edges = [r.add() for _ in polygon]
        vertices = [r.add() for _ in polygon]
        curves = [r.add() for _ in polygon]
        points = [r.add() for _ in polygon]
        nxt = ref(loops[1]) if n == 0 else "$-1"
        r.set(loops[n], f"loop $-1 {nxt} ${coedges[0]} ${face}")
        count = len(polygon)
        for i, (x, y) in enumerate(polygon):
            x1, y1 = polygon[(i + 1) % count]
            r.set(coedges[i], f"coedge $-1 ${coedges[(i + 1) % count]} ${coedges[(i - 1) % count]} $-1 ${edges[i]} "
                              f"forward ${loops[n]} $-1")
            r.set(edges[i], f"edge $-1 ${vertices[i]} ${vertices[(i + 1) % count]} ${coedges[i]} ${curves[i]} forward")
            r.set(vertices[i], f"vertex $-1 ${edges[i]} ${points[i]}")
            r.set(curves[i], f"straight-curve $-1 {num(x)} {num(y)} 0 {num(x1 - x)} {num(y1 - y)} 0 F 0 F 1")
            r.set(points[i], f"point $-1 {num(x)} {num(y)} 0")
    return header(400, len(r.lines)) + r.text()


def hostile():
    body = "body $-1 $1 $-1 $-1 #\n"
    point = "point $-1 1 2 3 #\n"
    write("hostile_reference.sat", header(400) + "body $-1 $2000000000 $-1 $-1 #\n" + point)
    write("hostile_record_count.sat", header(400, 2147483647) + body + point)
    write("hostile_counted_string.sat",
          "400 0 1 0\n1000000000 Testing 9 Tracemill 4 date\n1 1e-06 1e-10\n" + body + point)
    write("hostile_nurbs.sat", header(400) + body +
          "spline-surface $-1 forward { exactsur nubs 3 3 open open none none 2 2 0 4 1 1000000000 0 4 1 4 "
          "0 0 0 1 0 0 } I I I I #\n"
          "intcurve-curve $-1 forward { exactcur nurbs 3 open 1000000000 0 1 1 1 } I I #\n" + point)
    write("hostile_nesting.sat", header(400) + body + "spline-surface $-1 forward " + "{ " * 1000 + "}" * 1000 +
          " I I I I #\n" + point)


def main():
    write("cube_106.sat", cube(106))
    write("cube_400.sat", cube(400))
    write("cylinder_500.sat", cylinder_500())
    write("sphere_torus_600.sat", sphere_torus_600())
    write("spline_face_400.sat", spline_face(400))
    write("spline_face_500.sat", spline_face(500))
    write("pcurve_104.sat", pcurve_104())
    write("render_two_cubes_400.sat", two_cubes_400())
    write("render_transformed_cube_400.sat", transformed_cube_400())
    write("render_cylinder_400.sat", cylinder_400())
    write("render_holed_face_400.sat", holed_face_400())
    write("render_cone_400.sat", cone_400())
    hostile()


if __name__ == "__main__":
    main()
