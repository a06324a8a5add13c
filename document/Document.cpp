#include "document/Document.h"

#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "document/CurrentDocument.h"
#include "document/Numbering.h"
#include "document/PageDesign.h"
#include "document/PageLayout.h"
#include "document/PageText.h"
#include "document/WordsLines.h"
#include "euro/HomeCurrency.h"
#include "lines/Amounts.h"
#include "print/ArchiveName.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Look.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSignalBlocker>
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
// Air between the title and the logo, and the page's left margin for a long title.
constexpr int kTitleGap = 8;
constexpr int kPageMargin = 8;

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

QFont FontOf(const PageFont &font)
{
    return PixelFont(QString::fromLatin1(font.family), font.pixels, font.bold);
}

// The designed caption of a field: the dots of a field to fill while it is empty, so that it can
// be clicked and filled by hand on paper; the supplier's captions until an own company is taken.
bool ShowsPlaceholder(const PagePart &part, const Invoice &doc, const QString &text)
{
    if (part.group == PartGroup::Supplier && part.look == PartLook::Plain)
        return doc.supplier == Party() && doc.place.isEmpty() && doc.place2.isEmpty() &&
               doc.issuedBy.isEmpty() && doc.issuedBy2.isEmpty();
    return text.isEmpty();
}

// The number of lines of a caption.
int LineCount(const QString &caption)
{
    return int(caption.count(QLatin1Char('\n'))) + 1;
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
    connect(&CurrentDocument::instance(), &CurrentDocument::changed, this,
            [this] { RunHandler([this] { ShowDocument(TheDocument()); }); });
}

TDoc::~TDoc() = default;

void TDoc::buildPage()
{
    QHash<QString, QWidget *> parents{{QStringLiteral("Panel1"), Panel1}};
    for (const PagePart &part : PageParts()) {
        QWidget *parent = parents.value(QString::fromLatin1(part.parent));
        const QString name = QString::fromLatin1(part.name);
        QWidget *made = nullptr;
        switch (part.kind) {
        case PartKind::Label:
        case PartKind::FixedLabel: {
            auto *label = new TLabel(parent, name, part.left, part.top, part.text,
                                     FontOf(part.font), part.kind == PartKind::Label);
            if (part.kind == PartKind::FixedLabel)
                label->resize(part.width, part.height);
            if (part.look == PartLook::Silver || part.look == PartLook::SilverSeeThrough)
                label->setColor(clSilver);
            if (part.look == PartLook::SilverSeeThrough)
                label->setTransparent();
            if (part.look == PartLook::White)
                label->setColor(clWhite);
            if (part.maxWidth > 0)
                label->setMaximumWidth(part.maxWidth);
            if (part.edit != PartEdit::None) {
                label->setCursor(Qt::PointingHandCursor);
                connect(label, &TLabel::clicked, this,
                        [this, &part] { RunHandler([this, &part] { FieldClick(part); }); });
            }
            this->*part.label = label;
            made = label;
            break;
        }
        case PartKind::Panel: {
            auto *panel = new TPanel(parent, name, part.left, part.top, part.width, part.height);
            this->*part.panel = panel;
            parents.insert(name, panel);
            made = panel;
            break;
        }
        case PartKind::Bevel:
            made = this->*part.bevel =
                       new TBevel(parent, name, part.left, part.top, part.width, part.height);
            break;
        case PartKind::Image:
            made = this->*part.image =
                       new TImage(parent, name, part.left, part.top, part.width, part.height);
            break;
        case PartKind::Code:
            made = this->*part.code =
                       new TPaymentCode(parent, name, part.left, part.top, part.width, part.height);
            break;
        case PartKind::Grid:
            break;
        }
        if (part.kind == PartKind::Grid) {
            const bool lines = name == QLatin1String("StringGrid2");
            auto *grid = new TStringGrid(parent, name, part.left, part.top, part.width, part.height,
                                         lines ? QList<int>{51, 271, 53, 53, 91, 90, 89, 90}
                                               : QList<int>{26, 146, 90},
                                         lines ? 18 : 20, lines ? 2 : 5);
            grid->setFont(FontOf(part.font));
            this->*part.grid = grid;
            made = grid;
        }
        m_design.insert(made, made->geometry());
    }

    // A long title such as the proforma's reaches under the logo; it stays readable over it.
    Image2->setTransparent(true);
    Label1->raise();
    Panel2->hide();
    Image1->hide();

    // The lines grid is filled from the document and never selected.
    StringGrid2->setHorizontalLines(false);
    StringGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid2->setSelectionMode(QAbstractItemView::NoSelection);
    StringGrid2->onSelectCell = [this](int col, int row, bool &canSelect) {
        StringGrid2SelectCell(col, row, canSelect);
    };

    // Note accounts: typed in directly once a note kind shows them.
    StringGrid1->setFixedRows(2);
    StringGrid1->setFixedColor(clWhite);
    // The editor is always shown on the current cell.
    StringGrid1->setEditTriggers(QAbstractItemView::AllEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int row = 0; row < StringGrid1->rowCount(); ++row)
        for (int col = 0; col < StringGrid1->columnCount(); ++col)
            StringGrid1->setCell(col, row, QString());
    StringGrid1->hide();
    connect(StringGrid1, &QTableWidget::itemChanged, this,
            [this] { RunHandler([this] { NoteAccountsEdited(); }); });

    // A block that grows stacks the page again.
    connect(Panel3, &TPanel::resized, this, Handler(this, &TDoc::ResizedExecute));
    connect(Memo4, &TPanel::resized, this, Handler(this, &TDoc::ResizedExecute));
}

