#include "masterdata/Unit4.h"

#include "app/Errors.h"

TForm4 *Form4 = nullptr;

TForm4::TForm4()
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("КЛИЕНТИ"));
}

void TForm4::OpenFirm()
{
    throw UserError(QStringLiteral("Таблицата Firm.db не може да бъде отворена."));
}

void TForm4::OpenBank()
{
    throw UserError(QStringLiteral("Таблицата Details.db не може да бъде отворена."));
}

void TForm4::OpenStock()
{
    throw UserError(QStringLiteral("Таблицата stock.db не може да бъде отворена."));
}

void TForm4::OpenCustomers()
{
    throw UserError(QStringLiteral("Таблицата customer.db не може да бъде отворена."));
}

void TForm4::OpenCurrency()
{
    throw UserError(QStringLiteral("Таблицата currency.db не може да бъде отворена."));
}
