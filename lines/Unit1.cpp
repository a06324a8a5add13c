#include "lines/Unit1.h"

TForm1 *Form1 = nullptr;

TForm1::TForm1()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Таблица"));
}

void TForm1::FormCreate() {}
