#include "app/application.h"

#include "app/application_icon.h"
#include "app/main_window.h"
#include "catalogue/menge_dialog.h"
#include "catalogue/suchen_dialog.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "tools/bmi_dialog.h"
#include "tools/info_dialog.h"
#include "tools/kalorienrechner_dialog.h"
#include "tools/ueber_dialog.h"
#include "widgets/command_guard.h"
#include "widgets/display_accessibility.h"
#include "widgets/text_list_view.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

void installGermanTranslations(QApplication &application)
{
    auto *translator = new QTranslator(&application);
    if (translator->load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

void installFontSubstitutions()
{
    // The windows are laid out for these faces; where they are missing, a
    // face of the same metrics keeps every text inside its control.
    const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                              QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
    QFont::insertSubstitutions(QStringLiteral("Arial"), sans);
}

} // namespace

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(ApplicationTitle.toString());
    setApplicationVersion(QStringLiteral("2.0"));
    setWindowIcon(ApplicationIcon());
    InstallDisplayAccessibility();
    installGermanTranslations(*this);
    installFontSubstitutions();
    ReadDecimalSeparator();
}

TApplication::~TApplication() = default;

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // Commands guard themselves; whatever still escapes ends the program
        // after the error box, since the state it left is unknown.
        RunGuarded(nullptr, [] { throw; });
        exit(1);
        return false;
    }
}

TApplicationWindows::TApplicationWindows()
{
    m_main = std::make_unique<TMain>();
    Main = m_main.get();
    Menge = new TMenge(Main);
    m_instructionModule = std::make_unique<TInstructionModule>();
    InstructionModule = m_instructionModule.get();
    Info = new TInfo(Main);
    Ueber = new TUeber(Main);
    Kalorienrechner = new TKalorienrechner(Main);
    BMI = new TBMI(Main);
    Suchen = new TSuchen(Main->LM()->textModel(), Main);
    Main->setDialogs({Menge, Info, Ueber, Kalorienrechner, BMI, Suchen});
}

TApplicationWindows::~TApplicationWindows() = default;

int RunMenuvera(TApplication &application)
{
    std::unique_ptr<TApplicationWindows> windows;
    try {
        windows = std::make_unique<TApplicationWindows>();
    } catch (...) {
        RunGuarded(nullptr, [] { throw; });
        return 1;
    }
    windows->Main->show();
    return application.exec();
}
