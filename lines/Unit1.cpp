#include "lines/Unit1.h"

#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "document/CurrentDocument.h"
#include "document/DocumentLines.h"
#include "document/ZeroVatGrounds.h"
#include "euro/HomeCurrency.h"
#include "lines/Amounts.h"
#include "lines/DescriptionWrap.h"
#include "lines/MemoryFile.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Look.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QToolButton>

TForm1 *Form1 = nullptr;
QString VatText = QStringLiteral("20%");
double VatFactor = 0.2;
int LineCounter = 0;

namespace
{
const QString kNumberPlaceholder = QStringLiteral("Пор. №");
const QString kDescriptionPlaceholder = QStringLiteral("Въведи тук Стока/Услуга");
const QString kUnitPlaceholder = QStringLiteral("Мярка");
const QString kQuantityPlaceholder = QStringLiteral("К-во");
const QString kPricePlaceholder = QStringLiteral("Стойност");

// The grid holds the two header rows and at most 25 rows below them before a line is refused.
constexpr int kMaxRowsBeforeAdd = 26;
// An empty row can be added only below this row count.
constexpr int kEmptyRowLimit = 23;
constexpr int kRowHeight = 18;
constexpr quint32 kPanelColour = 13882323;
constexpr quint32 clRed = 0x0000FF;
// The unit price cell keeps the price as entered, which may have more decimals than it shows, so
// that the line can be worked out again exactly at another currency rate.
constexpr int kEnteredPriceRole = Qt::UserRole;

const QStringList kMemoryDefaults = {QStringLiteral("20%"), QStringLiteral("ФАКТУРА / INVOICE"),
                                     QString(), kNoZeroVatGround};

// Shown when the decimal separator in force is no longer "." once the VAT rate is known.
const QString kDecimalSeparatorMessage =
    QStringLiteral("Моля, конфигурирайте вашата операционна система за коректна работа с "
                   "програмата:\n"
                   "отидете на:\n"
                   "My Computer->Control Panel->Regional and Language Options->  изберете "
                   "'Regional Options' и натиснете бутона 'customize',за полето 'Decimal Symbol', "
                   "трябва да бъде попълнено '.' (знака: точка), вместо друг символ, натиснете "
                   "'ОК' и отново 'ОК'.");

QFont FormFont()
{
    return PixelFont(QStringLiteral("Arial"), 11);
}

// A memo's text as its lines: a final line break starts no further line, an empty memo has none.
QStringList MemoLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

QLineEdit *EntryField(QWidget *parent, const QString &name, int left, int top, int width,
                      const QString &placeholder)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(left, top, width, 19);
    edit->setFrame(false);
    edit->setFont(PixelFont(QStringLiteral("Arial"), 13, true));
    SetBackground(edit, clBackground);
    SetTextColor(edit, clWhite);
    edit->setText(placeholder);
    edit->hide();
    return edit;
}

QComboBox *ChoiceBox(QWidget *parent, const QString &name, int left, int top,
                     const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // A shortened title stays as typed; completing it would turn it into the proforma item.
    box->setCompleter(nullptr);
    box->addItems(items);
    box->setGeometry(left, top, 257, 21);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, ColorFromNumber(clWhite));
    box->setPalette(palette);
    // A picked item is shown from its beginning, as the long titles do not fit the box.
    QObject::connect(box, &QComboBox::activated, box,
                     [box] { box->lineEdit()->setCursorPosition(0); });
    return box;
}
} // namespace

void FitGridHeight(QTableWidget *grid)
{
    const int rowHeight = grid->verticalHeader()->defaultSectionSize();
    grid->resize(grid->width(), grid->rowCount() * (rowHeight + 1) + 3);
}

