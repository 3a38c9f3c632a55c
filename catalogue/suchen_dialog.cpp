#include "catalogue/suchen_dialog.h"

#include "core/food_columns.h"
#include "core/name_search_model.h"
#include "widgets/display_accessibility.h"
#include "widgets/text_list_view.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

namespace {

constexpr int ClientWidth = 425;
constexpr int ClientHeight = 380;

QString countText(int count)
{
    // The catalogue's foods are counted in German, whatever the regional
    // settings ("7.140 Lebensmittel").
    return QLocale(QLocale::German, QLocale::Germany).toString(count) +
           QStringLiteral(" Lebensmittel");
}

} // namespace

TSuchen::TSuchen(TextTableModel *catalogue, QWidget *parent)
    : FixedDialog(QStringLiteral("Lebensmittel suchen"), QSize(ClientWidth, ClientHeight), parent)
{
    m_search = new NameSearchModel(catalogue, this);

    auto *caption = new QLabel(QStringLiteral("Suchbegriff:"), this);
    caption->setGeometry(8, 8, 70, 21);
    m_field = new QLineEdit(this);
    m_field->setGeometry(80, 8, ClientWidth - 88, 21);
    m_field->setAccessibleName(QStringLiteral("Suchbegriff"));
    caption->setBuddy(m_field);
    m_field->installEventFilter(this);
    connect(m_field, &QLineEdit::textEdited, this, &TSuchen::search);

    m_list = new TextListView(m_search, ToList(FoodColumnWidths), this);
    m_list->setGeometry(8, 37, ClientWidth - 16, ClientHeight - 37 - 42);
    m_list->setAccessibleName(QStringLiteral("Gefundene Lebensmittel"));
    m_list->installEventFilter(this);
    connect(m_list, &TextListView::listDoubleClicked, this, [this] {
        if (m_list->selectedRow() >= 0)
            choose(Auswahl);
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TSuchen::announceSelected);

    m_count = new QLabel(countText(0), this);
    m_count->setGeometry(8, ClientHeight - 33, 180, 25);

    m_add = new QPushButton(QStringLiteral("Hinzufügen"), this);
    m_add->setGeometry(ClientWidth - 8 - 2 * 90 - 6, ClientHeight - 33, 90, 25);
    m_add->setAutoDefault(false);
    connect(m_add, &QPushButton::clicked, this, [this] { choose(Hinzufuegen); });
    m_close = new QPushButton(QStringLiteral("Schließen"), this);
    m_close->setGeometry(ClientWidth - 8 - 90, ClientHeight - 33, 90, 25);
    m_close->setAutoDefault(false);
    connect(m_close, &QPushButton::clicked, this, [this] { done(Schliessen); });

    m_announcer = new Announcer(this);

    setTabOrder(m_field, m_list);
    setTabOrder(m_list, m_add);
    setTabOrder(m_add, m_close);
}

TSuchen::~TSuchen() = default;

void TSuchen::showEvent(QShowEvent *event)
{
    m_chosenRow = -1;
    // The catalogue may have changed since the last search.
    search();
    m_field->selectAll();
    m_field->setFocus(Qt::OtherFocusReason);
    FixedDialog::showEvent(event);
}

void TSuchen::search()
{
    m_search->search(m_field->text());
    const QString count = countText(m_search->rowCount());
    if (count == m_count->text())
        return;
    m_count->setText(count);
    m_announcer->announce(count);
}

void TSuchen::announceSelected()
{
    // In the list itself the reader follows the current row on its own.
    const int row = m_list->selectedRow();
    if (row >= 0 && !m_list->hasFocus())
        m_announcer->announce(m_search->data(m_search->index(row, FoodName)).toString());
}

void TSuchen::choose(int result)
{
    int match = m_list->selectedRow();
    if (match < 0)
        match = 0;
    const int row = m_search->catalogueRow(match);
    if (row < 0)
        return;
    m_chosenRow = row;
    done(result);
}

void TSuchen::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        done(Schliessen);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (focusWidget() == m_field || focusWidget() == m_list) {
            choose(Auswahl);
            return;
        }
        break;
    default:
        break;
    }
    FixedDialog::keyPressEvent(event);
}

bool TSuchen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return FixedDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_field) {
        // The field hands the keys that move in a list to the list.
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_list, event);
            return true;
        default:
            break;
        }
    } else if (watched == m_list && !key->text().isEmpty() && key->text().at(0).isPrint() &&
               !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // Letters typed in the list go on into the search.
        m_field->setFocus(Qt::OtherFocusReason);
        QCoreApplication::sendEvent(m_field, event);
        return true;
    }
    return FixedDialog::eventFilter(watched, event);
}
