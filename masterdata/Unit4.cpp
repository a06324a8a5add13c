#include "masterdata/Unit4.h"

#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "masterdata/IdentifierDelegate.h"
#include "masterdata/Table.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Look.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QToolButton>

TForm4 *Form4 = nullptr;

namespace
{
constexpr int kDesignWidth = 707;
constexpr int kDesignHeight = 430;

const QString kFirm = QStringLiteral("Фирмен профил");
const QString kBank = QStringLiteral("Банкови детайли");
const QString kGoods = QStringLiteral("СТОКИ");
const QString kClients = QStringLiteral("КЛИЕНТИ");
const QString kCurrency = QStringLiteral("Валута");

// White text on the desktop colour, as the search box, the list and the grid titles show it.
QString DesktopColours()
{
    return ColorFromNumber(clBackground).name();
}

QToolButton *NavigatorButton(QWidget *navigator, const QString &name, const QString &glyph,
                             const QString &hint)
{
    auto *button = new QToolButton(navigator);
    button->setObjectName(name);
    button->setText(glyph);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    button->setFont(PixelFont(QStringLiteral("Arial"), 13, true));
    return button;
}
} // namespace

TDBGrid::TDBGrid(QWidget *parent) : QTableView(parent) {}

void TDBGrid::CommitEdit()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

