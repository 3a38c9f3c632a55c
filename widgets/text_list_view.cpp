#include "widgets/text_list_view.h"

#include "core/text_table_model.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

TextListView::TextListView(QAbstractItemModel *model, const QList<int> &columnWidths,
                           QWidget *parent)
    : QTableView(parent), m_model(qobject_cast<TextTableModel *>(model))
{
    setModel(model);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(SelectedClicked);
    // Tab moves the focus on to the next control; it never walks the cells.
    setTabKeyNavigation(false);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(false);
    for (int column = 0; column < columnWidths.size(); ++column)
        setColumnWidth(column, columnWidths[column]);

    // Removing the selected row leaves no row selected: the view would
    // otherwise select its neighbour, and a second click on the remove
    // button would remove that one too.
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (!m_selectedRowRemoved)
            return;
        m_selectedRowRemoved = false;
        selectionModel()->clear();
    });

    // A rename or a new food can move the selected row far away, out of
    // sight: the list follows it, when it was in sight before.
    const auto noteSelectedRow = [this] { m_followSelectedRow = selectedRowInSight(); };
    const auto followSelectedRow = [this] {
        const int row = selectedRow();
        if (std::exchange(m_followSelectedRow, false) && row >= 0)
            scrollTo(this->model()->index(row, 0));
    };
    connect(model, &QAbstractItemModel::rowsAboutToBeMoved, this, noteSelectedRow);
    connect(model, &QAbstractItemModel::rowsMoved, this, followSelectedRow);
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, noteSelectedRow);
    connect(model, &QAbstractItemModel::layoutChanged, this, followSelectedRow);
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, noteSelectedRow);
    connect(model, &QAbstractItemModel::rowsInserted, this, followSelectedRow);

    // The user selects a food and then clicks an arrow button: the selection
    // must stay visible while the list has lost the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
}

int TextListView::selectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

bool TextListView::selectedRowInSight() const
{
    const int row = selectedRow();
    return row >= 0 && visualRect(model()->index(row, 0)).intersects(viewport()->rect());
}

void TextListView::keyboardSearch(const QString &search)
{
    if (!m_model) {
        QTableView::keyboardSearch(search);
        return;
    }
    const int count = m_model->rowCount();
    if (count == 0)
        return;
    // A new search starts after the selected row, so that typing the letter
    // of the selected food again goes on to the next one. With nothing
    // selected it starts at the first row: the cursor Qt puts there when the
    // list gets the keyboard is not a row the user chose.
    const QModelIndex current = selectedRow() >= 0 ? currentIndex() : QModelIndex();
    bool skipRow = false;
    const bool typing = m_typingTime.isValid();
    const qint64 elapsed = typing ? m_typingTime.restart() : 0;
    if (!typing)
        m_typingTime.start();
    if (search.isEmpty() || !typing || elapsed > QApplication::keyboardInputInterval()) {
        m_typed = search;
        skipRow = current.isValid();
    } else {
        m_typed += search;
    }
    // The same letter again and again steps on as well.
    if (m_typed.size() > 1 && m_typed.count(m_typed.back()) == m_typed.size())
        skipRow = true;
    int start = current.isValid() ? current.row() : 0;
    if (skipRow)
        start = start + 1 < count ? start + 1 : 0;
    const int found = m_model->findNamePrefix(m_typed, start);
    if (found >= 0)
        setCurrentIndex(m_model->index(found, current.isValid() ? current.column() : 0));
}

void TextListView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    const int selected = selectedRow();
    m_selectedRowRemoved = selected >= start && selected <= end;
    QTableView::rowsAboutToBeRemoved(parent, start, end);
}

void TextListView::keyPressEvent(QKeyEvent *event)
{
    // With no row selected, Down or Up selects the row under the cursor, the
    // first one when the list has just got the focus, instead of moving past it.
    const bool upOrDown = event->key() == Qt::Key_Down || event->key() == Qt::Key_Up;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (upOrDown && plain && selectedRow() < 0 && model()->rowCount() > 0) {
        const QModelIndex current = currentIndex();
        // Made current anew, so that a screen reader hears the row even when
        // the cursor stood on it already.
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        selectRow(current.isValid() ? current.row() : 0);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QModelIndex TextListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // Home and End go to the first and last row, with or without Ctrl, as in
    // any report list; a table's End goes to the last column instead and
    // scrolls the names out of sight.
    const int rows = model()->rowCount();
    if ((cursorAction == MoveHome || cursorAction == MoveEnd) && rows > 0) {
        const QModelIndex current = currentIndex();
        return model()->index(cursorAction == MoveHome ? 0 : rows - 1,
                              current.isValid() ? current.column() : 0);
    }
    return QTableView::moveCursor(cursorAction, modifiers);
}

void TextListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // The table view tells screen readers that its new current cell has the
    // focus even when the list has none (a row removed by the button), and
    // the reader would follow it away from the control the user is on.
    if (hasFocus())
        QTableView::currentChanged(current, previous);
    else
        QAbstractItemView::currentChanged(current, previous);
}

void TextListView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    // A row chosen while the list had no focus (a food found by the search)
    // is told once the list has it, after Qt has told of the table itself
    // (which it does after this handler): the reader then names the row the
    // keyboard stands on, not only the table.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const QModelIndex current = currentIndex();
            if (hasFocus() && current.isValid())
                QTableView::currentChanged(current, current);
        },
        Qt::QueuedConnection);
}

void TextListView::mousePressEvent(QMouseEvent *event)
{
    // A click beside every row takes the selection away, as in any report list.
    if (!indexAt(event->position().toPoint()).isValid())
        clearSelection();
    QTableView::mousePressEvent(event);
}

void TextListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT listDoubleClicked();
}
