#include "document/Document.h"

#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Look.h"
#include "document/Numbering.h"
#include "document/PageLayout.h"
#include "euro/HomeCurrency.h"
#include "lines/Unit1.h"
#include "print/Pr.h"
#include "print/PrintPage.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

TDoc *Doc = nullptr;

namespace
{
constexpr quint32 kFormColour = 0xDFDFDF;
// Dark red: the notice must catch the eye beside the page.
constexpr quint32 kNoticeColour = 0x0000C0;
constexpr quint32 kShadow = 0x808080;
constexpr int kPageWidth = 859;
constexpr int kPageHeight = 1168;
// Widths beyond which a customer field or a lower-block field takes a second line.
constexpr int kCustomerWidthLimit = 206;
constexpr int kLowerWidthLimit = 308;
// Air kept between the customer block's values and the supplier block.
constexpr int kBlockGap = 8;

QString Dots(int count)
{
    return QString(count, QLatin1Char('.'));
}

QString Lines(std::initializer_list<const char *> lines)
{
    QStringList list;
    for (const char *line : lines)
        list << QString::fromUtf8(line);
    return list.join(QLatin1Char('\n'));
}

QList<QWidget *> DirectChildren(QWidget *container)
{
    return container->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
}

Block BlockOf(const QWidget *widget)
{
    return {widget->y(), widget->height()};
}

void MoveTop(QWidget *widget, int top)
{
    widget->move(widget->x(), top);
}

// The visible children of a block: those named as beside the others form a column of their own
// (when visible), the rest the first column.
QList<QList<QWidget *>> ColumnsOf(QWidget *block, const QList<QWidget *> &beside)
{
    QList<QList<QWidget *>> columns(1);
    QList<QWidget *> side;
    for (QWidget *child : DirectChildren(block)) {
        if (child->isHidden())
            continue;
        (beside.contains(child) ? side : columns[0]) << child;
    }
    if (!side.isEmpty())
        columns << side;
    return columns;
}

QList<QList<Block>> BlocksOf(const QList<QList<QWidget *>> &columns)
{
    QList<QList<Block>> blocks;
    for (const QList<QWidget *> &column : columns) {
        blocks << QList<Block>();
        for (QWidget *child : column)
            blocks.last() << BlockOf(child);
    }
    return blocks;
}

QString CurrencySuffix()
{
    return QLatin1Char(' ') + (Form1 ? Form1->CurrencyCode : QStringLiteral("EUR"));
}
} // namespace

// ---- TDoc -------------------------------------------------------------------------------------

