"""Describes the pockets and locks of a saved mould base drawing, read with an
independent DXF reader, one line each, so a scenario can check what was drawn
rather than what the model held:
  POCKET A板 100x150 depth 25 centre (0, 0) corners 4:R5 5:R5 6:R5 7:R5
  LOCK A板 TL050M-T
Sizes are the pocket's rectangle, the centre is measured from the plate's centre
lines, corners are 4 top-right, 5 bottom-right, 6 bottom-left, 7 top-left, "R" a
fillet and "避空" a relief arc with its radius. A drawing without pockets and
locks is described as "NONE".
usage: python3 pockets_and_locks.py DRAWING.dxf [EXPECTED_LINE ...]
Prints the description; with expected lines, exits 1 unless the description is
exactly those lines (in any order).
"""
import math
import sys
from collections import Counter

try:
    import ezdxf
except ImportError:
    print("ezdxf is not installed")
    sys.exit(77)

CENTRE_LAYER = "中心线层"
HIDDEN = "虚线"


def num(v):
    v = round(v, 2) + 0.0
    return f"{v:g}"


def plates(msp):
    """Plate name -> (plan view centre x, centre y). Plate names are the texts of
    the commonest height; the plate's vertical centre line runs under its name,
    and the plan view's horizontal one is the highest crossing it."""
    texts = list(msp.query("TEXT"))
    if not texts:
        return {}
    height = Counter(round(t.dxf.height, 6) for t in texts).most_common(1)[0][0]
    centre_lines = [e for e in msp.query("LINE") if e.dxf.layer == CENTRE_LAYER]
    verticals = [e.dxf.start.x for e in centre_lines if abs(e.dxf.start.x - e.dxf.end.x) < 1e-6]
    found = {}
    for t in texts:
        if round(t.dxf.height, 6) != height or not verticals:
            continue
        middle = t.dxf.insert.x + len(t.dxf.text) * t.dxf.height / 2
        x = min(verticals, key=lambda v: abs(v - middle))
        ys = [e.dxf.start.y for e in centre_lines if abs(e.dxf.start.y - e.dxf.end.y) < 1e-6
              and min(e.dxf.start.x, e.dxf.end.x) <= x <= max(e.dxf.start.x, e.dxf.end.x)]
        if ys:
            found[t.dxf.text] = (x, max(ys))
    return found


def nearest(plate_centres, x):
    return min(plate_centres, key=lambda name: abs(plate_centres[name][0] - x))


def corner_of(arc):
    """The pocket corner an arc stands for, and its description: a fillet's
    corner lies r beyond its centre on both axes, a relief arc runs through it."""
    c, r = arc.dxf.center, arc.dxf.radius
    sweep = (arc.dxf.end_angle - arc.dxf.start_angle) % 360
    mid = math.radians(arc.dxf.start_angle + sweep / 2)
    dx, dy = math.cos(mid), math.sin(mid)
    if sweep > 135:
        return (c.x + r * dx, c.y + r * dy), f"避空{num(r)}"
    return (c.x + r * math.copysign(1, dx), c.y + r * math.copysign(1, dy)), f"R{num(r)}"


def describe(path):
    msp = ezdxf.readfile(path).modelspace()
    centres = plates(msp)
    lines = []
    arcs = {}
    for arc in msp.query("ARC"):
        arcs.setdefault(nearest(centres, arc.dxf.center.x), []).append(corner_of(arc))
    hidden = {}
    for line in msp.query("LINE"):
        if line.dxf.get("linetype", "") == HIDDEN:
            for p in (line.dxf.start, line.dxf.end):
                hidden.setdefault(nearest(centres, p.x), []).append(p.y)
    for plate, corners in sorted(arcs.items()):
        xs = [p[0] for p, _ in corners]
        ys = [p[1] for p, _ in corners]
        left, right, bottom, top = min(xs), max(xs), min(ys), max(ys)
        cx, cy = (left + right) / 2, (bottom + top) / 2
        named = {}
        for (x, y), text in corners:
            number = {(True, True): 4, (True, False): 5, (False, False): 6, (False, True): 7}[(x > cx, y > cy)]
            named[number] = f"{number}:{text}"
        depth = max(hidden.get(plate, [0])) - min(hidden.get(plate, [0]))
        px, py = centres[plate]
        lines.append(f"POCKET {plate} {num(right - left)}x{num(top - bottom)} depth {num(depth)} "
                     f"centre ({num(cx - px)}, {num(cy - py)}) corners {' '.join(named[k] for k in sorted(named))}")
    for insert in msp.query("INSERT"):
        name = insert.dxf.name
        if name.startswith("TL") or name.startswith("GTL"):
            lines.append(f"LOCK {nearest(centres, insert.dxf.insert.x)} {name.split('.')[0]}")
    return sorted(lines) or ["NONE"]


if __name__ == "__main__":
    if len(sys.argv) < 2:
        print(__doc__)
        sys.exit(2)
    got = describe(sys.argv[1])
    print("\n".join(got))
    wanted = sys.argv[2:]
    if wanted and sorted(wanted) != got:
        print("expected:\n" + "\n".join(sorted(wanted)))
        sys.exit(1)
