"""Starts the program, waits for the dialog "Lebensmittel öffnen" that it
shows by itself, and writes the folder the dialog starts in and the files it
lists there, one a line, to OUTPUT; then ends the program.

    open_dialog.py PROGRAM OUTPUT
"""

import subprocess
import sys

from desktop_user import (Failed, Program, find, name_of, need, program_environment,
                          start_accessibility_bus, table_column, wait_until)


def main():
    start_accessibility_bus()
    process = subprocess.Popen([sys.argv[1]], env=program_environment(),
                               stdout=subprocess.DEVNULL, stderr=sys.stderr)
    try:
        program = Program(process, "Menuvera 2")
        dialog = program.wait_window("dialog", r"^Lebensmittel öffnen$")
        files = need(dialog, "tree", "Dateien")
        wait_until("the files of the folder", lambda: find(files, "table cell"), 5.0)
        with open(sys.argv[2], "w") as output:
            print(name_of(need(dialog, "combo box")), file=output)
            for name in table_column(files):
                print(name, file=output)
    except Failed as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    finally:
        process.kill()
        process.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
