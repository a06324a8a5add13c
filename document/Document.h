#pragma once

#include "ui/Form.h"

#include "document/PageWidgets.h"

#include <QHash>
#include <QPalette>

class QAction;
class QScrollArea;
class QToolButton;
class TLabel;

struct Invoice;
struct PagePart;

// The invoice page: one printable bilingual page laid out on Panel1 that shows the document of
// the run (CurrentDocument) whenever it changes. The user completes the marked fields by clicking
// them; each edit goes into the document at once and the page shows it again.
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
    TLabel *NO;                // the document's number, hidden
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
    TStringGrid *StringGrid1;  // note accounts, hidden until a note kind is transferred
    TPaymentCode *PaymentCode; // the payment code of a euro invoice or proforma

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

    // Shows the document: every field, the lines, the totals and the words, then tidies and
    // re-flows the page. The page goes back to its designed places first, so showing the same
    // document again changes nothing.
    void ShowDocument(const Invoice &doc);

    // The page as a new run shows it: the fields to fill silver again, the original's mark, and
    // the document of the run.
    void StartAfresh();
    // How the fields to fill look on screen, to be put back after a capture.
    struct FieldLooks {
        QList<TLabel *> labels;
        QList<QPalette> palettes;
        QList<bool> filled;
    };
    // The page as paper shows it: the fields to fill lose their silver and, given one, the mark
    // ("Оригинал / Original" or "Копие / Copy") is shown; the page is tidied. Returns how the
    // fields looked before.
    FieldLooks ShowAsPrinted(const QString &mark = QString());
    // The fields look again as they did.
    void RestoreLooks(const FieldLooks &looks);

    // Handlers.
    void SpeedButton1Click();
    void SpeedButton3Click();
    // "Преглед": the print preview of the page.
    void SpeedButton4Click();
    void NewExecute();     // tidy-up: centres the title, the mark and number line, aligns totals
    void ResizedExecute(); // re-flow: stacks the regions below the address blocks
    void StringGrid2SelectCell(int col, int row, bool &canSelect);
    // A click on a field of the document: a one-line query with the field's text; the answer goes
    // into the document.
    void FieldClick(const PagePart &part);
    void Label15Click();
    void Label22Click();
    // Shows or hides EuroNotice after the document's date.
    void UpdateEuroNotice();
    // Closing the page also closes the print choice.
    void FormClose();

signals:
    // "Отпечатай" and "Преглед" were pressed, the page was closed: the shell connects the print
    // choice to them.
    void printRequested();
    void previewRequested();
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildPage();
    // The fields, the lines grid, the totals and the note accounts as the document has them.
    void showFields(const Invoice &doc);
    void showLines(const Invoice &doc);
    void showTotals(const Invoice &doc);
    void showNote(const Invoice &doc);
    void showLogo(const Invoice &doc);
    // The note accounts typed into their grid go into the document.
    void NoteAccountsEdited();
    QScrollArea *m_scroll = nullptr;
    // Where each part of the page was designed to be.
    QHash<QWidget *, QRect> m_design;
    QByteArray m_logoShown;
    bool m_showing = false;
    // Moves rows up by the planned lifts and remembers how far.
    void liftRows(const QList<QList<QWidget *>> &columns, const QList<QList<int>> &lifts);
    // How far each row of the lower and signature blocks was moved up to close gaps on a full
    // page.
    QHash<QWidget *, int> m_lifts;
};

extern TDoc *Doc;