TForm1::TForm1()
{
    // The run's built-in defaults, before the memory file and the prompt replace them.
    VatText = QStringLiteral("20%");
    VatFactor = 0.2;
    LineCounter = 0;
    CurrencyCode = QStringLiteral("EUR");
    CurrencyRate = 1.95583;

    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Таблица"));
    // A fixed single border with the minimise and close boxes.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(818, 473);
    move(124, 125);
    SetBackground(this, clLightGrey);
    setFont(FormFont());

    StringGrid1 = new QTableWidget(2, 8, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setGeometry(8, 8, 801, 361);
    StringGrid1->setFrameShape(QFrame::NoFrame);
    StringGrid1->setFont(PixelFont(QStringLiteral("Arial"), 13));
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setMinimumSectionSize(1);
    StringGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const int widths[] = {51, 269, 53, 53, 91, 90, 89, 90};
    for (int column = 0; column < 8; ++column)
        StringGrid1->setColumnWidth(column, widths[column]);
    StringGrid1->setWordWrap(false);
    StringGrid1->setTextElideMode(Qt::ElideNone);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::AllEditTriggers);
    // White cells as in any grid; the grid starts disabled, its texts stay as readable as when
    // it is enabled.
    SetBackground(StringGrid1, clWhite);
    QPalette gridPalette = StringGrid1->palette();
    gridPalette.setColor(QPalette::Disabled, QPalette::Text,
                         gridPalette.color(QPalette::Active, QPalette::Text));
    gridPalette.setColor(QPalette::Disabled, QPalette::Base,
                         gridPalette.color(QPalette::Active, QPalette::Base));
    StringGrid1->setPalette(gridPalette);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 8; ++column)
            SetCell(row, column, QString());
    StringGrid1->setEnabled(false);
    StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(StringGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        RunHandler([this, pos] {
            dialogs().popupMenu(PopupMenu1, StringGrid1->viewport()->mapToGlobal(pos));
        });
    });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(QStringLiteral("Добави празен ред"));
    N1->setObjectName(QStringLiteral("N1"));
    connect(N1, &QAction::triggered, this, Handler(this, &TForm1::N1Click));
    Clear1 = PopupMenu1->addAction(QStringLiteral("Изчисти всичко"));
    Clear1->setObjectName(QStringLiteral("Clear1"));
    connect(Clear1, &QAction::triggered, this, Handler(this, &TForm1::Clear1Click));

    SpeedButton4 = MakeSpeedButton(this, QStringLiteral("SpeedButton4"), 8, 372, 153, 22,
                                   QStringLiteral("Таблица"));
    connect(SpeedButton4, &QToolButton::clicked, this, Handler(this, &TForm1::SpeedButton4Click));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->move(8, 400);
    SetBackground(Panel1, kPanelColour);
    const QFont font = FormFont();
    Label6 = new TLabel(Panel1, QStringLiteral("Label6"), 1, 1, QStringLiteral("Всичко :"), font);
    Label7 = new TLabel(Panel1, QStringLiteral("Label7"), 137, 1, QStringLiteral("0"), font);
    Label2 = new TLabel(Panel1, QStringLiteral("Label2"), 1, 15, QStringLiteral("% :"), font);
    Label3 = new TLabel(Panel1, QStringLiteral("Label3"), 137, 33, QStringLiteral("0"), font);
    Label4 = new TLabel(Panel1, QStringLiteral("Label4"), 1, 47, QStringLiteral("Общо :"), font);
    Label5 = new TLabel(Panel1, QStringLiteral("Label5"), 137, 47, QStringLiteral("0"), font);
    for (TLabel *label : {Label6, Label7, Label2, Label3, Label4, Label5})
        label->setFontColor(clBlack);
    FitPanel();

    auto hiddenLabel = [this, &font](const char *name, const QString &caption) {
        auto *label = new TLabel(this, QString::fromLatin1(name), 0, 0, caption, font);
        label->hide();
        return label;
    };
    Label11 = hiddenLabel("Label11", QStringLiteral("0"));
    Label12 = hiddenLabel("Label12", QStringLiteral("0"));
    Label13 = hiddenLabel("Label13", QStringLiteral("0"));
    Label14 = hiddenLabel("Label14", QStringLiteral("Vat %"));
    Label10 = hiddenLabel("Label10", QStringLiteral("0"));
    Label9 = hiddenLabel("Label9", QStringLiteral("0"));
    Label1 = hiddenLabel("Label1", QStringLiteral("0"));
    Label8 = hiddenLabel("Label8", QStringLiteral("0"));

    ComboBox3 = EntryField(this, QStringLiteral("ComboBox3"), 8, 6, 65, kNumberPlaceholder);
    ComboBox3->setMaxLength(6);
    Stock = new QPlainTextEdit(this);
    Stock->setObjectName(QStringLiteral("Stock"));
    Stock->setGeometry(80, 6, 537, 43);
    Stock->setFrameShape(QFrame::NoFrame);
    Stock->setLineWrapMode(QPlainTextEdit::NoWrap);
    Stock->setFont(PixelFont(QStringLiteral("Arial"), 13, true));
    SetBackground(Stock, clBackground);
    SetTextColor(Stock, clWhite);
    Stock->setPlainText(kDescriptionPlaceholder);
    Stock->hide();
    Edit4 = EntryField(this, QStringLiteral("Edit4"), 624, 6, 49, kUnitPlaceholder);
    Edit3 = EntryField(this, QStringLiteral("Edit3"), 680, 6, 49, kQuantityPlaceholder);
    Edit1 = EntryField(this, QStringLiteral("Edit1"), 736, 6, 73, kPricePlaceholder);
    for (QLineEdit *edit : {ComboBox3, Edit4, Edit3, Edit1})
        edit->installEventFilter(this);
    connect(Edit1, &QLineEdit::textChanged, this, Handler(this, &TForm1::Edit1Change));
    connect(Edit3, &QLineEdit::textChanged, this, Handler(this, &TForm1::Edit3Change));
    SpeedButton1 = MakeSpeedButton(this, QStringLiteral("SpeedButton1"), 120, 28, 689, 22,
                                   QStringLiteral("Добави"));
    SpeedButton1->hide();
    connect(SpeedButton1, &QToolButton::clicked, this, Handler(this, &TForm1::SpeedButton1Click));

    Label15 =
        new TLabel(this, QStringLiteral("Label15"), 480, 388, QStringLiteral("Документ"), font);
    Label16 =
        new TLabel(this, QStringLiteral("Label16"), 480, 414, QStringLiteral("Известие"), font);
    Label17 =
        new TLabel(this, QStringLiteral("Label17"), 480, 438, QStringLiteral("Основания"), font);
    ComboBox2 = ChoiceBox(this, QStringLiteral("ComboBox2"), 552, 384,
                          {QStringLiteral("ФАКТУРА / INVOICE"),
                           QStringLiteral("ПРОФОРМА ФАКТУРА / PROFORMA INVOICE")});
    ComboBox1 = ChoiceBox(this, QStringLiteral("ComboBox1"), 552, 410,
                          {QString(), QStringLiteral("Кредитно известие / Credit note"),
                           QStringLiteral("Дебитно известие / Debit note")});
    ComboBox4 = ChoiceBox(this, QStringLiteral("ComboBox4"), 552, 436, ZeroVatGroundItems());
    connect(ComboBox2, &QComboBox::currentTextChanged, this,
            Handler(this, &TForm1::ComboBox2Change));
    connect(ComboBox1, &QComboBox::currentTextChanged, this,
            Handler(this, &TForm1::ComboBox1Change));
    connect(ComboBox4, &QComboBox::currentTextChanged, this,
            Handler(this, &TForm1::ComboBox4Change));
    SpeedButton2 = MakeSpeedButton(this, QStringLiteral("SpeedButton2"), 368, 428, 31, 30,
                                   QStringLiteral("?"));
    SpeedButton2->setFont(PixelFont(QStringLiteral("Arial"), 13, true));
    SetTextColor(SpeedButton2, clRed);
    connect(SpeedButton2, &QToolButton::clicked, this, Handler(this, &TForm1::SpeedButton2Click));
}