TDoc::TDoc()
{
    setObjectName(QStringLiteral("Doc"));
    setWindowTitle(QStringLiteral("Фактура"));
    SetBackground(this, kFormColour);
    setFont(PixelFont(QStringLiteral("Arial"), 11));
    resize(1024, 768);
    setWindowState(Qt::WindowMaximized);

    // The page is taller than most screens: the form scrolls over its client area.
    auto *frameLayout = new QVBoxLayout(this);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ClientArea"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    SetBackground(m_scroll, kFormColour);
    frameLayout->addWidget(m_scroll);
    auto *client = new QWidget;
    client->setObjectName(QStringLiteral("Client"));
    SetBackground(client, kFormColour);
    client->setFixedSize(1008, 8 + kPageHeight + 8);
    m_scroll->setWidget(client);

    // The buttons lie over the scroll area, in the column the client keeps free beside the page,
    // so that they stay in sight while the page scrolls.
    SpeedButton1 = MakeSpeedButton(this, QStringLiteral("SpeedButton1"), 872, 13, 128, 76,
                                   QStringLiteral("Отпечатай"), PrintPicture());
    SpeedButton3 = MakeSpeedButton(this, QStringLiteral("SpeedButton3"), 872, 96, 128, 76,
                                   QStringLiteral("Нова фактура"), NewInvoicePicture());
    SpeedButton4 = MakeSpeedButton(this, QStringLiteral("SpeedButton4"), 872, 179, 128, 76,
                                   QStringLiteral("Преглед"), PrintPicture());
    for (QToolButton *button : {SpeedButton1, SpeedButton3, SpeedButton4})
        button->setIconSize(QSize(40, 40));
    connect(SpeedButton1, &QToolButton::clicked, this, Handler(this, &TDoc::SpeedButton1Click));
    connect(SpeedButton3, &QToolButton::clicked, this, Handler(this, &TDoc::SpeedButton3Click));
    connect(SpeedButton4, &QToolButton::clicked, this, Handler(this, &TDoc::SpeedButton4Click));

    const QFont arial11 = PixelFont(QStringLiteral("Arial"), 11);
    NO = new TLabel(client, QStringLiteral("NO"), 888, 320, QStringLiteral("0"), arial11);
    NO->hide();
    SVpath = new TLabel(client, QStringLiteral("SVpath"), 888, 336,
                        QStringLiteral("C:\\Program Files\\Vornex2007\\DB\\"), arial11);
    SVpath->hide();
    // Under the last button, in sight as they are, and clear of them so that it never takes
    // their clicks.
    const int noticeTop = SpeedButton4->geometry().bottom() + 9;
    EuroNotice = new TLabel(this, QStringLiteral("EuroNotice"), 872, noticeTop, kEuroNotice,
                            PixelFont(QStringLiteral("Arial"), 13, true), false);
    EuroNotice->setWordWrap(true);
    EuroNotice->setGeometry(872, noticeTop, 128, 96);
    EuroNotice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    EuroNotice->setFontColor(kNoticeColour);
    EuroNotice->hide();

    New = new QAction(QStringLiteral("New"), this);
    New->setObjectName(QStringLiteral("New"));
    connect(New, &QAction::triggered, this, Handler(this, &TDoc::NewExecute));
    Resized = new QAction(QStringLiteral("Resized"), this);
    Resized->setObjectName(QStringLiteral("Resized"));
    connect(Resized, &QAction::triggered, this, Handler(this, &TDoc::ResizedExecute));

    Panel1 = new QWidget(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, kPageWidth, kPageHeight);
    SetBackground(Panel1, clWhite);
    Panel1->setFont(PixelFont(QStringLiteral("Times New Roman"), 16));

    buildPage();
}

TDoc::~TDoc() = default;

