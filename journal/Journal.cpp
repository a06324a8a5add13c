#include "journal/Journal.h"

#include "base/AtomicFiles.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "document/CurrentDocument.h"
#include "journal/JournalOutputs.h"
#include "journal/JournalStore.h"
#include "journal/JournalView.h"
#include "journal/NumberSeries.h"
#include "print/Pr.h"
#include "print/PrintPage.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Look.h"

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
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{
const QString kAllKinds = QStringLiteral("Всички");
const QColor kMarkedRow(0xFF, 0xD6, 0xD6);

QToolButton *Button(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setAutoRaise(true);
    return button;
}

QTableWidgetItem *Cell(const QString &text, bool right = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (right)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}
} // namespace

TJournal::TJournal(QWidget *parent) : TForm(parent)
{
    setObjectName(QStringLiteral("Journal"));
    setWindowFlags(Qt::Window);
    setWindowTitle(QStringLiteral("Дневник"));
    // A window left open lists a page as soon as it is issued.
    connect(&CurrentDocument::instance(), &CurrentDocument::printed, this, [this] {
        if (isVisible())
            RunHandler([this] { Reload(); });
    });
    SetBackground(this, clLightGrey);
    resize(1000, 600);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setPlaceholderText(QStringLiteral("Номер или клиент"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({kAllKinds, kKindInvoice, kKindProforma, kKindCreditNote, kKindDebitNote});
    CheckBox1 = new QCheckBox(QStringLiteral("Период"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    DateEdit1 = new QDateEdit(Today().addDays(1 - Today().day()), this);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit2 = new QDateEdit(Today(), this);
    DateEdit2->setObjectName(QStringLiteral("DateEdit2"));
    for (QDateEdit *edit : {DateEdit1, DateEdit2}) {
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        edit->setCalendarPopup(true);
    }

    StringGrid1 = new QTableWidget(0, 10, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setHorizontalHeaderLabels(
        {QStringLiteral("Номер"), QStringLiteral("Вид"), QStringLiteral("Дата"),
         QStringLiteral("Клиент"), QStringLiteral("Данъчна основа"), QStringLiteral("ДДС"),
         QStringLiteral("Сума за плащане"), QStringLiteral("Валута"), QStringLiteral("Екземпляр"),
         QStringLiteral("Номерация")});
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->horizontalHeader()->setStretchLastSection(true);

    Label1 = new TLabel(this, QStringLiteral("Label1"), 0, 0, QString(),
                        PixelFont(QStringLiteral("Arial"), 13, true));
    SpeedButton1 = Button(this, QStringLiteral("SpeedButton1"), QStringLiteral("Отвори PDF"));
    SpeedButton2 = Button(this, QStringLiteral("SpeedButton2"), QStringLiteral("Отпечатай отново"));
    SpeedButton3 = Button(this, QStringLiteral("SpeedButton3"), QStringLiteral("Запиши CSV"));
    SpeedButton4 = Button(this, QStringLiteral("SpeedButton4"), QStringLiteral("Обнови"));
    SpeedButton5 =
        Button(this, QStringLiteral("SpeedButton5"), QStringLiteral("Дневник за продажбите"));
    SpeedButton6 = Button(this, QStringLiteral("SpeedButton6"), QStringLiteral("Е-фактура"));

    auto *filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Търсене:"), this));
    filters->addWidget(Edit1, 2);
    filters->addWidget(new QLabel(QStringLiteral("Вид:"), this));
    filters->addWidget(ComboBox1, 1);
    filters->addWidget(CheckBox1);
    filters->addWidget(DateEdit1);
    filters->addWidget(new QLabel(QStringLiteral("–"), this));
    filters->addWidget(DateEdit2);
    auto *buttons = new QHBoxLayout;
    for (QToolButton *button :
         {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5, SpeedButton6})
        buttons->addWidget(button);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(StringGrid1, 1);
    layout->addWidget(Label1);
    layout->addLayout(buttons);

    const auto filter = [this] { RunHandler([this] { ApplyFilter(); }); };
    connect(Edit1, &QLineEdit::textChanged, this, filter);
    connect(ComboBox1, &QComboBox::currentTextChanged, this, filter);
    connect(CheckBox1, &QCheckBox::toggled, this, filter);
    connect(DateEdit1, &QDateEdit::dateChanged, this, filter);
    connect(DateEdit2, &QDateEdit::dateChanged, this, filter);
    connect(SpeedButton1, &QToolButton::clicked, this, Handler(this, &TJournal::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this, Handler(this, &TJournal::SpeedButton2Click));
    connect(SpeedButton3, &QToolButton::clicked, this, Handler(this, &TJournal::SpeedButton3Click));
    connect(SpeedButton4, &QToolButton::clicked, this, Handler(this, &TJournal::Reload));
    connect(SpeedButton5, &QToolButton::clicked, this, Handler(this, &TJournal::SpeedButton5Click));
    connect(SpeedButton6, &QToolButton::clicked, this, Handler(this, &TJournal::SpeedButton6Click));
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this,
            Handler(this, &TJournal::SpeedButton1Click));
}

void TJournal::showEvent(QShowEvent *event)
{
    TForm::showEvent(event);
    RunHandler([this] { Reload(); });
}

void TJournal::Reload()
{
    m_entries.clear();
    m_marks.clear();
    m_shown.clear();
    StringGrid1->setRowCount(0);
    m_entries = ReadJournal(JournalFileName(TablesFolder()));
    QVector<SeriesItem> items;
    for (const JournalEntry &entry : m_entries)
        items.append(SeriesItemOf(entry));
    for (const SeriesMark &mark : FindGapsAndRepeats(items))
        m_marks.append(MarkText(mark));
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
    m_shown.clear();
    QVector<QString> marks;
    for (int i = 0; i < m_entries.size(); ++i)
        if (MatchesFilter(m_entries[i], filter)) {
            m_shown.append(m_entries[i]);
            marks.append(m_marks.value(i));
        }

    StringGrid1->setRowCount(int(m_shown.size()));
    for (int row = 0; row < m_shown.size(); ++row) {
        const JournalEntry &e = m_shown[row];
        const QList<QTableWidgetItem *> cells{
            Cell(e.number),
            Cell(e.kind),
            Cell(e.documentDate),
            Cell(e.clientName),
            Cell(e.taxBase, true),
            Cell(e.vat, true),
            Cell(e.total, true),
            Cell(e.homeCurrency),
            Cell(e.copy ? QStringLiteral("Копие") : QStringLiteral("Оригинал")),
            Cell(marks[row])};
        for (int col = 0; col < cells.size(); ++col) {
            if (!marks[row].isEmpty())
                cells[col]->setBackground(kMarkedRow);
            StringGrid1->setItem(row, col, cells[col]);
        }
    }
    StringGrid1->resizeColumnsToContents();
    if (!m_shown.isEmpty())
        StringGrid1->selectRow(0);
    Label1->setCaption(m_shown.isEmpty() ? QStringLiteral("Няма документи.")
                                         : SumsText(SumsPerCurrency(m_shown)));
}

const JournalEntry &TJournal::chosen() const
{
    const int row = StringGrid1->currentRow();
    if (row < 0 || row >= m_shown.size())
        throw UserError(QStringLiteral("Изберете документ от дневника."));
    return m_shown[row];
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
    QSaveFile out(here);
    if (!out.open(QIODevice::WriteOnly) || out.write(kept) != kept.size() || !out.commit())
        throw UserError(QStringLiteral("Файлът %1 не може да бъде записан.")
                            .arg(QDir::toNativeSeparators(here)));
    return here;
}
} // namespace

void TJournal::SpeedButton1Click()
{
    const JournalEntry &entry = chosen();
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
    const JournalEntry &entry = chosen();
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
    if (fileName.isEmpty())
        return;
    WriteFileAtomically(fileName, JournalCsv(m_shown));
}

void TJournal::SpeedButton5Click()
{
    ShowSalesLedger(this);
}

void TJournal::SpeedButton6Click()
{
    SaveEInvoiceOfPage(chosen(), this);
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
