#!/usr/bin/env python3
"""Fails when an include in src/ points against the layers.

    vb <- platform <- formats <- sim      (formats sees only platform's plain headers)
    platform <- subsystems <- app         (app sees everything)

The subsystems are ranked by their order in CMakeLists.txt (VELMORA_SUBSYSTEMS): one may
include those listed before it, never one listed after it, so no circle can close.
Usage: tools/check_layers.py [ROOT]
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')

# The headers of platform/ that hold plain data, the only ones the file formats may use.
FORMATS_MAY_USE = {"platform/sheet_types.h", "platform/files.h", "platform/os_calls.h",
                   "platform/win/wide_text.h"}


def subsystems():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    m = re.search(r"set\(VELMORA_SUBSYSTEMS([^)]*)\)", text)
    if not m:
        sys.exit("check_layers: CMakeLists.txt names no VELMORA_SUBSYSTEMS")
    return m.group(1).split()


def allowed(layer, target, header, order):
    """Whether a file of `layer` may include `header`, which lies in `target`."""
    if layer == target or layer == "app":
        return True
    if layer == "vb":
        return False
    if layer == "platform":
        return target == "vb"
    if layer == "formats":
        return target == "vb" or header in FORMATS_MAY_USE
    if layer == "sim":
        return target in ("formats", "platform", "vb")
    if layer in order:
        if target in ("platform", "vb"):
            return True
        return target in order and order.index(target) < order.index(layer)
    return False


def main():
    order = subsystems()
    layers = {"vb", "platform", "formats", "sim", "app", *order}
    problems = []
    for path in sorted((ROOT / "src").rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        rel = path.relative_to(ROOT / "src")
        layer = rel.parts[0]
        if layer not in layers:
            problems.append(f"src/{rel}: src/{layer}/ is no layer")
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            header = m.group(1)
            target = header.split("/")[0] if "/" in header else layer
            if target not in layers:
                problems.append(f"src/{rel}:{number}: includes \"{header}\", which is in no layer")
            elif not allowed(layer, target, header, order):
                problems.append(f"src/{rel}:{number}: {layer}/ may not include \"{header}\"")
    for p in problems:
        print(p)
    if problems:
        print(f"check_layers: {len(problems)} include(s) against the layers")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
