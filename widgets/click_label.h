#pragma once

#include <QLabel>

// A picture or text that opens something when clicked: a label with a hand
// cursor that reports a left click released over it.
class ClickLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit ClickLabel(QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