void TDoc::buildPage()
{
    const QString arial = QStringLiteral("Arial");
    const QFont a13 = PixelFont(arial, 13);
    const QFont a13b = PixelFont(arial, 13, true);
    const QString name40 = Dots(40);
    const QString name76 = Dots(76);

    auto label = [](QWidget *parent, const char *name, int left, int top, const QString &text,
                    const QFont &font) {
        return new TLabel(parent, QString::fromLatin1(name), left, top, text, font);
    };
    auto fixedLabel = [](QWidget *parent, const char *name, int left, int top, const QString &text,
                         const QFont &font) {
        auto *l = new TLabel(parent, QString::fromLatin1(name), left, top, text, font, false);
        l->resize(113, 16);
        return l;
    };
    // A field to fill: silver, but drawn transparent where the block shows white through it.
    auto silver = [](TLabel *l) { l->setColor(clSilver); };
    auto silverSeeThrough = [](TLabel *l) {
        l->setColor(clSilver);
        l->setTransparent();
    };
    auto plainEdit = [this](TLabel *l) {
        l->setCursor(Qt::PointingHandCursor);
        connect(l, &TLabel::clicked, this,
                [this, l] { RunHandler([this, l] { Label34Click(l); }); });
    };
    auto customerWrap = [this](TLabel *l) {
        l->setCursor(Qt::PointingHandCursor);
        connect(l, &TLabel::clicked, this,
                [this, l] { RunHandler([this, l] { Label33Click(l); }); });
    };
    auto lowerWrap = [this](TLabel *l) {
        l->setCursor(Qt::PointingHandCursor);
        connect(l, &TLabel::clicked, this,
                [this, l] { RunHandler([this, l] { Label18Click(l); }); });
    };

    // Header.
    Label1 = label(Panel1, "Label1", 305, 16, QStringLiteral("ФАКТУРА / INVOICE"),
                   PixelFont(arial, 24, true));
    Label8 = label(Panel1, "Label8", 317, 48, QStringLiteral("Оригинал / Original"),
                   PixelFont(arial, 21, true));
    Label15 = label(Panel1, "Label15", 304, 80,
                    QStringLiteral("№ 0000000001 / Дата(Date): дд.мм.гггг"), PixelFont(arial, 16));
    silver(Label15);
    Label15->setCursor(Qt::PointingHandCursor);
    connect(Label15, &TLabel::clicked, this, Handler(this, &TDoc::Label15Click));
    Image2 = new TImage(Panel1, QStringLiteral("Image2"), 600, 8, 233, 97);
    Image2->setTransparent(true);
    // A long title such as the proforma's reaches under the logo; it stays readable over it.
    Label1->raise();

    // Customer block.
    Panel3 = new TPanel(Panel1, QStringLiteral("Panel3"), 56, 112, 248, 168);
    Label24 = label(Panel3, "Label24", 0, 0, Lines({"КЛИЕНТ", "Customer"}), a13b);
    Label33 = label(Panel3, "Label33", 88, 0, name40, a13);
    Label23 = label(Panel3, "Label23", 88, 16, name40, a13);
    Label28 = label(Panel3, "Label28", 0, 32, Lines({"Адрес", "Address"}), a13b);
    Label29 = label(Panel3, "Label29", 88, 32, name40, a13);
    Label26 = label(Panel3, "Label26", 88, 48, name40, a13);
    Label31 = label(Panel3, "Label31", 0, 64, Lines({"МОЛ", "Resp.Person"}), a13b);
    Label30 = label(Panel3, "Label30", 88, 64, name40, a13);
    Label67 = label(Panel3, "Label67", 88, 80, name40, a13);
    Label25 = label(Panel3, "Label25", 0, 104, Lines({"ИН по ЗДДС ", "VAT"}), a13b);
    Label34 = fixedLabel(Panel3, "Label34", 96, 112, QString(), a13);
    Label66 = label(Panel3, "Label66", 0, 136, Lines({"ИН", "ID"}), a13b);
    Label65 = fixedLabel(Panel3, "Label65", 96, 144, QString(), a13);
    for (TLabel *l : {Label33, Label23, Label29, Label26, Label30, Label67}) {
        silverSeeThrough(l);
        customerWrap(l);
    }
    for (TLabel *l : {Label34, Label65}) {
        silver(l);
        plainEdit(l);
    }

    // Supplier block.
    Panel4 = new TPanel(Panel1, QStringLiteral("Panel4"), 552, 112, 240, 201);
    Label45 = label(Panel4, "Label45", 0, 0, Lines({"ДОСТАВЧИК", "SUPPLIER"}), a13b);
    Label46 = label(Panel4, "Label46", 88, 0, QStringLiteral("(Фирма)"), a13);
    Label63 = label(Panel4, "Label63", 88, 16, QStringLiteral("(Фирма)"), a13);
    Label48 = label(Panel4, "Label48", 0, 32, Lines({"Адрес", "Address"}), a13b);
    Label47 = label(Panel4, "Label47", 88, 32, QStringLiteral("(Адреса)"), a13);
    Label54 = label(Panel4, "Label54", 88, 48, QStringLiteral("(Адреса)"), a13);
    Label50 = label(Panel4, "Label50", 0, 64, Lines({"МОЛ", "Resp.Person"}), a13b);
    Label49 = label(Panel4, "Label49", 88, 64, QStringLiteral("(МОЛ)"), a13);
    Label68 = label(Panel4, "Label68", 88, 80, QStringLiteral("(МОЛ)"), a13);
    Label64 = label(Panel4, "Label64", 0, 104, Lines({"ИН по ЗДДС BG", "VAT"}), a13b);
    Label11 = fixedLabel(Panel4, "Label11", 104, 104, QStringLiteral("(Идент.Ном.)"), a13b);
    Label69 = label(Panel4, "Label69", 0, 136, Lines({"ИН", "ID"}), a13b);
    Label10 = fixedLabel(Panel4, "Label10", 104, 144, QStringLiteral("(Идент.Ном.)"), a13b);
    Label12 =
        label(Panel4, "Label12", 0, 168, Lines({"Местоиздаване", "Place of publishment"}), a13b);
    Label16 = label(Panel4, "Label16", 144, 169, Dots(24), a13);
    Label70 = label(Panel4, "Label70", 144, 185, Dots(24), a13);
    plainEdit(Label16);
    plainEdit(Label70);

    // A value wider than its block is cut at the block's edge instead of running under the other
    // block: the customer's ends before the supplier block, the supplier's at the lines grid's
    // right edge. A customer value is wrapped by clicking it.
    const int customerEdge = Panel4->x() - kBlockGap - Panel3->x();
    for (TLabel *l : {Label33, Label23, Label29, Label26, Label30, Label67})
        l->setMaximumWidth(customerEdge - l->x());
    const int supplierEdge = 32 + 800 - Panel4->x();
    for (TLabel *l : {Label46, Label63, Label47, Label54, Label49, Label68, Label16, Label70})
        l->setMaximumWidth(supplierEdge - l->x());

    // Note reference: shown by the transfer for a credit or debit note.
    Panel2 = new TPanel(Panel1, QStringLiteral("Panel2"), 56, 290, 308, 37);
    Label21 =
        label(Panel2, "Label21", 0, 0, QString(), PixelFont(QStringLiteral("Times New Roman"), 16));
    Label22 = label(Panel2, "Label22", 0, 21,
                    QStringLiteral("от дата / from date: , към фактура № / to invoice No: "), a13);
    silver(Label22);
    Label22->setCursor(Qt::PointingHandCursor);
    connect(Label22, &TLabel::clicked, this, Handler(this, &TDoc::Label22Click));
    Panel2->hide();

    // Lines grid: filled by the transfer, never selected.
    StringGrid2 = new TStringGrid(Panel1, QStringLiteral("StringGrid2"), 32, 328, 800, 49,
                                  {51, 271, 53, 53, 91, 90, 89, 90}, 18, 2);
    StringGrid2->setFont(a13);
    StringGrid2->setHorizontalLines(false);
    StringGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid2->setSelectionMode(QAbstractItemView::NoSelection);
    StringGrid2->onSelectCell = [this](int col, int row, bool &canSelect) {
        StringGrid2SelectCell(col, row, canSelect);
    };

    Bevel1 = new TBevel(Panel1, QStringLiteral("Bevel1"), 48, 376, 777, 2);
    Bevel3 = new TBevel(Panel1, QStringLiteral("Bevel3"), 56, 720, 737, 1);

    // Lower block.
    Memo4 = new TPanel(Panel1, QStringLiteral("Memo4"), 48, 384, 750, 329);
    Label36 = label(Memo4, "Label36", 8, 0, Lines({"Словом:", "in words:"}), a13);
    Label18 = label(Memo4, "Label18", 64, 0, name76, a13);
    Bevel2 = new TBevel(Memo4, QStringLiteral("Bevel2"), 16, 36, 401, 2);
    Label19 = label(Memo4, "Label19", 64, 48, name76, a13);
    Label20 = label(Memo4, "Label20", 48, 64,
                    Lines({"/основание за неначисляване на ДДС и при нулева ставка/",
                           "/reason for defiency in account of VAT and at zero-rating/"}),
                    a13);
    Label55 = label(Memo4, "Label55", 64, 104, name76, a13);
    Label56 = label(Memo4, "Label56", 24, 120,
                    Lines({"/обстоятелства, които определят стоката като ново превозно средство/",
                           "         /circumstances, that define the goods as new vehicle/"}),
                    PixelFont(arial, 11));
    Label58 = label(Memo4, "Label58", 0, 160,
                    QStringLiteral("Дата на данъчното събитие / Date of tax event"), a13);
    Label57 = label(Memo4, "Label57", 288, 161, QStringLiteral("дд.мм.гггг"), a13);
    Label27 =
        label(Memo4, "Label27", 0, 184, QStringLiteral("Дата на плащане / Date of payment"), a13);
    Label40 = label(Memo4, "Label40", 288, 185, QStringLiteral("дд.мм.гггг"), a13);
    Bevel6 = new TBevel(Memo4, QStringLiteral("Bevel6"), 0, 212, 377, 2);
    Label44 = label(Memo4, "Label44", 8, 217, Lines({"Плащане", "Payment"}), a13b);
    Label37 = label(Memo4, "Label37", 80, 225, name40, a13);
    Label43 = label(Memo4, "Label43", 8, 249, Lines({"Банка", "Bank"}), a13b);
    Label38 = label(Memo4, "Label38", 80, 257, name40, a13);
    Label42 = label(Memo4, "Label42", 8, 289, QStringLiteral("IBAN"), a13b);
    Label39 = label(Memo4, "Label39", 80, 289, name40, a13);
    Label41 = label(Memo4, "Label41", 8, 313, QStringLiteral("SWIFT/BIC"), a13b);
    Label53 = label(Memo4, "Label53", 80, 313, name40, a13);
    for (TLabel *l : {Label18, Label19, Label55}) {
        silver(l);
        lowerWrap(l);
    }
    for (TLabel *l : {Label57, Label40, Label37, Label38, Label39, Label53}) {
        silver(l);
        plainEdit(l);
    }

    // Note accounts: typed in directly once the transfer shows them for a note.
    StringGrid1 = new TStringGrid(Memo4, QStringLiteral("StringGrid1"), 480, 216, 270, 110,
                                  {26, 146, 90}, 20, 5);
    StringGrid1->setFont(a13);
    StringGrid1->setFixedRows(2);
    StringGrid1->setFixedColor(clWhite);
    // The editor is always shown on the current cell.
    StringGrid1->setEditTriggers(QAbstractItemView::AllEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int row = 0; row < StringGrid1->rowCount(); ++row)
        for (int col = 0; col < StringGrid1->columnCount(); ++col)
            StringGrid1->setCell(col, row, QString());
    StringGrid1->hide();

    // Totals block.
    Panel6 = new TPanel(Memo4, QStringLiteral("Panel6"), 504, 0, 241, 144);
    Label6 = label(Panel6, "Label6", 2, 0, Lines({"Данъчна основа", "Tax basis"}), a13b);
    Label5 = label(Panel6, "Label5", 186, 0, QStringLiteral("0"), a13b);
    Label59 = label(Panel6, "Label59", 186, 16, QStringLiteral("0"), a13b);
    Label2 = label(Panel6, "Label2", 2, 40,
                   Lines({"Данъчна ставка %", "размер на данъка", "VAT ", "Total VAT"}), a13b);
    Label7 = label(Panel6, "Label7", 186, 48, QStringLiteral("0"), a13b);
    Label60 = label(Panel6, "Label60", 186, 80, QStringLiteral("0"), a13b);
    Bevel4 = new TBevel(Panel6, QStringLiteral("Bevel4"), 0, 108, 241, 2);
    Label4 = label(Panel6, "Label4", 2, 112, Lines({"Сума за плащане", "Total amount"}), a13b);
    Label3 = label(Panel6, "Label3", 186, 112, QStringLiteral("0"), a13b);
    Label61 = label(Panel6, "Label61", 186, 128, QStringLiteral("0"), a13b);

    // Signature block.
    Panel5 = new TPanel(Panel1, QStringLiteral("Panel5"), 80, 730, 633, 88);
    const QString nameAndSignature = Lines({"/име, фамилия и подпис/", "   /name and signature/"});
    Label32 = label(Panel5, "Label32", 0, 0, Lines({"Получател", "Recipient"}), a13b);
    Label35 = label(Panel5, "Label35", 80, 0, name40, a13);
    Label71 = label(Panel5, "Label71", 80, 16, name40, a13);
    Label14 = label(Panel5, "Label14", 80, 40, name40, a13);
    Label62 = label(Panel5, "Label62", 80, 56, nameAndSignature, a13);
    Label51 = label(Panel5, "Label51", 396, 0, Lines({"Съставил", "Issuer"}), a13b);
    Label52 = label(Panel5, "Label52", 473, 0, name40, a13);
    Label72 = label(Panel5, "Label72", 473, 16, name40, a13);
    Label17 = label(Panel5, "Label17", 469, 40, name40, a13);
    Label13 = label(Panel5, "Label13", 467, 56, nameAndSignature, a13);
    for (TLabel *l : {Label35, Label71, Label62, Label52, Label72, Label13})
        l->setColor(clWhite);
    for (TLabel *l : {Label35, Label71, Label52, Label72})
        plainEdit(l);

    // Footer, fixed at the bottom of the page.
    Label9 = label(Panel1, "Label9", 72, 1144,
                   QStringLiteral("Документът е изготвен с програмата Vornex 2007 / "
                                  "Document prepared with Vornex 2007"),
                   PixelFont(QStringLiteral("Times New Roman"), 11));
    Image1 = new TImage(Panel1, QStringLiteral("Image1"), 792, 1128, 42, 35);
    Image1->hide();

    // A block that grows stacks the page again.
    connect(Panel3, &TPanel::resized, this, Handler(this, &TDoc::ResizedExecute));
    connect(Memo4, &TPanel::resized, this, Handler(this, &TDoc::ResizedExecute));
}

