#!/usr/bin/env python3
"""Opens the catalogue the program saved as CSV in LibreOffice Calc and checks its cells.

Run by hand where Calc is installed (CI never needs it). saved_by_program.csv is
what the program's writer gives for FOODS (tst_csv_food_list checks that the file
still is). Calc opens it headless as a German user opens it (";" separator,
UTF-8, German); the cells of the sheet, saved as flat ODS, must be FOODS: every
text with its umlauts, every number a number of the right value, empty cells
empty. Then Calc saves the opened sheet as CSV again (calc_resaved.csv), which
tst_csv_food_list opens to FOODS: the catalogue goes through Calc and back.

    tests/catalogue/data/check_in_calc.py
"""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
NS = {
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
}
HEADER = ["Name", "Kalorien", "Eiweiss", "Fett", "Kohlenhydrate"]
FOODS = [
    ["Apfel", 52, 0.3, 0.4, 11.4],
    ["Käse; gerieben", 388, 25, 30.5, 0.05],
    ['Joghurt "Natur" 3,5 %', 61, 3.3, 3.5, 4],
    ["Mineralwasser", 0, None, None, None],
    ["Studentenfutter (Beutel 250 g)", 1234.5, 34.5, 77, 95.3],
    ["Crème fraîche", 292, 2.4, 30, 2.6],
    ["Müsli „Früchte“", 355, 9.8, 5.9, 62.4],
    ["Weißbrot, hell", 245, 8.2, 1.2, 48.6],
    ["Baguette\nmit Zwiebeln", 265, 8, 3.5, 50],
    ["Zucker", 400, None, 0, 100],
    ["Łosoś (Lachs)", 202, 19.9, 13.6, 0],
    ["Ölsardinen", 222, 24.1, 13.9, 0],
]
# What a German user picks in Calc's text import: ";" (59), quote (34),
# UTF-8 (76), from line 1, German (1031).
IMPORT = "Text - txt - csv (StarCalc):59,34,76,1,,1031"
# Saving again as the Calc test files were made: every text quoted.
EXPORT = "csv:Text - txt - csv (StarCalc):59,34,76,1,,1031,true,true"


def cells_of(fods):
    rows = []
    for row in ET.parse(fods).getroot().iter(f"{{{NS['table']}}}table-row"):
        cells = []
        for cell in row.findall("table:table-cell", NS):
            repeat = int(cell.get(f"{{{NS['table']}}}number-columns-repeated", "1"))
            kind = cell.get(f"{{{NS['office']}}}value-type")
            if kind == "float":
                value = float(cell.get(f"{{{NS['office']}}}value"))
            elif kind == "string":
                value = "\n".join("".join(p.itertext()) for p in cell.findall("text:p", NS))
            else:
                value = None
            cells.extend([value] * min(repeat, 16))
        rows.append(cells[:5] + [None] * (5 - len(cells[:5])))
    while rows and all(c is None for c in rows[-1]):
        rows.pop()
    return rows


def soffice(work, *arguments):
    subprocess.run(["soffice", f"-env:UserInstallation=file://{work}/profile", "--headless",
                    *arguments], check=True, stdout=subprocess.DEVNULL,
                   env=dict(os.environ, LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8"))


def main():
    work = tempfile.mkdtemp()
    source = os.path.join(HERE, "saved_by_program.csv")
    soffice(work, f"--infilter={IMPORT}", "--convert-to", "fods", "--outdir", work, source)
    rows = cells_of(os.path.join(work, "saved_by_program.fods"))
    expected = [HEADER] + FOODS
    failures = 0
    for index, (got, want) in enumerate(zip(rows, expected)):
        same = all(
            (g == w) if not isinstance(w, (int, float)) or w is None
            else isinstance(g, float) and abs(g - w) < 1e-9
            for g, w in zip(got, want))
        if not same:
            failures += 1
            print(f"row {index + 1}: Calc shows {got!r}, expected {want!r}")
    if len(rows) != len(expected):
        failures += 1
        print(f"Calc shows {len(rows)} rows, expected {len(expected)}")
    numbers = sum(isinstance(v, (int, float)) for food in FOODS for v in food[1:])
    print(f"Calc: {len(rows) - 1} foods, {numbers} number cells as numbers, "
          f"{failures} differences")
    soffice(work, f"--infilter={IMPORT}", "--convert-to", EXPORT, "--outdir", work, source)
    shutil.move(os.path.join(work, "saved_by_program.csv"), os.path.join(HERE, "calc_resaved.csv"))
    shutil.rmtree(work)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
