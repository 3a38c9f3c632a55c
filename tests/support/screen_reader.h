#pragma once

// What a screen reader is told about a window, read through Qt's
// accessibility interfaces, which the platform's bridge hands on. The
// program's label interfaces must be installed (InstallDisplayAccessibility)
// before the windows are made.

#include <QAccessible>
#include <QStringList>
#include <QWidget>

// A text control as a screen reader's review of the window reads it: the
// caption that labels it, its text where that lies on the screen (a text
// without a place there is read by its name), and its description.
inline QString ReadAloud(QWidget *control)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
    if (!iface)
        return {};
    QStringList words;
    const auto captions = iface->relations(QAccessible::Label);
    if (!captions.isEmpty())
        words.append(captions.first().first->text(QAccessible::Name));
    QString shown = iface->text(QAccessible::Name);
    if (QAccessibleTextInterface *text = iface->textInterface()) {
        const QRect place(control->mapToGlobal(QPoint(0, 0)), control->size());
        const QRect first = text->characterRect(0);
        if (!first.isEmpty() && place.contains(first))
            shown = text->text(0, text->characterCount());
    }
    words.append(shown);
    if (const QString description = iface->text(QAccessible::Description); !description.isEmpty())
        words.append(description);
    return words.join(QLatin1Char(' '));
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
