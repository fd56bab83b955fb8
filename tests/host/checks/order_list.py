"""Checks an order list file (CSV or XLSX) row by row against the catalogue it
was made from and the choices of the dialog, computed here on their own: the
plates with their sizes, steels and blank weights; the standard parts from the
catalogue's part rules, the code's part sizes and the base's holes (screws in
the longest preferred length that reaches far enough into its thread without
bottoming); the total, the heights and strokes; and the hole table (every hole
of every plate, machined as the catalogue's hole forms say).
usage: python3 order_list.py FILE CATALOGUE.db key=value ...
  code, style, a, b, spacer, retainer, ejector (the chosen thicknesses),
  top, runner (the pin-point series' chosen top clamp and runner stripper plates),
  guide (针板导柱, default 有), reversed (导柱倒装, default 否),
  pocketed (plates with a pocket, comma separated), locks (type:size:count,...)
Exit status 0 when the file holds exactly the expected rows; else the first differences are printed.
"""
import csv
import math
import re
import sqlite3
import sys

HEADER = ["类别", "名称", "规格", "数量", "材料", "单重(kg)", "总重(kg)"]
HOLE_HEADER = ["模板", "工序", "孔径/螺纹", "X", "Y", "深度", "沉孔", "加工面"]
FACES = {"top": "顶面", "bottom": "底面", "side": "侧面"}


def tenth(v):
    return math.floor(abs(v) * 10 + 0.5) / 10 * (1 if v >= 0 else -1)


def mm(v):
    v = tenth(v)
    return str(int(v)) if v == int(v) else f"{v:.1f}"


def fine(v):  # to the hundredth, as holes are machined
    v = math.floor(abs(v) * 100 + 0.5) / 100 * (1 if v >= 0 else -1)
    return f"{v:.2f}".rstrip("0").rstrip(".") if v != int(v) else str(int(v))


def kg(v):
    return f"{tenth(v):.1f}"


def round_half_up(v):
    return int(math.floor(v + 0.5))


def size_key(code):
    w = "1000" if "M" in code[:2] else code[:2] + "0"
    l = code[2:4] + "00" if code[2:4] in ("10", "11", "12", "13", "14") else "0" + code[2:4] + "0"
    return int(w + l)


