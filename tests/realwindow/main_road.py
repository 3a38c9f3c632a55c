"""The main road of the program as a user walks it, in a real window.

Opens the sample catalogue in the dialog that appears by itself, adds foods
with typed portions to two meals, removes one row, adds a food to the
catalogue and saves it, a second time under a name set through the
accessibility interface, prints the plan to a PDF file through the print
dialog, deletes a food and closes the window with its close box: the
question whether to save comes, "Abbrechen" keeps the program, the close box
again and "Nicht speichern" end it. Everything is read from outside
the program: the accessibility tree (totals, lists, dialogs), the saved
catalogue and the text of the PDF.

The keyboard road walks the day plan with the keyboard alone, without a
mouse click: open the catalogue, find a food by typing its name, Tab to the
add button, add a portion, read the totals, Tab to the meal list, select its
row with the arrow keys, remove it with the remove button, Shift+Tab back
round the controls; then compute a BMI and close the calculator with one
close request; last, find a food with "Suchen…" (Ctrl+F), select it in the
catalogue with Down and Enter, and add it from the search with "Hinzufügen". No window manager runs, so where one would give the main
window the keyboard after a dialog closes, the test does.

    main_road.py PROGRAM WORK_FOLDER [keyboard]
"""

import os
import subprocess
import sys
import time

from desktop_user import (Atspi, Failed, Program, children, click, close_request, descendants,
                          find, focus_window, focused, key, name_of, need, program_environment,
                          role_of, selected_rows, start_accessibility_bus, table_cell,
                          table_column, table_rows, text_of, ToldScreenReader, type_text, wait_until,
                          xdotool)

MAIN_TITLE = r"^Menuvera 2 – "
# The captions of the totals displays and the units that a screen reader
# names with their values.
TOTALS = {"Gesamtkalorien": "kcal", "Eiweiss": "Gramm", "Fett": "Gramm", "Kohlenhydrate": "Gramm",
          "Frühstück": "kcal", "Mittagessen": "kcal", "Nachmittag": "kcal", "Abendessen": "kcal"}
NEW_FOOD = ("Quarkspeise", "120", "8,5", "4,0", "12,5")


