#pragma once

#include "widgets/fixed_dialog.h"

#include <QStringList>

#include <array>

class QLineEdit;
class QPushButton;

// The food-entry dialog. It has no logic beyond its two buttons: the caller
// prepares the fields and the height, shows it, and on result 1 ("OK") reads
// the texts back. The texts stay as the last use left them.
class TMenge final : public FixedDialog
{
    Q_OBJECT

public:
    enum Field
    {
        Name,
        KCAL,
        EW,
        FT,
        KH,
        GR
    };
    // The results of exec().
    static constexpr int Ok = 1;
    static constexpr int Abbruch = -1;
    // Outer heights of the two modes; the catalogue mode hides the portion row.
    static constexpr int CatalogueEditHeight = 195;
    static constexpr int PortionHeight = 235;

    explicit TMenge(QWidget *parent = nullptr);
    ~TMenge() override;

    QString text(Field field) const;
    void setText(Field field, const QString &text);
    void setFieldEnabled(Field field, bool enabled);
    // The height including a standard dialog frame; the buttons keep their
    // distance from the bottom edge.
    void setOuterHeight(int height);
    int outerHeight() const;

    // The two ways the callers prepare the dialog.
    void prepareCatalogueEdit();
    void preparePortion();
    // Name and the four values per 100 g from a catalogue row.
    void fillFromFood(const QStringList &food);
    // Name and the four values, in catalogue column order.
    QStringList foodTexts() const;

    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QLineEdit *field(Field field) const { return m_fields[field]; }

public Q_SLOTS:
    // Only the two buttons close the dialog: Escape and the window frame do not.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BitBtn1Click();
    void BitBtn2Click();
    void closeWith(int result);

    std::array<QLineEdit *, 6> m_fields{};
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QWidget *m_rememberedFocus = nullptr;
};
