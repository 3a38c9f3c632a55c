#pragma once

#include <QIcon>

// The program's icon in every size of the installed icon theme, for the
// window frames and the task bar.
QIcon ApplicationIcon();