class Base:
    def __init__(self, db, o):
        self.db, self.o = db, o
        q = db.execute("select sapw,sapl,ssbw,erpw,stph,suph,tpih,bpih,tpiw from MODE_PLATE_SIZE where MCODE=?",
                       (o["code"],)).fetchone()
        sapw, self.L, ssbw, erpw, stph, suph, tpih, bpih, tpiw = q
        widths = {"工面": tpiw, "工底": tpiw, "方铁L": ssbw, "方铁R": ssbw, "面针板": erpw, "底针板": erpw}
        thick = {"A板": o["a"], "B板": o["b"], "方铁L": o["spacer"], "方铁R": o["spacer"], "方铁": o["spacer"],
                 "面针板": o["retainer"], "底针板": o["ejector"], "成品推板": stph, "托板": suph,
                 "工面": o.get("top", tpih), "直身面板": o.get("top", tpih), "工底": bpih, "直身底板": bpih,
                 "水口板": o.get("runner", 0)}
        self.names = [r[0] for r in db.execute(
            "select platename from MODEL_PLATE_LIST where MTYPE=? order by sortnumber", (o["style"],))]
        self.plates = {n: (widths.get(n, sapw), self.L, float(thick[n])) for n in self.names}
        if "B板" in self.plates:
            self.plates["方铁"] = (sapw, self.L, float(o["spacer"]))
        self.holes = {n: self.catalogue_holes(n) for n in self.plates}
        for n in self.names:
            self.holes[n].update(self.eyebolts(n))
        # How each hole is machined: the form of the plan view block its process has on its plate.
        stems = {(p, proc, way): block[:-3] for p, proc, way, block in db.execute(
            "select PLATENAME, ITEMTYPENAME, INSTALLWAY, blockname from STANDITEMBLOCKSETUP "
            "where FACEDIR='A1' and blockname like '%-A1'")}
        install = 0 if o["reversed"] == "是" else 1
        self.forms = {}
        for p, by_proc in self.holes.items():
            for proc, holes in by_proc.items():
                stem = stems[(p, proc, install if proc == "导柱" else 1)]
                for n, (steps, x, y, side) in holes.items():
                    self.forms[(p, proc, n)] = self.form(stem, round_half_up(steps[0]),
                                                         round_half_up(self.plates[p][2]))

    def form(self, stem, diameter, thickness):
        rows = self.db.execute("select thickness, kind, face, bore, threaded, through, depth, cbdia, cbdepth "
                               "from HOLE_FORM where blockstem=? and diameter=?", (stem, diameter)).fetchall()
        if not rows:
            raise SystemExit(f"no hole form for {diameter}{stem}")
        return dict(zip(("thickness", "kind", "face", "bore", "threaded", "through", "depth", "cbdia", "cbdepth"),
                        min(rows, key=lambda r: abs(r[0] - thickness))))

    def thread_length(self, plate, proc, n):  # how far a screw may reach into a tapped hole
        f = self.forms[(plate, proc, n)]
        return None if not f["threaded"] else self.plates[plate][2] if f["through"] else f["depth"]

    def catalogue_holes(self, plate):
        rows = self.db.execute(
            "select p.proc_name, d.gg_c, d.g_c, pd.para_name, d.para_val from base_plate_proc_detail d "
            "join base_proc_detail pd on d.para_id=pd.para_id join base_proc p on pd.proc_id=p.proc_id "
            "where d.model_id=? and d.plate_name=? and d.style like ? and (d.model='' or d.model like ?)",
            (self.o["code"].replace("M", "0"), plate, f"%{self.o['style'][0]}%", f"%{self.o['style']}%")).fetchall()
        steps = {}
        for proc, hole, step, para, val in rows:
            if proc == "针板边" and self.o["guide"] == "无":
                continue
            steps.setdefault((proc, hole), {}).setdefault(step, {})[para] = val
        holes = {}
        for (proc, hole), by_step in steps.items():
            s = sorted(by_step.values(), key=lambda p: p["直径"])
            holes.setdefault(proc, {})[hole] = ([p["直径"] for p in s], s[0]["X值"], s[0]["Y值"], False)
        return holes

    def eyebolts(self, plate):
        key = size_key(self.o["code"])
        row = self.db.execute("select itemvalue from MODE_EYEBOLT_INFO where ? between mcodef and mcodet "
                              "and platename=?", (key, plate)).fetchone()
        if not row:
            return {}
        W, L, T = self.plates[plate]
        pattern, movex = 2, 0
        if plate in ("A板", "B板"):
            a = self.db.execute("select attribute1,attribute2,attribute3,attribute4 from MODE_LALING_SETUP where ? "
                                "between mcodef and mcodet and GROUPCODE='A'", (key,)).fetchone()
            bc = self.db.execute("select attribute2,attribute4 from MODE_LALING_SETUP where ? between "
                                 "mcodef and mcodet and GROUPCODE in ('B','C')", (key,)).fetchall()
            if a:
                pattern, movex = (a[3] if a[0] < T else a[2]), a[1] or 0
            elif bc:
                movex, pattern = bc[-1]

        def middle(x, y):  # an edge middle, or with an offset a pair either side of it (where a lock sits)
            if not movex > 0:
                return [(x, y)]
            return [(movex, y), (-movex, y)] if y else [(x, movex), (x, -movex)]
        ends = middle(0, L / 2) + middle(0, -L / 2)
        sides = middle(W / 2, 0) + middle(-W / 2, 0)
        places = {2: ends, 4: ends + sides,
                  6: [(movex, L / 2), (-movex, L / 2), (movex, -L / 2), (-movex, -L / 2)] + sides}
        d = float(row[0])
        return {"拉令孔": {i: ([d], x, y, True) for i, (x, y) in enumerate(places.get(pattern, []))}}


def evaluate(formula, names):
    if formula[:4] in ("min(", "max(") and formula.endswith(")"):  # the least or greatest of sums
        return (min if formula[:3] == "min" else max)(evaluate(f, names) for f in formula[4:-1].split(","))
    value = 0.0
    for sign, factor, name in re.findall(r"([+-]?)\s*(?:(\d+(?:\.\d+)?)\s*\*?\s*)?([^+\-*\s\d][^+\-*\s]*)?", formula):
        if not factor and not name:
            continue
        term = (float(factor) if factor else 1.0) * (names[name] if name else 1.0)
        value += -term if sign == "-" else term
    return value


def ordered_length(series, least, most):
    """The longest length of the series (going on in its last step) from least
    to most, else the longest multiple of 5, else of 1; with no most, the
    shortest of the series from least."""
    step = series[-1] - series[-2]
    longer = list(series)
    while longer[-1] < max(least, most or 0):
        longer.append(longer[-1] + step)
    if most is None:
        return next(s for s in longer if s >= least - 1e-6)
    fits = [s for s in longer if least - 1e-6 <= s <= most + 1e-6]
    if fits:
        return fits[-1]
    for unit in (5, 1):
        length = math.floor((most + 1e-6) / unit) * unit
        if length >= least - 1e-6:
            return length
    raise SystemExit(f"no length between {least} and {most}")


