#include "widgets/display_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFrame>
#include <QLabel>
#include <QStyle>
#include <QTextDocument>

#include <algorithm>

namespace {

const char CaptionProperty[] = "displayCaption";
const char UnitProperty[] = "displayUnit";

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
        if (type == QAccessible::Name) {
            const QString caption = label()->property(CaptionProperty).toString();
            if (!caption.isEmpty()) {
                return caption + QLatin1Char(' ') + shown() + QLatin1Char(' ') +
                       label()->property(UnitProperty).toString();
            }
            if (widget()->accessibleName().isEmpty())
                return shown();
        }
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

    // A screen reader's review of the window reads a text only where its
    // characters lie on the screen; without places it reads the name.
    QRect characterRect(int offset) const override
    {
        const QRect area = characterArea(offset);
        if (area.isNull())
            return {};
        return {label()->mapToGlobal(area.topLeft()), area.size()};
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const int count = characterCount();
        for (int offset = 0; offset < count; ++offset) {
            if (characterRect(offset).contains(point))
                return offset;
        }
        return -1;
    }
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
    bool isRichText() const
    {
        const Qt::TextFormat format = label()->textFormat();
        return format == Qt::RichText ||
               (format == Qt::AutoText && Qt::mightBeRichText(label()->text()));
    }

    // Where the label lays out its text: its contents less margin and indent.
    QRect textArea() const
    {
        const QLabel *l = label();
        const int margin = l->margin();
        QRect area = l->contentsRect().adjusted(margin, margin, -margin, -margin);
        const Qt::Alignment align = QStyle::visualAlignment(l->layoutDirection(), l->alignment());
        int indent = l->indent();
        if (indent < 0 && l->frameWidth() > 0)
            indent = l->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin;
        if (indent > 0) {
            if (align & Qt::AlignLeft)
                area.setLeft(area.left() + indent);
            if (align & Qt::AlignRight)
                area.setRight(area.right() - indent);
            if (align & Qt::AlignTop)
                area.setTop(area.top() + indent);
            if (align & Qt::AlignBottom)
                area.setBottom(area.bottom() - indent);
        }
        return area;
    }

    // The character's place in the label as it is painted. A rich or wrapped
    // text is not measured: each of its characters gets the whole text area.
    QRect characterArea(int offset) const
    {
        const QString text = shown();
        if (offset < 0 || offset >= text.size())
            return {};
        const QLabel *l = label();
        const QRect area = textArea();
        if (l->wordWrap() || isRichText())
            return area;
        const QFontMetrics metrics = l->fontMetrics();
        const Qt::Alignment align = QStyle::visualAlignment(l->layoutDirection(), l->alignment());
        const QRect block =
            l->style()->itemTextRect(metrics, area, int(align), l->isEnabled(), text);

        const qsizetype lineStart = text.lastIndexOf(QLatin1Char('\n'), offset - 1) + 1;
        qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), offset);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QString line = text.mid(lineStart, lineEnd - lineStart);
        const int lineWidth = metrics.horizontalAdvance(line);
        int left = block.left();
        if (align & Qt::AlignRight)
            left = block.right() + 1 - lineWidth;
        else if (align & Qt::AlignHCenter)
            left = block.left() + (block.width() - lineWidth) / 2;
        const int before = metrics.horizontalAdvance(line.left(offset - lineStart));
        const int through = metrics.horizontalAdvance(line.left(offset - lineStart + 1));
        const int lineIndex = int(text.left(offset).count(QLatin1Char('\n')));
        return {left + before, block.top() + lineIndex * metrics.lineSpacing(),
                std::max(through - before, 1), metrics.height()};
    }

    // The text as the user reads it: without markup, and without the
    // ampersand that marks the access key of a label with a buddy.
    QString shown() const
    {
        QString text = label()->text();
        if (isRichText()) {
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

// A notification: screen readers present it when it is shown, by its name.
class AnnouncerAccessible final : public QAccessibleWidget
{
public:
    explicit AnnouncerAccessible(Announcer *announcer)
        : QAccessibleWidget(announcer, QAccessible::Notification)
    {}

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name)
            return static_cast<const Announcer *>(object())->message();
        return QAccessibleWidget::text(type);
    }
};

// A plain frame as Qt presents it, a border, unless it is a line between
// blocks: a review of the window read those as empty frames ("Rahmen").
// Decided when asked, since the shape is set after the frame is made.
class FrameAccessible final : public QAccessibleWidget
{
public:
    explicit FrameAccessible(QFrame *frame) : QAccessibleWidget(frame, QAccessible::Border) {}

    QAccessible::Role role() const override
    {
        const QFrame::Shape shape = static_cast<const QFrame *>(object())->frameShape();
        return shape == QFrame::HLine || shape == QFrame::VLine ? QAccessible::Separator
                                                                : QAccessible::Border;
    }
};

QAccessibleInterface *displayFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("QLabel"))
        return new DisplayAccessible(static_cast<QLabel *>(object));
    if (className == QLatin1String("Announcer"))
        return new AnnouncerAccessible(static_cast<Announcer *>(object));
    if (className == QLatin1String("QFrame"))
        return new FrameAccessible(static_cast<QFrame *>(object));
    return nullptr;
}

} // namespace

void InstallDisplayAccessibility()
{
    QAccessible::installFactory(displayFactory);
}

void MakeValueDisplay(QLabel *display, const QString &caption, const QString &unit)
{
    display->setProperty(CaptionProperty, caption);
    display->setProperty(UnitProperty, unit);
}

void SetDisplayText(QLabel *display, const QString &text)
{
    const QString previous = display->text();
    if (previous == text)
        return;
    // Qt tells of the new name of a label without an accessible name of its
    // own, but not of its new text.
    display->setText(text);
    QAccessibleTextUpdateEvent event(display, 0, previous, text);
    QAccessible::updateAccessibility(&event);
}

Announcer::Announcer(QWidget *parent) : QWidget(parent)
{
    hide();
}

void Announcer::announce(const QString &message)
{
    m_message = message;
    // The new name first: screen readers keep the names they have read.
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