void TDoc::FormCreate()
{
    ResizedExecute();
    NewExecute();
}

void TDoc::SpeedButton1Click()
{
    PrintOptionsForm->show();
    PrintOptionsForm->raise();
    PrintOptionsForm->activateWindow();
}

void TDoc::SpeedButton3Click()
{
    StartNewInvoice();
}

void TDoc::SpeedButton4Click()
{
    PreviewPage(PrintOptionsForm->Printer(), this);
}

void TDoc::NewExecute()
{
    Label8->move(CentredLeft(Label1->x(), Label1->width(), Label8->width()), Label8->y());
    Label15->move(CentredLeft(Label1->x(), Label1->width(), Label15->width()), Label15->y());

    const QString home = QLatin1Char(' ') + HomeCode(RunHomeCurrency);
    for (TLabel *amount : {Label5, Label7, Label3})
        amount->setCaption(WithSuffix(amount->caption(), home));
    const QString foreign = CurrencySuffix();
    for (TLabel *amount : {Label59, Label60, Label61})
        amount->setCaption(WithSuffix(amount->caption(), foreign));

    Label2->move(Label6->x(), Label2->y());
    Label4->move(Label6->x(), Label4->y());
    const AmountColumn column = AlignAmounts(Label6->x(), Label6->width(), Label5->width());
    Label5->move(column.firstLeft, Label5->y());
    for (TLabel *amount : {Label7, Label3, Label59, Label60, Label61})
        amount->move(column.rightEdge - amount->width(), amount->y());
    UpdateEuroNotice();
}

