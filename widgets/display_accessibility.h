#pragma once

#include <QWidget>

class QLabel;

// Screen readers read a label object by its accessible name, and their review
// of the window reads a label's text where its characters lie on the screen,
// or its name where they lie nowhere. With this installed, every text label
// offers its shown text, with the place of each character, beside its name; a
// value display is named as below; and a label that is the buddy of another
// label is read with that label as its caption. A line between blocks is
// presented as a separator.
void InstallDisplayAccessibility();

// Makes a label a display of a value that screen readers name by its caption,
// the value it shows and the value's unit ("Gesamtkalorien 252,8 kcal"), as
// a sighted user reads the caption cell, the display and the unit cell.
void MakeValueDisplay(QLabel *display, const QString &caption, const QString &unit);

// Shows a new text in a display and tells screen readers of the change, of
// its text and of its name.
void SetDisplayText(QLabel *display, const QString &text);

// Tells screen readers a result that appears away from the keyboard focus,
// such as a calculator's result after its button was pressed: they present
// the notice as a notification. Invisible on the screen.
class Announcer final : public QWidget
{
    Q_OBJECT

public:
    explicit Announcer(QWidget *parent);

    QString message() const { return m_message; }
    void announce(const QString &message);

private:
    QString m_message;
};
