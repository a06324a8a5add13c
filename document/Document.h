#pragma once

#include "app/Forms.h"

#include "document/PageWidgets.h"

#include <QHash>

class QAction;
class QScrollArea;
class QToolButton;
class TLabel;

// The invoice page: one printable bilingual page laid out on Panel1, the store of the finished
// document. The transfer, the takes of master data and the kind choices write straight into its
// labels and grids; the user completes the marked fields by clicking them.
class TDoc : public TForm
{
    Q_OBJECT
public:
    TDoc();
    ~TDoc() override;
    void FormCreate() override;

    // Beside the page (not printed); the buttons stay in sight while the page scrolls.
    QToolButton *SpeedButton1; // "Отпечатай"
    QToolButton *SpeedButton3; // "Нова фактура"
    QToolButton *SpeedButton4; // "Преглед"
    TLabel *NO;                // the current document number, hidden
    TLabel *SVpath;            // the data folder, hidden
    // Shown while invoices dated 2026 or later are still made in leva; it blocks nothing.
    TLabel *EuroNotice;

    // The tidy-up and the re-flow, run by executing them.
    QAction *New;
    QAction *Resized;

    // The page, 859 x 1168, captured by the printing.
    QWidget *Panel1;

    // Header.
    TLabel *Label1;  // the document kind, the title
    TLabel *Label8;  // "Оригинал / Original" or "Копие / Copy"
    TLabel *Label15; // number and date line
    TImage *Image2;  // own company's logo

    // Customer block.
    TPanel *Panel3;
    TLabel *Label24, *Label33, *Label23, *Label28, *Label29, *Label26, *Label31, *Label30, *Label67,
        *Label25, *Label34, *Label66, *Label65;

    // Supplier block.
    TPanel *Panel4;
    TLabel *Label45, *Label46, *Label63, *Label48, *Label47, *Label54, *Label50, *Label49, *Label68,
        *Label64, *Label11, *Label69, *Label10, *Label12, *Label16, *Label70;

    // Note reference, hidden until a note kind is transferred.
    TPanel *Panel2;
    TLabel *Label21; // the note kind
    TLabel *Label22; // date and number of the corrected invoice

    // Lines grid and the rules around the lower block.
    TStringGrid *StringGrid2;
    TBevel *Bevel1;
    TBevel *Bevel3;

    // Lower block.
    TPanel *Memo4;
    TLabel *Label36, *Label18, *Label19, *Label20, *Label55, *Label56, *Label58, *Label57, *Label27,
        *Label40, *Label44, *Label37, *Label43, *Label38, *Label42, *Label39, *Label41, *Label53;
    TBevel *Bevel2;
    TBevel *Bevel6;
    TStringGrid *StringGrid1; // note accounts, hidden until a note kind is transferred

    // Totals block.
    TPanel *Panel6;
    TLabel *Label6, *Label5, *Label59, *Label2, *Label7, *Label60, *Label4, *Label3, *Label61;
    TBevel *Bevel4;

    // Signature block.
    TPanel *Panel5;
    TLabel *Label32, *Label35, *Label71, *Label14, *Label62, *Label51, *Label52, *Label72, *Label17,
        *Label13;

    // Footer.
    TLabel *Label9;
    TImage *Image1; // holder of the captured page, hidden

    // Handlers.
    void SpeedButton1Click();
    void SpeedButton3Click();
    // "Преглед": the print preview of the page.
    void SpeedButton4Click();
    void NewExecute();     // tidy-up: centres the mark and number line, suffixes and aligns totals
    void ResizedExecute(); // re-flow: stacks the regions below the address blocks
    void StringGrid2SelectCell(int col, int row, bool &canSelect);
    // Plain edit: the query replaces the caption when confirmed.
    void Label34Click(TLabel *label);
    // Wrapping edits of the customer block and of the lower block.
    void Label33Click(TLabel *label);
    void Label18Click(TLabel *label);
    void Label15Click();
    void Label22Click();
    // Shows or hides EuroNotice after the date of the number-and-date line.
    void UpdateEuroNotice();
    // Closing the page also closes the print choice.
    void FormClose();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildPage();
    void WrapEdit(TLabel *label, int widthLimit, TPanel *container);
    QScrollArea *m_scroll = nullptr;
    // Moves rows up by the planned lifts and remembers how far.
    void liftRows(const QList<QList<QWidget *>> &columns, const QList<QList<int>> &lifts);
    // How far each row of the lower and signature blocks was moved up to close gaps on a full
    // page.
    QHash<QWidget *, int> m_lifts;
};

extern TDoc *Doc;
