#!/usr/bin/python3
"""What a user might write instead of "Create": read a Protel 99 SE netlist and write a
simpler BOM with openpyxl (the part list, and the parts grouped by comment and
footprint). The reference that the figures of bench/ are compared with:

    /usr/bin/time -f "%e s %M KB" bench/openpyxl_reference.py NETLIST OUT.xlsx
"""
import sys

import openpyxl
from openpyxl.styles import Font, PatternFill


def components(path):
    with open(path, "rb") as f:
        lines = f.read().decode("gbk", errors="replace").splitlines()
    i = 0
    while i < len(lines):
        if lines[i] == "[" and i + 3 < len(lines):
            yield lines[i + 1], lines[i + 2], lines[i + 3]
            i += 4
        else:
            i += 1


def main(netlist, out):
    parts = list(components(netlist))
    wb = openpyxl.Workbook()
    bom = wb.active
    bom.title = "BOM"
    bom.append(["No", "Value", "Decal", "QTY", "Name"])
    groups = {}
    for designator, footprint, comment in parts:
        groups.setdefault((comment, footprint), []).append(designator)
    for n, ((comment, footprint), names) in enumerate(sorted(groups.items()), 1):
        bom.append([n, comment, footprint, len(names), ",".join(names)])
    header = Font(bold=True)
    fill = PatternFill("solid", fgColor="FF6464")
    for cell in bom[1]:
        cell.font = header
        cell.fill = fill
    parts_sheet = wb.create_sheet("List Report")
    parts_sheet.append(["No.", "Comment", "Footprint", "Qty", "Designator"])
    for n, (designator, footprint, comment) in enumerate(parts, 1):
        parts_sheet.append([n, comment, footprint, 1, designator])
    wb.save(out)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
