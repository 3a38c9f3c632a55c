#include "app/application_icon.h"

QIcon ApplicationIcon()
{
    // The icon theme's own sizes are drawn for their size, so none of them
    // is scaled from another where the platform asks for one of these.
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/menuvera-%1.png").arg(size), QSize(size, size));
    return icon;
}
