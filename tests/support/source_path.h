#pragma once

#include <QString>
#include <QStringView>

// A file of the source tree, such as "resources/sample/Lebensmittel.lmk".
QString SourcePath(QStringView relative);
