"""Checks a saved mould base drawing from outside, with an independent DXF
reader, against the catalogue it was drawn from:
  - the file audits clean;
  - every catalogue plate of the style has its plan view (width and length
    dimensions, name under it) and its side view (thickness dimension) below it;
  - the sizes the dimensions measure are the catalogue's, and each dimension
    measures an outline edge that is really drawn there;
  - the plan views of neighbouring plates do not overlap;
  - in the pin-point series (whose top clamp plate's thickness is chosen), the
    support pins stand at one place in the plan views of the top clamp plate,
    the runner stripper plate and the A plate.
usage: python3 mould_base_drawing.py DRAWING.dxf CATALOGUE.db MOULD_CODE STYLE
Exit status 0 when everything holds; the problems are printed otherwise.
"""
import math
import sqlite3
import sys

try:
    import ezdxf
except ImportError:
    print("ezdxf is not installed")
    sys.exit(77)

TOL = 1e-6
SPACERS = ("方铁L", "方铁R")
PIN_POINT = "细水口"
# The block stems the support pins are drawn with in the three top plates.
SUPPORT_PIN_BLOCKS = ("LGH-A1", "LGB-A1")


def catalogue_sizes(db_path, code, style):
    """Plate name -> (width, length, fixed thickness or None), in the catalogue's words:
    A, B, stripper and support plates and straight clamp plates take the plate width,
    the spacers the spacer width, the ejector plates their own width, the I-type
    clamp plates their wider width; every plate takes the plate length."""
    con = sqlite3.connect(f"file:{db_path}?mode=ro", uri=True)
    row = con.execute("select sapw,sapl,ssbw,erpw,tpiw,stph,suph,tpih,bpih from MODE_PLATE_SIZE where MCODE=?",
                      (code,)).fetchone()
    if row is None:
        raise SystemExit(f"no size {code} in the catalogue")
    sapw, sapl, ssbw, erpw, tpiw, stph, suph, tpih, bpih = row
    names = [r[0] for r in con.execute("select platename from MODEL_PLATE_LIST where MTYPE=?", (style,))]
    series = con.execute("select SERIES from MODE_SERIES_TYPE where MTYPE=?", (style,)).fetchone()
    con.close()
    width = {"方铁L": ssbw, "方铁R": ssbw, "面针板": erpw, "底针板": erpw, "工面": tpiw, "工底": tpiw}
    thickness = {"成品推板": stph, "托板": suph, "工面": tpih, "工底": bpih, "直身面板": tpih, "直身底板": bpih}
    if series and series[0] == PIN_POINT:
        for top in ("工面", "直身面板"):
            del thickness[top]
    return {n: (width.get(n, sapw), sapl, thickness.get(n)) for n in names}


def close(a, b):
    return abs(a - b) < TOL


class Drawing:
    def __init__(self, path):
        self.doc = ezdxf.readfile(path)
        msp = self.doc.modelspace()
        self.lines = [(e.dxf.start, e.dxf.end) for e in msp.query("LINE")]
        self.texts = [e for e in msp.query("TEXT")]
        self.inserts = [(e.dxf.name, e.dxf.insert) for e in msp.query("INSERT")]
        self.dims = []
        for d in msp.query("DIMENSION"):
            p1, p2 = d.dxf.defpoint2, d.dxf.defpoint3
            self.dims.append((p1, p2, d.get_measurement(), round(d.dxf.get("angle", 0.0)) % 360))

    def has_edge(self, a, b):
        for s, e in self.lines:
            if (close(s.x, a.x) and close(s.y, a.y) and close(e.x, b.x) and close(e.y, b.y)) or \
               (close(s.x, b.x) and close(s.y, b.y) and close(e.x, a.x) and close(e.y, a.y)):
                return True
        return False