void TDoc::UpdateEuroNotice()
{
    EuroNotice->setVisible(EuroNoticeDue(RunHomeCurrency, Label15->caption()));
}

void TDoc::ResizedExecute()
{
    // Rows moved up to close gaps go back to their own places before the page is planned afresh.
    for (auto lifted = m_lifts.cbegin(); lifted != m_lifts.cend(); ++lifted)
        MoveTop(lifted.key(), lifted.key()->y() + lifted.value());
    m_lifts.clear();
    // The blocks take their contents' size first, so that the stacking sees the page as shown.
    for (TPanel *panel : {Panel6, Memo4, Panel3, Panel4, Panel2, Panel5})
        panel->fitToContents();

    PageContents page;
    page.blocks.customer = BlockOf(Panel3);
    page.blocks.supplier = BlockOf(Panel4);
    page.blocks.note = BlockOf(Panel2);
    page.blocks.lines = BlockOf(StringGrid2);
    page.blocks.upperRule = BlockOf(Bevel1);
    page.blocks.lower = BlockOf(Memo4);
    page.blocks.lowerRule = BlockOf(Bevel3);
    page.blocks.signatures = BlockOf(Panel5);
    page.noteShown = !Panel2->isHidden();
    page.lineRows = StringGrid2->rowCount();
    page.lineRowHeight = StringGrid2->rowHeights();
    // The totals and the note accounts beside the lower block's rows close up on their own.
    const QList<QList<QWidget *>> lowerColumns = ColumnsOf(Memo4, {Panel6, StringGrid1});
    const QList<QList<QWidget *>> signatureColumns = ColumnsOf(Panel5, {});
    page.lowerColumns = BlocksOf(lowerColumns);
    page.signatureColumns = BlocksOf(signatureColumns);
    page.footerTop = Label9->y();
    const PagePlan plan = PlanPage(page);

    if (plan.compaction.rowHeight != page.lineRowHeight)
        StringGrid2->setRowHeights(plan.compaction.rowHeight);
    if (StringGrid2->font().pixelSize() != plan.compaction.fontPixels)
        StringGrid2->setFont(PixelFont(QStringLiteral("Arial"), plan.compaction.fontPixels));
    StringGrid2->resize(StringGrid2->width(), plan.blocks.lines.height);
    liftRows(lowerColumns, plan.lowerLifts);
    liftRows(signatureColumns, plan.signatureLifts);
    Memo4->fitToContents();
    Panel5->fitToContents();

    MoveTop(Panel2, plan.blocks.note.top);
    MoveTop(StringGrid2, plan.blocks.lines.top);
    MoveTop(Bevel1, plan.blocks.upperRule.top);
    MoveTop(Memo4, plan.blocks.lower.top);
    MoveTop(Bevel3, plan.blocks.lowerRule.top);
    MoveTop(Panel5, plan.blocks.signatures.top);
}

