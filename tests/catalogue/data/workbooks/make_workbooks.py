#!/usr/bin/python3
"""Makes the workbook test files of the catalogue readers, and the two
benchmark workbooks. Run once by hand (CI never needs these programs):

    tests/catalogue/data/workbooks/make_workbooks.py          # test files
    tests/catalogue/data/workbooks/make_workbooks.py --bench  # also bench/data/

Needs /usr/bin/python3 with python3-openpyxl, LibreOffice Calc (soffice) and
Gnumeric (ssconvert). Every value comes from the BLS 4.0 extract or from a
random generator seeded per food, so a second run makes the same sheets.

Sheets in the table's shape (first sheet of BLS_4_0_Daten_2025_DE.xlsx):
"BLS Code", "Lebensmittelbezeichnung", "Food name", then per nutrient
"<CODE> <Name> [<unit>/100g]", "<CODE> Datenherkunft", "<CODE> Referenz",
and "Bemerkung" last: 3 + 3 * 138 + 1 = 418 columns. openpyxl writes the
source; Calc and Gnumeric save it again. Every written workbook is read back
here (first sheet, cell by cell: number, text or empty) and compared with the
source, and Calc's CSV is compared with the cells as shown; a difference
stops the script.

Our own sheet is written as flat ODS (formulas with their results, a text
run in bold, a line break in a cell) and saved by Calc as .xlsx and .ods.

The bad inputs are written here with zipfile, not by a spreadsheet program.
"""
import csv
import io
import math
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile
import zlib
from decimal import Decimal
from xml.etree import ElementTree as ET
from xml.sax.saxutils import escape, quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.abspath(os.path.join(HERE, "..", "..", "..", ".."))
EXTRACT = os.path.join(REPO, "..", "shared", "data", "bls-4.0", "bls_4_0_macros.tsv")
if not os.path.exists(EXTRACT):
    EXTRACT = "/work/shared/data/bls-4.0/bls_4_0_macros.tsv"