void TForm1::FormCreate()
{
    // Runs while the forms are being created: the browser and the invoice page do not exist yet.
    RunHomeCurrency = HomeCurrency::Leva;
    try {
        RunHomeCurrency = ReadHomeCurrency(SettingsPath(ProgramFolder));
    } catch (const std::exception &error) {
        ReportError(error);
    }
    CurrencyCode = StartCurrencyCode(RunHomeCurrency);
    CurrencyRate = StartCurrencyRate(RunHomeCurrency);
    ShowCurrenciesInDocument();
    LoadMemory();
    WriteHeaderRows();
    // Amounts are typed, stored and compared with "." as the decimal separator.
    QLocale::setDefault(QLocale::c());
    AskVatRate();
    // A setting changed while the prompt was open would spoil every amount: the user is told how
    // to set it right, and the table is closed.
    if (QLocale().decimalPoint() != QLatin1String(".")) {
        dialogs().showMessage(kDecimalSeparatorMessage);
        close();
    }
}

void TForm1::LoadMemory()
{
    MemoryList.clear();
    const QString path = ProgramPath(QStringLiteral("Vmem.txt"));
    if (QFile::exists(path)) {
        try {
            MemoryList = ReadMemoryFile(path);
        } catch (const std::exception &error) {
            ReportError(error);
            MemoryList = kMemoryDefaults;
        }
    } else {
        MemoryList = kMemoryDefaults;
    }

    // A stored rate that is no rate at all is not offered again; the built-in one is.
    if (!MemoryList.isEmpty()) {
        try {
            VatFactorFromText(MemoryList.at(0));
            VatText = MemoryList.at(0);
        } catch (const UserError &) {
            // Not a rate: the built-in one stays, and the prompt offers it.
        }
    }
    // A short file still gets all four lines, so that every later choice is stored.
    while (MemoryList.size() < 4)
        MemoryList.append(QString());
    // An empty remembered kind would print an invoice without a title: the first kind is meant.
    if (MemoryList.at(1).trimmed().isEmpty())
        MemoryList[1] = kMemoryDefaults.at(1);
    const QList<QComboBox *> boxes = {ComboBox2, ComboBox1, ComboBox4};
    for (int i = 0; i < boxes.size(); ++i) {
        const QSignalBlocker blocker(boxes[i]);
        boxes[i]->setEditText(MemoryList.at(i + 1));
        boxes[i]->lineEdit()->setCursorPosition(0);
    }
}

