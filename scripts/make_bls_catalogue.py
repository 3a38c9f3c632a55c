#!/usr/bin/python3
"""Writes the catalogue "resources/sample/Bundeslebensmittelschlüssel 4.0.csv"
from the extract of the national German food table in resources/bls-4.0/.

Every food of the extract becomes one row: its German name whole (many are
longer than the 50 characters a .lmk field keeps, hence a CSV), then kcal,
protein, fat and available carbohydrate per 100 g with the decimal comma and
the digits the table gives ("11.38" becomes "11,38", "343" stays "343").
The bytes are those the program writes for a catalogue saved under a .csv
name: UTF-8 with a byte-order mark, the header row, ";" between cells,
quotes only around a cell that needs them, CR LF after every row.

The rows stand in the order the program's lists keep: ICU's collation for
German with the settings the program gives it (normalisation on, tertiary
strength, so case-sensitive; digits and punctuation as they stand), equal
names in the order of the extract. The catalogue test checks the file
against the extract and against the program's own sort.

Needs python3-icu (Debian's package). Run from anywhere:
    /usr/bin/python3 scripts/make_bls_catalogue.py
"""

import pathlib
import re
import sys

import icu

ROOT = pathlib.Path(__file__).resolve().parent.parent
EXTRACT = ROOT / "resources/bls-4.0/bls_4_0_macros.tsv"
OUT = ROOT / "resources/sample/Bundeslebensmittelschlüssel 4.0.csv"
FOOD_COUNT = 7140

COLUMNS = ("code", "name_de", "name_en", "kcal", "protein_g", "fat_g", "carbs_g")
HEADER = "Name;Kalorien;Eiweiss;Fett;Kohlenhydrate"
# The extract writes a number with "." and at most two decimals.
NUMBER = re.compile(r"\d+(\.\d{1,2})?")
# A number cell of this form would lose its marks when read, so the program
# would quote it; the table has none, which is checked, not assumed.
GROUPED = re.compile(r"[+-]?\d{1,3}([.,]\d{3})+([.,]\d*)?")


def read_extract():
    lines = EXTRACT.read_text(encoding="utf-8").split("\n")
    # The last comment line names the columns.
    columns = next(line for line in lines if line.startswith("# code\t"))[2:].split("\t")
    index = [columns.index(name) for name in COLUMNS]
    foods = []
    for line in (line for line in lines if line and not line.startswith("#")):
        cells = line.split("\t")
        if len(cells) != len(columns):
            sys.exit(f"line with {len(cells)} cells: {line!r}")
        code, name, _, *values = (cells[i] for i in index)
        if not name or name != name.strip():
            sys.exit(f"{code}: name {name!r}")
        for value in values:
            if not NUMBER.fullmatch(value):
                sys.exit(f"{code}: value {value!r}")
        foods.append([name] + [value.replace(".", ",") for value in values])
    if len(foods) != FOOD_COUNT:
        sys.exit(f"{len(foods)} foods, not {FOOD_COUNT}")
    return foods


def program_order(foods):
    # As the program's collator: ICU for the locale "de", normalisation on,
    # the default (tertiary) strength, punctuation not ignored, no numeric
    # mode. Python's sort is stable, as the program's is.
    collator = icu.Collator.createInstance(icu.Locale("de"))
    collator.setAttribute(icu.UCollAttribute.NORMALIZATION_MODE, icu.UCollAttributeValue.ON)
    collator.setStrength(icu.Collator.TERTIARY)
    collator.setAttribute(icu.UCollAttribute.ALTERNATE_HANDLING,
                          icu.UCollAttributeValue.NON_IGNORABLE)
    collator.setAttribute(icu.UCollAttribute.NUMERIC_COLLATION, icu.UCollAttributeValue.OFF)
    return sorted(foods, key=lambda food: collator.getSortKey(food[0]))


def cell(text, column):
    if any(c in text for c in ';"\r\n') or (column > 0 and GROUPED.fullmatch(text)):
        if column > 0:
            sys.exit(f"number cell {text!r} would need quotes")
        return '"' + text.replace('"', '""') + '"'
    return text


def main():
    foods = program_order(read_extract())
    rows = [HEADER] + [";".join(cell(text, i) for i, text in enumerate(food)) for food in foods]
    OUT.parent.mkdir(parents=True, exist_ok=True)
    OUT.write_bytes(b"\xef\xbb\xbf" + "".join(row + "\r\n" for row in rows).encode("utf-8"))
    print(f"{OUT}: {len(foods)} foods")


if __name__ == "__main__":
    main()
