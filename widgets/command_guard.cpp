#include "widgets/command_guard.h"

#include "core/failure.h"

#include <QMessageBox>

#include <new>

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
    } catch (const std::bad_alloc &) {
        // By now the command has let go of what it held, so the box can
        // still be shown; the text of the exception is no help to the user.
        ShowErrorBox(parent, OutOfMemoryMessage.toString());
    } catch (const std::exception &error) {
        ShowErrorBox(parent, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        // Not an ordinary error with a message: the box stays empty.
        ShowErrorBox(parent, QString());
    }
}