void TForm1::AskVatRate()
{
    QString answer = VatText;
    if (dialogs().inputQuery(QString(), QStringLiteral("ДДС"), answer)) {
        // A rate that cannot be charged is reported and the previous one stays everywhere.
        try {
            VatFactorFromText(answer);
            VatText = answer;
        } catch (const std::exception &error) {
            ReportError(error);
        }
    }
    StoreMemoryLine(0, VatText);
    const qsizetype percent = VatText.indexOf(QLatin1Char('%'));
    const QString rate = percent < 0 ? VatText : VatText.left(percent);
    Label2->setCaption(QStringLiteral("Данъчна ставка ") + rate +
                       QStringLiteral("%\nразмер на данъка"));
    Label14->setCaption(QStringLiteral("VAT ") + rate + QStringLiteral("%\nTotal VAT"));
    FitPanel();
    VatFactor = VatFactorFromText(VatText);
}

void TForm1::WriteHeaderRows()
{
    for (int row = 0; row < 2; ++row) {
        const QStringList header = LineTableHeader(row, HomeCode(RunHomeCurrency), CurrencyCode);
        for (int column = 0; column < 8; ++column)
            SetCell(row, column, header.at(column));
    }
}

void TForm1::SpeedButton1Click()
{
    bool missing = false;
    if (Edit3->text().isEmpty() || Edit3->text() == kQuantityPlaceholder) {
        dialogs().showMessage(QStringLiteral("Попълнете коректно КОЛИЧЕСТВОТО на стоката"));
        missing = true;
    }
    if (Edit1->text().isEmpty() || Edit1->text() == kPricePlaceholder) {
        dialogs().showMessage(QStringLiteral("Попълнете коректно СТОЙНОСТТА на стоката"));
        missing = true;
    }
    if (!missing) {
        const QStringList description = WrapDescription(MemoLines(Stock->toPlainText()));
        Stock->setPlainText(description.join(QLatin1Char('\n')));
        if (StringGrid1->rowCount() > kMaxRowsBeforeAdd)
            dialogs().showMessage(
                QStringLiteral("Не могат да бъдат въведени повече от 25 артикула!"));
        else
            WriteLine(description);
    }
    if (StringGrid1->rowCount() > 2)
        StringGrid1->setEnabled(true);
    ResetEntryFields();
}

