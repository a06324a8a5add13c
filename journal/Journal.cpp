#include "journal/Journal.h"

#include "base/AtomicFiles.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "document/CurrentDocument.h"
#include "document/Invoice.h"
#include "journal/JournalModel.h"
#include "journal/JournalOutputs.h"
#include "journal/JournalStore.h"
#include "journal/JournalView.h"
#include "print/Pr.h"
#include "print/PrintPage.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Look.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{
const QString kAllKinds = QStringLiteral("Всички");
const QColor kMarkedRow(0xFF, 0xD6, 0xD6);
constexpr quint32 clFindings = 0x0000B0; // dark red

// ---- The window as data ----------------------------------------------------------------------

// The rows of the window, top to bottom.
enum class Row { Filters, List, Sums, Findings, Buttons };
enum class Kind { Caption, Edit, Combo, Check, Date, Grid, Label, Button };

struct Font {
    const char *family; // none: the window's own
    int pixels;
    bool bold;
};

struct Control {
    Kind kind;
    const char *name; // the object name the program and its tests find it by
    const char *text; // caption, or the placeholder of an edit
    Row row;
    int stretch;
    Font font;
    void (TJournal::*click)() = nullptr; // a button's handler
};

const Font kPlain{nullptr, 0, false};
// The controls in the order they are made and laid out: left to right in their row. A further
// button is one more line here.
const Control kControls[] = {
    {Kind::Caption, "", "Търсене:", Row::Filters, 0, kPlain},
    {Kind::Edit, "Edit1", "Номер или клиент", Row::Filters, 2, kPlain},
    {Kind::Caption, "", "Вид:", Row::Filters, 0, kPlain},
    {Kind::Combo, "ComboBox1", "", Row::Filters, 1, kPlain},
    {Kind::Check, "CheckBox1", "Период", Row::Filters, 0, kPlain},
    {Kind::Date, "DateEdit1", "", Row::Filters, 0, kPlain},
    {Kind::Caption, "", "–", Row::Filters, 0, kPlain},
    {Kind::Date, "DateEdit2", "", Row::Filters, 0, kPlain},
    {Kind::Grid, "StringGrid1", "", Row::List, 1, kPlain},
    {Kind::Label, "Label1", "", Row::Sums, 0, {"Arial", 13, true}},
    {Kind::Label, "Label2", "", Row::Findings, 0, {"Arial", 13, false}},
    {Kind::Button, "SpeedButton1", "Отвори PDF", Row::Buttons, 0, kPlain,
     &TJournal::SpeedButton1Click},
    {Kind::Button, "SpeedButton2", "Отпечатай отново", Row::Buttons, 0, kPlain,
     &TJournal::SpeedButton2Click},
    {Kind::Button, "SpeedButton3", "Запиши CSV", Row::Buttons, 0, kPlain,
     &TJournal::SpeedButton3Click},
    {Kind::Button, "SpeedButton4", "Обнови", Row::Buttons, 0, kPlain, &TJournal::Reload},
    {Kind::Button, "SpeedButton5", "Дневник за продажбите", Row::Buttons, 0, kPlain,
     &TJournal::SpeedButton5Click},
    {Kind::Button, "SpeedButton6", "Е-фактура", Row::Buttons, 0, kPlain,
     &TJournal::SpeedButton6Click},
};

// The widths of the list's columns in pixels, in the model's order; the last takes the rest.
const int kColumnWidths[JournalModel::ColumnCount] = {90, 120, 80, 260, 110, 80, 120, 60, 80, 0};

// The window's size at its first opening.
const QSize kWindowSize(1000, 600);

