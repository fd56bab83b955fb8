"""Makes the drawings the order list's bad-input scenarios need from a drawing
saved with a mould base, by editing its DXF text:
  python3 alter_drawing.py IN.dxf OUT.dxf unlisted      the module's list of bases taken out of the
                                                        named object dictionary (as in a drawing made
                                                        before designs were kept)
  python3 alter_drawing.py IN.dxf OUT.dxf version N     the design record's format version set to N
"""
import re
import sys


def main(src, dst, how, *args):
    with open(src, encoding="utf-8") as f:
        text = f.read()
    if how == "unlisted":
        altered = re.sub(r"  3\nZDT_MOULD_BASES\n350\n[0-9A-F]+\n", "", text, count=1)
    elif how == "version":
        altered = text.replace("ZDT_MOULD_BASE\n 70\n1\n", f"ZDT_MOULD_BASE\n 70\n{args[0]}\n", 1)
    else:
        raise SystemExit(f"unknown alteration {how}")
    if altered == text:
        raise SystemExit(f"{src}: nothing to alter for {how}")
    with open(dst, "w", encoding="utf-8") as f:
        f.write(altered)


if __name__ == "__main__":
    main(*sys.argv[1:])