void TForm1::WriteLine(const QStringList &description)
{
    // Everything is computed before the grid changes, so a price or quantity that is no number
    // is reported and leaves no half-written line behind.
    try {
        LineTotals totals;
        totals.netLeva = Label7->text();
        totals.vatLeva = Label3->text();
        totals.grossLeva = Label5->text();
        totals.netForeign = Label11->text();
        totals.vatForeign = Label12->text();
        totals.grossForeign = Label13->text();
        const LineAmounts line =
            AccumulateLine(totals, Edit1->text(), Edit3->text(), VatFactor, CurrencyRate);

        AddRow();
        ++LineCounter;
        const int row = StringGrid1->rowCount() - 1;
        SetCell(row, 0, QString::number(LineCounter));
        SetCell(row, 1, description.isEmpty() ? QString() : description.first());
        SetCell(row, 2, Edit4->text());
        SetCell(row, 3, Edit3->text());
        SetCell(row, 4, line.unitPriceLeva);
        StringGrid1->item(row, 4)->setData(kEnteredPriceRole, Edit1->text());
        SetCell(row, 5, line.unitPriceForeign);
        SetCell(row, 6, line.totalLeva);
        SetCell(row, 7, line.totalForeign);
        for (qsizetype i = 1; i < description.size(); ++i) {
            AddRow();
            SetCell(StringGrid1->rowCount() - 1, 1, description.at(i));
        }

        ShowAmounts(line, totals);
    } catch (const std::exception &error) {
        ReportError(error);
    }
}

void TForm1::ShowAmounts(const LineAmounts &line, const LineTotals &totals)
{
    Label10->setCaption(line.valueLeva);
    Label9->setCaption(line.valueForeign);
    Label1->setCaption(line.vatLeva);
    Label8->setCaption(line.vatForeign);
    Label7->setCaption(totals.netLeva);
    Label3->setCaption(totals.vatLeva);
    Label5->setCaption(totals.grossLeva);
    Label11->setCaption(totals.netForeign);
    Label12->setCaption(totals.vatForeign);
    Label13->setCaption(totals.grossForeign);
    FitPanel();
}

void TForm1::ChangeCurrency(const QString &code, double rate)
{
    // Every line is worked out before anything changes: a line that is no number leaves the
    // table, the currency and the totals as they were.
    QVector<int> rows;
    QVector<LineEntry> entries;
    for (int row = 2; row < StringGrid1->rowCount(); ++row) {
        const QString quantity = CellText(row, 3);
        if (quantity.trimmed().isEmpty() || CellText(row, 4).trimmed().isEmpty())
            continue; // a continuation or empty row
        rows.append(row);
        entries.append(LineEntry{EnteredPrice(row), quantity});
    }
    LineTotals totals;
    const QVector<LineAmounts> lines = AccumulateLines(entries, totals, VatFactor, rate);

    CurrencyCode = code;
    CurrencyRate = rate;
    WriteHeaderRows();
    for (int i = 0; i < rows.size(); ++i) {
        SetCell(rows[i], 5, lines[i].unitPriceForeign);
        SetCell(rows[i], 7, lines[i].totalForeign);
    }
    if (lines.isEmpty())
        return;
    ShowAmounts(lines.last(), totals);
}

