#!/usr/bin/env python3
"""Makes the spreadsheet test files of tst_csv_food_list with LibreOffice Calc.

Run once by hand (CI never needs Calc): writes the sheet as two flat ODS
documents, with and without a header row, and has Calc (soffice --headless,
German locale) save each as CSV in Windows-1252 and in UTF-8, ";" between
cells, every text cell quoted, cells as shown (so the grouped number reads
"1.234,5"). The Excel-style file is written here byte for byte: UTF-8 with a
byte-order mark, CR LF, quotes only where a cell needs them, as Excel's
"CSV UTF-8" saves.

    tests/catalogue/data/make_calc_files.py
"""
import os
import shutil
import subprocess
import tempfile
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))

HEADER = ["Lebensmittel", "Kalorien (kcal)", "Eiweiß (g)", "Fett (g)", "Kohlenhydrate (g)"]
# Each number is (value, shown with grouping); None is an empty cell.
FOODS = [
    ("Apfel", 52, 0.3, 0.4, 11.4),
    ("Käse; gerieben", 388, 25, 30.5, 0.05),
    ('Joghurt "Natur" 3,5 %', 61, 3.3, 3.5, 4),
    ("Mineralwasser", 0, None, None, None),
    ("Studentenfutter (Beutel 250 g)", 1234.5, 34.5, 77, 95.3),
    ("Crème fraîche", 292, 2.4, 30, 2.6),
    ("Müsli „Früchte“", 355, 9.8, 5.9, 62.4),
    ("Weißbrot, hell", 245, 8.2, 1.2, 48.6),
    ("Baguette\nmit Zwiebeln", 265, 8, 3.5, 50),
    ("Zucker", 400, None, 0, 100),
]
# Shown with digit grouping and one decimal, as a user formats a large value.
GROUPED = {1234.5}

FODS_HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:styles>
  <style:default-style style:family="table-cell">
   <style:text-properties fo:language="de" fo:country="DE"/>
  </style:default-style>
 </office:styles>
 <office:automatic-styles>
  <number:number-style style:name="N1" number:language="de" number:country="DE">
   <number:number number:decimal-places="1" number:min-decimal-places="1"
    number:min-integer-digits="1" number:grouping="true"/>
  </number:number-style>
  <style:style style:name="grouped" style:family="table-cell" style:data-style-name="N1"/>
 </office:automatic-styles>
 <office:body><office:spreadsheet><table:table table:name="Lebensmittel">
"""
FODS_TAIL = """ </table:table></office:spreadsheet></office:body>
</office:document>
"""


def text_cell(text):
    paragraphs = "".join(f"<text:p>{escape(line)}</text:p>" for line in text.split("\n"))
    return f'<table:table-cell office:value-type="string">{paragraphs}</table:table-cell>'


def number_cell(value):
    if value is None:
        return "<table:table-cell/>"
    style = ' table:style-name="grouped"' if value in GROUPED else ""
    return (f'<table:table-cell{style} office:value-type="float" office:value="{value!r}">'
            "</table:table-cell>")


def fods(with_header):
    rows = []
    if with_header:
        rows.append("".join(text_cell(t) for t in HEADER))
    for name, *numbers in FOODS:
        rows.append(text_cell(name) + "".join(number_cell(v) for v in numbers))
    body = "".join(f"  <table:table-row>{row}</table:table-row>\n" for row in rows)
    return FODS_HEAD + body + FODS_TAIL


def excel_file():
    def cell(text):
        if any(c in text for c in ';"\r\n'):
            return '"' + text.replace('"', '""') + '"'
        return text

    # Other column names and order, a column the program does not read, and a
    # letter beyond Windows-1252; Excel writes a line break in a cell as LF.
    lines = [
        ["Bezeichnung", "Marke", "kcal", "Fett", "Eiweiß", "KH"],
        ["Apfel", "", "52", "0,4", "0,3", "11,4"],
        ["Käse; gerieben", "Hof Müller", "388", "30,5", "25", "0,05"],
        ['Joghurt "Natur" 3,5 %', "", "61", "3,5", "3,3", "4"],
        ["Łosoś (Lachs)", "", "202", "13,6", "19,9", "0"],
        ["Mineralwasser", "", "0", "", "", ""],
        ["Studentenfutter (Beutel 250 g)", "", "1.234,5", "77", "34,5", "95,3"],
        ["Baguette\nmit Zwiebeln", "", "265", "3,5", "8", "50"],
    ]
    text = "".join(";".join(cell(c) for c in line) + "\r\n" for line in lines)
    return b"\xef\xbb\xbf" + text.encode("utf-8")


def main():
    work = tempfile.mkdtemp()
    env = dict(os.environ, LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8")
    # Filter options: separator ";" (59), text delimiter '"' (34), character
    # set (1 Windows-1252, 76 UTF-8), from line 1, no column formats, German
    # (1031), quote all text cells, detect special numbers.
    exports = {"1252": "59,34,1,1,,1031,true,true", "utf8": "59,34,76,1,,1031,true,true"}
    for with_header, part in ((True, "kopf"), (False, "ohne_kopf")):
        sheet = os.path.join(HERE, f"calc_{part}.fods")
        with open(sheet, "w", encoding="utf-8") as f:
            f.write(fods(with_header))
        for charset, options in exports.items():
            subprocess.run(
                ["soffice", f"-env:UserInstallation=file://{work}/profile", "--headless",
                 "--convert-to", f"csv:Text - txt - csv (StarCalc):{options}",
                 "--outdir", work, sheet],
                check=True, env=env, stdout=subprocess.DEVNULL)
            shutil.move(os.path.join(work, f"calc_{part}.csv"),
                        os.path.join(HERE, f"calc_{charset}_{part}.csv"))
    with open(os.path.join(HERE, "excel_utf8_bom.csv"), "wb") as f:
        f.write(excel_file())
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