void TDoc::FormCreate()
{
    ShowDocument(TheDocument());
}

void TDoc::ShowDocument(const Invoice &doc)
{
    if (m_showing)
        return;
    m_showing = true;
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done{m_showing};

    // Everything back to its designed place; the rows lifted to close gaps are there already.
    for (auto design = m_design.cbegin(); design != m_design.cend(); ++design)
        design.key()->move(design.value().topLeft());
    m_lifts.clear();

    showFields(doc);
    showLines(doc);
    showTotals(doc);
    showNote(doc);
    showLogo(doc);
    // A note has its accounts where the code would go; a credit note asks for no payment.
    PaymentCode->setText(doc.isNote() || doc.number == 0 ? QString() : PaymentCodeText(doc));
    NO->setCaption(doc.number == 0 ? QStringLiteral("0") : doc.numberText());
    SVpath->setCaption(TablesFolder());
    Bevel3->resize(Bevel1->width(), Bevel3->height());

    NewExecute();
    ResizedExecute();
}

void TDoc::showFields(const Invoice &doc)
{
    // Each field's text, broken at blanks where it is wider than its place; the rows below a field
    // that takes more lines move down within its block.
    QHash<QWidget *, int> shifts;
    for (const PagePart &part : PageParts()) {
        if (!part.label || !part.show)
            continue;
        TLabel *label = this->*part.label;
        const QString text = part.show(doc);
        QString caption = ShowsPlaceholder(part, doc, text) ? part.text : text;
        const QFontMetrics metrics(label->font());
        const auto width = [&metrics](const QString &line) {
            return metrics.horizontalAdvance(line);
        };
        if (part.wrapWidth > 0)
            caption = BreakAtBlanks(caption, part.wrapWidth, width);
        caption = FitCaption(caption, part.maxWidth, part.maxLines, width);
        label->setCaption(caption);
        if (LineCount(caption) > 1 && part.wrapWidth > 0) {
            const int step =
                part.wrapShift > 0 ? part.wrapShift : QFontMetrics(label->font()).lineSpacing();
            shifts.insert(label, (LineCount(caption) - 1) * step);
        }
    }
    for (auto wrapped = shifts.cbegin(); wrapped != shifts.cend(); ++wrapped) {
        const int fieldTop = m_design.value(wrapped.key()).top();
        for (QWidget *child : DirectChildren(wrapped.key()->parentWidget()))
            if (m_design.value(child).top() > fieldTop)
                MoveTop(child, child->y() + wrapped.value());
    }
}

