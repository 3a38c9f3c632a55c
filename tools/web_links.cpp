#include "tools/web_links.h"

#include <QDesktopServices>

QUrl MakerHomePage()
{
    return QUrl(QStringLiteral("https://www.menuvera.example/"));
}

QUrl SocietyWebSite()
{
    return QUrl(QStringLiteral("https://www.fge.example/"));
}

QString ShownAddress(const QUrl &address)
{
    QString text = address.toString(QUrl::RemoveScheme | QUrl::StripTrailingSlash);
    if (text.startsWith(QStringLiteral("//")))
        text.remove(0, 2);
    if (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text;
}

void OpenWebAddress(const QUrl &address)
{
    QDesktopServices::openUrl(address);
}