QWidget *Make(const Control &c, QWidget *parent)
{
    const QString text = QString::fromUtf8(c.text);
    QWidget *widget = nullptr;
    switch (c.kind) {
    case Kind::Caption:
        widget = new QLabel(text, parent);
        break;
    case Kind::Edit: {
        auto *edit = new QLineEdit(parent);
        edit->setPlaceholderText(text);
        widget = edit;
        break;
    }
    case Kind::Combo: {
        auto *box = new QComboBox(parent);
        box->addItems({kAllKinds, kKindInvoice, kKindProforma, kKindCreditNote, kKindDebitNote});
        widget = box;
        break;
    }
    case Kind::Check:
        widget = new QCheckBox(text, parent);
        break;
    case Kind::Date: {
        auto *edit = new QDateEdit(parent);
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        edit->setCalendarPopup(true);
        widget = edit;
        break;
    }
    case Kind::Grid: {
        auto *grid = new QTableView(parent);
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        grid->verticalHeader()->hide();
        // Rows of one height: the view never asks a million rows for theirs.
        grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        grid->horizontalHeader()->setStretchLastSection(true);
        widget = grid;
        break;
    }
    case Kind::Label: {
        const QFont font = c.font.family ? PixelFont(QString::fromLatin1(c.font.family),
                                                     c.font.pixels, c.font.bold)
                                         : parent->font();
        widget = new TLabel(parent, QString::fromLatin1(c.name), 0, 0, text, font);
        break;
    }
    case Kind::Button: {
        auto *button = new QToolButton(parent);
        button->setText(text);
        button->setAutoRaise(true);
        widget = button;
        break;
    }
    }
    widget->setObjectName(QString::fromLatin1(c.name));
    return widget;
}

// The list with the marked rows on a pink ground.
class ListModel : public JournalModel
{
public:
    using JournalModel::JournalModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::BackgroundRole)
            return JournalModel::data(index, MarkedRole).toBool() ? QVariant(QBrush(kMarkedRow))
                                                                  : QVariant();
        return JournalModel::data(index, role);
    }
};
} // namespace

TJournal::TJournal(QWidget *parent)
    : TForm(parent), m_model(new ListModel(this)), m_background(new JournalBackground(this))
{
    setObjectName(QStringLiteral("Journal"));
    setWindowFlags(Qt::Window);
    setWindowTitle(QStringLiteral("Дневник"));
    SetBackground(this, clLightGrey);
    resize(kWindowSize);

    auto *layout = new QVBoxLayout(this);
    QHBoxLayout *filters = nullptr, *buttons = nullptr;
    for (const Control &c : kControls) {
        QWidget *widget = Make(c, this);
        switch (c.row) {
        case Row::Filters:
            if (!filters)
                layout->addLayout(filters = new QHBoxLayout);
            filters->addWidget(widget, c.stretch);
            break;
        case Row::Buttons:
            if (!buttons)
                layout->addLayout(buttons = new QHBoxLayout);
            buttons->addWidget(widget, c.stretch);
            break;
        default:
            layout->addWidget(widget, c.stretch);
            break;
        }
        if (c.click)
            connect(static_cast<QToolButton *>(widget), &QToolButton::clicked, this,
                    Handler(this, c.click));
    }
    buttons->addStretch();

    Edit1 = findChild<QLineEdit *>(QStringLiteral("Edit1"));
    ComboBox1 = findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    CheckBox1 = findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
    DateEdit1 = findChild<QDateEdit *>(QStringLiteral("DateEdit1"));
    DateEdit2 = findChild<QDateEdit *>(QStringLiteral("DateEdit2"));
    StringGrid1 = findChild<QTableView *>(QStringLiteral("StringGrid1"));
    Label1 = findChild<TLabel *>(QStringLiteral("Label1"));
    Label2 = findChild<TLabel *>(QStringLiteral("Label2"));
    SpeedButton1 = findChild<QToolButton *>(QStringLiteral("SpeedButton1"));
    SpeedButton2 = findChild<QToolButton *>(QStringLiteral("SpeedButton2"));
    SpeedButton3 = findChild<QToolButton *>(QStringLiteral("SpeedButton3"));
    SpeedButton4 = findChild<QToolButton *>(QStringLiteral("SpeedButton4"));
    SpeedButton5 = findChild<QToolButton *>(QStringLiteral("SpeedButton5"));
    SpeedButton6 = findChild<QToolButton *>(QStringLiteral("SpeedButton6"));

    const QDate today = Today();
    DateEdit1->setDate(today.addDays(1 - today.day()));
    DateEdit2->setDate(today);
    SetTextColor(Label2, clFindings);
    Label2->hide();
    StringGrid1->setModel(m_model);
    for (int column = 0; column < JournalModel::ColumnCount; ++column)
        if (kColumnWidths[column] > 0)
            StringGrid1->setColumnWidth(column, kColumnWidths[column]);

    const auto filter = [this] { RunHandler([this] { ApplyFilter(); }); };
    connect(Edit1, &QLineEdit::textChanged, this, filter);
    connect(ComboBox1, &QComboBox::currentTextChanged, this, filter);
    connect(CheckBox1, &QCheckBox::toggled, this, filter);
    connect(DateEdit1, &QDateEdit::dateChanged, this, filter);
    connect(DateEdit2, &QDateEdit::dateChanged, this, filter);
    connect(StringGrid1, &QTableView::doubleClicked, this,
            Handler(this, &TJournal::SpeedButton1Click));
    connect(m_model, &JournalModel::readFailed, this,
            [](const QString &message) { dialogs().showError(message); });
    connect(m_background, &JournalBackground::totalsReady, this, &TJournal::showTotals);
    connect(m_background, &JournalBackground::seriesChecked, this, [this](const QString &text) {
        m_findings = text;
        showFindings();
    });
    connect(m_background, &JournalBackground::failed, this,
            [](const QString &message) { dialogs().showError(message); });
    // A window left open lists a page as soon as it is issued.
    connect(&CurrentDocument::instance(), &CurrentDocument::printed, this, [this] {
        if (isVisible())
            RunHandler([this] { Reload(); });
    });
}