void TDoc::showLines(const Invoice &doc)
{
    const QString home = PageCurrencyLabel(doc.homeCurrency);
    QList<QStringList> rows{LineTableHeader(0, home, doc.foreignCurrency),
                            LineTableHeader(1, home, doc.foreignCurrency)};
    for (const InvoiceLine &line : doc.lines) {
        rows << QStringList{QString::number(line.number),
                            line.description.value(0),
                            line.unit,
                            line.quantity.text(),
                            line.unitPrice.text(),
                            line.unitPriceForeign.text(),
                            line.value.text(),
                            line.valueForeign.text()};
        for (qsizetype i = 1; i < line.description.size(); ++i)
            rows << QStringList{QString(), line.description.at(i),
                                QString(), QString(),
                                QString(), QString(),
                                QString(), QString()};
    }
    TStringGrid *grid = StringGrid2;
    grid->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row)
        for (int col = 0; col < grid->columnCount(); ++col)
            grid->setCell(col, row, rows[row].value(col));
    grid->setFixedRows(rows.size() > 2 ? 2 : 1);
    // Every row with its grid line, and the frame.
    grid->resize(grid->width(),
                 int(rows.size()) * grid->verticalHeader()->defaultSectionSize() + 3);
}

void TDoc::showTotals(const Invoice &doc)
{
    const QString home = QLatin1Char(' ') + PageCurrencyLabel(doc.homeCurrency);
    const QString foreign = QLatin1Char(' ') + doc.foreignCurrency;
    Label5->setCaption(doc.home.net.text() + home);
    Label7->setCaption(doc.home.vat.text() + home);
    Label3->setCaption(doc.home.gross.text() + home);
    Label59->setCaption(doc.foreign.net.text() + foreign);
    Label60->setCaption(doc.foreign.vat.text() + foreign);
    Label61->setCaption(doc.foreign.gross.text() + foreign);
}

void TDoc::showNote(const Invoice &doc)
{
    const bool note = doc.isNote();
    Panel2->setVisible(note);
    StringGrid1->setVisible(note);
    if (!note)
        return;
    const QSignalBlocker blocker(StringGrid1);
    TStringGrid *grid = StringGrid1;
    grid->setCell(0, 0, QStringLiteral("№"));
    grid->setCell(0, 1, QStringLiteral("No"));
    // A note title typed by hand leaves the account column's header as it was.
    if (doc.noteKind() == NoteKind::Debit) {
        grid->setCell(1, 0, QStringLiteral("Дебит с/ка"));
        grid->setCell(1, 1, QStringLiteral("Debit account"));
    }
    if (doc.noteKind() == NoteKind::Credit) {
        grid->setCell(1, 0, QStringLiteral("Кредит с/ка"));
        grid->setCell(1, 1, QStringLiteral("Credit account"));
    }
    grid->setCell(2, 0, QStringLiteral("Сума"));
    grid->setCell(2, 1, QStringLiteral("Sum"));
    for (int row = grid->fixedRows(); row < grid->rowCount(); ++row) {
        const NoteAccount account = doc.noteAccounts.value(row - grid->fixedRows());
        grid->setCell(0, row, account.number);
        grid->setCell(1, row, account.account);
        grid->setCell(2, row, account.sum);
    }
}

void TDoc::showLogo(const Invoice &doc)
{
    if (doc.logo == m_logoShown && !(doc.logo.isEmpty() && !Image2->pixmap().isNull()))
        return;
    m_logoShown = doc.logo;
    QPixmap logo;
    if (!doc.logo.isEmpty())
        logo.loadFromData(doc.logo);
    if (logo.isNull())
        Image2->clear();
    else
        Image2->setPixmap(logo);
}

