#include "ui/MenuPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace
{
constexpr int kSize = 64;

void DrawCompanies(QPainter &p)
{
    p.setBrush(QColor(120, 144, 180));
    p.drawRect(10, 18, 24, 40);
    p.setBrush(QColor(90, 110, 150));
    p.drawRect(34, 8, 20, 50);
    p.setBrush(QColor(250, 230, 140));
    for (int row = 0; row < 4; ++row) {
        p.drawRect(15, 24 + row * 8, 5, 4);
        p.drawRect(24, 24 + row * 8, 5, 4);
        p.drawRect(39, 14 + row * 10, 4, 5);
        p.drawRect(46, 14 + row * 10, 4, 5);
    }
}

void DrawBank(QPainter &p)
{
    p.setBrush(QColor(210, 200, 170));
    QPolygon roof({QPoint(6, 22), QPoint(32, 6), QPoint(58, 22)});
    p.drawPolygon(roof);
    p.drawRect(8, 50, 48, 6);
    p.setBrush(QColor(235, 228, 205));
    for (int i = 0; i < 4; ++i)
        p.drawRect(12 + i * 12, 24, 6, 26);
}

void DrawGoods(QPainter &p)
{
    p.setBrush(QColor(205, 160, 100));
    p.drawRect(8, 30, 24, 24);
    p.drawRect(32, 30, 24, 24);
    p.drawRect(20, 8, 24, 22);
    p.setPen(QPen(QColor(140, 100, 60), 2));
    p.drawLine(20, 30, 20, 54);
    p.drawLine(44, 30, 44, 54);
    p.drawLine(32, 8, 32, 30);
}

void DrawClients(QPainter &p)
{
    p.setBrush(QColor(110, 150, 200));
    p.drawEllipse(12, 10, 16, 16);
    p.drawPie(4, 28, 32, 40, 0, 180 * 16);
    p.setBrush(QColor(90, 170, 120));
    p.drawEllipse(36, 14, 14, 14);
    p.drawPie(29, 30, 28, 34, 0, 180 * 16);
}

void DrawTable(QPainter &p)
{
    p.setBrush(Qt::white);
    p.drawRect(8, 8, 48, 48);
    p.setBrush(QColor(190, 205, 230));
    p.drawRect(8, 8, 48, 10);
    for (int y = 18; y < 56; y += 8)
        p.drawLine(8, y, 56, y);
    p.drawLine(20, 8, 20, 56);
    p.drawLine(40, 8, 40, 56);
}

void DrawPage(QPainter &p, int left)
{
    p.setBrush(Qt::white);
    p.drawRect(left, 6, 30, 40);
    for (int y = 14; y < 42; y += 6)
        p.drawLine(left + 5, y, left + 25, y);
}

void DrawToInvoice(QPainter &p)
{
    DrawTable(p);
    p.setBrush(QColor(60, 150, 70));
    QPolygon arrow({QPoint(22, 40), QPoint(46, 40), QPoint(46, 32), QPoint(60, 46), QPoint(46, 60),
                    QPoint(46, 52), QPoint(22, 52)});
    p.drawPolygon(arrow);
}

void DrawPrint(QPainter &p)
{
    DrawPage(p, 17);
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(6, 30, 52, 20, 4, 4);
    p.setBrush(Qt::white);
    p.drawRect(16, 44, 32, 14);
    p.setBrush(QColor(80, 200, 80));
    p.drawEllipse(48, 34, 5, 5);
}

void DrawCurrency(QPainter &p)
{
    p.setBrush(QColor(230, 190, 60));
    p.drawEllipse(6, 20, 34, 34);
    p.setBrush(QColor(200, 200, 210));
    p.drawEllipse(26, 8, 32, 32);
    QFont font = p.font();
    font.setPixelSize(20);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(26, 8, 32, 32), Qt::AlignCenter, QStringLiteral("€"));
    p.drawText(QRect(6, 20, 34, 34), Qt::AlignCenter, QStringLiteral("$"));
}

// A euro coin over a lev note: the switch of the home currency.
void DrawEuro(QPainter &p)
{
    p.setBrush(QColor(170, 210, 170));
    p.drawRect(6, 14, 40, 24);
    p.setBrush(QColor(40, 80, 170));
    p.drawEllipse(24, 22, 34, 34);
    QFont font = p.font();
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(250, 210, 60));
    p.drawText(QRect(24, 22, 34, 34), Qt::AlignCenter, QStringLiteral("€"));
}

// A bound book of pages with a magnifier: the journal of issued documents.
void DrawJournal(QPainter &p)
{
    p.setBrush(QColor(120, 70, 50));
    p.drawRect(8, 6, 40, 50);
    p.setBrush(Qt::white);
    p.drawRect(14, 10, 32, 42);
    for (int y = 18; y < 48; y += 6)
        p.drawLine(18, y, 42, y);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(50, 50, 60), 3));
    p.drawEllipse(34, 32, 16, 16);
    p.drawLine(48, 46, 58, 56);
}
} // namespace

QIcon MenuIcon(MenuPicture picture)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(50, 50, 60), 1.5));
    switch (picture) {
    case MenuPicture::Companies:
        DrawCompanies(p);
        break;
    case MenuPicture::BankAccounts:
        DrawBank(p);
        break;
    case MenuPicture::Goods:
        DrawGoods(p);
        break;
    case MenuPicture::Clients:
        DrawClients(p);
        break;
    case MenuPicture::Table:
        DrawTable(p);
        break;
    case MenuPicture::ToInvoice:
        DrawToInvoice(p);
        break;
    case MenuPicture::Print:
        DrawPrint(p);
        break;
    case MenuPicture::Currency:
        DrawCurrency(p);
        break;
    case MenuPicture::Euro:
        DrawEuro(p);
        break;
    case MenuPicture::Journal:
        DrawJournal(p);
        break;
    }
    return QIcon(pixmap);
}
