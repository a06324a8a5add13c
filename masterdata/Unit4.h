#pragma once

#include "ui/Form.h"

#include <QTableView>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class TLabel;
class TField;
class TTable;

// The record grid: the open table's fields as columns, edited in place.
class TDBGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TDBGrid(QWidget *parent);
    // Writes a value still open in a cell editor into the current record, as leaving the cell
    // would, so that nothing typed is lost when the table is saved, closed or taken.
    void CommitEdit();
};

// The master-data browser: one window over whichever of the five tables is open. Its caption is
// its mode and selects every table-specific behaviour.
class TForm4 : public TForm
{
    Q_OBJECT
public:
    TForm4();
    ~TForm4() override;

    // The one table object of the program.
    TTable *Table1;

    QWidget *DBNavigator1;
    QToolButton *NavFirst;   // "Начален запис"
    QToolButton *NavLast;    // "Последен запис"
    QToolButton *NavInsert;  // "Добави запис"
    QToolButton *NavDelete;  // "Изтрий запис"
    QToolButton *NavRefresh; // "Опресняване"
    TLabel *Label1;          // "Търси :"
    QLineEdit *Edit1;        // the search text
    TLabel *Label2;          // "Раздел :"
    QComboBox *ComboBox1;    // the search column
    TDBGrid *DBGrid1;
    QPlainTextEdit *DBMemo1; // the goods description
    TLabel *LabelOpisanie;
    TLabel *Label3;
    TLabel *DBImage1; // the own company's logo; a click replaces it
    TLabel *LabelLogo;
    QCheckBox *cbUseFilter;
    QToolButton *SpeedButton2; // "Добави"
    QToolButton *SpeedButton1; // "Изход"

    // The record numbers of the own-company profile and of the bank details last taken into the
    // invoice; 1 at start, kept for the run only.
    int FirmRecNo = 1;
    int BankRecNo = 1;

    // The openers behind the menu's five master-data buttons.
    void OpenFirm();
    void OpenBank();
    void OpenStock();
    void OpenCustomers();
    void OpenCurrency();

    void Table1AfterClose();
    void FormShow();
    void FormActivate();
    void ComboBox1Change();
    void Edit1Change();
    void DBImage1Click();
    void SpeedButton2Click(); // "Добави": takes the current record into the invoice
    void SpeedButton1Click(); // "Изход"

    // Binds the description memo or the logo picture to a field; an empty name unbinds.
    void SetMemoField(const QString &name);
    void SetImageField(const QString &name);
    QString MemoField() const { return m_memoField; }
    QString ImageField() const { return m_imageField; }
    // The grid's place for the mode: top and height in the window's designed size.
    int GridTop() const { return m_gridTop; }
    int GridHeight() const { return m_gridHeight; }

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void OpenTable(const QString &caption, const QString &fileName);
    void FillSearchColumns();
    void FitColumns();
    void SetGridPlace(int top, int height);
    void ApplyLayout();
    void ShowRecord();
    void GridRowChanged(int row);
    void Navigate(void (TTable::*action)());
    void TakeClient();
    void TakeGoods();
    void TakeStock(TField *quantity, qint64 wanted, const QString &answer);
    void TakeBank();
    void TakeFirm();
    void TakeCurrency();

    QString m_memoField;
    QString m_imageField;
    int m_gridTop = 64;
    int m_gridHeight = 297;
    bool m_syncing = false;
    // The grid column the user was in; a save re-reads the records and the grid forgets it.
    int m_gridColumn = 0;
};

extern TForm4 *Form4;