TForm4::TForm4()
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(kClients);
    resize(kDesignWidth, kDesignHeight);
    // The window's own place on the screen, frame included.
    move(18, 307);
    SetBackground(this, clLightGrey);
    setFont(PixelFont(QStringLiteral("Arial"), 11));
    const QFont text13 = PixelFont(QStringLiteral("Arial"), 13);
    const QFont bold13 = PixelFont(QStringLiteral("Arial"), 13, true);

    Table1 = new TTable(this);
    Table1->setObjectName(QStringLiteral("Table1"));

    DBNavigator1 = new QWidget(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    auto *navigation = new QHBoxLayout(DBNavigator1);
    navigation->setContentsMargins(0, 0, 0, 0);
    navigation->setSpacing(0);
    NavFirst = NavigatorButton(DBNavigator1, QStringLiteral("NavFirst"), QStringLiteral("|◀"),
                               QStringLiteral("Начален запис"));
    NavLast = NavigatorButton(DBNavigator1, QStringLiteral("NavLast"), QStringLiteral("▶|"),
                              QStringLiteral("Последен запис"));
    NavInsert = NavigatorButton(DBNavigator1, QStringLiteral("NavInsert"), QStringLiteral("+"),
                                QStringLiteral("Добави запис"));
    NavDelete = NavigatorButton(DBNavigator1, QStringLiteral("NavDelete"), QStringLiteral("−"),
                                QStringLiteral("Изтрий запис"));
    NavRefresh = NavigatorButton(DBNavigator1, QStringLiteral("NavRefresh"), QStringLiteral("↻"),
                                 QStringLiteral("Опресняване"));
    for (QToolButton *button : {NavFirst, NavLast, NavInsert, NavDelete, NavRefresh})
        navigation->addWidget(button);

    Label1 = new TLabel(this, QStringLiteral("Label1"), 8, 40, QStringLiteral("Търси :"), text13);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFrame(false);
    Edit1->setFont(text13);
    Edit1->setStyleSheet(
        QStringLiteral("QLineEdit { color: white; background-color: %1; }").arg(DesktopColours()));

    Label2 =
        new TLabel(this, QStringLiteral("Label2"), 368, 40, QStringLiteral("Раздел :"), text13);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    ComboBox1->setFont(text13);
    ComboBox1->setStyleSheet(QStringLiteral("QComboBox { color: white; background-color: %1; }"
                                            " QComboBox QAbstractItemView { color: white;"
                                            " background-color: %1;"
                                            " selection-background-color: #0a246a;"
                                            " selection-color: white; }")
                                 .arg(DesktopColours()));

    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setFont(PixelFont(QStringLiteral("Arial"), 11));
    DBGrid1->setModel(Table1);
    DBGrid1->setItemDelegate(new TIdentifierDelegate(Table1, DBGrid1));
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    DBGrid1->verticalHeader()->setDefaultSectionSize(18);
    DBGrid1->verticalHeader()->setFixedWidth(14);
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->horizontalHeader()->setDefaultSectionSize(120);
    DBGrid1->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { color: white; background-color: %1;"
                       " border: 1px solid #c0c0c0; padding: 1px 3px; }")
            .arg(DesktopColours()));
    DBGrid1->verticalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { color: transparent; background-color: #d4d0c8;"
                       " border: 1px solid #a0a0a0; }"));
    DBGrid1->setWordWrap(false);

    DBMemo1 = new QPlainTextEdit(this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setGeometry(8, 64, 265, 57);
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setFont(PixelFont(QStringLiteral("Arial"), 11));
    DBMemo1->hide();

    LabelOpisanie = new TLabel(this, QStringLiteral("LabelOpisanie"), 280, 80,
                               QStringLiteral("Описание на стоката/услугата"), bold13);
    LabelOpisanie->hide();
    Label3 = new TLabel(this, QStringLiteral("Label3"), 288, 80,
                        QStringLiteral("(Описание на стоката/услугата)"), text13);
    Label3->hide();

    DBImage1 = new TLabel(this, QStringLiteral("DBImage1"), 448, 64, QString(), text13, false);
    DBImage1->setGeometry(448, 64, 233, 97);
    DBImage1->setAlignment(Qt::AlignCenter);
    DBImage1->setCursor(Qt::PointingHandCursor);
    DBImage1->setColor(clWhite);
    DBImage1->hide();
    LabelLogo = new TLabel(this, QStringLiteral("LabelLogo"), 328, 96,
                           QStringLiteral("Лого\n(натиснете върху\nбялото поле)"), bold13);
    LabelLogo->hide();

    cbUseFilter = new QCheckBox(QStringLiteral("Филтър"), this);
    cbUseFilter->setObjectName(QStringLiteral("cbUseFilter"));
    cbUseFilter->move(8, 368);
    cbUseFilter->setChecked(true);
    cbUseFilter->hide();

    SpeedButton2 = MakeSpeedButton(this, QStringLiteral("SpeedButton2"), 506, 368, 87, 22,
                                   QStringLiteral("Добави"));
    SpeedButton1 = MakeSpeedButton(this, QStringLiteral("SpeedButton1"), 602, 368, 87, 22,
                                   QStringLiteral("Изход"));
    // Flat speed buttons in the window's own font; the frame shows only under the mouse.

    ApplyLayout();

    connect(NavFirst, &QToolButton::clicked, this,
            [this] { RunHandler([this] { Navigate(&TTable::First); }); });
    connect(NavLast, &QToolButton::clicked, this,
            [this] { RunHandler([this] { Navigate(&TTable::Last); }); });
    connect(NavInsert, &QToolButton::clicked, this,
            [this] { RunHandler([this] { Navigate(&TTable::Insert); }); });
    connect(NavDelete, &QToolButton::clicked, this,
            [this] { RunHandler([this] { Navigate(&TTable::Delete); }); });
    connect(NavRefresh, &QToolButton::clicked, this,
            [this] { RunHandler([this] { Navigate(&TTable::Refresh); }); });
    connect(Edit1, &QLineEdit::textChanged, this, Handler(this, &TForm4::Edit1Change));
    connect(ComboBox1, &QComboBox::activated, this, Handler(this, &TForm4::ComboBox1Change));
    connect(DBImage1, &TLabel::clicked, this, Handler(this, &TForm4::DBImage1Click));
    connect(SpeedButton2, &QToolButton::clicked, this, Handler(this, &TForm4::SpeedButton2Click));
    connect(SpeedButton1, &QToolButton::clicked, this, Handler(this, &TForm4::SpeedButton1Click));
    connect(Table1, &TTable::AfterClose, this, &TForm4::Table1AfterClose);
    connect(Table1, &TTable::RecordChanged, this, &TForm4::ShowRecord);
    connect(Table1, &TTable::ErrorOccurred, this,
            [](const QString &message) { dialogs().showError(message); });
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (!current.isValid())
                    return;
                m_gridColumn = current.column();
                GridRowChanged(current.row());
            });
    connect(DBMemo1, &QPlainTextEdit::textChanged, this, [this] {
        if (m_syncing || m_memoField.isEmpty() || !Table1->Active())
            return;
        RunHandler([this] {
            TField *field = Table1->FieldByName(m_memoField);
            const QString text = DBMemo1->toPlainText();
            if (field->AsString() != text)
                field->SetAsString(text);
        });
    });
}

