#include "app/command_guard.h"

#include "app/failure.h"

#include <QMessageBox>

void ShowErrorBox(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, ApplicationTitle.toString(), ErrorBoxText(message),
                    QMessageBox::Ok, parent);
    box.exec();
}

void ShowCalculationError()
{
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle.toString(),
                    QStringLiteral("Fehler beim Berechnen"), QMessageBox::Ok);
    box.exec();
}

void RunGuarded(QWidget *parent, const std::function<void()> &command)
{
    try {
        command();
    } catch (const Failure &failure) {
        ShowErrorBox(parent, failure.message());
    } catch (const std::exception &error) {
        ShowErrorBox(parent, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        // Not an ordinary error with a message: the box stays empty.
        ShowErrorBox(parent, QString());
    }
}