void TDoc::liftRows(const QList<QList<QWidget *>> &columns, const QList<QList<int>> &lifts)
{
    for (int c = 0; c < columns.size(); ++c)
        for (int i = 0; i < columns[c].size(); ++i) {
            const int lift = lifts[c][i];
            if (lift == 0)
                continue;
            MoveTop(columns[c][i], columns[c][i]->y() - lift);
            m_lifts.insert(columns[c][i], lift);
        }
}

void TDoc::StringGrid2SelectCell(int, int, bool &canSelect)
{
    canSelect = false;
}

void TDoc::Label34Click(TLabel *label)
{
    QString caption = label->caption();
    if (dialogs().inputQuery(QString(), QString(), caption))
        label->setCaption(caption);
}

void TDoc::Label33Click(TLabel *label)
{
    WrapEdit(label, kCustomerWidthLimit, Panel3);
}

void TDoc::Label18Click(TLabel *label)
{
    WrapEdit(label, kLowerWidthLimit, Memo4);
}

void TDoc::WrapEdit(TLabel *label, int widthLimit, TPanel *container)
{
    Label34Click(label);
    // Also after a cancelled query: a caption written too wide from outside is wrapped here.
    const QFontMetrics metrics(label->font());
    const QString caption = label->caption();
    const QString wrapped = WrappedCaption(caption, widthLimit, [&metrics](const QString &line) {
        return metrics.horizontalAdvance(line);
    });
    if (wrapped == caption)
        return;
    label->setCaption(wrapped);
    if (label->parentWidget() != container)
        return;
    const int fieldTop = label->y();
    for (QWidget *child : DirectChildren(container))
        MoveTop(child, TopAfterWrap(child->y(), fieldTop));
    if (container->fitToContents())
        ResizedExecute();
}

void TDoc::Label15Click()
{
    EditNumberAndDate();
    UpdateEuroNotice();
}

void TDoc::Label22Click()
{
    EditNoteReference();
}

void TDoc::FormClose()
{
    if (PrintOptionsForm)
        PrintOptionsForm->close();
}

void TDoc::closeEvent(QCloseEvent *event)
{
    RunHandler([this] { FormClose(); });
    event->accept();
}