class Names(dict):
    """Plate thicknesses, part sizes and stack figures; a part's name gives the
    length of its first part on the base (0 when the base has none)."""
    def __init__(self, values, part_length):
        super().__init__(values)
        self.part_length = part_length

    def __missing__(self, name):
        return self.part_length(name)


def expected(db, o):
    base = Base(db, o)
    thickness = {n: t for n, (w, l, t) in base.plates.items()}
    values = {n: 0.0 for (n,) in db.execute("select platename from BOM_PLATE_MATERIAL")}
    values.update(thickness)
    values.update(db.execute("select name, value from BOM_PART_SIZE where MCODE=?", (o["code"],)))
    materials = {r[0]: r[1:] for r in db.execute("select platename,material,pocketed from BOM_PLATE_MATERIAL")}
    rows, total = [], 0.0
    for n in base.names:
        w, l, t = base.plates[n]
        mat, pocketed = materials[n]
        unit = tenth(w * l * t * 7.85e-6)
        total += unit
        rows.append(["模板", n, f"{mm(w)}×{mm(l)}×{mm(t)}", "1",
                     pocketed if n in o["pocketed"] and pocketed else mat, kg(unit), kg(unit)])
    series = {}
    for s, length in db.execute("select series,length from BOM_LENGTH_SERIES order by length"):
        series.setdefault(s, []).append(length)
    install = 0 if o["reversed"] == "是" else 1
    columns = ("order", "proc", "plate", "model", "way", "part", "thread", "size", "endthread", "length", "engage",
               "reach", "rounding", "counting", "material")
    rules = [dict(zip(columns, r)) for r in db.execute(
        "select sortorder,proc_name,platename,model,installway,partname,thread,size,endthread,length,engage,reach,"
        "rounding,counting,material from BOM_STANDARD_PART order by sortorder")]
    rules = [r for r in rules if r["way"] in (-1, install) and (not r["model"] or o["style"] in r["model"].split(","))]

    def holes_of(rule):
        for p in ([rule["plate"]] if rule["plate"] else base.names):
            yield p, sorted(base.holes.get(p, {}).get(rule["proc"], {}).items())

    def part(rule, p, n, steps):  # (size, end thread, ordered length) of the part a hole seats
        v = Names(dict(names, d=steps[0], D=steps[-1]), names.part_length)
        span = evaluate(rule["length"], v)
        least = span + evaluate(rule["engage"], v)
        if not rule["rounding"]:
            ordered = tenth(least)
        else:
            reach = evaluate(rule["reach"], v) if rule["reach"] else base.thread_length(p, rule["proc"], n)
            ordered = ordered_length(series[rule["rounding"]], least, None if reach is None else span + reach)
        return evaluate(rule["size"], v), evaluate(rule["endthread"], v), ordered

    def part_length(name):
        for rule in rules:
            if rule["part"] == name and rule["counting"] != "lock":
                for p, holes in holes_of(rule):
                    if holes:
                        n, (steps, x, y, side) = holes[0]
                        return part(rule, p, n, steps)[2]
        if name in {r["part"] for r in rules}:
            return 0.0
        raise KeyError(name)

    names = Names(values, part_length)
    parts = {}
    for rule in rules:
        found = {}
        if rule["counting"] == "lock":
            for t, s, n in o["locks"]:
                if t == rule["proc"]:
                    found[(0, 0, 0, s)] = n
        for p, holes in holes_of(rule):
            on_plate = {}
            for n, (steps, x, y, side) in holes:
                sz, end, ordered = part(rule, p, n, steps)
                text = (("M" if rule["thread"] else "Ø") + mm(sz) + (f"×{mm(ordered)}" if rule["length"] else "") +
                        (f" M{mm(end)}" if end else ""))
                key = (tenth(sz), ordered, tenth(end), text)
                on_plate[key] = on_plate.get(key, 0) + 1
            for k, n in on_plate.items():
                found[k] = max(found.get(k, 0), n) if rule["counting"] == "plate" else found.get(k, 0) + n
        for (_, _, _, text), n in sorted(found.items()):
            key = (rule["part"], text, rule["material"])
            if key not in parts:
                parts[key] = [rule["order"], n]
            else:
                parts[key][1] += n
    for (name, text, material), (order, n) in sorted(parts.items(), key=lambda kv: kv[1][0]):
        rows.append(["标准件", name, text, str(n), material, "", ""])
    rows.append(["合计", "模板毛坯", "", "", "", "", kg(total)])
    for name, formula, note, model in db.execute(
            "select name,formula,note,model from BOM_STACK_FIGURE order by sortorder"):
        if model and o["style"] not in model.split(","):
            continue
        names[name] = evaluate(formula, names)
        rows.append([name, None, mm(names[name]), "", "", "", ""])  # the explanation is the module's wording
    return rows, hole_table(base)


