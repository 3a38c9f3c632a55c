#pragma once

#include <QString>

#include <functional>

class QWidget;

inline constexpr QStringView ApplicationTitle = u"Menuvera 2";
// What the error box says when a command runs out of memory.
inline constexpr QStringView OutOfMemoryMessage = u"Nicht genügend Arbeitsspeicher";

// Runs one command. A failure that the command does not catch ends it where it
// stands and is shown in the error box (memory running out as
// OutOfMemoryMessage); nothing is thrown past this point, so no exception
// ever crosses a Qt frame.
void RunGuarded(QWidget *parent, const std::function<void()> &command);

// The error box: the message with a full stop appended, caption "Menuvera 2",
// error icon, one OK button.
void ShowErrorBox(QWidget *parent, const QString &message);

// "Fehler beim Berechnen": caption "Menuvera 2", no icon, OK alone, centred
// on the screen.
void ShowCalculationError();
