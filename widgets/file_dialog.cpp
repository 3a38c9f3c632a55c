#include "widgets/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>

void FollowNameField(QFileDialog *dialog)
{
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    // The names of Qt's own widgets of the dialog; its detail view shares the
    // list's selection.
    auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    auto *list = dialog->findChild<QListView *>(QStringLiteral("listView"));
    Q_ASSERT(nameField && list);
    if (!nameField || !list)
        return;
    QObject::connect(
        nameField, &QLineEdit::textChanged, dialog, [dialog, list](const QString &name) {
            // A row stays selected only where the field names its file, as after
            // a click on it; without a selection the dialog takes the field's name.
            const QString named = QDir::cleanPath(dialog->directory().absoluteFilePath(name));
            const QString withSuffix = named + QLatin1Char('.') + dialog->defaultSuffix();
            QItemSelectionModel *selection = list->selectionModel();
            for (const QModelIndex &row : selection->selectedRows()) {
                const QString path = row.data(QFileSystemModel::FilePathRole).toString();
                if (path != named && path != withSuffix)
                    selection->select(row,
                                      QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
            }
        });
}