TForm4::~TForm4()
{
    // What is still being edited is saved while the window and its grid still exist.
    RunHandler([this] {
        DBGrid1->CommitEdit();
        Table1->Close();
    });
}

// ---- layout ----

void TForm4::SetGridPlace(int top, int height)
{
    m_gridTop = top;
    m_gridHeight = height;
    ApplyLayout();
}

void TForm4::ApplyLayout()
{
    // The grid stretches with the window; the navigator and the search box stretch in width;
    // the list with its label and the two buttons keep their distance to the right edge.
    const int dw = width() - kDesignWidth;
    const int dh = height() - kDesignHeight;
    DBNavigator1->setGeometry(8, 8, qMax(100, 680 + dw), 25);
    Edit1->setGeometry(56, 36, qMax(40, 297 + dw), 24);
    Label2->move(368 + dw, 40);
    ComboBox1->setGeometry(425 + dw, 36, 265, 24);
    DBGrid1->setGeometry(8, m_gridTop, qMax(100, 681 + dw), qMax(40, m_gridHeight + dh));
    SpeedButton2->move(506 + dw, 368 + dh);
    SpeedButton1->move(602 + dw, 368 + dh);
    cbUseFilter->move(8, 368 + dh);
}

void TForm4::resizeEvent(QResizeEvent *event)
{
    TForm::resizeEvent(event);
    ApplyLayout();
}

void TForm4::Table1AfterClose()
{
    m_gridColumn = 0;
    SetGridPlace(64, 297);
    SetMemoField(QString());
    DBMemo1->hide();
    SetImageField(QString());
    DBImage1->hide();
    Label3->hide();
    LabelLogo->hide();
    LabelOpisanie->hide();
}

// ---- opening ----

void TForm4::OpenTable(const QString &caption, const QString &fileName)
{
    DBGrid1->CommitEdit();
    if (Table1->Active())
        Table1->Close();
    else
        Table1AfterClose(); // a failed opener may have left its layout behind
    // A search still in force belongs to the table it was typed for.
    {
        const QSignalBlocker blocker(Edit1);
        Edit1->clear();
    }
    Table1->SetFiltered(false);
    Table1->SetFilter(QString());

    setWindowTitle(caption);
    if (caption == kFirm)
        SetGridPlace(168, 193);
    Table1->SetDatabaseName(TablesFolder());
    Table1->SetTableName(fileName);
    if (caption == kGoods) {
        Label3->hide();
        SetGridPlace(120, 241);
    }
    Table1->Open();
    if (caption == kFirm) {
        Table1->SetRecNo(FirmRecNo);
        LabelLogo->show();
        SetImageField(QStringLiteral("Лого"));
        DBImage1->show();
    } else if (caption == kBank) {
        Table1->SetRecNo(BankRecNo);
    } else if (caption == kGoods) {
        SetMemoField(QStringLiteral("описание на стока/услуга"));
        DBMemo1->show();
        LabelOpisanie->show();
    }
    // The first field is the search column until another is chosen: its keys are read ahead.
    Table1->SearchAhead(Table1->FieldDefs().value(0));
    FitColumns();
    // The list is filled on show; a window already visible gets the new table's columns now.
    if (isVisible())
        FillSearchColumns();
    // A minimized window comes back to the front too.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    // Offscreen (the tests) there is no stacking to change.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        raise();
    activateWindow();
}

