#pragma once

#include "lines/Amounts.h"
#include "ui/Form.h"

struct WorkedLines;

#include <QStringList>

class QAction;
class QComboBox;
class QFrame;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QTableWidget;
class QToolButton;
class TLabel;

// The VAT rate as the user gave it ("20%"), its factor (0.2) and the number of lines added since
// the start or the last "Изчисти всичко".
extern QString VatText;
extern double VatFactor;
extern int LineCounter;

// Gives a grid the height of all its rows: rows x (row height + 1) + 3 pixels.
void FitGridHeight(QTableWidget *grid);

// The line table: the invoice lines, their totals and the remembered choices.
class TForm1 : public TForm
{
    Q_OBJECT
public:
    TForm1();
    void FormCreate() override;

    // The lines under two header rows (Bulgarian, English); every cell holds text.
    QTableWidget *StringGrid1;
    QMenu *PopupMenu1;
    QAction *N1;               // "Добави празен ред"
    QAction *Clear1;           // "Изчисти всичко"
    QToolButton *SpeedButton4; // "Таблица": opens the pop-up menu

    // Shown totals on Panel1 and their captions.
    QFrame *Panel1;
    TLabel *Label6; // "Всичко :"
    TLabel *Label7; // net total in leva
    TLabel *Label2; // the VAT caption in Bulgarian
    TLabel *Label3; // VAT total in leva
    TLabel *Label4; // "Общо :"
    TLabel *Label5; // grand total in leva
    // Hidden values carried to the invoice page.
    TLabel *Label11; // net total in the foreign currency
    TLabel *Label12; // VAT total in the foreign currency
    TLabel *Label13; // grand total in the foreign currency
    TLabel *Label14; // the VAT caption in English
    TLabel *Label10; // the last line's value in leva
    TLabel *Label9;  // the last line's value in the foreign currency
    TLabel *Label1;  // the last line's VAT in leva
    TLabel *Label8;  // the last line's VAT in the foreign currency

    // The hidden entry row, filled by the taking of an article and added by SpeedButton1.
    QLineEdit *ComboBox3;      // a number for the line (never used: lines are numbered in order)
    QPlainTextEdit *Stock;     // the description, one or more lines
    QLineEdit *Edit4;          // the unit of measure
    QLineEdit *Edit3;          // the quantity
    QLineEdit *Edit1;          // the unit price in leva
    QToolButton *SpeedButton1; // "Добави"

    // The kind of document, note and zero-VAT ground, mirrored on the invoice page.
    TLabel *Label15;           // "Документ"
    TLabel *Label16;           // "Известие"
    TLabel *Label17;           // "Основания"
    QComboBox *ComboBox2;      // document kind
    QComboBox *ComboBox1;      // note kind
    QComboBox *ComboBox4;      // zero-VAT ground
    QToolButton *SpeedButton2; // "?": the wording of the grounds

    // The foreign currency; set afresh at every start and by taking a currency record.
    QString CurrencyCode;
    double CurrencyRate;
    // The content of "Vmem.txt": VAT text, document kind, note kind, zero-VAT ground.
    QStringList MemoryList;

    // Fills the two header rows: the home columns named after the home currency, the foreign
    // columns after CurrencyCode.
    void WriteHeaderRows();
    // A new foreign currency: the lines stay, and their foreign columns, the last line's labels
    // and the totals become what entering the same lines at this rate gives. Throws, changing
    // nothing, when a line's price or quantity is not a number.
    void ChangeCurrency(const QString &code, double rate);
    // The lines of the table worked out for the document, as adding them in order gives: a line
    // typed into the grid by hand counts as one added with "Добави". Its cells and the totals
    // shown are written as an added line's would be. Throws, changing nothing, for a line that
    // cannot be worked out (the message names its row).
    WorkedLines WorkOutTable();
    // The table as a new run starts it: no lines, totals "0", the start currency of the home
    // currency in force. The VAT rate and the remembered choices stay.
    void StartAfresh();

    void SpeedButton1Click(); // "Добави"
    void Clear1Click();
    void N1Click();
    void SpeedButton4Click();
    void ComboBox3Click();
    void Edit4Click();
    void Edit3Click();
    void Edit1Click();
    void Edit1Change();
    void Edit3Change();
    void ComboBox2Change();
    void ComboBox1Change();
    void ComboBox4Change();
    void SpeedButton2Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The home and second currencies of the run go into the document, so that a page not yet
    // transferred names them too.
    void ShowCurrenciesInDocument();
    void LoadMemory();
    void AskVatRate();
    void StoreMemoryLine(int index, const QString &text);
    void ResetEntryFields();
    void WriteLine(const QStringList &description);
    void AddRow();
    void SetCell(int row, int column, const QString &text);
    void GuardDecimals(QLineEdit *edit, int decimals, int &limit, const QString &tooSmallMessage);
    bool KeyAccepted(const QLineEdit *edit, const QString &typed, int limit,
                     bool minusAllowed) const;
    void FitPanel();
    // The hidden labels of the last line and the six totals, then the panel fitted to them.
    void ShowAmounts(const LineAmounts &line, const LineTotals &totals);
    QString CellText(int row, int column) const;
    QString EnteredPrice(int row) const;

    // The typing limits of the price and quantity fields (0: none). Kept apart from the fields'
    // own maximum length, which would also cut texts that the program sets.
    int m_edit1Limit = 0;
    int m_edit3Limit = 0;
};

extern TForm1 *Form1;
