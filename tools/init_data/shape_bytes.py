"""Shape bytes: the drawing codes of shape fonts, written and read back.

A shape is a byte string executed from the pen position (0, 0) with the pen down:
  0            end of the shape
  1, 2         pen down, pen up
  8 dx dy      one displacement (two signed bytes)
  9 (dx dy)... displacements until the pair 0, 0
  10 r b       octant arc of radius r from the pen position: b bit 7 clockwise, bits 4-6 the
               start octant (octant k lies at k x 45 degrees), bits 0-2 the number of octants
               (0 for all eight)
  0xLD         a vector of length L (1..15) in direction D: the sixteen directions run
               counter-clockwise from east, the odd ones at a slope of one half (direction 1
               goes (L, L/2), direction 3 (L/2, L))
The writer here uses only these codes. Positions are whole shape units.
"""

import math

# Direction D moves (dx, dy) x L / 2.
DIRECTIONS = [(2, 0), (2, 1), (2, 2), (1, 2), (0, 2), (-1, 2), (-2, 2), (-2, 1),
              (-2, 0), (-2, -1), (-2, -2), (-1, -2), (0, -2), (1, -2), (2, -2), (2, -1)]

END, PEN_DOWN, PEN_UP, DISPLACEMENT, DISPLACEMENTS, OCTANT_ARC = 0, 1, 2, 8, 9, 10


def _signed(b):
    return b - 256 if b > 127 else b


def vector_bytes(dx, dy):
    """Vector bytes that move exactly (dx, dy), or None when no direction fits."""
    if dx == 0 and dy == 0:
        return []
    for direction, (ux, uy) in enumerate(DIRECTIONS):
        # (dx, dy) = (ux, uy) x L / 2 for a whole length L, even for the odd directions.
        scale = max(abs(ux), abs(uy))
        length = max(abs(dx), abs(dy))
        if dx * scale != ux * length or dy * scale != uy * length:
            continue
        step = 15 if direction % 2 == 0 else 14
        out = []
        while length > 0:
            piece = min(length, step)
            out.append(piece << 4 | direction)
            length -= piece
        return out
    return None


def _pair_fits(dx, dy):
    return -128 <= dx <= 127 and -128 <= dy <= 127


def move_bytes(dx, dy):
    """The shortest bytes for one displacement: vector bytes or code 8."""
    vectors = vector_bytes(dx, dy)
    if vectors is not None and len(vectors) <= 3:
        return vectors
    out = []
    while not _pair_fits(dx, dy):
        sx = max(-127, min(127, dx))
        sy = max(-127, min(127, dy))
        out += [DISPLACEMENT, sx & 0xFF, sy & 0xFF]
        dx, dy = dx - sx, dy - sy
    return out + [DISPLACEMENT, dx & 0xFF, dy & 0xFF]


def segments_bytes(steps):
    """Bytes that draw the displacements one after the other, choosing per step between a
    vector, code 8 and a run of code 9 so that the total is smallest."""
    INF = float("inf")
    # cost[state], state 0: outside a code 9 run, 1: inside one; with the bytes so far.
    best = {0: (0, []), 1: (INF, [])}
    for dx, dy in steps:
        vectors = vector_bytes(dx, dy)
        fits = _pair_fits(dx, dy) and (dx, dy) != (0, 0)
        outside = []
        for state, (cost, code) in best.items():
            base_cost, base = (cost, code) if state == 0 else (cost + 2, code + [0, 0])
            if vectors is not None:
                outside.append((base_cost + len(vectors), base + vectors))
            else:
                single = move_bytes(dx, dy)
                outside.append((base_cost + len(single), base + single))
        inside = []
        if fits:
            for state, (cost, code) in best.items():
                if state == 1:
                    inside.append((cost + 2, code + [dx & 0xFF, dy & 0xFF]))
                else:
                    inside.append((cost + 3, code + [DISPLACEMENTS, dx & 0xFF, dy & 0xFF]))
        best = {0: min(outside, key=lambda c: c[0]),
                1: min(inside, key=lambda c: c[0]) if inside else (INF, [])}
    closed = best[1][0] + 2
    return best[0][1] if best[0][0] <= closed else best[1][1] + [0, 0]


