"""The day-plan road walked with the keyboard alone while the screen reader
Orca listens; prints what Orca says, step by step.

Runs inside a D-Bus session of its own on an X display with nothing else on
it (see screen_reader.sh): starts the accessibility bus, the window manager
(without one Orca says nothing), Orca with the silent speech server and the
program, then presses keys with xdotool. Every "SPEECH OUTPUT" line of Orca's
debug log is what a user would hear. Ends with the verdict: the totals and
the calculators' results must have been heard as values, and the search's
count and each food the selection moved to.

    road.py PROGRAM PREFS_FOLDER WORK_FOLDER
"""

import os
import re
import subprocess
import sys
import time

SPEECH = re.compile(r" - SPEECH OUTPUT: '(.*?)'(?: voice=\w+)?\s*[\[{]", re.S)

# What the road must let the user hear: a portion of 120 g of "Banane"
# (93 kcal, 1,1 g protein, 0,2 g fat, 20,0 g carbohydrate per 100 g), the
# BMI of 170 cm at 50 kg and at 70 kg, and the calorie calculator's total of
# its start values.
HEARD_TOTALS = ("Gesamtkalorien 111,6 kcal", "Eiweiss 1,3 gr", "Fett 0,2 gr",
                "Kohlenhydrate 24,0 gr", "Frühstück 111,6 kcal")
HEARD_RESULTS = ("BMI 17,30", "BMI 24,22", "Gesamt 292 kcal")
# The search "kase" in the sample catalogue: its count, then the foods that
# Down, Down and Up move to from the field, best match first ("Käsekuchen"
# and "Käsespätzle" begin with it; "Bergkäse", "Hüttenkäse" and the others
# only hold it).
SEARCH_QUERY = "kase"
HEARD_SEARCH_COUNT = "7 Lebensmittel"
HEARD_SEARCH_MOVES = (("Down", "Käsekuchen"), ("Down", "Käsespätzle"), ("Up", "Käsekuchen"))


class Orca:
    """Orca's debug log, read as the list of what it said."""

    def __init__(self, log):
        self.log = log

    def said(self):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as file:
                text = file.read()
        except FileNotFoundError:
            return []
        return [match.group(1) for match in SPEECH.finditer(text)]