class MainRoad:
    def __init__(self, program, work):
        self.program_file = os.path.realpath(program)
        self.work = work
        self.started = time.monotonic()
        self.log = open(os.path.join(work, "program.log"), "w")
        self.told = ToldScreenReader()
        self.shown_totals = {name: "0,0" for name in TOTALS}
        self.process = subprocess.Popen([program], env=program_environment(), stdout=self.log,
                                        stderr=subprocess.STDOUT)
        self.app = Program(self.process, "Menuvera 2")
        self.main = self.app.wait_window("frame", MAIN_TITLE)

    def step(self, text):
        print(f"{time.monotonic() - self.started:5.1f} s  {text}", flush=True)

    def screenshot(self, name):
        subprocess.run(["import", "-window", "root", os.path.join(self.work, name)], check=False)

    def check_no_error_box(self):
        # Qt's message boxes are alerts to the accessibility tree.
        box = self.app.top_level("alert", r"^Menuvera 2$")
        if box is not None:
            texts = [text_of(node) for node in _labels(box)]
            raise Failed(f"an error box appeared: {texts}")

    def totals(self):
        """The values of the displays, each found by its name: caption, the
        value it shows and unit."""
        shown = {}
        for node in _labels(self.main):
            value = text_of(node)
            for caption, unit in TOTALS.items():
                if name_of(node) == f"{caption} {value} {unit}":
                    shown[caption] = value
        missing = set(TOTALS) - set(shown)
        if missing:
            raise Failed(f"totals displays not found: {sorted(missing)}")
        return shown

    def expect_totals(self, **expected):
        names = {"kcal": "Gesamtkalorien", "protein": "Eiweiss", "fat": "Fett",
                 "carbohydrate": "Kohlenhydrate", "breakfast": "Frühstück",
                 "lunch": "Mittagessen", "afternoon": "Nachmittag", "dinner": "Abendessen"}
        want = {names[key_name]: value for key_name, value in expected.items()}
        for name in TOTALS:
            want.setdefault(name, "0,0")

        def matches():
            shown = self.totals()
            return shown == want
        try:
            wait_until("the totals", matches, 3.0)
        except Failed:
            raise Failed(f"totals shown {self.totals()}, expected {want}") from None

        # Each display that changed told the screen reader its new value.
        changed = {(f"{caption} {value} {TOTALS[caption]}", value)
                   for caption, value in want.items() if self.shown_totals[caption] != value}
        try:
            wait_until("the displays' change events",
                       lambda: changed <= set(self.told.update().inserted), 3.0)
        except Failed:
            untold = sorted(changed - set(self.told.update().inserted))
            raise Failed(f"displays changed without telling the screen reader: {untold}") from None
        self.shown_totals = want

    def menu(self, title, entry):
        bar = need(self.main, "menu bar")
        click(need(bar, "menu item", title))
        menu_item = wait_until(f"menu entry '{entry}'",
                               lambda: _menu_entry(bar, title, entry), 5.0)
        click(menu_item)

    def select_food(self, name):
        """Clicks into the catalogue and types the food's name, which selects
        the first food of that name and scrolls it into sight."""
        catalogue = need(self.main, "table", "Lebensmittel")
        focus_window(MAIN_TITLE)
        click(table_cell(catalogue, 0, 0))
        type_text(name)

        def selected_name():
            rows = selected_rows(catalogue)
            return len(rows) == 1 and text_of(table_cell(catalogue, rows[0], 0)) == name
        wait_until(f"'{name}' selected in the catalogue", selected_name, 3.0)

    def add_portion(self, food, portion):
        self.select_food(food)
        click(need(self.main, "push button", "Zur Mahlzeit hinzufügen"))
        dialog = self.app.wait_window("dialog", r"^Menge$")
        if text_of(need(dialog, "text", "Name des Lebensmittels")) != food:
            raise Failed("the food-entry dialog shows another food")
        focus_window(r"^Menge$")
        field = need(dialog, "text", "Portion in Gramm")
        # From its second use on the dialog starts on the button last used,
        # so the user clicks into the field before typing.
        click(field)
        key("ctrl+a")
        type_text(portion)
        wait_until("the typed portion", lambda: text_of(field) == portion, 3.0)
        click(need(dialog, "push button", "OK"))
        self.app.wait_gone("dialog", r"^Menge$")
        self.check_no_error_box()

    def show_meal(self, meal):
        tabs = need(self.main, "page tab list")
        click(need(tabs, "page tab", meal))
        return wait_until(f"the meal list '{meal}'",
                          lambda: find(self.main, "table", meal), 3.0)

    def run(self):
        self.step("main window shown")
        opening = self.app.wait_window("dialog", r"^Lebensmittel öffnen$")
        self.step("open dialog appeared by itself")
        folder = name_of(need(opening, "combo box"))
        program_folder = os.path.dirname(self.program_file)
        if os.path.realpath(folder) != program_folder:
            raise Failed(f"the open dialog starts in {folder}, not in {program_folder}")
        files = need(opening, "tree", "Dateien")
        for shipped in ("Lebensmittel.lmk", "Bundeslebensmittelschlüssel 4.0.csv"):
            wait_until(f"{shipped} in the open dialog",
                       lambda: find(files, "table cell", shipped), 5.0)
        focus_window(r"^Lebensmittel öffnen$")
        click(need(opening, "text", "Dateiname:"))
        type_text("Lebensmittel.lmk")
        key("Return")
        self.app.wait_gone("dialog", r"^Lebensmittel öffnen$")
        self.check_no_error_box()

        catalogue = need(self.main, "table", "Lebensmittel")
        sample = _food_lines(os.path.join(program_folder, "Lebensmittel.lmk"))
        wait_until("the catalogue rows",
                   lambda: Atspi.Table.get_n_rows(catalogue) == len(sample), 5.0)
        names = table_column(catalogue)
        if names != [line.split(";")[0] for line in sample]:
            raise Failed("the catalogue does not show the sample's foods in its order")
        self.step(f"sample catalogue opened: {len(names)} foods")
        self.expect_totals()

        self.add_portion("Apfel", "200")
        self.expect_totals(kcal="104,0", protein="0,6", fat="0,8", carbohydrate="22,8",
                           breakfast="104,0")
        self.add_portion("Banane", "120")
        self.expect_totals(kcal="215,6", protein="1,9", fat="1,0", carbohydrate="46,8",
                           breakfast="215,6")
        breakfast = need(self.main, "table", "Frühstück")
        rows = table_rows(breakfast)
        if rows != [["Apfel", "200", "52", "0,3", "0,4", "11,4"],
                    ["Banane", "120", "93", "1,1", "0,2", "20,0"]]:
            raise Failed(f"breakfast shows {rows}")
        self.step("two portions added to Frühstück")

        afternoon = self.show_meal("Nachmittag")
        self.add_portion("Haferflocken", "40")
        rows = table_rows(afternoon)
        if rows != [["Haferflocken", "40", "372", "13,5", "7,0", "58,7"]]:
            raise Failed(f"Nachmittag shows {rows}")
        self.expect_totals(kcal="364,4", protein="7,3", fat="3,8", carbohydrate="70,3",
                           breakfast="215,6", afternoon="148,8")
        self.step("one portion added to Nachmittag")

        breakfast = self.show_meal("Frühstück")
        click(table_cell(breakfast, 1, 0))
        click(need(self.main, "push button", "Aus der Mahlzeit entfernen"))
        wait_until("the removed row", lambda: Atspi.Table.get_n_rows(breakfast) == 1, 3.0)
        if table_rows(breakfast) != [["Apfel", "200", "52", "0,3", "0,4", "11,4"]]:
            raise Failed(f"breakfast shows {table_rows(breakfast)} after the removal")
        self.expect_totals(kcal="252,8", protein="6,0", fat="3,6", carbohydrate="46,3",
                           breakfast="104,0", afternoon="148,8")
        self.step("Banane removed from Frühstück")
        self.screenshot("main_road_plan.png")

        self.menu("Lebensmittel", "Neu")
        dialog = self.app.wait_window("dialog", r"^Menge$")
        focus_window(r"^Menge$")
        fields = ("Name des Lebensmittels", "Kalorien je 100 Gramm",
                  "Eiweiss in Gramm je 100 Gramm", "Fett in Gramm je 100 Gramm",
                  "Kohlenhydrate in Gramm je 100 Gramm")
        for field_name, value in zip(fields, NEW_FOOD):
            field = need(dialog, "text", field_name)
            click(field)
            key("ctrl+a")
            type_text(value)
            wait_until(f"'{value}' in '{field_name}'", lambda: text_of(field) == value, 3.0)
        click(need(dialog, "push button", "OK"))
        self.app.wait_gone("dialog", r"^Menge$")
        wait_until("the new food", lambda: Atspi.Table.get_n_rows(catalogue) == len(sample) + 1,
                   3.0)
        names = table_column(catalogue)
        if NEW_FOOD[0] not in names:
            raise Failed("the new food is not in the catalogue")
        self.step("food added to the catalogue with 'Neu'")

        self.menu("Lebensmittel", "Speichern")
        saving = self.app.wait_window("dialog", r"^Lebensmittel speichern$")
        focus_window(r"^Lebensmittel speichern$")
        click(need(saving, "text", "Dateiname:"))
        type_text(os.path.join(self.work, "Katalog"))
        key("Return")
        self.app.wait_gone("dialog", r"^Lebensmittel speichern$")
        self.check_no_error_box()
        saved = os.path.join(self.work, "Katalog.lmk")
        wait_until("the saved catalogue", lambda: os.path.exists(saved), 3.0)
        self.check_saved(saved, sample, names)
        self.step("catalogue saved")
        self.save_with_name_set_from_outside(saved)

        self.menu("Ernährungsplan", "Drucken")
        printing = self.app.wait_window("dialog", r"^Drucken$", timeout=15.0)
        focus_window(r"^Drucken$")
        printer = name_of(need(printing, "combo box"))
        if "PDF" not in printer:
            raise Failed(f"the print dialog offers '{printer}', not printing to a PDF file")
        pdf = os.path.join(self.work, "Ernaehrungsplan.pdf")
        output = need(printing, "text", "Ausgabedatei:")
        click(output)
        key("ctrl+a")
        type_text(pdf)
        wait_until("the output file name", lambda: text_of(output) == pdf, 3.0)
        click(need(printing, "push button", "Drucken"))
        self.app.wait_gone("dialog", r"^Drucken$")
        self.check_no_error_box()
        wait_until("the PDF file", lambda: os.path.exists(pdf) and os.path.getsize(pdf) > 0, 5.0)
        self.check_printout(pdf)
        self.step("plan printed to a PDF file")

        self.close_changed_catalogue(saved, len(sample) + 1)

    def close_changed_catalogue(self, saved, rows):
        """A food deleted by keyboard, then the close box: the question comes,
        "Abbrechen" keeps program and catalogue, the close box again and
        "Nicht speichern" end the program without writing a file."""
        files = {path: open(path, "rb").read() for path in
                 (saved, os.path.join(os.path.dirname(self.program_file), "Lebensmittel.lmk"))}
        catalogue = need(self.main, "table", "Lebensmittel")
        # The list is scrolled to the food selected last: a click on its
        # calories (a click on its name would rename it) gives the list the
        # keyboard, and typing selects the food to delete.
        focus_window(MAIN_TITLE)
        click(table_cell(catalogue, selected_rows(catalogue)[0], 1))
        type_text("Banane")
        wait_until("'Banane' selected", lambda: [text_of(table_cell(catalogue, row, 0))
                                                 for row in selected_rows(catalogue)] == ["Banane"],
                   3.0)
        key("alt+l", "l")
        wait_until("the deleted food", lambda: Atspi.Table.get_n_rows(catalogue) == rows - 1, 3.0)
        for answer in ("Abbrechen", "Nicht speichern"):
            close_request(MAIN_TITLE)
            box = self.app.wait_window("alert", r"^Menuvera 2$")
            texts = [text_of(node) for node in _labels(box)]
            if "Die Lebensmittelliste wurde geändert. Sollen die Änderungen gespeichert " \
                    "werden?" not in texts:
                raise Failed(f"the close box asks {texts}")
            buttons = [name_of(node) for node in descendants(box) if role_of(node) == "push button"]
            if sorted(buttons) != ["Abbrechen", "Nicht speichern", "Speichern"]:
                raise Failed(f"the question offers {buttons}")
            self.screenshot(f"main_road_question_before_{answer.split()[0].lower()}.png")
            focus_window(r"^Menuvera 2$")
            click(need(box, "push button", answer))
            if answer == "Abbrechen":
                self.app.wait_gone("alert", r"^Menuvera 2$")
                if Atspi.Table.get_n_rows(catalogue) != rows - 1:
                    raise Failed("'Abbrechen' did not keep the catalogue")
                self.step("food deleted; the close box asks, 'Abbrechen' keeps program and catalogue")
        self.expect_ended()
        for path, data in files.items():
            with open(path, "rb") as file:
                if file.read() != data:
                    raise Failed(f"'Nicht speichern' changed {path}")
        self.step("asked again, 'Nicht speichern' ended the program; no file written")

    def save_with_name_set_from_outside(self, saved):
        """Voice control and some screen readers put a file name into the field
        through the accessibility interface, without the keyboard: after a
        click on the sample in the list, the dialog saves under the name set."""
        self.menu("Lebensmittel", "Speichern")
        saving = self.app.wait_window("dialog", r"^Lebensmittel speichern$")
        files = need(saving, "tree", "Dateien")
        sample = wait_until("Lebensmittel.lmk in the save dialog",
                            lambda: find(files, "table cell", "Lebensmittel.lmk"), 5.0)
        focus_window(r"^Lebensmittel speichern$")
        click(sample)
        field = need(saving, "text", "Dateiname:")
        wait_until("the clicked file's name", lambda: text_of(field) == "Lebensmittel.lmk", 3.0)
        named = os.path.join(self.work, "Gesprochen.lmk")
        Atspi.EditableText.set_text_contents(field, named)
        wait_until("the name set", lambda: text_of(field) == named, 3.0)
        click(need(saving, "push button", "Speichern"))
        self.app.wait_gone("dialog", r"^Lebensmittel speichern$")
        self.check_no_error_box()
        wait_until("the catalogue under the name set", lambda: os.path.exists(named), 3.0)
        with open(named, "rb") as again, open(saved, "rb") as first:
            if again.read() != first.read():
                raise Failed("the catalogue saved under the name set differs from the first")
        self.step("catalogue saved under a name set through the accessibility interface")

    def expect_ended(self):
        """The process ends, and without an error."""
        try:
            code = self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            raise Failed("the program is still running") from None
        if code != 0:
            raise Failed(f"the program ended with exit code {code}")
        self.step("program ended")

    def check_saved(self, saved, sample, shown_names):
        with open(saved, "rb") as file:
            data = file.read()
        if not data.startswith(b"Name;Kalorien;Eiweiss;Fett;Kohlenhydrate;\r\n"):
            raise Failed("the saved catalogue lacks its header line")
        if not data.endswith(b"\r\n") or data.count(b"\r\n") != data.count(b"\n"):
            raise Failed("the saved catalogue does not end every line with CR LF")
        lines = data.decode("cp1252").split("\r\n")[1:-1]
        new_line = ";".join(NEW_FOOD) + ";"
        if sorted(lines) != sorted(sample + [new_line]):
            raise Failed("the saved catalogue is not the sample with the new food")
        if [line.split(";")[0] for line in lines] != shown_names:
            raise Failed("the saved catalogue is not in the order the list shows")

    def check_printout(self, pdf):
        text = subprocess.run(["pdftotext", "-layout", pdf, "-"], check=True,
                              capture_output=True, text=True).stdout
        lines = [" ".join(line.split()) for line in text.splitlines() if line.strip()]
        expected = [
            "Ernährungsplan",
            "Frühstück Portion Kcal Eiweiss Kohlehyd. Fett",
            "Apfel 200 Gramm 104,0 0,6 gr 22,8 gr 0,8 gr",
            "Summe 104,0",
            "Nachmittag Portion Kcal Eiweiss Kohlehyd. Fett",
            "Haferflocken 40 Gramm 148,8 5,4 gr 23,5 gr 2,8 gr",
            "Summe 148,8",
            "Kcal Eiweiss Kohlehyd. Fett",
            "Gesamtsumme 252,8 6,0 gr 46,3 gr 3,6 gr",
            "Erstellt mit Menuvera 2 – nur für den privaten, nicht für den kommerziellen Gebrauch",
        ]
        if lines != expected:
            raise Failed("the printout reads\n  " + "\n  ".join(lines))
        info = subprocess.run(["pdfinfo", pdf], check=True, capture_output=True,
                              text=True).stdout
        fields = dict(line.split(":", 1) for line in info.splitlines() if ":" in line)
        fields = {name: value.strip() for name, value in fields.items()}
        if fields.get("Pages") != "1" or fields.get("Title") != "Menuvera Ernährungsplan":
            raise Failed(f"the printout is not the one-page job 'Menuvera Ernährungsplan':\n{info}")


