#!/usr/bin/env python3
"""Writes the sample food catalogue resources/sample/Lebensmittel.lmk.

The values are per 100 g of the edible part, rounded as common nutrient
tables print them: energy in whole kcal, protein, fat and carbohydrate (without
fibre) in grams with one decimal. The file has the form the program writes:
Windows-1252, CR LF after every line, the header line, then one food per line
with five fields each ended by ";", in the order the program's lists sort
their names (German collation, umlauts beside their base letters).

Run from anywhere: python3 scripts/make_sample_catalogue.py
"""

import pathlib
import sys

# Name, kcal, protein, fat, carbohydrate per 100 g.
FOODS = [
    # Fruit and juices
    ("Ananas", 55, 0.5, 0.2, 12.4),
    ("Apfel", 52, 0.3, 0.4, 11.4),
    ("Apfelmus", 76, 0.2, 0.1, 18.0),
    ("Apfelsaft", 46, 0.1, 0.1, 11.1),
    ("Apfelschorle", 24, 0.1, 0.1, 5.5),
    ("Aprikose", 43, 0.9, 0.1, 8.5),
    ("Avocado", 217, 1.9, 23.5, 0.4),
    ("Banane", 93, 1.1, 0.2, 20.0),
    ("Birne", 55, 0.5, 0.3, 12.4),
    ("Brombeeren", 44, 1.2, 1.0, 6.2),
    ("Datteln, getrocknet", 285, 2.0, 0.5, 65.0),
    ("Erdbeeren", 32, 0.8, 0.4, 5.5),
    ("Feigen, getrocknet", 250, 3.5, 1.3, 55.0),
    ("Granatapfel", 74, 0.7, 0.6, 16.7),
    ("Grapefruit", 38, 0.6, 0.2, 7.4),
    ("Heidelbeeren", 42, 0.6, 0.6, 7.4),
    ("Himbeeren", 34, 1.3, 0.3, 4.8),
    ("Honigmelone", 54, 0.9, 0.1, 12.4),
    ("Johannisbeeren, rot", 33, 1.1, 0.2, 4.8),
    ("Kirschen, süß", 63, 0.9, 0.3, 13.3),
    ("Kiwi", 51, 1.0, 0.6, 9.1),
    ("Mandarine", 46, 0.7, 0.3, 10.1),
    ("Mango", 62, 0.6, 0.5, 12.8),
    ("Multivitaminsaft", 50, 0.4, 0.1, 11.5),
    ("Nektarine", 48, 0.9, 0.1, 10.6),
    ("Orange", 42, 1.0, 0.2, 8.3),
    ("Orangensaft", 43, 0.7, 0.2, 9.0),
    ("Papaya", 32, 0.5, 0.1, 7.1),
    ("Pfirsich", 41, 0.8, 0.1, 8.9),
    ("Pflaumen", 47, 0.6, 0.2, 10.2),
    ("Rosinen", 299, 2.5, 0.6, 68.0),
    ("Stachelbeeren", 37, 0.8, 0.2, 7.1),
    ("Wassermelone", 37, 0.6, 0.2, 8.3),
    ("Weintrauben", 70, 0.7, 0.3, 15.6),
    # Vegetables, potatoes and mushrooms
    ("Aubergine", 17, 1.2, 0.2, 2.5),
    ("Blumenkohl", 23, 2.5, 0.3, 2.3),
    ("Bohnen, grün", 32, 2.4, 0.2, 5.1),
    ("Bratkartoffeln", 140, 2.5, 6.0, 18.5),
    ("Brokkoli", 34, 3.8, 0.2, 2.7),
    ("Champignons", 16, 2.9, 0.3, 0.6),
    ("Chinakohl", 13, 1.2, 0.3, 1.2),
    ("Eisbergsalat", 14, 1.0, 0.2, 1.6),
    ("Erbsen, grün", 82, 6.6, 0.5, 12.3),
    ("Feldsalat", 17, 1.8, 0.4, 0.7),
    ("Fenchel", 24, 2.4, 0.3, 2.8),
    ("Grünkohl", 37, 4.3, 0.9, 2.5),
    ("Gurke", 12, 0.6, 0.2, 1.8),
    ("Ingwer", 80, 1.8, 0.8, 15.8),
    ("Kartoffelchips", 535, 5.5, 35.0, 49.0),
    ("Kartoffelklöße", 95, 2.3, 0.3, 20.5),
    ("Kartoffeln, gekocht", 71, 1.9, 0.1, 15.3),
    ("Kartoffelpüree", 82, 2.0, 3.5, 10.5),
    ("Kartoffelsalat", 140, 2.0, 9.0, 12.5),
    ("Knoblauch", 141, 6.1, 0.1, 28.4),
    ("Kohlrabi", 24, 1.9, 0.1, 3.7),
    ("Kopfsalat", 13, 1.2, 0.2, 1.6),
    ("Kürbis", 25, 1.1, 0.1, 4.6),
    ("Lauch", 26, 2.2, 0.3, 3.3),
    ("Mais, Konserve", 74, 2.9, 1.2, 12.6),
    ("Mangold", 22, 2.1, 0.3, 2.9),
    ("Möhre", 36, 1.0, 0.2, 6.9),
    ("Oliven, grün", 145, 1.4, 13.9, 1.8),
    ("Paprika, grün", 20, 1.2, 0.3, 2.9),
    ("Paprika, rot", 37, 1.0, 0.5, 6.4),
    ("Pastinake", 60, 1.3, 0.4, 12.0),
    ("Pfifferlinge", 15, 1.6, 0.5, 0.2),
    ("Pommes frites", 290, 4.0, 14.5, 35.0),
    ("Radieschen", 15, 1.1, 0.1, 2.1),
    ("Rosenkohl", 43, 4.5, 0.3, 3.3),
    ("Rote Bete", 43, 1.5, 0.1, 8.4),
    ("Rotkohl", 22, 1.5, 0.2, 3.5),
    ("Rucola", 25, 2.6, 0.7, 2.1),
    ("Sauerkraut", 20, 1.5, 0.3, 2.7),
    ("Sellerie", 19, 1.6, 0.3, 2.3),
    ("Spargel", 18, 1.9, 0.1, 2.0),
    ("Spinat", 23, 2.9, 0.4, 1.4),
    ("Süßkartoffel", 86, 1.6, 0.1, 20.1),
    ("Tomate", 18, 1.0, 0.2, 2.9),
    ("Tomatensaft", 17, 0.8, 0.1, 3.2),
    ("Weißkohl", 25, 1.4, 0.2, 4.2),
    ("Wirsing", 26, 2.9, 0.4, 2.4),
    ("Zucchini", 19, 1.6, 0.4, 2.1),
    ("Zwiebel", 28, 1.2, 0.3, 4.9),
    # Pulses, nuts and seeds
    ("Cashewkerne", 580, 17.2, 42.2, 30.5),
    ("Erdnussbutter", 612, 25.0, 50.0, 13.0),
    ("Erdnüsse, geröstet", 598, 25.6, 49.4, 9.4),
    ("Haselnüsse", 644, 12.0, 61.6, 10.5),
    ("Hummus", 177, 7.9, 9.6, 14.3),
    ("Kichererbsen, getrocknet", 309, 19.0, 5.9, 44.3),
    ("Kidneybohnen, Konserve", 90, 6.6, 0.5, 12.9),
    ("Kürbiskerne", 590, 35.0, 49.0, 4.7),
    ("Linsen, getrocknet", 274, 23.5, 1.5, 40.6),
    ("Mandeln", 589, 19.0, 54.1, 5.7),
    ("Pistazien", 581, 17.6, 51.6, 11.6),
    ("Sesam", 598, 17.7, 50.4, 10.2),
    ("Sojadrink", 33, 3.0, 1.8, 0.5),
    ("Sonnenblumenkerne", 584, 22.5, 49.0, 12.3),
    ("Tofu", 121, 12.5, 7.3, 1.1),
    ("Walnüsse", 666, 14.4, 62.5, 10.6),
    ("Weiße Bohnen, getrocknet", 259, 21.3, 1.6, 40.1),
    # Bread, cereals, pasta and rice
    ("Brötchen", 252, 8.5, 1.9, 48.6),
    ("Bulgur", 350, 12.3, 1.3, 69.0),
    ("Cornflakes", 357, 7.0, 0.9, 80.0),
    ("Couscous", 360, 12.8, 0.6, 74.0),
    ("Croissant", 420, 8.2, 23.0, 43.0),
    ("Dinkelmehl Type 630", 344, 12.0, 1.8, 69.0),
    ("Grießbrei", 100, 3.8, 3.0, 14.0),
    ("Haferflocken", 372, 13.5, 7.0, 58.7),
    ("Hartweizengrieß", 335, 11.5, 0.8, 69.0),
    ("Hirse", 355, 10.6, 3.9, 69.0),
    ("Knäckebrot", 320, 9.4, 1.4, 66.0),
    ("Laugenbrezel", 224, 7.1, 1.5, 45.0),
    ("Müsli", 363, 9.8, 6.0, 64.0),
    ("Müsliriegel", 410, 6.0, 14.0, 64.0),
    ("Nudeln, gekocht", 146, 5.0, 0.6, 29.5),
    ("Pfannkuchen", 200, 7.0, 8.5, 24.0),
    ("Pumpernickel", 181, 5.6, 1.0, 35.0),
    ("Quinoa", 368, 14.1, 6.1, 64.2),
    ("Reis, gekocht", 123, 2.4, 0.2, 27.4),
    ("Reis, roh", 349, 6.8, 0.6, 77.7),
    ("Roggenmischbrot", 213, 6.4, 1.1, 43.1),
    ("Salzstangen", 350, 10.0, 1.5, 73.0),
    ("Spaghetti, roh", 359, 12.5, 1.2, 72.0),
    ("Spätzle, gekocht", 150, 5.5, 2.0, 27.5),
    ("Toastbrot", 260, 8.2, 3.9, 47.0),
    ("Vollkornbrot", 200, 7.3, 1.2, 38.3),
    ("Vollkornbrötchen", 223, 9.3, 2.2, 40.0),
    ("Vollkornnudeln, roh", 342, 14.0, 2.5, 62.0),
    ("Vollkornreis, roh", 350, 7.5, 2.2, 72.0),
    ("Weißbrot", 247, 8.2, 1.6, 48.0),
    ("Weizenmehl Type 405", 348, 9.8, 1.0, 72.3),
    ("Zwieback", 387, 10.0, 6.0, 73.0),
    # Milk, dairy and eggs
    ("Bergkäse", 405, 28.8, 31.5, 0.0),
    ("Buttermilch", 36, 3.5, 0.5, 4.0),
    ("Camembert", 297, 21.0, 23.5, 0.1),
    ("Crème fraîche", 292, 2.4, 30.0, 2.6),
    ("Edamer", 351, 26.0, 27.0, 0.0),
    ("Eigelb", 353, 16.1, 31.9, 0.3),
    ("Eiklar", 48, 11.1, 0.2, 0.7),
    ("Emmentaler", 383, 28.7, 29.7, 0.0),
    ("Feta", 236, 17.0, 18.0, 0.7),
    ("Frischkäse, Doppelrahmstufe", 275, 5.5, 27.0, 2.6),
    ("Gouda", 356, 24.9, 28.0, 0.0),
    ("Hühnerei", 156, 12.9, 11.2, 0.7),
    ("Hüttenkäse", 98, 12.3, 4.3, 2.6),
    ("Joghurt", 61, 3.3, 3.5, 4.0),
    ("Joghurt, fettarm", 46, 3.4, 1.5, 4.1),
    ("Joghurt, griechisch", 122, 4.0, 10.0, 4.0),
    ("Kakao mit Milch", 79, 3.4, 3.3, 9.0),
    ("Magerquark", 67, 12.0, 0.3, 4.0),
    ("Milch, fettarm", 47, 3.4, 1.5, 4.9),
    ("Mozzarella", 255, 19.0, 19.8, 0.0),
    ("Parmesan", 392, 35.6, 25.8, 0.0),
    ("Quark, halbfett", 109, 11.1, 5.1, 3.3),
    ("Rührei", 153, 10.5, 11.5, 1.6),
    ("Saure Sahne", 115, 3.1, 10.0, 3.6),
    ("Schlagsahne", 309, 2.4, 31.7, 3.4),
    ("Schmand", 240, 2.6, 24.0, 3.6),
    ("Schmelzkäse", 285, 14.0, 23.5, 4.0),
    ("Spiegelei", 198, 13.6, 15.4, 0.8),
    ("Vollmilch", 64, 3.3, 3.5, 4.8),
    # Meat, sausage and fish
    ("Bratwurst", 283, 13.5, 25.0, 0.5),
    ("Fischstäbchen", 206, 12.6, 9.7, 17.0),
    ("Forelle", 103, 19.5, 2.7, 0.0),
    ("Frikadelle", 232, 14.5, 15.5, 8.5),
    ("Garnelen", 87, 18.6, 1.4, 0.0),
    ("Hackfleisch, gemischt", 263, 19.0, 20.5, 0.0),
    ("Hähnchenbrust", 102, 23.1, 0.9, 0.0),
    ("Hähnchenschenkel", 172, 18.0, 11.0, 0.0),
    ("Hering", 233, 18.2, 17.8, 0.0),
    ("Kabeljau", 77, 17.7, 0.6, 0.0),
    ("Kalbsschnitzel", 104, 21.3, 1.8, 0.0),
    ("Kochschinken", 128, 20.9, 4.6, 0.9),
    ("Lachs", 202, 19.9, 13.6, 0.0),
    ("Lachsschinken", 129, 22.0, 4.0, 0.5),
    ("Lammkotelett", 222, 17.0, 17.0, 0.0),
    ("Leberkäse", 297, 12.4, 27.0, 0.5),
    ("Leberwurst", 326, 12.4, 30.0, 1.5),
    ("Makrele", 202, 18.7, 13.9, 0.0),
    ("Mortadella", 345, 12.4, 32.8, 0.3),
    ("Ölsardinen", 222, 24.0, 14.0, 0.0),
    ("Putenbrust", 107, 24.1, 1.0, 0.0),
    ("Rinderfilet", 121, 21.2, 4.0, 0.0),
    ("Rinderhackfleisch", 212, 20.0, 14.5, 0.0),
    ("Salami", 421, 20.0, 37.0, 0.5),
    ("Schweinebauch", 261, 17.8, 21.1, 0.0),
    ("Schweinefilet", 106, 21.5, 2.0, 0.0),
    ("Schweinekotelett", 152, 21.0, 7.5, 0.0),
    ("Seelachs", 81, 18.3, 0.9, 0.0),
    ("Speck, durchwachsen", 621, 9.1, 65.0, 0.0),
    ("Thunfisch im eigenen Saft", 109, 25.5, 0.8, 0.0),
    ("Weißwurst", 287, 11.0, 27.0, 0.5),
    ("Wiener Würstchen", 258, 14.0, 22.0, 0.6),
    # Fats, sauces, sweets and snacks
    ("Apfelkuchen", 222, 2.8, 10.0, 30.0),
    ("Berliner", 352, 6.0, 15.0, 48.0),
    ("Butter", 741, 0.7, 83.2, 0.6),
    ("Butterkekse", 441, 7.5, 12.0, 75.0),
    ("Gummibärchen", 343, 6.9, 0.2, 77.0),
    ("Honig", 306, 0.4, 0.0, 75.1),
    ("Käsekuchen", 240, 8.0, 11.0, 27.0),
    ("Ketchup", 112, 1.2, 0.2, 25.0),
    ("Konfitüre", 250, 0.4, 0.1, 60.0),
    ("Margarine", 722, 0.2, 80.0, 0.4),
    ("Marmorkuchen", 405, 5.5, 20.0, 50.0),
    ("Mayonnaise", 683, 1.1, 75.0, 3.0),
    ("Nuss-Nougat-Creme", 540, 6.0, 31.0, 57.0),
    ("Olivenöl", 899, 0.0, 99.9, 0.0),
    ("Rapsöl", 899, 0.0, 99.9, 0.0),
    ("Senf, mittelscharf", 82, 5.6, 4.2, 5.3),
    ("Sonnenblumenöl", 899, 0.0, 99.9, 0.0),
    ("Tomatensoße", 45, 1.6, 1.8, 5.5),
    ("Vanilleeis", 207, 3.9, 11.0, 23.0),
    ("Vollmilchschokolade", 536, 8.1, 31.5, 54.0),
    ("Zartbitterschokolade", 540, 7.9, 34.0, 45.0),
    ("Zucker", 400, 0.0, 0.0, 99.8),
    # Prepared dishes
    ("Currywurst", 272, 10.0, 22.0, 8.0),
    ("Erbsensuppe", 70, 4.5, 1.6, 9.0),
    ("Falafel", 333, 13.3, 17.8, 31.8),
    ("Gemüsesuppe", 30, 1.2, 0.8, 4.3),
    ("Hühnersuppe", 40, 3.0, 1.5, 3.5),
    ("Käsespätzle", 230, 10.5, 11.5, 20.5),
    ("Lasagne", 135, 7.5, 6.5, 11.5),
    ("Linseneintopf", 90, 5.5, 2.5, 10.5),
    ("Nudelsalat", 210, 4.5, 14.0, 16.0),
    ("Pesto Genovese", 495, 5.0, 50.0, 6.0),
    ("Pizza Margherita", 240, 10.0, 8.5, 31.0),
    ("Rindergulasch", 122, 15.0, 6.0, 2.5),
    ("Sauerbraten", 142, 21.0, 5.5, 2.5),
    ("Spaghetti Bolognese", 132, 6.5, 4.5, 16.0),
    ("Wiener Schnitzel", 220, 18.0, 11.0, 11.0),
    # Drinks
    ("Cola", 42, 0.0, 0.0, 10.6),
    ("Kaffee, schwarz", 2, 0.2, 0.0, 0.3),
    ("Limonade", 40, 0.0, 0.0, 10.0),
    ("Mineralwasser", 0, 0.0, 0.0, 0.0),
    ("Tee, ungesüßt", 1, 0.0, 0.0, 0.2),
]

