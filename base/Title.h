#pragma once

#include <QString>

// "VORNEX 2007": the program's title, shown in the task bar, on every message box and as the
// creator of its PDFs.
inline QString ApplicationTitle()
{
    return QStringLiteral("VORNEX 2007");
}
