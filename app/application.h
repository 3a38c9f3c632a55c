#pragma once

#include "catalogue/instruction_module.h"

#include <QApplication>

#include <memory>

class TMain;
class TMenge;
class TInfo;
class TUeber;
class TKalorienrechner;
class TBMI;
class TSuchen;

// The application: its title, German translations of Qt's own dialogs and
// buttons, font substitutions for the faces the windows ask for, the regional
// decimal separator. An exception that escapes an event handler is shown in
// the error box and ends the program.
class TApplication final : public QApplication
{
    Q_OBJECT

public:
    TApplication(int &argc, char **argv);
    ~TApplication() override;

    bool notify(QObject *receiver, QEvent *event) override;
};

// The program-wide objects, created once in this order and kept until the
// program ends.
class TApplicationWindows
{
public:
    TApplicationWindows();
    ~TApplicationWindows();

    TMain *Main = nullptr;
    TMenge *Menge = nullptr;
    TInstructionModule *InstructionModule = nullptr;
    TInfo *Info = nullptr;
    TUeber *Ueber = nullptr;
    TKalorienrechner *Kalorienrechner = nullptr;
    TBMI *BMI = nullptr;
    TSuchen *Suchen = nullptr;

private:
    std::unique_ptr<TMain> m_main;
    std::unique_ptr<TInstructionModule> m_instructionModule;
};

// Creates the windows, shows the main window and runs the event loop.
int RunMenuvera(TApplication &application);
