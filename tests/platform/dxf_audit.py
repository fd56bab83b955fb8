"""Reads a DXF file strictly with an independent DXF library and audits it.
Exit status: 0 clean, 1 errors found (printed), 77 when the library is missing.
  python3 dxf_audit.py FILE.dxf
"""
import sys

try:
    import ezdxf
except ImportError:
    print("ezdxf is not installed")
    sys.exit(77)


def main(path):
    try:
        doc = ezdxf.readfile(path)
    except Exception as exc:  # a file the strict reader refuses is a failure, whatever the reason
        print(f"ERROR not readable: {exc}")
        return 1
    auditor = doc.audit()
    for err in auditor.errors:
        print("ERROR", err.code, err.message)
    for fix in auditor.fixes:
        print("FIXED", fix.code, fix.message)
    if auditor.has_errors or auditor.has_fixes:
        return 1
    msp = doc.modelspace()
    print(f"ok: {doc.dxfversion}, {len(msp)} model space entities")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
