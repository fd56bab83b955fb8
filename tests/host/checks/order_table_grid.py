"""Checks the order table drawn under a mould base's title: ruled on every row
and column, its outline closed (the last row and column lines are easily lost),
one row line more than the order list file has rows (its heading included)
and one column line more than its seven columns.
usage: python3 order_table_grid.py DRAWING.dxf ORDER.csv
"""
import csv
import sys

import ezdxf


def main(path, rows):
    msp = ezdxf.readfile(path).modelspace()
    heading = [t for t in msp.query("TEXT") if t.dxf.text == "订料单"]
    if len(heading) != 1:
        print(f"{len(heading)} order table headings")
        return 1
    left, top = heading[0].dxf.insert.x - 1e-6, heading[0].dxf.insert.y
    lines = [(l.dxf.start, l.dxf.end) for l in msp.query("LINE")
             if min(l.dxf.start.x, l.dxf.end.x) >= left and max(l.dxf.start.y, l.dxf.end.y) < top]
    rules = [(s, e) for s, e in lines if abs(s.y - e.y) < 1e-6]
    columns = sorted({round(s.x, 3) for s, e in lines if abs(s.x - e.x) < 1e-6})
    ends = {round(x, 3) for s, e in rules for x in (s.x, e.x)}
    problems = []
    if len(rules) != rows + 1:
        problems.append(f"{len(rules)} row lines for {rows} rows")
    if len(columns) != 8:
        problems.append(f"{len(columns)} column lines, expected 8")
    if not ends <= set(columns):
        problems.append(f"row lines end where no column line stands: {sorted(ends - set(columns))}")
    for p in problems:
        print(p)
    return 1 if problems else 0


def order_rows(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    return rows.index([]) if [] in rows else len(rows)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], order_rows(sys.argv[2])))
