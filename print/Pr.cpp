#include "print/Pr.h"

TPrintOptionsForm *PrintOptionsForm = nullptr;

TPrintOptionsForm::TPrintOptionsForm()
{
    setObjectName(QStringLiteral("PrintOptionsForm"));
    setWindowTitle(QStringLiteral("Принтер"));
}