class Road:
    def __init__(self, program, prefs, work):
        self.program = program
        self.prefs = prefs
        self.work = work
        self.orca = Orca(os.path.join(work, "orca.log"))
        self.transcript = []
        self.processes = []
        # How much of what Orca said the transcript holds: speech that comes
        # between two steps goes to the next one.
        self.written = 0
        # What the search steps should have let the user hear and did not.
        self.search_missing = []

    def start(self, command, log_name, environment=None):
        log = open(os.path.join(self.work, log_name), "w")
        process = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT,
                                   env=environment or dict(os.environ))
        self.processes.append(process)
        return process

    def stop_all(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def wait_speech(self, start, expect=None, timeout=6.0, quiet=0.8):
        """Waits until Orca has said what `expect` matches (when given) and
        then stays quiet for `quiet` seconds; gives what it said."""
        end = time.monotonic() + timeout
        heard = []
        last_change = time.monotonic()
        found = expect is None
        while time.monotonic() < end:
            now = self.orca.said()[start:]
            if len(now) != len(heard):
                heard = now
                last_change = time.monotonic()
            if not found and any(re.search(expect, said) for said in heard):
                found = True
            if found and time.monotonic() - last_change >= quiet:
                break
            time.sleep(0.1)
        return heard

    def step(self, title, *actions, expect=None, timeout=6.0):
        """Does the actions (("key", NAME) or ("type", TEXT)), waits for
        Orca, and writes the step and what Orca said to the transcript."""
        start = self.written
        for kind, what in actions:
            if kind == "key":
                subprocess.run(["xdotool", "key", "--delay", "120", what], check=False)
            else:
                subprocess.run(["xdotool", "type", "--delay", "120", what], check=False)
        heard = self.wait_speech(start, expect, timeout)
        self.written = start + len(heard)
        self.transcript.append(f"--- {title}")
        self.transcript.extend(f"SPEECH OUTPUT: '{said}'" for said in heard)
        print("\n".join(self.transcript[-1 - len(heard):]), flush=True)
        return heard

    def run(self):
        subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus", "--print-reply",
                        "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                       check=True, capture_output=True)
        self.start(["openbox"], "openbox.log")
        time.sleep(1.0)
        german = dict(os.environ, LANG="de_DE.UTF-8", LC_ALL="de_DE.UTF-8")
        self.start(["orca", "--user-prefs", self.prefs,
                    "--debug-file", self.orca.log], "orca.out", german)
        self.step("Orca starts", expect=r"Bildschirmleser an|Screen reader on", timeout=30)

        program = dict(german, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                       QT_ACCESSIBILITY="1")
        self.start([self.program], "program.log", program)
        self.step("the program starts and asks for a food list file", expect=r"Dateiname",
                  timeout=20)
        self.step("type the file name", ("type", "Lebensmittel.lmk"))
        self.step("Return: open it", ("key", "Return"), expect=r"Tabelle mit \d+ Zeilen",
                  timeout=8)

        self.step("Down", ("key", "Down"))
        self.step("Down", ("key", "Down"))
        self.step("Up", ("key", "Up"))
        self.step("type ahead: Banane", ("type", "Banane"))
        for _ in range(5):
            heard = self.step("Tab", ("key", "Tab"))
            if any("Zur Mahlzeit hinzufügen" in said for said in heard):
                break
        self.step("Space: add a portion", ("key", "space"), expect=r"Menge")
        self.step("type the portion: 120", ("type", "120"))
        self.step("Tab", ("key", "Tab"), expect=r"OK")
        self.step("Space: OK", ("key", "space"), expect=r"Druckknopf|Tabelle", timeout=8)

        # Orca takes seconds to lay out the window's lines when the review
        # starts: it walks every cell of the catalogue that is on the screen.
        self.step("flat review: current line (KP 8)", ("key", "KP_Up"), expect=r"\S",
                  timeout=30)
        self.step("flat review: top of the window (Insert+KP 7)", ("key", "Insert+KP_Home"),
                  expect=r"\S", timeout=10)
        for _ in range(8):
            heard = self.step("flat review: next line (KP 9)", ("key", "KP_Page_Up"),
                              expect=r"\S", timeout=10)
            if any(said.startswith("Gesamtkalorien") for said in heard):
                self.step("flat review: next word (KP 6)", ("key", "KP_Right"), expect=r"\S",
                          timeout=10)
                self.step("flat review: the object under review (Insert+KP 5)",
                          ("key", "Insert+KP_Begin"), expect=r"\S", timeout=10)
            if any(said.startswith("Kohlenhydrate") for said in heard):
                break

        self.step("Alt+T: menu Tools", ("key", "alt+t"), expect=r"BMI Rechner")
        self.step("B: BMI Rechner", ("key", "b"), expect=r"Berechnen")
        self.step("Space: Berechnen", ("key", "space"), expect=r"BMI \d")
        self.step("Tab: weight", ("key", "Tab"), expect=r"Gewicht")
        self.step("type the weight: 70", ("type", "70"))
        self.step("Shift+Tab: back to the button", ("key", "shift+Tab"), expect=r"Berechnen")
        self.step("Space: Berechnen", ("key", "space"), expect=r"BMI 24")
        self.step("flat review: current line (KP 8)", ("key", "KP_Up"), expect=r"\S",
                  timeout=10)
        self.step("flat review: line above (KP 7)", ("key", "KP_Home"), expect=r"\S",
                  timeout=10)
        self.step("close the BMI calculator (Alt+F4 to the window manager)", ("key", "alt+F4"),
                  expect=r"Menuvera 2")

        self.step("Alt+T: menu Tools", ("key", "alt+t"), expect=r"BMI Rechner")
        self.step("K: Kalorienrechner", ("key", "k"), expect=r"Gesamt")
        for _ in range(5):
            heard = self.step("Tab", ("key", "Tab"))
            if any("Kalorien berechnen" in said for said in heard):
                break
        self.step("Space: Kalorien berechnen", ("key", "space"), expect=r"Gesamt \d")
        self.step("close the calorie calculator (Alt+F4)", ("key", "alt+F4"),
                  expect=r"Menuvera 2")

        # The search: the count must come with the typing, and each move
        # from the field must be heard as the food it moved to in its own step.
        self.step("Ctrl+F: Lebensmittel suchen", ("key", "ctrl+f"), expect=r"Suchbegriff")
        heard = self.step(f"type the query: {SEARCH_QUERY}", ("type", SEARCH_QUERY),
                          expect=re.escape(HEARD_SEARCH_COUNT))
        if not any(HEARD_SEARCH_COUNT in said for said in heard):
            self.search_missing.append(HEARD_SEARCH_COUNT)
        for key, food in HEARD_SEARCH_MOVES:
            heard = self.step(key, ("key", key), expect=re.escape(food))
            if not any(food in said for said in heard):
                self.search_missing.append(f"{key}: {food}")
        # Back in the catalogue, the food chosen is the row the keyboard is on.
        chosen = HEARD_SEARCH_MOVES[-1][1]
        heard = self.step("Return: choose it, back in the catalogue", ("key", "Return"),
                          expect=re.escape(chosen))
        if not any(chosen in said for said in heard):
            self.search_missing.append(f"Return: {chosen}")

    def verdict(self):
        said = [line for line in self.transcript if line.startswith("SPEECH OUTPUT")]
        totals = [text for text in HEARD_TOTALS if not any(text in line for line in said)]
        results = [text for text in HEARD_RESULTS if not any(text in line for line in said)]
        print("---")
        print("totals heard as values:", "yes" if not totals else f"no, missing {totals}")
        print("calculator results heard as values:",
              "yes" if not results else f"no, missing {results}")
        print("search count and foods heard:",
              "yes" if not self.search_missing else f"no, missing {self.search_missing}")
        return not totals and not results and not self.search_missing


def main():
    program, prefs, work = sys.argv[1:4]
    road = Road(os.path.realpath(program), prefs, work)
    try:
        road.run()
    finally:
        road.stop_all()
        with open(os.path.join(work, "transcript.txt"), "w", encoding="utf-8") as file:
            file.write("\n".join(road.transcript) + "\n")
    return 0 if road.verdict() else 1


if __name__ == "__main__":
    sys.exit(main())
