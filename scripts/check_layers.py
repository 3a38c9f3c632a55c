#!/usr/bin/env python3
"""Checks the folder layers of the program's sources: a folder includes only
folders below it (core <- widgets <- catalogue, plan, tools <- app), and the
files that go into the core library include no GUI header.

    check_layers.py SOURCE_ROOT
"""
import pathlib
import re
import sys

LAYER = {"core": 0, "widgets": 1, "catalogue": 2, "plan": 2, "tools": 2, "resources": 2, "app": 3}
# Files of the subsystem folders that go into the core library, read from the
# CMake lists' menuvera_core blocks.
CORE_BLOCK = re.compile(r"target_sources\(menuvera_core PRIVATE(.*?)\)", re.S)
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
GUI_HEADERS = re.compile(r"^(Qt(Gui|Widgets|PrintSupport)/|Q(Widget|Painter|Image|Pixmap|Font|Color|Printer|Application|GuiApplication|Dialog|Label)\b)")


def main(root: pathlib.Path) -> int:
    faults = []
    core_files = set()
    for folder in LAYER:
        lists = root / folder / "CMakeLists.txt"
        if lists.exists():
            for block in CORE_BLOCK.findall(lists.read_text()):
                core_files.update(root / folder / name for name in block.split())
    for folder, layer in LAYER.items():
        for source in sorted((root / folder).glob("*.[ch]*")):
            text = source.read_text(encoding="utf-8")
            for kind, header in INCLUDE.findall(text):
                where = f"{source.relative_to(root)}: {header}"
                if kind == '"' and "/" in header:
                    target = header.split("/")[0]
                    if target != folder and LAYER.get(target, 99) >= layer:
                        faults.append(f"{where} is not below {folder}/")
                if kind == "<" and source in core_files and GUI_HEADERS.match(header):
                    faults.append(f"{where} is a GUI header in a core file")
    for fault in faults:
        print(fault)
    print(f"{len(core_files)} core files, {len(faults)} layer faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1])))
