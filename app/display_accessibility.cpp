#include "app/display_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QTextDocument>

namespace {

// Takes the place of Qt's own interface for every label: that one is made,
// and kept, while the label is still being constructed, before a caller can
// give it an accessible name, so the choice cannot wait for the name.
class DisplayAccessible final : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit DisplayAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QAccessible::Role role() const override
    {
        return isPicture() ? QAccessible::Graphic : QAccessible::StaticText;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface && !isPicture())
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name && widget()->accessibleName().isEmpty())
            return shown();
        if (type == QAccessible::Value && !isPicture())
            return shown();
        return QAccessibleWidget::text(type);
    }

    QList<std::pair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        if (match & QAccessible::Labelled) {
            if (QWidget *buddy = label()->buddy())
                found.append({QAccessible::queryAccessibleInterface(buddy), QAccessible::Labelled});
        }
        return found;
    }

    // The text is read-only and has no caret or selection.
    void selection(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override
    {
        return shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(shown().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    const QLabel *label() const { return static_cast<const QLabel *>(object()); }
    bool isPicture() const { return !label()->pixmap().isNull(); }

    // The text as the user reads it: without markup, and without the
    // ampersand that marks the access key of a label with a buddy.
    QString shown() const
    {
        QString text = label()->text();
        const Qt::TextFormat format = label()->textFormat();
        if (format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text))) {
            QTextDocument document;
            document.setHtml(text);
            text = document.toPlainText();
        } else if (label()->buddy()) {
            text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
            text.remove(QLatin1Char('&'));
            text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
        }
        return text;
    }
};

QAccessibleInterface *displayFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QLabel") || !object || !object->isWidgetType())
        return nullptr;
    return new DisplayAccessible(static_cast<QLabel *>(object));
}

} // namespace

void InstallDisplayAccessibility()
{
    QAccessible::installFactory(displayFactory);
}
