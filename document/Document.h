#pragma once

#include "app/Forms.h"

#include <QHash>
#include <QLabel>
#include <QTableWidget>
#include <QWidget>
#include <functional>

class QAction;
class QScrollArea;
class QToolButton;
class TLabel;

// A white sub-panel of the page that takes the size of its visible children, as the customer
// block or the lower block grow when a field wraps onto a second line. resized() tells the page
// to stack its regions again.
class TPanel : public QWidget
{
    Q_OBJECT
public:
    TPanel(QWidget *parent, const QString &name, int left, int top, int width, int height,
           bool autoSize = true);

    bool autoSize() const { return m_autoSize; }
    // Takes the size of the visible children; returns whether the size changed.
    bool fitToContents();

signals:
    void resized();

protected:
    bool event(QEvent *event) override;

private:
    bool m_autoSize;
};

// A raised bottom line: a light line above a shadow line at the bottom of its rectangle.
class TBevel : public QWidget
{
    Q_OBJECT
public:
    TBevel(QWidget *parent, const QString &name, int left, int top, int width, int height);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A picture holder: its pixmap (setPixmap) is drawn centred and stretched proportionally to fill
// the control; no pixmap draws nothing. A transparent one lets what lies behind it show through
// the picture's background: every pixel of the colour of its bottom left pixel, unless the
// picture brings its own transparency.
class TImage : public QLabel
{
    Q_OBJECT
public:
    TImage(QWidget *parent, const QString &name, int left, int top, int width, int height);

    void setTransparent(bool transparent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap seeThrough(const QPixmap &picture);

    bool m_transparent = false;
    qint64 m_seeThroughKey = 0;
    QPixmap m_seeThrough;
};

// A text grid of the page: cells hold plain text, columns have fixed widths and rows a fixed
// height (plus one pixel of grid line each), the first fixedRows() rows are header rows drawn
// with lines around them, and a selection filter decides which cells may become current.
class TStringGrid : public QTableWidget
{
    Q_OBJECT
public:
    TStringGrid(QWidget *parent, const QString &name, int left, int top, int width, int height,
                const QList<int> &colWidths, int rowHeight, int rowCount);

    int fixedRows() const { return m_fixedRows; }
    // Header rows at the top; fewer rows than that keeps one data row, as the row count demands.
    void setFixedRows(int count);
    // The height of every row, its grid line not counted; also of rows added later.
    void setRowHeights(int rowHeight);
    int rowHeights() const;
    // The colour of the header rows' cells (0xBBGGRR).
    void setFixedColor(quint32 colour);
    // Whether the data rows have lines between them.
    void setHorizontalLines(bool on) { m_horzLines = on; }
    // The text of a cell; an empty text where the cell has never been written.
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);
    // Asked before a cell becomes current: (col, row, canSelect).
    std::function<void(int, int, bool &)> onSelectCell;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

private:
    bool canSelect(int col, int row) const;
    void keepFixedRowsBelowRowCount();

    int m_fixedRows = 1;
    quint32 m_fixedColor;
    bool m_horzLines = true;
};

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