HEADER = "Name;Kalorien;Eiweiss;Fett;Kohlenhydrate;"
FIELD_LENGTH_LIMIT = 50

# Energy factors for protein, fat and carbohydrate; fibre, organic acids and
# rounding account for the rest, so a food may differ by the tolerance.
FACTORS = (4.1, 9.3, 4.1)


def energy_within_tolerance(kcal, protein, fat, carbohydrate):
    computed = FACTORS[0] * protein + FACTORS[1] * fat + FACTORS[2] * carbohydrate
    return abs(kcal - computed) <= 8 + 0.15 * max(kcal, computed)


# The program sorts names with the German collation of its lists: letters
# compare by their base letter first (ä as a, ß as ss), then by accents,
# then lower case before upper case; blanks and punctuation come before
# digits and letters. These keys follow that order for the characters the
# table uses.
PUNCTUATION = " -,"
BASE = {"ä": "a", "ö": "o", "ü": "u", "é": "e", "è": "e", "î": "i", "ß": "ss"}


def collation_key(name):
    primary, secondary, tertiary = [], [], []
    for c in name:
        lower = c.lower()
        base = BASE.get(lower, lower)
        # ß differs from ss only in the third level, like a case difference.
        accent = 0 if base == lower or lower == "ß" else 1
        case = 1 if c != lower or lower == "ß" else 0
        for b in base:
            if b in PUNCTUATION:
                primary.append(PUNCTUATION.index(b))
            elif b.isdigit():
                primary.append(10 + int(b))
            elif "a" <= b <= "z":
                primary.append(100 + ord(b) - ord("a"))
            else:
                raise ValueError(f"no collation weight for {c!r} in {name!r}")
            secondary.append(accent)
            tertiary.append(case)
    return (primary, secondary, tertiary)


def number_text(value, decimals):
    return f"{value:.{decimals}f}".replace(".", ",")


def main():
    out = pathlib.Path(__file__).resolve().parent.parent / "resources/sample/Lebensmittel.lmk"
    names = [food[0] for food in FOODS]
    if len(set(names)) != len(names):
        sys.exit("duplicate names in the table")
    lines = [HEADER]
    for name, kcal, protein, fat, carbohydrate in sorted(FOODS, key=lambda f: collation_key(f[0])):
        if not energy_within_tolerance(kcal, protein, fat, carbohydrate):
            sys.exit(f"{name}: {kcal} kcal does not fit its nutrients")
        if protein + fat + carbohydrate > 100:
            sys.exit(f"{name}: more than 100 g of nutrients")
        fields = [name, str(kcal)] + [number_text(v, 1) for v in (protein, fat, carbohydrate)]
        for field in fields:
            if ";" in field or len(field) > FIELD_LENGTH_LIMIT:
                sys.exit(f"{name}: field {field!r} would not read back")
        lines.append("".join(field + ";" for field in fields))
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_bytes("".join(line + "\r\n" for line in lines).encode("cp1252"))
    print(f"{out}: {len(FOODS)} foods")


if __name__ == "__main__":
    main()