TJournal::~TJournal() = default;

void TJournal::showEvent(QShowEvent *event)
{
    TForm::showEvent(event);
    RunHandler([this] { Reload(); });
}

void TJournal::Reload()
{
    m_findings.clear();
    m_withoutKeys = 0;
    showFindings();
    m_source.clear();
    const QString journal = JournalFileName(TablesFolder());
    // A journal of an earlier layout, or with pages another program added, is made ready once;
    // a journal that cannot be written is made ready in a copy.
    std::unique_ptr<Progress> progress;
    const QString source = PrepareJournalForReading(
        journal, m_copyFolder.path(), [this, &progress](qint64 done, qint64 total) {
            if (!progress)
                progress = dialogs().startProgress(
                    QStringLiteral("Дневникът се подготвя за бързо търсене…"), this);
            return progress->advance(done, total);
        });
    progress.reset();
    try {
        m_model->setJournal(source);
    } catch (const JournalError &) {
        Label1->setCaption(QString());
        throw;
    }
    m_source = source;
    m_withoutKeys = PagesWithoutKeys(source);
    m_background->requestSeriesCheck(source, CountersForCheck(TablesFolder(), m_copyFolder.path()),
                                     ArchiveFolder(TablesFolder()));
    ApplyFilter();
}

void TJournal::ApplyFilter()
{
    JournalFilter filter;
    filter.search = Edit1->text();
    if (ComboBox1->currentText() != kAllKinds)
        filter.kind = ComboBox1->currentText();
    if (CheckBox1->isChecked()) {
        filter.from = DateEdit1->date();
        filter.to = DateEdit2->date();
    }
    if (m_source.isEmpty())
        return;
    m_model->setFilter(filter);
    if (m_model->rowCount() > 0)
        StringGrid1->selectRow(0);
    m_shownCount = -1;
    // A list that fits its first batch is summed at once; a longer one on the side, while the
    // user goes on typing.
    if (!m_model->canFetchMore(QModelIndex())) {
        if (const std::optional<JournalTotals> totals = m_model->reader()->totals(filter))
            showTotals(*totals);
        // An answer still on its way is for an older filter.
        m_background->cancelTotals();
        return;
    }
    Label1->setCaption(QStringLiteral("Сумите се изчисляват…"));
    m_background->requestTotals(m_source, filter);
}

void TJournal::showTotals(const JournalTotals &totals)
{
    m_shownCount = totals.count;
    Label1->setCaption(totals.count == 0 ? QStringLiteral("Няма документи.")
                                         : SumsText(totals.sums));
}

void TJournal::showFindings()
{
    QStringList lines;
    if (m_withoutKeys > 0)
        lines << QStringLiteral("Дневникът е подготвен отчасти: %1 страници още не са в списъка; "
                                "отворете го отново, за да продължи подготовката.")
                     .arg(m_withoutKeys);
    if (!m_findings.isEmpty())
        lines << m_findings;
    Label2->setCaption(lines.join(QLatin1Char('\n')));
    Label2->setVisible(!lines.isEmpty());
}