def hole_table(base):
    rows = []
    W = base.plates.get("方铁", (0,))[0]
    for p in base.names:
        for proc, holes in sorted(base.holes[p].items()):
            rows += [hole_row(p, proc, h, base.forms[(p, proc, n)]) for n, h in holes.items()]
        if p in ("方铁L", "方铁R"):
            centre = base.plates[p][0] / 2 - W / 2
            centre = centre if p == "方铁L" else -centre
            for proc, holes in sorted(base.holes["方铁"].items()):
                for n, (steps, x, y, side) in holes.items():
                    if abs(x - centre) <= base.plates[p][0] / 2:
                        rows.append(hole_row(p, proc, (steps, x - centre, y, side), base.forms[("方铁", proc, n)]))
    return rows


def hole_row(plate, proc, hole, f):
    steps, x, y, side = hole
    face = FACES[f["face"]]
    if f["kind"] == "slot":  # a rebate along a long side: its height from the face, its depth into the side
        return [plate, proc, "槽高" + fine(f["cbdepth"]), fine(x), fine(y), fine(f["depth"]), "", face]
    if f["kind"] == "relief":  # through the plate from its side face: width along the face × depth in
        return [plate, proc, f"避空槽{fine(f['bore'])}×{fine(f['depth'])}", fine(x), fine(y), "通孔", "", face]
    return [plate, proc, ("M" if f["threaded"] else "Ø") + fine(f["bore"]), fine(x), fine(y),
            "通孔" if f["through"] else fine(f["depth"]),
            f"Ø{fine(f['cbdia'])}×{fine(f['cbdepth'])}" if f["cbdia"] > 0 else "", face]


def cell(v):
    if v is None:
        return ""
    if isinstance(v, (int, float)):
        return mm(v) if v != int(v) or not isinstance(v, float) else str(int(v))
    return str(v)


def read_file(path):
    if path.endswith(".xlsx"):
        import openpyxl
        book = openpyxl.load_workbook(path)
        order, holes = ([[cell(c) for c in r] for r in book[s].iter_rows(values_only=True)] for s in ("订料单", "孔位表"))
        return order, holes, True
    with open(path, encoding="utf-8", newline="") as f:
        text = f.read()
    if not text.startswith("\ufeff"):
        raise SystemExit("the CSV does not start with a byte-order mark")
    lines = list(csv.reader(text[1:].splitlines()))
    blank = lines.index([])
    if lines[blank + 1] != ["孔位表"]:
        raise SystemExit("the hole table does not follow the blank line")
    return lines[:blank], lines[blank + 2:], False


def main(argv):
    path, db_path = argv[1], argv[2]
    o = {"guide": "有", "reversed": "否", "pocketed": "", "locks": ""}
    o.update(a.split("=", 1) for a in argv[3:])
    o["pocketed"] = [p for p in o["pocketed"].split(",") if p]
    o["locks"] = [(t, s, int(n)) for t, s, n in (l.split(":") for l in o["locks"].split(",") if l)]
    db = sqlite3.connect(f"file:{db_path}?mode=ro", uri=True)
    want, want_holes = expected(db, o)
    order, holes, workbook = read_file(path)
    problems = []
    if order[0] != HEADER or holes[0] != HOLE_HEADER:
        problems.append(f"headers {order[0]} / {holes[0]}")
    if workbook:  # numbers are numbers there: compare them as the CSV writes them
        for r in order[1:]:
            r[5:7] = [kg(float(v)) if v else "" for v in r[5:7]]
    for i, (got, exp) in enumerate(zip(order[1:], want)):
        exp = [g if e is None else e for g, e in zip(got, exp)]
        if got != exp:
            problems.append(f"row {i + 1}: {got} != {exp}")
    if len(order) - 1 != len(want):
        problems.append(f"{len(order) - 1} order rows, expected {len(want)}")
    if sorted(map(tuple, holes[1:])) != sorted(map(tuple, want_holes)):
        missing = set(map(tuple, want_holes)) - set(map(tuple, holes[1:]))
        extra = set(map(tuple, holes[1:])) - set(map(tuple, want_holes))
        problems.append(f"hole table: missing {sorted(missing)[:5]}, unexpected {sorted(extra)[:5]}")
    for p in problems[:12]:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
