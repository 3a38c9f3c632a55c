#pragma once

#include "widgets/fixed_dialog.h"

#include <QStringList>

class QGroupBox;
class QLabel;
class PieChart;

// The nutrient information window: a food's name, its energy per 100 g and a
// pie chart of how the energy of its protein, fat and carbohydrate divides.
// It has no logic of its own; ShowNutrientInfo fills and shows it. It has no
// buttons: the close box of the title bar closes it.
class TInfo final : public FixedDialog
{
    Q_OBJECT

public:
    explicit TInfo(QWidget *parent = nullptr);

    QLabel *Name() const { return m_name; }
    QLabel *KCAL() const { return m_kcal; }
    QGroupBox *GroupBox1() const { return m_groupBox1; }
    PieChart *C1() const { return m_c1; }

private:
    QLabel *m_name = nullptr;
    QLabel *m_kcal = nullptr;
    QGroupBox *m_groupBox1 = nullptr;
    PieChart *m_c1 = nullptr;
};

// Fills the window for one catalogue food (name, kcal, protein, fat and
// carbohydrate texts, in catalogue column order) and shows it modally until
// the user closes it. A calculation that fails shows "Fehler beim Berechnen"
// first, and the window then opens with an empty chart.
void ShowNutrientInfo(TInfo &info, const QStringList &food);
