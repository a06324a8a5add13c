#pragma once

#include "document/PaymentCode.h"

#include <QLabel>
#include <QTableWidget>
#include <QWidget>
#include <functional>

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

// The payment code on the page: drawn as rectangles of whole-pixel modules, so that the PDF gets
// vectors and the bitmap sharp modules; a widget without a code stays hidden.
class TPaymentCode : public QWidget
{
    Q_OBJECT
public:
    TPaymentCode(QWidget *parent, const QString &name, int left, int top, int width, int height);

    // The code's text; an empty text hides the code.
    void setText(const QString &text);
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QrMatrix m_matrix;
};

// The pictures of the page's buttons: a blank sheet with a plus sign, and a printer.
QIcon NewInvoicePicture();
QIcon PrintPicture();
