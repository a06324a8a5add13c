#include "document/Document.h"

#include "app/Look.h"

TDoc *Doc = nullptr;

TDoc::TDoc()
{
    setObjectName(QStringLiteral("Doc"));
    setWindowTitle(QStringLiteral("Фактура"));
    SpeedButton1 = MakeSpeedButton(this, QStringLiteral("SpeedButton1"), 872, 13, 128, 76,
                                   QStringLiteral("Отпечатай"));
    const QFont font = PixelFont(QStringLiteral("Arial"), 13);
    Label1 = new TLabel(this, QStringLiteral("Label1"), 0, 0, QString(), font);
    Label21 = new TLabel(this, QStringLiteral("Label21"), 0, 20, QString(), font);
    Label19 = new TLabel(this, QStringLiteral("Label19"), 0, 40, QString(), font);
}