BENCH = os.path.join(REPO, "bench", "data")
ENV = dict(os.environ, LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8", LANGUAGE="de")

MARKERS = ["TR", "<LOD", "<LOQ", "-"]

# (code, German name, unit). The four the program reads come first, as in the
# table; the decoys that a loose header rule would take instead follow the
# real columns.
NUTRIENTS = [
    ("ENERCJ", "Energie (Kilojoule)", "kJ"),
    ("ENERCC", "Energie (Kilokalorien)", "kcal"),
    ("WATER", "Wasser", "g"),
    ("PROT625", "Protein (Nx6,25)", "g"),
    ("FAT", "Fett", "g"),
    ("FASAT", "Fettsäuren, gesättigt, gesamt", "g"),
    ("CHO", "Kohlenhydrate, verfügbar", "g"),
    ("SUGAR", "Zucker, gesamt", "g"),
    ("STARCH", "Stärke", "g"),
    ("FIBT", "Ballaststoffe, gesamt", "g"),
    ("FIBINS", "Ballaststoffe, wasserunlöslich", "g"),
    ("FIBSOL", "Ballaststoffe, wasserlöslich", "g"),
    ("ALC", "Alkohol (Ethanol)", "g"),
    ("ASH", "Rohasche", "g"),
    ("OA", "Organische Säuren, gesamt", "g"),
    ("POLYL", "Zuckeralkohole, gesamt", "g"),
    ("GLUS", "Glucose", "g"),
    ("FRUS", "Fructose", "g"),
    ("GALS", "Galactose", "g"),
    ("SUCS", "Saccharose", "g"),
    ("MALS", "Maltose", "g"),
    ("LACS", "Lactose", "g"),
    ("NA", "Natrium", "mg"),
    ("K", "Kalium", "mg"),
    ("CA", "Calcium", "mg"),
    ("MG", "Magnesium", "mg"),
    ("P", "Phosphor", "mg"),
    ("S", "Schwefel", "mg"),
    ("CLD", "Chlorid", "mg"),
    ("FE", "Eisen", "mg"),
    ("ZN", "Zink", "mg"),
    ("CU", "Kupfer", "µg"),
    ("MN", "Mangan", "µg"),
    ("FD", "Fluorid", "µg"),
    ("ID", "Iodid", "µg"),
    ("SE", "Selen", "µg"),
    ("CR", "Chrom", "µg"),
    ("MO", "Molybdän", "µg"),
    ("VITA", "Vitamin A, Retinol-Äquivalent", "µg"),
    ("RETOL", "Retinol", "µg"),
    ("CARTB", "Beta-Carotin", "µg"),
    ("CARTA", "Alpha-Carotin", "µg"),
    ("CRYPXB", "Beta-Cryptoxanthin", "µg"),
    ("LYCPN", "Lycopin", "µg"),
    ("LUTN", "Lutein", "µg"),
    ("VITD", "Vitamin D", "µg"),
    ("CHOCAL", "Cholecalciferol (Vitamin D3)", "µg"),
    ("ERGCAL", "Ergocalciferol (Vitamin D2)", "µg"),
    ("VITE", "Vitamin E, Alpha-Tocopherol-Äquivalent", "mg"),
    ("TOCPHA", "Alpha-Tocopherol", "mg"),
    ("TOCPHB", "Beta-Tocopherol", "mg"),
    ("TOCPHG", "Gamma-Tocopherol", "mg"),
    ("TOCPHD", "Delta-Tocopherol", "mg"),
    ("VITK", "Vitamin K", "µg"),
    ("VITK1", "Phyllochinon (Vitamin K1)", "µg"),
    ("VITK2", "Menachinon (Vitamin K2)", "µg"),
    ("THIA", "Vitamin B1 (Thiamin)", "mg"),
    ("RIBF", "Vitamin B2 (Riboflavin)", "mg"),
    ("NIA", "Niacin", "mg"),
    ("NIAEQ", "Niacin-Äquivalent", "mg"),
    ("PANTAC", "Pantothensäure", "mg"),
    ("VITB6", "Vitamin B6", "mg"),
    ("BIOT", "Biotin", "µg"),
    ("FOL", "Folat-Äquivalent", "µg"),
    ("FOLFD", "Folat, natürlich", "µg"),
    ("FOLAC", "Folsäure, zugesetzt", "µg"),
    ("VITB12", "Vitamin B12 (Cobalamin)", "µg"),
    ("VITC", "Vitamin C (Ascorbinsäure)", "mg"),
    ("FAMS", "Fettsäuren, einfach ungesättigt, gesamt", "g"),
    ("FATRN", "Fettsäuren, trans, gesamt", "g"),
    ("F4D0", "Buttersäure (C4:0)", "g"),
    ("F6D0", "Capronsäure (C6:0)", "g"),
    ("F8D0", "Caprylsäure (C8:0)", "g"),
    ("F10D0", "Caprinsäure (C10:0)", "g"),
    ("F12D0", "Laurinsäure (C12:0)", "g"),
    ("F14D0", "Myristinsäure (C14:0)", "g"),
    ("F15D0", "Pentadecansäure (C15:0)", "g"),
    ("F16D0", "Palmitinsäure (C16:0)", "g"),
    ("F17D0", "Margarinsäure (C17:0)", "g"),
    ("F18D0", "Stearinsäure (C18:0)", "g"),
    ("F20D0", "Arachinsäure (C20:0)", "g"),
    ("F22D0", "Behensäure (C22:0)", "g"),
    ("F24D0", "Lignocerinsäure (C24:0)", "g"),
    ("F14D1", "Myristoleinsäure (C14:1)", "g"),
    ("F16D1", "Palmitoleinsäure (C16:1)", "g"),
    ("F18D1", "Ölsäure (C18:1)", "g"),
    ("F20D1", "Eicosensäure (C20:1)", "g"),
    ("F22D1", "Erucasäure (C22:1)", "g"),
    ("F24D1", "Nervonsäure (C24:1)", "g"),
    ("F18D2", "Linolsäure (C18:2)", "g"),
    ("F18D3", "Alpha-Linolensäure (C18:3)", "g"),
    ("F18D4", "Stearidonsäure (C18:4)", "g"),
    ("F20D2", "Eicosadiensäure (C20:2)", "g"),
    ("F20D3", "Dihomo-Gamma-Linolensäure (C20:3)", "g"),
    ("F20D4", "Arachidonsäure (C20:4)", "g"),
    ("F20D5", "Eicosapentaensäure (C20:5)", "g"),
    ("F22D5", "Docosapentaensäure (C22:5)", "g"),
    ("F22D6", "Docosahexaensäure (C22:6)", "g"),
    ("FAN3", "Omega-3-Fettsäuren, gesamt", "g"),
    ("FAN6", "Omega-6-Fettsäuren, gesamt", "g"),
    ("FASC", "Fettsäuren, kurzkettig", "g"),
    ("FAMC", "Fettsäuren, mittelkettig", "g"),
    ("FALC", "Fettsäuren, langkettig", "g"),
    ("GLYCER", "Glycerin und Lipoide", "g"),
    ("ILE", "Isoleucin", "mg"),
    ("LEU", "Leucin", "mg"),
    ("LYS", "Lysin", "mg"),
    ("MET", "Methionin", "mg"),
    ("CYS", "Cystein", "mg"),
    ("PHE", "Phenylalanin", "mg"),
    ("TYR", "Tyrosin", "mg"),
    ("THR", "Threonin", "mg"),
    ("TRP", "Tryptophan", "mg"),
    ("VAL", "Valin", "mg"),
    ("ARG", "Arginin", "mg"),
    ("HIS", "Histidin", "mg"),
    ("ALA", "Alanin", "mg"),
    ("ASP", "Asparaginsäure", "mg"),
    ("GLU", "Glutaminsäure", "mg"),
    ("GLY", "Glycin", "mg"),
    ("PRO", "Prolin", "mg"),
    ("SER", "Serin", "mg"),
    ("HYP", "Hydroxyprolin", "mg"),
    ("NT", "Stickstoff, gesamt", "g"),
    ("PURN", "Purine", "mg"),
    ("URIC", "Harnsäure", "mg"),
    ("OXALAC", "Oxalsäure", "mg"),
    ("CITAC", "Citronensäure", "mg"),
    ("MALAC", "Äpfelsäure", "mg"),
    ("LACAC", "Milchsäure", "mg"),
    ("SALT", "Salz (Natrium × 2,5)", "g"),
    # Decoys: each shares a word, a code prefix or a unit with one of the four.
    ("FAPU", "Fettsäuren, mehrfach ungesättigt", "g"),
    ("FATNLEA", "Fett, als Summe der Fettsäuren (Triglyceride)", "g"),
    ("CHOL", "Cholesterin", "mg"),
    ("PROTANI", "Protein, tierisch", "g"),
    ("PROTPL", "Protein, pflanzlich", "g"),
    ("CHOT", "Kohlenhydrate, gesamt", "g"),
    ("ENERPJ", "Energie aus Protein", "kJ"),
]
assert len(NUTRIENTS) == 138, len(NUTRIENTS)
READ = {"ENERCC": 0, "PROT625": 1, "FAT": 2, "CHO": 3}

HEADER = ["BLS Code", "Lebensmittelbezeichnung", "Food name"]
for code, name, unit in NUTRIENTS:
    HEADER += [f"{code} {name} [{unit}/100g]", f"{code} Datenherkunft", f"{code} Referenz"]
HEADER.append("Bemerkung")
assert len(HEADER) == 418

ORIGINS = ["Analyse", "Berechnung", "Übernahme", "Schätzung", "Rezeptberechnung"]
REFERENCES = ["BLS 3.02", "Souci/Fachmann/Kraut 2016", "Herstellerangabe", "MRI 2023",
              "Literatur", "USDA SR 28", "Analyse MRI Karlsruhe"]
REMARKS = ["", "", "", "", "verzehrsfertig", "Mittelwert aus 3 Proben",
           "ohne Schale", "Angaben je 100 g essbarer Anteil"]


def shown(value):
    """A cell as a German spreadsheet shows it in its standard format: the
    shortest decimal (at most 15 significant digits) that gives the value
    back, with the decimal comma; text as it is; None empty."""
    if value is None:
        return ""
    if isinstance(value, str):
        return value
    v = float(value)
    if v == 0:
        return "0"
    for digits in range(1, 16):
        text = "%.*g" % (digits, v)
        if float(text) == v:
            break
    text = format(Decimal(text), "f")
    if "." in text:
        text = text.rstrip("0").rstrip(".")
    return text.replace(".", ",")


def read_value(value):
    """A value of the four the program reads: markers as it reads them."""
    if value in ("TR", "<LOD", "<LOQ"):
        return "0"
    if value == "-":
        return ""
    return shown(value)


def number(text):
    return int(text) if re.fullmatch(r"-?\d+", text) else float(text)


def read_extract():
    foods = []
    with open(EXTRACT, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            code, de, en, kcal, prot, fat, carbs = line.rstrip("\n").split("\t")[:7]
            foods.append((code, de, en, [number(kcal), number(prot), number(fat), number(carbs)]))
    assert len(foods) == 7140, len(foods)
    return foods


def random_value(rng, unit):
    roll = rng.random()
    if roll < 0.03:
        return rng.choice(MARKERS)
    if roll < 0.08:
        return 0
    scale = {"g": 30, "mg": 400, "µg": 150, "kJ": 800, "kcal": 200}[unit]
    value = round(rng.uniform(0, scale) * rng.random(), rng.choice([0, 1, 2, 3]))
    return int(value) if value == int(value) and rng.random() < 0.5 else value


def bls_row(code, de, en, four, forced=None):
    """One food's 418 cells. The generator is seeded by the food's code, so a
    food has the same cells in the test files and the benchmark file."""
    rng = random.Random("BLS-4.0-" + code)
    four = list(four)
    for i, v in enumerate(four):
        if v == 0:
            four[i] = rng.choice([0, 0, "TR", "<LOD", "<LOQ", "-"])
    if forced:
        four = list(forced)
    kcal = four[0]
    kj = math.floor(kcal * 4.184 + 0.5) if not isinstance(kcal, str) else kcal
    row = [code, de, en]
    for code_, _, unit in NUTRIENTS:
        if code_ == "ENERCJ":
            value = kj
        elif code_ in READ:
            value = four[READ[code_]]
        else:
            value = random_value(rng, unit)
        if code_ == "ENERCJ":
            origin = "Analyse" if rng.random() < 0.85 else rng.choice(ORIGINS)
        else:
            origin = rng.choice(ORIGINS)
        roll = rng.random()
        if roll < 0.4:
            reference = rng.choice(REFERENCES)
        elif roll < 0.7:
            reference = rng.randint(1, 9999)
        else:
            reference = None
        row += [value, origin, reference]
    remark = rng.choice(REMARKS)
    row.append(remark or None)
    return row, four


# Rows after the first 300: a name with ";" and quotes (made up, code T...),
# the longest name of the table, a name with quotes, and drinking water with
# a marker in each of the four values.
TRICKY = [
    ("T000001", 'Käse; gerieben, "Hof Müller" 45 % Fett i. Tr.', 'Cheese; grated, "Hof Müller"', None,
     [388, 25.1, 30.5, 0.05]),
    ("C534400", None, None, None, None),
    ("X081943", None, None, None, None),
    ("N110000", None, None, ["TR", "<LOD", "<LOQ", "-"], None),
]


def bls_rows(foods, count):
    """(cells, expected line) for the sheet: the first `count` foods, then the
    tricky rows when count is not the whole table."""
    by_code = {f[0]: f for f in foods}
    chosen = [(f, None) for f in foods[:count]]
    if count < len(foods):
        for code, de, en, forced, four in TRICKY:
            if de is None:
                chosen.append((by_code[code], forced))
            else:
                chosen.append(((code, de, en, four), forced))
    rows = []
    for (code, de, en, four), forced in chosen:
        cells, used = bls_row(code, de, en, four, forced)
        rows.append((cells, [de] + [read_value(v) for v in used]))
    return rows


def tsv_field(text):
    return (text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")
            .replace("\r", "\\r"))


def write_expected(path, lines):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        for line in lines:
            f.write("\t".join(tsv_field(c) for c in line) + "\n")


HINTS = [
    ["Hinweise"],
    ["Diese Tabelle ist Testmaterial in der Form des Bundeslebensmittelschlüssels 4.0."],
    ["Quelle: Max Rubner-Institut (2025), BLS 4.0, DOI 10.25826/Data20251217-134202-0, CC BY 4.0"],
    ["Nur die Spalten Bezeichnung, kcal, Protein, Fett, Kohlenhydrate sind echt;", 4, 0.5],
    ["alle anderen Werte sind erfunden."],
]


def write_openpyxl(path, rows, sheet_title):
    import openpyxl
    import datetime
    wb = openpyxl.Workbook(write_only=True)
    fixed = datetime.datetime(2025, 12, 17, 12, 0, 0)
    wb.properties.created = fixed
    wb.properties.modified = fixed
    wb.properties.creator = "make_workbooks.py"
    ws = wb.create_sheet(sheet_title)
    for row in rows:
        ws.append(row)
    hints = wb.create_sheet("Hinweise")
    for row in HINTS:
        hints.append(row)
    wb.save(path)


def soffice(src, fmt, outdir, profile):
    """Calc saves src into outdir under src's name (never the same folder as
    src: a workbook saved as .xlsx would overwrite its source)."""
    assert os.path.dirname(os.path.abspath(src)) != os.path.abspath(outdir)
    subprocess.run(["soffice", f"-env:UserInstallation=file://{profile}", "--headless",
                    "--convert-to", fmt, "--outdir", outdir, src],
                   check=True, env=ENV, stdout=subprocess.DEVNULL)


# Calc's CSV export for a German user: ";" (59), '"' (34), UTF-8 (76), German
# (1031), text quoted only where needed, cells as shown, no formulas.
CSV_FILTER = "csv:Text - txt - csv (StarCalc):59,34,76,1,,1031,false,true,true,false,false"


# ---------------------------------------------------------------- reading back

NS = {
    "m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
}
M = "{%s}" % NS["m"]
T = "{%s}" % NS["table"]
O = "{%s}" % NS["office"]
X = "{%s}" % NS["text"]


def col_index(ref):
    letters = re.match(r"[A-Z]+", ref).group(0)
    n = 0
    for ch in letters:
        n = n * 26 + ord(ch) - 64
    return n - 1


def xlsx_first_sheet(path):
    """Rows of (kind, value) of the first sheet; kind "n", "s" or None."""
    z = zipfile.ZipFile(path)
    rels = ET.fromstring(z.read("xl/_rels/workbook.xml.rels"))
    targets = {r.get("Id"): r.get("Target") for r in rels}
    wb = ET.fromstring(z.read("xl/workbook.xml"))
    first = wb.find("m:sheets/m:sheet", NS)
    rid = first.get("{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id")
    target = targets[rid].lstrip("/")
    sheet = target if target.startswith("xl/") else "xl/" + target
    shared = []
    if "xl/sharedStrings.xml" in z.namelist():
        for si in ET.fromstring(z.read("xl/sharedStrings.xml")).findall("m:si", NS):
            shared.append("".join(t.text or "" for t in si.iter(M + "t")))
    rows = {}
    for row in ET.fromstring(z.read(sheet)).iter(M + "row"):
        r = int(row.get("r")) - 1
        cells = {}
        for i, c in enumerate(row.findall("m:c", NS)):
            col = col_index(c.get("r")) if c.get("r") else i
            t = c.get("t", "n")
            v = c.find("m:v", NS)
            if t == "s":
                cells[col] = ("s", shared[int(v.text)])
            elif t == "inlineStr":
                cells[col] = ("s", "".join(x.text or "" for x in c.iter(M + "t")))
            elif t == "str":
                cells[col] = ("s", v.text or "")
            elif v is not None:
                cells[col] = ("n", float(v.text))
        rows[r] = cells
    return dense(rows)


def dense(rows):
    out = []
    for r in range(max(rows) + 1 if rows else 0):
        cells = rows.get(r, {})
        width = max(cells) + 1 if cells else 0
        out.append([cells.get(c, (None, None)) for c in range(width)])
    while out and not out[-1]:
        out.pop()
    return out


def ods_text(el):
    parts = []
    if el.text:
        parts.append(el.text)
    for child in el:
        if child.tag == X + "s":
            parts.append(" " * int(child.get(X + "c", "1")))
        elif child.tag == X + "tab":
            parts.append("\t")
        elif child.tag == X + "line-break":
            parts.append("\n")
        else:
            parts.append(ods_text(child))
        if child.tail:
            parts.append(child.tail)
    return "".join(parts)


def ods_first_sheet(path):
    z = zipfile.ZipFile(path)
    root = ET.fromstring(z.read("content.xml"))
    table = root.find(".//table:table", NS)
    rows = {}
    r = 0
    for row in table.iter(T + "table-row"):
        cells = {}
        c = 0
        for cell in row:
            if cell.tag not in (T + "table-cell", T + "covered-table-cell"):
                continue
            repeat = int(cell.get(T + "number-columns-repeated", "1"))
            kind = cell.get(O + "value-type")
            if kind in ("float", "percentage", "currency"):
                value = ("n", float(cell.get(O + "value")))
            elif kind == "string":
                value = ("s", "\n".join(ods_text(p) for p in cell.findall("text:p", NS)))
            else:
                value = None
            if value is not None:
                for k in range(repeat):
                    cells[c + k] = value
            c += repeat
        rrepeat = int(row.get(T + "number-rows-repeated", "1"))
        if cells:
            for k in range(rrepeat):
                rows[r + k] = cells
        r += rrepeat
    return dense(rows)


def as_cells(row, digits=17):
    out = []
    for v in row:
        if v is None:
            out.append((None, None))
        elif isinstance(v, str):
            out.append(("s", v))
        else:
            out.append(("n", float("%.*g" % (digits, v))))
    while out and out[-1] == (None, None):
        out.pop()
    return out


def compare(path, got, want, digits=17):
    """Compares the cells read back with the source; Calc stores a number with
    at most 15 significant digits (digits=15)."""
    want = [as_cells(r, digits) for r in want]
    while want and not want[-1]:
        want.pop()
    bad = 0
    for r in range(max(len(got), len(want))):
        g = got[r] if r < len(got) else []
        w = want[r] if r < len(want) else []
        g = g + [(None, None)] * (len(w) - len(g))
        w = w + [(None, None)] * (len(g) - len(w))
        for c, (a, b) in enumerate(zip(g, w)):
            if a != b:
                bad += 1
                if bad <= 5:
                    print(f"  {os.path.basename(path)} row {r + 1} col {c + 1}: {a!r} != {b!r}")
    numbers = sum(1 for r in got for k, _ in r if k == "n")
    texts = sum(1 for r in got for k, _ in r if k == "s")
    print(f"{os.path.basename(path)}: {len(got)} rows, {numbers} number cells, {texts} text cells, "
          f"{bad} differences")
    if bad:
        sys.exit(1)


def compare_csv(path, want):
    with open(path, encoding="utf-8", newline="") as f:
        got = list(csv.reader(f, delimiter=";", quotechar='"'))
    bad = 0
    for r, (g, w) in enumerate(zip(got, want)):
        w = [shown(v) for v in w]
        g = g + [""] * (len(w) - len(g))
        if g != w:
            bad += 1
            if bad <= 5:
                diff = [(i, a, b) for i, (a, b) in enumerate(zip(g, w)) if a != b][:3]
                print(f"  {os.path.basename(path)} row {r + 1}: {diff}")
    if len(got) != len(want):
        bad += 1
        print(f"  {len(got)} lines, {len(want)} rows")
    print(f"{os.path.basename(path)}: {len(got)} lines, {bad} rows differ from the cells as shown")
    if bad:
        sys.exit(1)


# ---------------------------------------------------------------- our sheet

OWN_HEADER = ["Name", "Kalorien", "Eiweiß", "Fett", "Kohlenhydrate"]


class Formula:
    def __init__(self, formula, result):
        self.formula, self.result = formula, result


class Rich:
    """A text cell whose second run is bold."""
    def __init__(self, *runs):
        self.runs = runs

    def __str__(self):
        return "".join(self.runs)


EMPTY = "empty row"
OWN_ROWS = [
    ["Apfel", 52, 0.3, 0.4, 11.4],
    ['Käse; "Gouda" jung', 356, 24.9, 27.4, 0],
    ["Weißbrot, hell", 245, 8.2, 1.2, 48.6],
    EMPTY,
    ["Müsli mit getrockneten Früchten, Haselnüssen und Honig (Großpackung)", 355, 9.8, 5.9, 62.4],
    ["Baguette\nmit Zwiebeln", 265, 8, 3.5, 50],
    ["Mineralwasser", 0, None, None, None],
    ["Hafer ganzes Korn, roh", Formula("of:=7*49", 343), 11.38, 7.09, 53.7],
    ["Gurke", 12, 0.6, Formula("of:=0.1+0.2", 0.1 + 0.2), 1.8],
    ["Studentenfutter (Beutel 250 g)", "1.234,5", 34.5, 77, 95.3],
    EMPTY,
    EMPTY,
    ["Zucker (Palette)", 123456789.25, None, 0, 100],
    [Rich("Vollkorn", "brot", " fein"), 219, 7.3, 1.2, 39.7],
    ["Ei, gekocht", 155, 12.6, 10.6, 1.1],
    ["Ei, gekocht", 155, 12.6, 10.6, 1.1],
    ["Crème fraîche", 292, 2.4, 30, 2.6],
]


def own_value(v):
    if isinstance(v, Formula):
        return v.result
    if isinstance(v, Rich):
        return str(v)
    return v


def own_expected():
    return [[shown(own_value(v)) for v in row] for row in OWN_ROWS if row is not EMPTY]


def own_sheet():
    """The sheet as cells, for the comparison with what Calc wrote."""
    rows = [OWN_HEADER]
    for row in OWN_ROWS:
        rows.append([] if row is EMPTY else [own_value(v) for v in row])
    return rows


FODS_HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:styles>
  <style:default-style style:family="table-cell">
   <style:text-properties fo:language="de" fo:country="DE"/>
  </style:default-style>
 </office:styles>
 <office:automatic-styles>
  <style:style style:name="T1" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
 </office:automatic-styles>
 <office:body><office:spreadsheet><table:table table:name="Lebensmittel">
"""
FODS_TAIL = """ </table:table>
 <table:table table:name="Hinweise"><table:table-row><table:table-cell office:value-type="string"><text:p>Eigene Tabelle zum Testen</text:p></table:table-cell></table:table-row></table:table>
 </office:spreadsheet></office:body>
</office:document>
"""


def fods_cell(v):
    if v is None:
        return "<table:table-cell/>"
    if isinstance(v, Formula):
        return (f'<table:table-cell table:formula={quoteattr(v.formula)} office:value-type="float" '
                f'office:value="{v.result!r}"/>')
    if isinstance(v, Rich):
        a, b, c = v.runs
        return ('<table:table-cell office:value-type="string"><text:p>'
                f'{escape(a)}<text:span text:style-name="T1">{escape(b)}</text:span>{escape(c)}'
                "</text:p></table:table-cell>")
    if isinstance(v, str):
        paragraphs = "".join(f"<text:p>{escape(p)}</text:p>" for p in v.split("\n"))
        return f'<table:table-cell office:value-type="string">{paragraphs}</table:table-cell>'
    return f'<table:table-cell office:value-type="float" office:value="{v!r}"/>'


def own_fods():
    rows = [OWN_HEADER] + OWN_ROWS
    body = []
    for row in rows:
        cells = "<table:table-cell/>" if row is EMPTY else "".join(fods_cell(v) for v in row)
        body.append(f"  <table:table-row>{cells}</table:table-row>\n")
    return FODS_HEAD + "".join(body) + FODS_TAIL


def own_openpyxl(path):
    """Our sheet as a script writes it with openpyxl, which stores every text
    inline (t="inlineStr"); it has no rich text, and a formula it writes has
    no stored result, so those two rows carry plain values."""
    import openpyxl
    import datetime
    wb = openpyxl.Workbook()
    fixed = datetime.datetime(2025, 12, 17, 12, 0, 0)
    wb.properties.created = fixed
    wb.properties.modified = fixed
    ws = wb.active
    ws.title = "Lebensmittel"
    ws.append(OWN_HEADER)
    rows = []
    for row in OWN_ROWS:
        if row is EMPTY:
            ws.append([])
            continue
        values = [own_value(v) for v in row]
        ws.append(values)
        rows.append(values)
    wb.save(path)
    return [[shown(v) for v in row] for row in rows], [OWN_HEADER] + [
        [] if row is EMPTY else [own_value(v) for v in row] for row in OWN_ROWS]


# ---------------------------------------------------------------- bad inputs

CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>"""
ROOT_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>"""
WORKBOOK = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Tabelle1" sheetId="1" r:id="rId1"/></sheets></workbook>"""
WORKBOOK_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>"""
SHEET_HEAD = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
              '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>')
SHEET_TAIL = "</sheetData></worksheet>"
HEADER_ROW = ('<row r="1">' + "".join(f'<c t="inlineStr"><is><t>{h}</t></is></c>' for h in OWN_HEADER)
              + "</row>")

MANIFEST = """<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.3"><manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/><manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/></manifest:manifest>"""
CONTENT_HEAD = ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document-content '
                'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
                'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
                'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.3">'
                '<office:body><office:spreadsheet><table:table table:name="Tabelle1">')
CONTENT_TAIL = "</table:table></office:spreadsheet></office:body></office:document-content>"
ODS_HEADER_ROW = ("<table:table-row>" + "".join(
    f'<table:table-cell office:value-type="string"><text:p>{h}</text:p></table:table-cell>'
    for h in OWN_HEADER) + "</table:table-row>")

FIXED_TIME = (2025, 12, 17, 12, 0, 0)


def info(name, compress=True):
    zi = zipfile.ZipInfo(name, FIXED_TIME)
    zi.compress_type = zipfile.ZIP_DEFLATED if compress else zipfile.ZIP_STORED
    return zi


def xlsx_bad(path, sheet_chunks, shared_chunks=None, with_sheet=True):
    """An .xlsx whose sheet (and shared strings) are written from chunks, so
    that a part of gigabytes is streamed through the compressor."""
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.writestr(info("[Content_Types].xml"), CONTENT_TYPES)
        z.writestr(info("_rels/.rels"), ROOT_RELS)
        z.writestr(info("xl/workbook.xml"), WORKBOOK)
        z.writestr(info("xl/_rels/workbook.xml.rels"), WORKBOOK_RELS)
        if shared_chunks is not None:
            with z.open(info("xl/sharedStrings.xml"), "w", force_zip64=True) as f:
                for chunk in shared_chunks:
                    f.write(chunk)
        if with_sheet:
            with z.open(info("xl/worksheets/sheet1.xml"), "w", force_zip64=True) as f:
                for chunk in sheet_chunks:
                    f.write(chunk)


def ods_bad(path, content_chunks, with_content=True):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.writestr(info("mimetype", compress=False), "application/vnd.oasis.opendocument.spreadsheet")
        z.writestr(info("META-INF/manifest.xml"), MANIFEST)
        if with_content:
            with z.open(info("content.xml"), "w", force_zip64=True) as f:
                for chunk in content_chunks:
                    f.write(chunk)


def b(s):
    return s.encode("utf-8")


def make_bad(out):
    names = []

    def done(name):
        names.append(name)
        return os.path.join(out, name)

    # Cut short: the first half of a good workbook.
    for ext in ("xlsx", "ods"):
        with open(os.path.join(out, f"bls_form_calc.{ext}"), "rb") as f:
            data = f.read()
        with open(done(f"bad_cut_short.{ext}"), "wb") as f:
            f.write(data[: len(data) // 2])
    # Not an archive: a CSV file under a workbook's name.
    for ext in ("xlsx", "ods"):
        with open(done(f"bad_not_archive.{ext}"), "wb") as f:
            f.write(b("Name;Kalorien;Eiweiß;Fett;Kohlenhydrate\nApfel;52;0,3;0,4;11,4\n"))
    # An archive without a sheet: the workbook names a sheet that is missing.
    xlsx_bad(done("bad_no_sheet.xlsx"), [], with_sheet=False)
    ods_bad(done("bad_no_sheet.ods"), [], with_content=False)
    # A sheet that is not XML.
    garbage = [b("Name;Kalorien\nApfel;52\n"), bytes(range(256)), b("<row><c><v>1</v></row></sheetData")]
    xlsx_bad(done("bad_sheet_not_xml.xlsx"), garbage)
    ods_bad(done("bad_sheet_not_xml.ods"), garbage)

    # A row of 100,000 non-empty cells after the header (no cell references,
    # which an .xlsx may leave out; column 100,000 is beyond any spreadsheet).
    def wide_xlsx():
        yield b(SHEET_HEAD + HEADER_ROW + '<row r="2"><c t="inlineStr"><is><t>Breit</t></is></c>')
        for i in range(1, 100000):
            yield b(f"<c><v>{i}</v></c>")
        yield b("</row>" + SHEET_TAIL)

    def wide_ods():
        yield b(CONTENT_HEAD + ODS_HEADER_ROW + '<table:table-row><table:table-cell '
                'office:value-type="string"><text:p>Breit</text:p></table:table-cell>')
        for i in range(1, 100000):
            yield b(f'<table:table-cell office:value-type="float" office:value="{i}"/>')
        yield b("</table:table-row>" + CONTENT_TAIL)

    xlsx_bad(done("bad_wide_row.xlsx"), wide_xlsx())
    ods_bad(done("bad_wide_row.ods"), wide_ods())

    # One cell of 100 MB (100 * 2**20 letters): as a shared string, as an
    # inline string, and in an .ods.
    size = 100 * 2 ** 20
    block = b"A" * 2 ** 20

    def huge(head, tail):
        yield b(head)
        for _ in range(size // len(block)):
            yield block
        yield b(tail)

    shared = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<sst xmlns='
              '"http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="5" uniqueCount="5">'
              + "".join(f"<si><t>{h}</t></si>" for h in OWN_HEADER[1:]) + "<si><t>")
    sheet = (SHEET_HEAD + '<row r="1"><c r="A1" t="inlineStr"><is><t>Name</t></is></c>'
             + "".join(f'<c r="{c}1" t="s"><v>{i}</v></c>' for i, c in enumerate("BCDE"))
             + '</row><row r="2"><c r="A2" t="s"><v>4</v></c><c r="B2"><v>52</v></c></row>' + SHEET_TAIL)
    xlsx_bad(done("bad_huge_cell.xlsx"), [b(sheet)], huge(shared, "</t></si></sst>"))
    xlsx_bad(done("bad_huge_cell_inline.xlsx"),
             huge(SHEET_HEAD + HEADER_ROW + '<row r="2"><c r="A2" t="inlineStr"><is><t>',
                  '</t></is></c><c r="B2"><v>52</v></c></row>' + SHEET_TAIL))
    ods_bad(done("bad_huge_cell.ods"),
            huge(CONTENT_HEAD + ODS_HEADER_ROW + '<table:table-row><table:table-cell '
                 'office:value-type="string"><text:p>',
                 '</text:p></table:table-cell><table:table-cell office:value-type="float" '
                 'office:value="52"/></table:table-row>' + CONTENT_TAIL))

    # A bomb: the sheet inflates to 4.5 GB (beyond 4 GiB, so zip64), about a
    # thousand times the archive: rows of a food, each followed by 1 MiB of
    # spaces between the elements (space between elements is allowed).
    total = 4_500_000_000
    pad = b" " * 2 ** 20

    def bomb(head, row, tail):
        yield b(head)
        n = len(head)
        while n < total:
            yield row
            yield pad
            n += len(row) + len(pad)
        yield b(tail)

    xlsx_bad(done("bad_bomb.xlsx"), bomb(SHEET_HEAD + HEADER_ROW, b(
        '<row><c t="inlineStr"><is><t>Apfel</t></is></c><c><v>52</v></c><c><v>0.3</v></c>'
        '<c><v>0.4</v></c><c><v>11.4</v></c></row>'), SHEET_TAIL))
    ods_bad(done("bad_bomb.ods"), bomb(CONTENT_HEAD + ODS_HEADER_ROW, b(
        '<table:table-row><table:table-cell office:value-type="string"><text:p>Apfel</text:p>'
        '</table:table-cell><table:table-cell office:value-type="float" office:value="52"/>'
        '</table:table-row>'), CONTENT_TAIL))
    return names


# ---------------------------------------------------------------- main

def make_bls(out, work, profile, foods, count, stem, calc_stem, calc_formats, gnumeric, csv_too):
    rows = bls_rows(foods, count)
    sheet = [HEADER] + [cells for cells, _ in rows]
    expected = [line for _, line in rows]
    src = os.path.join(work, "src", f"{stem}.xlsx")
    write_openpyxl(src, sheet, "BLS_4_0_Daten_2025_DE")
    made = []
    if count < len(foods):
        shutil.copy(src, os.path.join(out, "bls_form_openpyxl.xlsx"))
        made.append("bls_form_openpyxl.xlsx")
    for fmt, ext in calc_formats:
        soffice(src, fmt, work, profile)
        shutil.move(os.path.join(work, f"{stem}.{ext}"), os.path.join(out, f"{calc_stem}.{ext}"))
    if gnumeric:
        subprocess.run(["ssconvert", "-T", "Gnumeric_Excel:xlsx2", src,
                        os.path.join(out, "bls_form_gnumeric.xlsx")],
                       check=True, env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if csv_too:
        soffice(src, CSV_FILTER, work, profile)
        shutil.move(os.path.join(work, f"{stem}.csv"), os.path.join(out, "bls_form_calc.csv"))
    return sheet, expected


def main():
    bench = "--bench" in sys.argv
    foods = read_extract()
    work = tempfile.mkdtemp()
    profile = os.path.join(work, "profile")
    os.makedirs(os.path.join(work, "src"))
    out = HERE

    # The table's shape, 300 foods and the tricky rows.
    sheet, expected = make_bls(out, work, profile, foods, 300, "bls_form_src", "bls_form_calc",
                               [("xlsx:Calc MS Excel 2007 XML", "xlsx"), ("ods", "ods")],
                               gnumeric=True, csv_too=True)
    for name in ("bls_form_openpyxl.xlsx", "bls_form_calc.xlsx", "bls_form_gnumeric.xlsx"):
        compare(name, xlsx_first_sheet(os.path.join(out, name)), sheet)
        write_expected(os.path.join(out, name + ".expected.tsv"), expected)
    compare("bls_form_calc.ods", ods_first_sheet(os.path.join(out, "bls_form_calc.ods")), sheet)
    write_expected(os.path.join(out, "bls_form_calc.ods.expected.tsv"), expected)
    compare_csv(os.path.join(out, "bls_form_calc.csv"), sheet)
    write_expected(os.path.join(out, "bls_form_calc.csv.expected.tsv"), expected)

    # Our own sheet.
    src = os.path.join(work, "src", "eigene_tabelle.fods")
    with open(src, "w", encoding="utf-8") as f:
        f.write(own_fods())
    for fmt, ext in (("xlsx:Calc MS Excel 2007 XML", "xlsx"), ("ods", "ods")):
        soffice(src, fmt, work, profile)
        name = f"eigene_tabelle.{ext}"
        shutil.move(os.path.join(work, name), os.path.join(out, name))
        reader = xlsx_first_sheet if ext == "xlsx" else ods_first_sheet
        compare(name, reader(os.path.join(out, name)), own_sheet(), digits=15)
        write_expected(os.path.join(out, name + ".expected.tsv"), own_expected())
    # Calc stores at most 15 significant digits, so its =0.1+0.2 holds 0.3.
    # Gnumeric keeps a formula's stored result as it finds it (21 digits of
    # its long double): it saves again Calc's workbook with that one result
    # set to the double 0.1+0.2 gives, 0.30000000000000004.
    name = "eigene_tabelle_gnumeric.xlsx"
    src = os.path.join(work, "src", "eigene_tabelle_17.xlsx")
    with zipfile.ZipFile(os.path.join(out, "eigene_tabelle.xlsx")) as zin, \
            zipfile.ZipFile(src, "w", zipfile.ZIP_DEFLATED) as zout:
        for item in zin.infolist():
            data = zin.read(item)
            if item.filename == "xl/worksheets/sheet1.xml":
                old = b"<f aca=\"false\">0.1+0.2</f><v>0.3</v>"
                assert data.count(old) == 1
                data = data.replace(old, b"<f>0.1+0.2</f><v>0.30000000000000004</v>")
            zout.writestr(item, data)
    subprocess.run(["ssconvert", "-T", "Gnumeric_Excel:xlsx2", src, os.path.join(out, name)],
                   check=True, env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    compare(name, xlsx_first_sheet(os.path.join(out, name)), own_sheet())
    write_expected(os.path.join(out, name + ".expected.tsv"), own_expected())
    name = "eigene_tabelle_excel.xlsx"
    lines, cells = own_openpyxl(os.path.join(out, name))
    # openpyxl writes a number with 16 significant digits ("%.16g").
    compare(name, xlsx_first_sheet(os.path.join(out, name)), cells, digits=16)
    write_expected(os.path.join(out, name + ".expected.tsv"), lines)

    for name in make_bad(out):
        print(f"{name}: {os.path.getsize(os.path.join(out, name))} bytes")

    if bench:
        os.makedirs(BENCH, exist_ok=True)
        sheet, _ = make_bls(BENCH, work, profile, foods, len(foods), "bls_form_full_src",
                            "bls_form_full", [("xlsx:Calc MS Excel 2007 XML", "xlsx"), ("ods", "ods")],
                            gnumeric=False, csv_too=False)
        compare("bls_form_full.xlsx", xlsx_first_sheet(os.path.join(BENCH, "bls_form_full.xlsx")), sheet)
        compare("bls_form_full.ods", ods_first_sheet(os.path.join(BENCH, "bls_form_full.ods")), sheet)
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
