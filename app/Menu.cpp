#include "app/Menu.h"

#include "base/ProgramFolder.h"
#include "document/Document.h"
#include "document/Transfer.h"
#include "euro/EuroCommand.h"
#include "journal/Journal.h"
#include "lines/MemoryFile.h"
#include "lines/Unit1.h"
#include "masterdata/Unit4.h"
#include "ui/Application.h"
#include "ui/Look.h"
#include "ui/MenuPictures.h"

#include <QCloseEvent>
#include <QToolButton>

TMain *Main = nullptr;

namespace
{
constexpr int kButtonWidth = 180;
constexpr int kButtonHeight = 120;

QToolButton *MenuButton(TMain *menu, const QString &name, int left, int top, const QString &caption,
                        MenuPicture picture, void (TMain::*handler)())
{
    QToolButton *button = MakeSpeedButton(menu, name, left, top, kButtonWidth, kButtonHeight,
                                          caption, MenuIcon(picture));
    button->setFont(PixelFont(QStringLiteral("Arial"), 13, true));
    button->setIconSize(QSize(64, 64));
    QObject::connect(button, &QToolButton::clicked, menu, Handler(menu, handler));
    return button;
}
} // namespace

TMain::TMain()
{
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Vornex 2007 - Меню"));
    // A dialog border with only the close box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    SetBackground(this, clLightGrey);
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));

    SpeedButton5 =
        MenuButton(this, QStringLiteral("SpeedButton5"), 0, 0, QStringLiteral("Собствени фирми"),
                   MenuPicture::Companies, &TMain::SpeedButton5Click);
    SpeedButton6 =
        MenuButton(this, QStringLiteral("SpeedButton6"), 0, 120, QStringLiteral("Банкови сметки"),
                   MenuPicture::BankAccounts, &TMain::SpeedButton6Click);
    SpeedButton3 =
        MenuButton(this, QStringLiteral("SpeedButton3"), 0, 240, QStringLiteral("Стоки и Услуги"),
                   MenuPicture::Goods, &TMain::SpeedButton3Click);
    SpeedButton7 =
        MenuButton(this, QStringLiteral("SpeedButton7"), 0, 360, QStringLiteral("Клиенти"),
                   MenuPicture::Clients, &TMain::SpeedButton7Click);
    SpeedButton2 =
        MenuButton(this, QStringLiteral("SpeedButton2"), 180, 0, QStringLiteral("Таблица"),
                   MenuPicture::Table, &TMain::SpeedButton2Click);
    SpeedButton4 =
        MenuButton(this, QStringLiteral("SpeedButton4"), 180, 120, QStringLiteral("Към фактурата"),
                   MenuPicture::ToInvoice, &TMain::SpeedButton4Click);
    SpeedButton1 = MenuButton(this, QStringLiteral("SpeedButton1"), 180, 240,
                              QStringLiteral("Отпечатай и съхрани"), MenuPicture::Print,
                              &TMain::SpeedButton1Click);
    SpeedButton9 =
        MenuButton(this, QStringLiteral("SpeedButton9"), 180, 360, QStringLiteral("Валута"),
                   MenuPicture::Currency, &TMain::SpeedButton9Click);

    // Buttons added later go below the eight, whose places people know: the one-way switch of
    // the home currency to the euro, and the journal.
    SpeedButton10 =
        MenuButton(this, QStringLiteral("SpeedButton10"), 0, 480, QStringLiteral("Евро"),
                   MenuPicture::Euro, &TMain::SpeedButton10Click);
    SpeedButton11 =
        MenuButton(this, QStringLiteral("SpeedButton11"), 180, 480, QStringLiteral("Дневник"),
                   MenuPicture::Journal, &TMain::SpeedButton11Click);

    // The form sizes itself to its buttons.
    setFixedSize(2 * kButtonWidth, 5 * kButtonHeight);
}

void TMain::FormCreate()
{
    move(0, 0);
}

void TMain::SpeedButton5Click()
{
    Form4->OpenFirm();
}

void TMain::SpeedButton6Click()
{
    Form4->OpenBank();
}

void TMain::SpeedButton3Click()
{
    Form4->OpenStock();
}

void TMain::SpeedButton7Click()
{
    Form4->OpenCustomers();
}

void TMain::SpeedButton9Click()
{
    Form4->OpenCurrency();
}

void TMain::SpeedButton11Click()
{
    TJournal *journal = JournalWindow(this);
    journal->setWindowState(journal->windowState() & ~Qt::WindowMinimized);
    if (journal->isVisible())
        journal->Reload();
    journal->show();
    journal->raise();
    journal->activateWindow();
}

void TMain::SpeedButton10Click()
{
    SwitchToEuroCommand();
}

void TMain::SpeedButton2Click()
{
    // The table comes to the front, also from behind the menu or from the task bar.
    Form1->setWindowState(Form1->windowState() & ~Qt::WindowMinimized);
    Form1->show();
    Form1->raise();
    Form1->activateWindow();
}

void TMain::SpeedButton4Click()
{
    TransferToDocument();
}

void TMain::SpeedButton1Click()
{
    if (Transferred) {
        Doc->show();
        Doc->raise();
    } else {
        TransferToDocument();
    }
    Doc->SpeedButton1->click();
}

void TMain::FormClose()
{
    WriteMemoryFile(ProgramPath(QStringLiteral("Vmem.txt")), Form1->MemoryList);
}

void TMain::closeEvent(QCloseEvent *event)
{
    // A memory file that cannot be written is reported; the program ends all the same, since the
    // choices it would hold are only remembered conveniences.
    RunHandler([this] { FormClose(); });
    event->accept();
    QCoreApplication::quit();
}