void TDoc::NoteAccountsEdited()
{
    if (m_showing)
        return;
    QVector<NoteAccount> accounts;
    TStringGrid *grid = StringGrid1;
    for (int row = grid->fixedRows(); row < grid->rowCount(); ++row)
        accounts.append({grid->cell(0, row), grid->cell(1, row), grid->cell(2, row)});
    ChangeDocument([&accounts](Invoice &doc) { doc.noteAccounts = accounts; });
}

void TDoc::SpeedButton1Click()
{
    emit printRequested();
}

void TDoc::SpeedButton3Click()
{
    StartNewInvoice();
}

void TDoc::SpeedButton4Click()
{
    emit previewRequested();
}

TDoc::FieldLooks TDoc::ShowAsPrinted(const QString &mark)
{
    FieldLooks looks;
    for (const PagePart &part : PageParts()) {
        if (part.look != PartLook::Silver && part.look != PartLook::SilverSeeThrough)
            continue;
        TLabel *label = this->*part.label;
        looks.labels << label;
        looks.palettes << label->palette();
        looks.filled << label->autoFillBackground();
        label->setColor(clWhite);
    }
    if (!mark.isEmpty())
        Label8->setCaption(mark);
    NewExecute();
    return looks;
}

void TDoc::StartAfresh()
{
    for (const PagePart &part : PageParts()) {
        if (!part.label)
            continue;
        TLabel *label = this->*part.label;
        if (part.look == PartLook::Silver || part.look == PartLook::SilverSeeThrough)
            label->setColor(clSilver);
        if (part.look == PartLook::SilverSeeThrough)
            label->setTransparent();
    }
    Label8->setCaption(kOriginalMark);
    ShowDocument(TheDocument());
}

void TDoc::RestoreLooks(const FieldLooks &looks)
{
    for (int i = 0; i < looks.labels.size(); ++i) {
        looks.labels[i]->setPalette(looks.palettes[i]);
        looks.labels[i]->setAutoFillBackground(looks.filled[i]);
    }
}

void TDoc::NewExecute()
{
    // The title is centred on the page, unless it would reach the logo: then it ends before it.
    const int centred = Panel1->width() / 2 - Label1->width() / 2;
    const int beforeLogo = Image2->x() - kTitleGap - Label1->width();
    Label1->move(std::max(kPageMargin, std::min(centred, beforeLogo)), Label1->y());
    Label8->move(CentredLeft(Label1->x(), Label1->width(), Label8->width()), Label8->y());
    Label15->move(CentredLeft(Label1->x(), Label1->width(), Label15->width()), Label15->y());

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
    EuroNotice->setVisible(EuroNoticeDue(RunHomeCurrency, TheDocument().issueDate));
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
    const QList<QList<QWidget *>> lowerColumns =
        ColumnsOf(Memo4, {Panel6, StringGrid1, PaymentCode});
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

void TDoc::FieldClick(const PagePart &part)
{
    switch (part.edit) {
    case PartEdit::None:
        return;
    case PartEdit::NumberLine:
        Label15Click();
        return;
    case PartEdit::Reference:
        Label22Click();
        return;
    case PartEdit::Text:
        break;
    }
    QString text = part.show(TheDocument());
    if (!dialogs().inputQuery(QString(), QString(), text))
        return;
    // The page stays one page: a field takes what fits its place.
    if (part.maxChars > 0 && text.size() > part.maxChars)
        throw UserError(QStringLiteral("Текстът е твърде дълъг (%1 знака): в това поле се "
                                       "побират до %2 знака.")
                            .arg(text.size())
                            .arg(part.maxChars));
    ChangeDocument([&part, &text](Invoice &doc) { part.store(doc, text); });
}

void TDoc::Label15Click()
{
    EditNumberAndDate();
}

void TDoc::Label22Click()
{
    EditNoteReference();
}

void TDoc::FormClose()
{
    emit closed();
}

void TDoc::closeEvent(QCloseEvent *event)
{
    RunHandler([this] { FormClose(); });
    event->accept();
}