def check(path, db_path, code, style):
    problems = []
    auditor = ezdxf.readfile(path).audit()
    if auditor.has_errors or auditor.has_fixes:
        problems.append(f"audit: {len(auditor.errors)} errors, {len(auditor.fixes)} fixes")

    dwg = Drawing(path)
    sizes = catalogue_sizes(db_path, code, style)
    widths = [d for d in dwg.dims if d[3] == 0]
    uprights = [d for d in dwg.dims if d[3] == 90]
    for p1, p2, value, _ in dwg.dims:
        if not dwg.has_edge(p1, p2):
            problems.append(f"dimension {value} at ({p1.x:g}, {p1.y:g}) measures no drawn edge")

    # A plate's plan view: its width dimension; the length dimension starts at one
    # of its top corners (the left one; the right spacer's on its right, away from
    # the gap between the spacers); the side view's thickness dimension hangs below
    # at the same x.
    def views_at(width_dim):
        length, below = [], []
        for corner in width_dim[:2]:
            length += [d for d in uprights if close(d[0].x, corner.x) and close(d[0].y, corner.y)]
            below += [d for d in uprights if close(d[0].x, corner.x) and d[0].y < corner.y - TOL]
        return length, below

    # Plate names sit centred under their plan view, 3 x scale high.
    scale = None
    titles = [t for t in dwg.texts if t.dxf.text == f"{code} {style}"]
    if len(titles) != 1:
        problems.append(f"title '{code} {style}': {len(titles)} found")
    else:
        scale = titles[0].dxf.height / 2.0
    names = {}
    for t in dwg.texts:
        if scale and close(t.dxf.height, 3 * scale):
            names.setdefault(t.dxf.text, []).append(t.dxf.insert.x + len(t.dxf.text) * t.dxf.height / 2)

    matched = set()
    pins = {}
    for name, (w, l, h) in sizes.items():
        if name in SPACERS:
            continue
        centres = names.get(name, [])
        if len(centres) != 1:
            problems.append(f"{name}: {len(centres)} name labels")
            continue
        dims = [d for d in widths if close((d[0].x + d[1].x) / 2, centres[0])]
        if len(dims) != 1:
            problems.append(f"{name}: no plan view width dimension under its name")
            continue
        matched.add(id(dims[0]))
        length, below = views_at(dims[0])
        if not close(dims[0][2], w):
            problems.append(f"{name}: width {dims[0][2]:g}, catalogue {w:g}")
        if len(length) != 1 or not close(length[0][2], l):
            problems.append(f"{name}: length {[d[2] for d in length]}, catalogue {l:g}")
        if len(below) != 1:
            problems.append(f"{name}: {len(below)} side view thickness dimensions")
        elif h is not None and not close(below[0][2], h):
            problems.append(f"{name}: thickness {below[0][2]:g}, catalogue {h:g}")
        elif below[0][2] <= 0:
            problems.append(f"{name}: thickness {below[0][2]:g}")
        if len(length) == 1:
            x0, x1 = sorted((dims[0][0].x, dims[0][1].x))
            top = dims[0][0].y
            centre = ((x0 + x1) / 2, top - l / 2)
            pins[name] = sorted((round(p.x - centre[0], 3), round(p.y - centre[1], 3))
                                for n, p in dwg.inserts
                                if any(b in n for b in SUPPORT_PIN_BLOCKS) and x0 <= p.x <= x1 and top - l <= p.y <= top)

    spacers = [d for d in widths if id(d) not in matched]
    expected_spacers = [n for n in sizes if n in SPACERS]
    if len(spacers) != len(expected_spacers):
        problems.append(f"{len(spacers)} unnamed plan views, expected the spacers {expected_spacers}")
    for d in spacers:
        w, l, _ = sizes[expected_spacers[0]] if expected_spacers else (None, None, None)
        length, below = views_at(d)
        if w is None or not close(d[2], w) or len(length) != 1 or not close(length[0][2], l) or len(below) != 1:
            problems.append(f"spacer at x={d[0].x:g}: width {d[2]:g}, views {len(length)}/{len(below)}")

    if "水口板" in sizes:
        top = next(n for n in ("工面", "直身面板") if n in sizes)
        if len(pins.get(top, [])) != 4:
            problems.append(f"{top}: {len(pins.get(top, []))} support pins")
        for name in ("水口板", "A板"):
            if pins.get(name) != pins.get(top):
                problems.append(f"{name}: support pins at {pins.get(name)}, the top clamp plate's at {pins.get(top)}")

    # Neighbouring plan views side by side, never over each other.
    spans = sorted((min(d[0].x, d[1].x), max(d[0].x, d[1].x)) for d in widths)
    for (a0, a1), (b0, b1) in zip(spans, spans[1:]):
        if b0 < a1 - TOL:
            problems.append(f"plan views overlap: [{a0:g}, {a1:g}] and [{b0:g}, {b1:g}]")

    for p in problems:
        print("PROBLEM", p)
    if not problems:
        print(f"ok: {code} {style}, {len(sizes)} plates, {len(dwg.dims)} dimensions")
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        print(__doc__)
        sys.exit(2)
    sys.exit(check(*sys.argv[1:]))