void TForm1::ShowCurrenciesInDocument()
{
    ChangeDocument([this](Invoice &doc) {
        doc.homeCurrency = IsoCurrencyCode(HomeCode(RunHomeCurrency));
        doc.foreignCurrency = CurrencyCode;
        doc.foreignRate = CurrencyRate;
    });
}

WorkedLines TForm1::WorkOutTable()
{
    QVector<LineTableRow> rows;
    for (int row = 2; row < StringGrid1->rowCount(); ++row) {
        LineTableRow cells;
        for (int column = 0; column < 8; ++column)
            cells.cells << CellText(row, column);
        const QTableWidgetItem *price = StringGrid1->item(row, 4);
        cells.enteredPrice = price ? price->data(kEnteredPriceRole).toString() : QString();
        rows << cells;
    }
    const WorkedLines worked = WorkOutLines(rows, VatFactor, CurrencyRate);

    for (int i = 0; i < worked.lines.size(); ++i) {
        const InvoiceLine &line = worked.lines.at(i);
        const int row = worked.rowOfLine.at(i) + 2;
        SetCell(row, 0, QString::number(line.number));
        SetCell(row, 4, line.unitPrice.text());
        SetCell(row, 5, line.unitPriceForeign.text());
        SetCell(row, 6, line.value.text());
        SetCell(row, 7, line.valueForeign.text());
    }
    LineCounter = int(worked.lines.size());
    Label7->setCaption(worked.home.net.text());
    Label3->setCaption(worked.home.vat.text());
    Label5->setCaption(worked.home.gross.text());
    Label11->setCaption(worked.foreign.net.text());
    Label12->setCaption(worked.foreign.vat.text());
    Label13->setCaption(worked.foreign.gross.text());
    FitPanel();
    return worked;
}

void TForm1::StartAfresh()
{
    Clear1Click();
    for (TLabel *label : {Label10, Label9, Label1, Label8})
        label->setCaption(QStringLiteral("0"));
    CurrencyCode = StartCurrencyCode(RunHomeCurrency);
    CurrencyRate = StartCurrencyRate(RunHomeCurrency);
    ShowCurrenciesInDocument();
    WriteHeaderRows();
    ResetEntryFields();
    StringGrid1->setEnabled(false);
}

QString TForm1::CellText(int row, int column) const
{
    const QTableWidgetItem *item = StringGrid1->item(row, column);
    return item ? item->text() : QString();
}

QString TForm1::EnteredPrice(int row) const
{
    const QString shown = CellText(row, 4);
    const QTableWidgetItem *item = StringGrid1->item(row, 4);
    const QString entered = item ? item->data(kEnteredPriceRole).toString() : QString();
    // A price typed over in the cell counts as shown.
    if (entered.isEmpty() || RoundTo2Decimals(entered) != shown)
        return shown;
    return entered;
}

void TForm1::ResetEntryFields()
{
    ComboBox3->setText(kNumberPlaceholder);
    Edit1->setText(kPricePlaceholder);
    Stock->setPlainText(kDescriptionPlaceholder);
    Edit3->setText(kQuantityPlaceholder);
    Edit4->setText(kUnitPlaceholder);
}

void TForm1::Clear1Click()
{
    for (int row = 2; row < StringGrid1->rowCount(); ++row)
        for (int column = 0; column < 8; ++column)
            SetCell(row, column, QString());
    StringGrid1->setRowCount(2);
    for (TLabel *total : {Label7, Label3, Label5, Label11, Label12, Label13})
        total->setCaption(QStringLiteral("0"));
    FitPanel();
    LineCounter = 0;
}

void TForm1::N1Click()
{
    if (StringGrid1->rowCount() < kEmptyRowLimit)
        AddRow();
}

void TForm1::SpeedButton4Click()
{
    dialogs().popupMenu(PopupMenu1, dialogs().cursorPos());
}

void TForm1::ComboBox3Click()
{
    ComboBox3->clear();
}

void TForm1::Edit4Click()
{
    Edit4->clear();
}

