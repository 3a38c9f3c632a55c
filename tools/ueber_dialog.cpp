#include "tools/ueber_dialog.h"

#include "tools/logos.h"
#include "tools/web_links.h"
#include "widgets/click_label.h"

#include <QFrame>
#include <QPushButton>

namespace {

// The address labels only show the address; clicking them does nothing.
QLabel *makeAddressLabel(QWidget *parent, const QString &objectName, const QUrl &address, QPoint at)
{
    auto *label = new QLabel(ShownAddress(address), parent);
    label->setObjectName(objectName);
    label->setFont(PointFont(12, true));
    QPalette green = label->palette();
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    label->setPalette(green);
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace

TUeber::TUeber(QWidget *parent)
    : FixedDialog(QStringLiteral("Info über .."), QSize(521, 368), parent)
{
    m_image2 = new ClickLabel(this);
    m_image2->setObjectName(QStringLiteral("Image2"));
    m_image2->setGeometry(7, 8, 221, 289);
    m_image2->setScaledContents(true);
    m_image2->setPixmap(SocietyLogo());
    m_image2->setToolTip(SocietyWebSite().toString());
    m_image2->setAccessibleName(
        QStringLiteral("Logo des Forums Gesunde Ernährung, öffnet die Webseite"));
    connect(m_image2, &ClickLabel::clicked, this, &TUeber::Image2Click);

    auto *bevel3 = new QFrame(this);
    bevel3->setObjectName(QStringLiteral("Bevel3"));
    bevel3->setFrameShape(QFrame::VLine);
    bevel3->setFrameShadow(QFrame::Sunken);
    bevel3->setGeometry(233, 8, 3, 313);

    m_image1 = new ClickLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(240, 8, 275, 289);
    m_image1->setAccessibleName(QStringLiteral("Logo von Menuvera, öffnet die Webseite"));
    m_image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image1->setPixmap(MakerLogo());
    m_image1->setToolTip(MakerHomePage().toString());
    connect(m_image1, &ClickLabel::clicked, this, &TUeber::Image1Click);

    m_label1 = makeAddressLabel(this, QStringLiteral("Label1"), SocietyWebSite(), {8, 304});
    m_label3 = makeAddressLabel(this, QStringLiteral("Label3"), MakerHomePage(), {240, 304});

    m_button1 = new QPushButton(QStringLiteral("OK"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(8, 328, 505, 33);
    m_button1->setAutoDefault(false);
    m_button1->setFocus();
    connect(m_button1, &QPushButton::clicked, this, &TUeber::Button1Click);
}

void TUeber::Image1Click()
{
    OpenWebAddress(MakerHomePage());
}

void TUeber::Image2Click()
{
    OpenWebAddress(SocietyWebSite());
}

void TUeber::Button1Click()
{
    accept();
}
