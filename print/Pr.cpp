#include "print/Pr.h"

#include "document/Document.h"
#include "document/Numbering.h"
#include "print/ArchiveName.h"
#include "print/PrintPage.h"
#include "ui/Application.h"
#include "ui/Look.h"
#include "ui/MenuPictures.h"

#include <QComboBox>
#include <QPrinter>
#include <QShowEvent>
#include <QToolButton>

TPrintOptionsForm *PrintOptionsForm = nullptr;

namespace
{
QToolButton *PrintButton(TPrintOptionsForm *form, const QString &name, int top,
                         const QString &caption)
{
    QToolButton *button =
        MakeSpeedButton(form, name, 7, top, 210, 76, caption, MenuIcon(MenuPicture::Print));
    button->setFont(PixelFont(QStringLiteral("Arial"), 11));
    button->setIconSize(QSize(40, 40));
    return button;
}
} // namespace

TPrintOptionsForm::TPrintOptionsForm()
{
    setObjectName(QStringLiteral("PrintOptionsForm"));
    setWindowTitle(QStringLiteral("Принтер"));
    // A fixed dialog window with only the close box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(225, 193);
    SetBackground(this, clLightGrey);
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));

    SpeedButton1 = PrintButton(this, QStringLiteral("SpeedButton1"), 5,
                               QStringLiteral("Отпечатай ОРИГИНАЛ на документа"));
    SpeedButton2 = PrintButton(this, QStringLiteral("SpeedButton2"), 85,
                               QStringLiteral("Отпечатай КОПИЕ на документа"));
    connect(SpeedButton1, &QToolButton::clicked, this,
            Handler(this, &TPrintOptionsForm::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this,
            Handler(this, &TPrintOptionsForm::SpeedButton2Click));

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({QStringLiteral("8 бита цвят"), QStringLiteral("24 бита цвят"),
                         QStringLiteral("32 бита цвят")});
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setGeometry(8, 168, 209, ComboBox1->sizeHint().height());
}

TPrintOptionsForm::~TPrintOptionsForm() = default;

void TPrintOptionsForm::SpeedButton1Click()
{
    PrintPage(kOriginalMark, ComboBox1->currentText(), Printer(), this);
    NumberStored = true;
}

void TPrintOptionsForm::SpeedButton2Click()
{
    PrintPage(kCopyMark, ComboBox1->currentText(), Printer(), this);
    NumberStored = true;
}

void TPrintOptionsForm::FormShow()
{
    if (!Doc)
        return;
    const QRect page = Doc->frameGeometry();
    move(page.left() + page.width() - 400, page.top() + 40);
}

void TPrintOptionsForm::showEvent(QShowEvent *event)
{
    TForm::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

QPrinter &TPrintOptionsForm::Printer()
{
    if (m_printer)
        return *m_printer;
    if (!m_defaultPrinter)
        m_defaultPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_defaultPrinter;
}

void TPrintOptionsForm::SetPrinter(QPrinter *printer)
{
    m_printer = printer;
}