void TForm4::FitColumns()
{
    // Columns as wide as their texts, within reason, so that names and addresses can be read.
    DBGrid1->resizeColumnsToContents();
    QHeaderView *header = DBGrid1->horizontalHeader();
    for (int column = 0; column < header->count(); ++column)
        header->resizeSection(column, qBound(60, header->sectionSize(column) + 8, 240));
}

void TForm4::OpenFirm()
{
    OpenTable(kFirm, QStringLiteral("Firm.db"));
}

void TForm4::OpenBank()
{
    OpenTable(kBank, QStringLiteral("Details.db"));
}

void TForm4::OpenStock()
{
    OpenTable(kGoods, QStringLiteral("stock.db"));
}

void TForm4::OpenCustomers()
{
    OpenTable(kClients, QStringLiteral("customer.db"));
}

void TForm4::OpenCurrency()
{
    OpenTable(kCurrency, QStringLiteral("currency.db"));
}

// ---- showing, activating, leaving ----

void TForm4::FillSearchColumns()
{
    // Filling the list is not the user's choice of a column: no handler runs.
    const QSignalBlocker blocker(ComboBox1);
    ComboBox1->clear();
    ComboBox1->addItems(Table1->FieldDefs());
    if (ComboBox1->count() > 0)
        ComboBox1->setCurrentIndex(0);
}

void TForm4::FormShow()
{
    FillSearchColumns();
}

void TForm4::showEvent(QShowEvent *event)
{
    TForm::showEvent(event);
    // Restoring a minimized window is no new showing: the chosen search column stays.
    if (!event->spontaneous())
        RunHandler([this] { FormShow(); });
}

void TForm4::FormActivate()
{
    if (Table1->Active()) {
        DBGrid1->CommitEdit();
        Table1->Refresh();
    }
}

void TForm4::changeEvent(QEvent *event)
{
    TForm::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        RunHandler([this] { FormActivate(); });
}

void TForm4::SpeedButton1Click()
{
    DBGrid1->CommitEdit();
    hide();
}

void TForm4::closeEvent(QCloseEvent *event)
{
    DBGrid1->CommitEdit();
    TForm::closeEvent(event);
}

// ---- the current record ----

void TForm4::ShowRecord()
{
    const bool wasSyncing = m_syncing;
    m_syncing = true;
    if (Table1->Active() && Table1->RecNo() > 0) {
        const int row = Table1->RecNo() - 1;
        const QModelIndex current = DBGrid1->currentIndex();
        if (!current.isValid() || current.row() != row) {
            const int column = current.isValid() ? current.column() : m_gridColumn;
            DBGrid1->setCurrentIndex(
                Table1->index(row, qBound(0, column, Table1->columnCount() - 1)));
        }
    }
    TField *memo = m_memoField.isEmpty() ? nullptr : Table1->FindField(m_memoField);
    const QString text = memo ? memo->AsString() : QString();
    if (DBMemo1->toPlainText() != text)
        DBMemo1->setPlainText(text);
    TField *image = m_imageField.isEmpty() ? nullptr : Table1->FindField(m_imageField);
    QPixmap picture;
    if (image && !image->AsBytes().isEmpty())
        picture.loadFromData(image->AsBytes());
    if (picture.isNull())
        DBImage1->clear();
    else
        DBImage1->setPixmap(
            picture.width() > DBImage1->width() || picture.height() > DBImage1->height()
                ? picture.scaled(DBImage1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)
                : picture);
    m_syncing = wasSyncing;
}

void TForm4::GridRowChanged(int row)
{
    if (m_syncing || !Table1->Active() || row == Table1->RecNo() - 1)
        return;
    RunHandler([this, row] { Table1->SetRecNo(row + 1); });
    // A record that could not be saved keeps the grid on it.
    ShowRecord();
}