def octant_point(centre, radius, octant):
    angle = math.radians(45 * octant)
    return (centre[0] + radius * math.cos(angle), centre[1] + radius * math.sin(angle))


class ShapeWriter:
    """Collects the bytes of one shape: strokes and arcs at absolute positions, then the
    advance. The pen starts down at (0, 0)."""

    def __init__(self):
        self.code = []
        self.pen = (0, 0)
        self.down = True

    def _go(self, point):
        if point == self.pen:
            return
        if self.down:
            self.code.append(PEN_UP)
            self.down = False
        self.code += move_bytes(point[0] - self.pen[0], point[1] - self.pen[1])
        self.pen = point

    def _pen_down(self):
        if not self.down:
            self.code.append(PEN_DOWN)
            self.down = True

    def stroke(self, points):
        self._go(tuple(points[0]))
        self._pen_down()
        steps = []
        for x, y in points[1:]:
            steps.append((x - self.pen[0], y - self.pen[1]))
            self.pen = (x, y)
        self.code += segments_bytes([s for s in steps if s != (0, 0)])

    def arc(self, centre, radius, start_octant, octants, clockwise=False):
        """An arc of whole octants; it must end on a whole position (a multiple of 90 degrees
        away from an axis point, or a full circle)."""
        start = octant_point(centre, radius, start_octant)
        assert start == (round(start[0]), round(start[1])), "arc must start on a whole position"
        self._go((round(start[0]), round(start[1])))
        self._pen_down()
        self.code += [OCTANT_ARC, radius,
                      (0x80 if clockwise else 0) | (start_octant << 4) | (octants % 8)]
        end_octant = start_octant + (-octants if clockwise else octants)
        end = octant_point(centre, radius, end_octant)
        assert abs(end[0] - round(end[0])) < 1e-9 and abs(end[1] - round(end[1])) < 1e-9, \
            "arc must end on a whole position"
        self.pen = (round(end[0]), round(end[1]))

    def circle(self, centre, radius):
        self.arc(centre, radius, 0, 8)

    def finish(self, advance):
        """Pen up to (advance, 0), the end code; the shape's bytes."""
        return self.finish_at((advance, 0))

    def finish_at(self, point):
        self._go(point)
        return bytes(self.code + [END])


def decode(code, arc_steps=8):
    """Runs shape bytes from (0, 0): the strokes drawn (lists of points, arcs flattened with
    arc_steps points per octant) and the final pen position. Codes other than those above
    raise ValueError."""
    strokes = []
    pen = (0.0, 0.0)
    down = True
    current = None

    def line_to(point):
        nonlocal current, pen
        if down:
            if current is None:
                current = [pen]
                strokes.append(current)
            current.append(point)
        else:
            current = None
        pen = point

    i = 0
    while i < len(code):
        b = code[i]
        i += 1
        if b == END:
            return strokes, pen
        if b == PEN_DOWN:
            down = True
            current = None
        elif b == PEN_UP:
            down = False
            current = None
        elif b == DISPLACEMENT:
            line_to((pen[0] + _signed(code[i]), pen[1] + _signed(code[i + 1])))
            i += 2
        elif b == DISPLACEMENTS:
            while (code[i], code[i + 1]) != (0, 0):
                line_to((pen[0] + _signed(code[i]), pen[1] + _signed(code[i + 1])))
                i += 2
            i += 2
        elif b == OCTANT_ARC:
            radius, spec = code[i], code[i + 1]
            i += 2
            start, count = spec >> 4 & 7, spec & 7 or 8
            sign = -1 if spec & 0x80 else 1
            a0 = math.radians(45 * start)
            centre = (pen[0] - radius * math.cos(a0), pen[1] - radius * math.sin(a0))
            for k in range(1, count * arc_steps + 1):
                a = a0 + sign * math.radians(45 * k / arc_steps)
                line_to((centre[0] + radius * math.cos(a), centre[1] + radius * math.sin(a)))
        elif b >= 0x10:
            ux, uy = DIRECTIONS[b & 15]
            length = b >> 4
            line_to((pen[0] + ux * length / 2, pen[1] + uy * length / 2))
        else:
            raise ValueError("shape code %d is not one the built-in fonts use" % b)
    raise ValueError("shape without end")
