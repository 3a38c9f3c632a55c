#pragma once

// What a screen reader is told about a window, read through Qt's
// accessibility interfaces, which the platform's bridge hands on. The
// program's label interfaces must be installed (InstallDisplayAccessibility)
// before the windows are made.

#include <QAccessible>
#include <QStringList>
#include <QWidget>

// A label as a screen reader reads the object: the caption that labels it,
// its name, and its description where the name does not already say it.
inline QString ReadAloud(QWidget *control)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
    if (!iface)
        return {};
    QStringList words;
    const auto captions = iface->relations(QAccessible::Label);
    if (!captions.isEmpty())
        words.append(captions.first().first->text(QAccessible::Name));
    const QString name = iface->text(QAccessible::Name);
    words.append(name);
    const QString description = iface->text(QAccessible::Description);
    if (!description.isEmpty() && !name.contains(description))
        words.append(description);
    return words.join(QLatin1Char(' '));
}

// The text that a screen reader's review of the window reads in the place of
// the control: its text, where its characters lie on the control on the
// screen; without such places the review reads the name instead, and this
// gives the empty text.
inline QString ShownText(QWidget *control)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
    QAccessibleTextInterface *text = iface ? iface->textInterface() : nullptr;
    if (!text || text->characterCount() == 0)
        return {};
    const QRect place(control->mapToGlobal(QPoint(0, 0)), control->size());
    for (int offset = 0; offset < text->characterCount(); ++offset) {
        const QRect character = text->characterRect(offset);
        if (character.isEmpty() || !place.contains(character))
            return {};
    }
    return text->text(0, text->characterCount());
}

// The notification that the window holds for screen readers, which they
// speak when it is shown: the last result announced, or empty.
inline QString Announced(QWidget *window)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(window);
    for (int i = 0; iface && i < iface->childCount(); ++i) {
        QAccessibleInterface *child = iface->child(i);
        if (child && child->role() == QAccessible::Notification)
            return child->text(QAccessible::Name);
    }
    return {};
}