void TForm1::Edit3Click()
{
    Edit3->clear();
}

void TForm1::Edit1Click()
{
    Edit1->clear();
}

void TForm1::Edit1Change()
{
    GuardDecimals(Edit1, 2, m_edit1Limit,
                  QStringLiteral("Не може да бъде въведена стойност < 0.10"));
}

void TForm1::Edit3Change()
{
    GuardDecimals(Edit3, 3, m_edit3Limit,
                  QStringLiteral("Не може да бъде въведено количество < 0.10"));
}

void TForm1::GuardDecimals(QLineEdit *edit, int decimals, int &limit,
                           const QString &tooSmallMessage)
{
    const QString text = edit->text();
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0) {
        limit = 0;
        return;
    }
    if (text == QLatin1String("0.0")) {
        edit->setText(QStringLiteral("0."));
        dialogs().showMessage(tooSmallMessage);
    }
    limit = int(point) + 1 + decimals;
}

void TForm1::ComboBox2Change()
{
    const QString text = ComboBox2->currentText();
    ChangeDocument([&text](Invoice &doc) { doc.title = text; });
    StoreMemoryLine(1, text);
}

void TForm1::ComboBox1Change()
{
    const QString text = ComboBox1->currentText();
    ChangeDocument([&text](Invoice &doc) { doc.noteTitle = text; });
    StoreMemoryLine(2, text);
}

void TForm1::ComboBox4Change()
{
    const QString text = ComboBox4->currentText();
    ChangeDocument(
        [&text](Invoice &doc) { doc.zeroVatGround = text == kNoZeroVatGround ? QString() : text; });
    StoreMemoryLine(3, text);
}

void TForm1::SpeedButton2Click()
{
    dialogs().showMessage(ZeroVatGroundWording().join(QLatin1Char('\n')));
}

void TForm1::StoreMemoryLine(int index, const QString &text)
{
    while (MemoryList.size() <= index)
        MemoryList.append(QString());
    MemoryList[index] = text;
}

void TForm1::AddRow()
{
    const int row = StringGrid1->rowCount();
    StringGrid1->insertRow(row);
    for (int column = 0; column < 8; ++column)
        SetCell(row, column, QString());
}

void TForm1::SetCell(int row, int column, const QString &text)
{
    QTableWidgetItem *item = StringGrid1->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        StringGrid1->setItem(row, column, item);
    }
    item->setText(text);
}

void TForm1::FitPanel()
{
    // The panel takes the size of its labels.
    const QRect content = Panel1->childrenRect();
    Panel1->resize(content.right() + 2, content.bottom() + 2);
}

bool TForm1::KeyAccepted(const QLineEdit *edit, const QString &typed, int limit,
                         bool minusAllowed) const
{
    const QChar c = typed.at(0);
    if (c < QLatin1Char(' ') || c == QChar(0x7F))
        return true; // backspace and the other editing keys
    const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const bool point = c == QLatin1Char('.') && !edit->text().contains(QLatin1Char('.'));
    const bool minus = minusAllowed && c == QLatin1Char('-');
    if (!digit && !point && !minus)
        return false;
    return limit <= 0 || edit->text().size() - edit->selectedText().size() < limit;
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Enter in any of the one-line fields adds the line.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            RunHandler([this] { SpeedButton1Click(); });
            return true;
        }
        const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
        if (!shortcut && !key->text().isEmpty()) {
            if (watched == Edit3)
                return !KeyAccepted(Edit3, key->text(), m_edit3Limit, false);
            if (watched == Edit1)
                return !KeyAccepted(Edit1, key->text(), m_edit1Limit, true);
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            if (watched == ComboBox3)
                RunHandler([this] { ComboBox3Click(); });
            else if (watched == Edit4)
                RunHandler([this] { Edit4Click(); });
            else if (watched == Edit3)
                RunHandler([this] { Edit3Click(); });
            else if (watched == Edit1)
                RunHandler([this] { Edit1Click(); });
        }
    }
    return TForm::eventFilter(watched, event);
}