JournalEntry TJournal::Chosen() const
{
    const qint64 id = m_model->idAt(StringGrid1->currentIndex().row());
    if (id == 0 || !m_model->reader())
        throw UserError(QStringLiteral("Изберете документ от дневника."));
    return m_model->reader()->entry(id);
}

namespace
{
// The page's file on this desk: its own, or, when another desk printed the page, the copy the
// server's journal keeps, written into the system's temporary folder; empty when there is none.
QString PageFileHere(const QString &file, const QByteArray &kept)
{
    if (!file.isEmpty() && QFileInfo::exists(file))
        return file;
    if (file.isEmpty() || kept.isEmpty())
        return QString();
    const QString here = QDir(QDir::tempPath()).filePath(QFileInfo(file).fileName());
    WriteFileAtomically(here, kept);
    return here;
}
} // namespace

void TJournal::SpeedButton1Click()
{
    const JournalEntry entry = Chosen();
    const QString journal = JournalFileName(TablesFolder());
    const bool here = !entry.pdfFile.isEmpty() && QFileInfo::exists(entry.pdfFile);
    const QString pdf =
        PageFileHere(entry.pdfFile, here ? QByteArray() : ReadJournalPdf(journal, entry.id));
    if (pdf.isEmpty())
        throw UserError(QStringLiteral("PDF файлът на документ № %1 липсва.").arg(entry.number));
    if (!dialogs().shellOpenFile(pdf))
        throw UserError(QStringLiteral("Няма програма, която да покаже %1.")
                            .arg(QDir::toNativeSeparators(pdf)));
}

void TJournal::SpeedButton2Click()
{
    // A reprint prints the archived page as it was issued: no new number, no journal row.
    const JournalEntry entry = Chosen();
    const bool here = QFileInfo::exists(entry.bitmapFile);
    const QString bitmap = PageFileHere(
        entry.bitmapFile,
        here ? QByteArray() : ReadJournalBitmap(JournalFileName(TablesFolder()), entry.id));
    ReprintArchivedPage(bitmap.isEmpty() ? entry.bitmapFile : bitmap, PrintOptionsForm->Printer(),
                        this);
}

void TJournal::SpeedButton3Click()
{
    const QString proposed = QDir(TablesFolder()).filePath(QStringLiteral("Дневник.csv"));
    const QString fileName = dialogs().saveFileName(this, proposed, QStringLiteral("CSV (*.csv)"));
    if (fileName.isEmpty() || !m_model->reader())
        return;
    const JournalReader &reader = *m_model->reader();
    const JournalFilter filter = m_model->filter();
    qint64 total = m_shownCount;
    if (total < 0)
        if (const std::optional<JournalTotals> totals = reader.totals(filter))
            total = totals->count;

    // Row after row into the file: a million rows take no more memory than a few. The file
    // appears only whole, and not at all when cancelled.
    AtomicFileStream file(fileName);
    const std::unique_ptr<Progress> progress = dialogs().startProgress(
        QStringLiteral("Записване на %1…").arg(QDir::toNativeSeparators(fileName)), this);
    bool whole = false;
    try {
        whole = WriteJournalCsv(reader, filter, file, total, [&progress](qint64 done, qint64 all) {
            return progress->advance(done, all);
        });
    } catch (const JournalError &) {
        throw;
    } catch (const UserError &error) {
        throw UserError(CannotWriteMessage(
            fileName, file.failureReason().isEmpty() ? error.message() : file.failureReason()));
    }
    // A cancelled export leaves no file; the stream takes its temporary file with it.
    if (whole)
        file.commit();
}

void TJournal::SpeedButton5Click()
{
    ShowSalesLedger(this);
}

void TJournal::SpeedButton6Click()
{
    SaveEInvoiceOfPage(Chosen(), this);
}

namespace
{
QPointer<TJournal> &TheJournalWindow()
{
    static QPointer<TJournal> window;
    return window;
}
} // namespace

TJournal *JournalWindow(QWidget *owner)
{
    QPointer<TJournal> &window = TheJournalWindow();
    if (!window)
        window = new TJournal(owner);
    return window;
}