void TForm4::Navigate(void (TTable::*action)())
{
    if (!Table1->Active())
        return;
    DBGrid1->CommitEdit();
    (Table1->*action)();
    DBGrid1->setFocus();
}

void TForm4::SetMemoField(const QString &name)
{
    m_memoField = name;
    ShowRecord();
}

void TForm4::SetImageField(const QString &name)
{
    m_imageField = name;
    ShowRecord();
}

// ---- searching ----

void TForm4::ComboBox1Change()
{
    const QString column = ComboBox1->currentText();
    Table1->FieldByName(column)->SetIndex(0);
    Table1->SearchAhead(column);
    const QString mode = windowTitle();
    if (mode == kClients)
        cbUseFilter->setEnabled(column != QStringLiteral("КЛИЕНТ") &&
                                column != QStringLiteral("Идент №"));
    else if (mode == kGoods)
        cbUseFilter->setEnabled(column != QStringLiteral("Пор. №") &&
                                column != QStringLiteral("Описание на стока/услуга"));
    if (!cbUseFilter->isEnabled())
        Edit1->setFocus();
    Edit1->setText(QString());
    // Fitted once the search is cleared, to every record rather than to those a search left.
    FitColumns();
}

void TForm4::Edit1Change()
{
    if (!Table1->Active())
        return;
    const QString column = ComboBox1->currentText();
    const QString text = Edit1->text();
    try {
        DBGrid1->CommitEdit();
        // Every search looks at the whole table, whatever the previous one left visible.
        Table1->SetFiltered(false);
        // An empty search text shows every record rather than those with an empty value.
        bool found = false;
        if (!text.isEmpty() && cbUseFilter->isChecked()) {
            // A value that begins with the text sorts at or after it: among those records the
            // first match is near the top, so the grid is not first moved far down a large table
            // only to be filtered at once. The whole table is asked only when they hold none.
            Table1->SetFilter(column, TTable::FilterKind::AtLeast, text);
            Table1->SetFiltered(true);
            found = Table1->Locate(column, text, true, true);
            if (!found) {
                Table1->SetFiltered(false);
                found = Table1->Locate(column, text, true, true);
            }
        } else if (!text.isEmpty()) {
            Table1->Locate(column, text, true, true);
        }
        if (found) {
            Table1->SetFilter(column, TTable::FilterKind::Equal, text);
            Table1->SetFiltered(true);
            // Asked without counting: a large table need not be counted for it.
            if (Table1->IsEmpty())
                Table1->SetFilter(column, TTable::FilterKind::AtLeast, text);
            Table1->First();
        } else {
            Table1->SetFiltered(false);
            Table1->First();
        }
    } catch (const UserError &error) {
        // A search that cannot be made (the file cannot be read) leaves the table as it then is,
        // and the user learns why.
        ReportError(error);
    }
    try {
        Table1->Refresh();
    } catch (const UserError &error) {
        ReportError(error);
    }
}

// ---- the logo ----

void TForm4::DBImage1Click()
{
    if (m_imageField.isEmpty() || !Table1->Active())
        return;
    const QString path = dialogs().openPicture(
        this, QStringLiteral("Всички картини (*.bmp *.ico);;Bitmaps (*.bmp);;Icons (*.ico)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("Файлът %1 не може да бъде прочетен.").arg(path));
    const QByteArray bytes = file.readAll();
    // A file that is no picture at all is refused; the logo stays as it was.
    if (QImage::fromData(bytes).isNull())
        throw UserError(
            QStringLiteral("Файлът %1 не е картина, която може да бъде заредена.").arg(path));
    DBGrid1->CommitEdit();
    TField *logo = Table1->FieldByName(m_imageField);
    Table1->Edit();
    // The field holds Windows bitmaps only; any other kind of picture empties it.
    if (QImageReader::imageFormat(path) == "bmp")
        logo->SetAsBytes(bytes);
    else
        logo->Clear();
    Table1->Post();
}