class KeyboardRoad(MainRoad):
    ADD = "Zur Mahlzeit hinzufügen"
    REMOVE = "Aus der Mahlzeit entfernen"

    def give_main_window_the_keyboard(self):
        """What a window manager does when a dialog closes."""
        focus_window(MAIN_TITLE)

    def expect_focus(self, role, name, what):
        def probe():
            node = focused(self.main)
            return node is not None and role_of(node) == role and name_of(node) == name
        try:
            wait_until(f"the focus on {what}", probe, 3.0)
        except Failed:
            node = focused(self.main)
            shown = f"{role_of(node)} '{name_of(node)}'" if node is not None else "nothing"
            raise Failed(f"the focus is on {shown}, not on {what}") from None

    def press_for_fifty_grams(self):
        """Space on the focused button opens the portion dialog, which starts
        on OK: Return takes its 50 g."""
        key("space")
        self.app.wait_window("dialog", r"^Menge$")
        focus_window(r"^Menge$")
        key("Return")
        self.app.wait_gone("dialog", r"^Menge$")
        self.give_main_window_the_keyboard()

    def open_search(self):
        """Ctrl+F: the search dialog, its field with the keyboard."""
        key("ctrl+f")
        search = self.app.wait_window("dialog", r"^Lebensmittel suchen$")
        focus_window(r"^Lebensmittel suchen$")
        self.expect_dialog_focus(search, "text", "Suchbegriff")
        return search

    def expect_dialog_focus(self, dialog, role, name):
        def probe():
            node = focused(dialog)
            return node is not None and role_of(node) == role and name_of(node) == name
        wait_until(f"the focus on {role} '{name}' in the dialog", probe, 3.0)

    def walk(self, keys, stops):
        """Presses the key once per stop and expects the focus at each."""
        for role, name in stops:
            key(keys)
            self.expect_focus(role, name, f"{role} '{name}' after {keys}")

    def run(self):
        self.step("main window shown")
        self.app.wait_window("dialog", r"^Lebensmittel öffnen$")
        focus_window(r"^Lebensmittel öffnen$")
        type_text("Lebensmittel.lmk")
        key("Return")
        self.app.wait_gone("dialog", r"^Lebensmittel öffnen$")
        self.check_no_error_box()
        catalogue = need(self.main, "table", "Lebensmittel")
        wait_until("the catalogue rows", lambda: Atspi.Table.get_n_rows(catalogue) > 0, 5.0)
        self.give_main_window_the_keyboard()
        self.expect_focus("table", "Lebensmittel", "the catalogue after the start-up open")
        self.step("catalogue opened with the keyboard; the focus is on the catalogue")

        type_text("Banane")

        def banana_selected():
            rows = selected_rows(catalogue)
            return len(rows) == 1 and text_of(table_cell(catalogue, rows[0], 0)) == "Banane"
        wait_until("'Banane' selected by typing", banana_selected, 3.0)
        banana = selected_rows(catalogue)
        forwards = [("page tab list", "Frühstück"), ("table", "Frühstück"),
                    ("push button", self.ADD), ("push button", self.REMOVE),
                    ("table", "Lebensmittel")]
        self.walk("Tab", forwards[:3])
        key("space")
        dialog = self.app.wait_window("dialog", r"^Menge$")
        focus_window(r"^Menge$")
        portion = need(dialog, "text", "Portion in Gramm")
        key("ctrl+a")
        type_text("200")
        wait_until("the typed portion", lambda: text_of(portion) == "200", 3.0)
        key("Tab", "Return")
        self.app.wait_gone("dialog", r"^Menge$")
        self.check_no_error_box()
        self.give_main_window_the_keyboard()
        self.expect_focus("push button", self.ADD, "the add button after the dialog")
        self.expect_totals(kcal="186,0", protein="2,2", fat="0,4", carbohydrate="40,0",
                           breakfast="186,0")
        self.screenshot("keyboard_road_plan.png")
        self.step("portion added with the add button reached by Tab")

        # Again: the dialog now starts on OK, and Return takes its 50 g.
        self.press_for_fifty_grams()
        self.expect_totals(kcal="232,5", protein="2,8", fat="0,5", carbohydrate="50,0",
                           breakfast="232,5")
        self.step("a second portion with Space and Return")

        self.walk("Tab", forwards[3:] + forwards[:2])
        breakfast = need(self.main, "table", "Frühstück")
        told = len(self.told.update().focused)
        key("Down")
        wait_until("the first meal row selected by Down",
                   lambda: selected_rows(breakfast) == [0], 3.0)
        wait_until("the screen reader told of the row selected by Down",
                   lambda: ("table cell", "Banane") in self.told.update().focused[told:], 3.0)
        self.walk("Tab", forwards[2:4])
        told = len(self.told.update().focused)
        key("space")
        wait_until("the removed row", lambda: Atspi.Table.get_n_rows(breakfast) == 1, 3.0)
        self.expect_totals(kcal="46,5", protein="0,6", fat="0,1", carbohydrate="10,0",
                           breakfast="46,5")
        # The row that took the removed one's place is not where the user is.
        cells = [f for f in self.told.update().focused[told:] if f[0] == "table cell"]
        if cells:
            raise Failed(f"the screen reader was sent from the remove button to {cells}")
        if selected_rows(catalogue) != banana:
            raise Failed("tabbing moved the selection in the catalogue")
        self.step("meal row selected with Down and removed with the remove button")

        backwards = list(reversed(forwards[:4])) + [forwards[4], forwards[3]]
        self.walk("shift+Tab", backwards[1:])
        self.step("Shift+Tab walks the same order back")

        key("alt+t", "b")
        bmi = self.app.wait_window("dialog", r"^BMI Rechner$")
        focus_window(r"^BMI Rechner$")
        key("space")
        wait_until("the BMI result",
                   lambda: any(text_of(node) == "17,30" for node in _labels(bmi)), 3.0)
        # The focus stays on the button: the result is announced.
        wait_until("the BMI result announced",
                   lambda: "BMI 17,30" in self.told.update().announced, 3.0)
        close_request(r"^BMI Rechner$")
        self.app.wait_gone("dialog", r"^BMI Rechner$", timeout=3.0)
        self.give_main_window_the_keyboard()
        self.expect_focus("push button", self.REMOVE, "the remove button after the BMI window")
        self.step("BMI computed with Space, window closed by one close request")

        # The search: the umlaut spelt out finds the food; Down selects it
        # from the field and Enter selects it in the catalogue.
        self.open_search()
        type_text("huettenkaese")
        wait_until("the count announced", lambda: "1 Lebensmittel" in self.told.update().announced,
                   3.0)
        key("Down")
        wait_until("the food announced", lambda: "Hüttenkäse" in self.told.update().announced, 3.0)
        self.screenshot("keyboard_road_search.png")
        key("Return")
        self.app.wait_gone("dialog", r"^Lebensmittel suchen$")
        self.give_main_window_the_keyboard()
        self.expect_focus("table", "Lebensmittel", "the catalogue after the search")
        rows = selected_rows(catalogue)
        if len(rows) != 1 or text_of(table_cell(catalogue, rows[0], 0)) != "Hüttenkäse":
            raise Failed("the food found is not the one selected in the catalogue")
        self.step("food found by the search and selected in the catalogue")

        # Again, the text kept; Hinzufügen adds 50 g by the portion dialog.
        search = self.open_search()
        key("Tab")
        self.expect_dialog_focus(search, "table", "Gefundene Lebensmittel")
        key("Tab")
        self.expect_dialog_focus(search, "push button", "Hinzufügen")
        self.press_for_fifty_grams()
        self.expect_totals(kcal="95,5", protein="6,7", fat="2,3", carbohydrate="11,3",
                           breakfast="95,5")
        self.step("the found food added with Hinzufügen")

        key("alt+l", "p")
        self.expect_ended()


def _labels(root):
    return [node for node in descendants(root) if role_of(node) == "label"]


def _menu_entry(bar, title, entry):
    for menu in children(bar):
        if name_of(menu) != title:
            continue
        return find(menu, "menu item", entry)
    return None


def _food_lines(path):
    with open(path, "rb") as file:
        return file.read().decode("cp1252").split("\r\n")[1:-1]


def main():
    program, work = sys.argv[1], sys.argv[2]
    keyboard = sys.argv[3:] == ["keyboard"]
    start_accessibility_bus()
    road = (KeyboardRoad if keyboard else MainRoad)(program, work)
    try:
        road.run()
    except Failed as failure:
        road.screenshot(("keyboard" if keyboard else "main") + "_road_failure.png")
        print(f"FAILED: {failure}", flush=True)
        return 1
    finally:
        if road.process.poll() is None:
            road.process.kill()
            road.process.wait()
        xdotool("mousemove", "0", "0")
    return 0


if __name__ == "__main__":
    sys.exit(main())
