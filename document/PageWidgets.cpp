#include "document/PageWidgets.h"

#include "document/PageLayout.h"
#include "document/PaymentCodePainter.h"
#include "ui/Look.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace
{
constexpr quint32 kShadow = 0x808080;

QList<QWidget *> DirectChildren(QWidget *container)
{
    return container->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
}

// A panel learns of its children's new sizes through its layout: a label's text change
// invalidates the layout of its parent, and the layout posts a request to the panel even while
// the page is hidden. The layout itself places nothing.
class ChildWatch : public QLayout
{
public:
    explicit ChildWatch(QWidget *panel) : QLayout(panel)
    {
        setSizeConstraint(QLayout::SetNoConstraint);
        setContentsMargins(0, 0, 0, 0);
    }
    void addItem(QLayoutItem *item) override { delete item; }
    int count() const override { return 0; }
    QLayoutItem *itemAt(int) const override { return nullptr; }
    QLayoutItem *takeAt(int) override { return nullptr; }
    QSize sizeHint() const override { return {}; }
};

// Draws one cell of a page grid inside its column width and row height; the pixel to its right
// and below is the grid line, drawn by the grid.
class CellPainter : public QStyledItemDelegate
{
public:
    CellPainter(TStringGrid *grid, quint32 fixedColour)
        : QStyledItemDelegate(grid), m_grid(grid), m_fixedColour(fixedColour)
    {
    }
    void setFixedColour(quint32 colour) { m_fixedColour = colour; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const QRect cell = option.rect.adjusted(0, 0, -1, -1);
        const bool fixed = index.row() < m_grid->fixedRows();
        painter->save();
        painter->fillRect(cell, ColorFromNumber(fixed ? m_fixedColour : clWhite));
        if (fixed && m_fixedColour != clWhite) {
            // Header cells stand out as raised, as the grids of the program always showed them.
            painter->setPen(ColorFromNumber(clWhite));
            painter->drawLine(cell.topLeft(), cell.topRight());
            painter->drawLine(cell.topLeft(), cell.bottomLeft());
            painter->setPen(ColorFromNumber(kShadow));
            painter->drawLine(cell.bottomLeft(), cell.bottomRight());
            painter->drawLine(cell.topRight(), cell.bottomRight());
        }
        painter->setClipRect(cell);
        painter->setFont(m_grid->font());
        painter->setPen(ColorFromNumber(clBlack));
        // The text sits 2 px below the cell's top while the row has room for that; a compacted
        // row keeps the whole text instead.
        const int spare = cell.height() - QFontMetrics(m_grid->font()).height();
        const int top = std::clamp(spare, 0, 2);
        painter->drawText(cell.adjusted(2, top, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

private:
    TStringGrid *m_grid;
    quint32 m_fixedColour;
};
} // namespace

// The "Нова фактура" picture: a blank sheet with a plus sign.
QIcon NewInvoicePicture()
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 1.5));
    p.setBrush(Qt::white);
    const QPolygonF sheet(
        {QPointF(10, 4), QPointF(30, 4), QPointF(38, 12), QPointF(38, 44), QPointF(10, 44)});
    p.drawPolygon(sheet);
    p.drawLine(QPointF(30, 4), QPointF(30, 12));
    p.drawLine(QPointF(30, 12), QPointF(38, 12));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int y = 18; y <= 36; y += 6)
        p.drawLine(15, y, 33, y);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 140, 60));
    p.drawEllipse(QPointF(36, 36), 10, 10);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(31, 34.5, 10, 3));
    p.drawRect(QRectF(34.5, 31, 3, 10));
    return QIcon(pixmap);
}

// The "Отпечатай" picture: a printer with a sheet.
QIcon PrintPicture()
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(70, 70, 70), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(14, 4, 20, 16));
    p.setBrush(QColor(150, 155, 165));
    p.drawRoundedRect(QRectF(5, 18, 38, 18), 3, 3);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(13, 28, 22, 16));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (int y = 33; y <= 41; y += 4)
        p.drawLine(16, y, 32, y);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 180, 80));
    p.drawEllipse(QPointF(37, 23), 2, 2);
    return QIcon(pixmap);
}

// ---- TPanel -----------------------------------------------------------------------------------

TPanel::TPanel(QWidget *parent, const QString &name, int left, int top, int width, int height,
               bool autoSize)
    : QWidget(parent), m_autoSize(autoSize)
{
    setObjectName(name);
    setGeometry(left, top, width, height);
    SetBackground(this, clWhite);
    if (m_autoSize)
        new ChildWatch(this);
}

bool TPanel::fitToContents()
{
    if (!m_autoSize)
        return false;
    QList<QRect> children;
    for (QWidget *child : DirectChildren(this))
        if (!child->isHidden() && !child->isWindow())
            children << child->geometry();
    const QSize contents = ContentsSize(children);
    if (contents == size())
        return false;
    resize(contents);
    // A panel inside another lets the outer one know in turn.
    updateGeometry();
    return true;
}

bool TPanel::event(QEvent *event)
{
    if (event->type() == QEvent::LayoutRequest && m_autoSize) {
        // Re-arms the watch for the next change, also while the page is hidden.
        layout()->activate();
        if (fitToContents())
            emit resized();
    }
    return QWidget::event(event);
}

// ---- TBevel -----------------------------------------------------------------------------------

TBevel::TBevel(QWidget *parent, const QString &name, int left, int top, int width, int height)
    : QWidget(parent)
{
    setObjectName(name);
    setGeometry(left, top, width, height);
}

void TBevel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (height() >= 2) {
        p.setPen(ColorFromNumber(clWhite));
        p.drawLine(0, height() - 2, width() - 1, height() - 2);
    }
    p.setPen(ColorFromNumber(kShadow));
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
}

// ---- TImage -----------------------------------------------------------------------------------

TImage::TImage(QWidget *parent, const QString &name, int left, int top, int width, int height)
    : QLabel(parent)
{
    setObjectName(name);
    setGeometry(left, top, width, height);
    setAutoFillBackground(false);
}

void TImage::setTransparent(bool transparent)
{
    m_transparent = transparent;
    update();
}

QPixmap TImage::seeThrough(const QPixmap &picture)
{
    if (picture.hasAlphaChannel())
        return picture;
    if (picture.cacheKey() != m_seeThroughKey) {
        QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
        const QRgb background = image.pixel(0, image.height() - 1) & 0x00FFFFFFu;
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] & 0x00FFFFFFu) == background)
                    line[x] = 0;
        }
        m_seeThrough = QPixmap::fromImage(image);
        m_seeThroughKey = picture.cacheKey();
    }
    return m_seeThrough;
}

void TImage::paintEvent(QPaintEvent *)
{
    QPixmap picture = pixmap();
    if (picture.isNull() || picture.width() == 0 || picture.height() == 0)
        return;
    if (m_transparent)
        picture = seeThrough(picture);
    const QSize fitted = picture.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(target, picture);
}

// ---- TStringGrid ------------------------------------------------------------------------------

TStringGrid::TStringGrid(QWidget *parent, const QString &name, int left, int top, int width,
                         int height, const QList<int> &colWidths, int rowHeight, int rowCount)
    : QTableWidget(rowCount, int(colWidths.size()), parent), m_fixedColor(clBtnFace)
{
    setObjectName(name);
    setGeometry(left, top, width, height);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Each column and row carries its one-pixel grid line.
    for (int col = 0; col < colWidths.size(); ++col)
        setColumnWidth(col, colWidths[col] + 1);
    verticalHeader()->setDefaultSectionSize(rowHeight + 1);
    for (int row = 0; row < rowCount; ++row)
        setRowHeight(row, rowHeight + 1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setShowGrid(false);
    setWordWrap(false);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setViewportMargins(1, 1, 1, 1);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorFromNumber(clWhite));
    pal.setColor(QPalette::Base, ColorFromNumber(clWhite));
    pal.setColor(QPalette::WindowText, ColorFromNumber(clBlack));
    pal.setColor(QPalette::Text, ColorFromNumber(clBlack));
    setPalette(pal);
    setItemDelegate(new CellPainter(this, m_fixedColor));
    connect(model(), &QAbstractItemModel::rowsRemoved, this,
            &TStringGrid::keepFixedRowsBelowRowCount);
}

void TStringGrid::setFixedRows(int count)
{
    m_fixedRows = std::max(0, std::min(count, rowCount() - 1));
    viewport()->update();
}

void TStringGrid::setRowHeights(int rowHeight)
{
    verticalHeader()->setDefaultSectionSize(rowHeight + 1);
    for (int row = 0; row < rowCount(); ++row)
        setRowHeight(row, rowHeight + 1);
}

int TStringGrid::rowHeights() const
{
    return verticalHeader()->defaultSectionSize() - 1;
}

void TStringGrid::setFixedColor(quint32 colour)
{
    m_fixedColor = colour;
    static_cast<CellPainter *>(itemDelegate())->setFixedColour(colour);
    viewport()->update();
}

QString TStringGrid::cell(int col, int row) const
{
    const QTableWidgetItem *cellItem = item(row, col);
    return cellItem ? cellItem->text() : QString();
}

void TStringGrid::setCell(int col, int row, const QString &text)
{
    if (QTableWidgetItem *cellItem = item(row, col))
        cellItem->setText(text);
    else
        setItem(row, col, new QTableWidgetItem(text));
}

void TStringGrid::keepFixedRowsBelowRowCount()
{
    if (m_fixedRows >= rowCount())
        m_fixedRows = std::max(0, rowCount() - 1);
}

bool TStringGrid::canSelect(int col, int row) const
{
    if (row < m_fixedRows)
        return false;
    bool allowed = true;
    if (onSelectCell)
        onSelectCell(col, row, allowed);
    return allowed;
}

void TStringGrid::paintEvent(QPaintEvent *event)
{
    QTableWidget::paintEvent(event);
    if (rowCount() == 0 || columnCount() == 0)
        return;
    QPainter p(viewport());
    const int lastRow = rowCount() - 1;
    const int rowsBottom = rowViewportPosition(lastRow) + rowHeight(lastRow) - 1;
    const int fixedBottom =
        m_fixedRows > 0 ? rowViewportPosition(m_fixedRows - 1) + rowHeight(m_fixedRows - 1) - 1
                        : -1;
    const int columnsRight =
        columnViewportPosition(columnCount() - 1) + columnWidth(columnCount() - 1) - 1;
    // Lines around the header rows are black, the lines of the data rows silver.
    for (int col = 0; col < columnCount(); ++col) {
        const int x = columnViewportPosition(col) + columnWidth(col) - 1;
        if (fixedBottom >= 0) {
            p.setPen(ColorFromNumber(clBlack));
            p.drawLine(x, 0, x, fixedBottom);
        }
        if (rowsBottom > fixedBottom) {
            p.setPen(ColorFromNumber(clSilver));
            p.drawLine(x, fixedBottom + 1, x, rowsBottom);
        }
    }
    for (int row = 0; row <= lastRow; ++row) {
        const bool fixed = row < m_fixedRows;
        if (!fixed && !m_horzLines)
            continue;
        const int y = rowViewportPosition(row) + rowHeight(row) - 1;
        p.setPen(ColorFromNumber(fixed ? clBlack : clSilver));
        p.drawLine(0, y, columnsRight, y);
    }
}

void TStringGrid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && !canSelect(index.column(), index.row())) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && !canSelect(index.column(), index.row())) {
        event->accept();
        return;
    }
    QTableWidget::mouseDoubleClickEvent(event);
}

QModelIndex TStringGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableWidget::moveCursor(cursorAction, modifiers);
    if (next.isValid() && !canSelect(next.column(), next.row()))
        return currentIndex();
    return next;
}

bool TStringGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (index.isValid() && !canSelect(index.column(), index.row()))
        return false;
    return QTableWidget::edit(index, trigger, event);
}

// ---- TPaymentCode -----------------------------------------------------------------------------

TPaymentCode::TPaymentCode(QWidget *parent, const QString &name, int left, int top, int width,
                           int height)
    : QWidget(parent)
{
    setObjectName(name);
    setGeometry(left, top, width, height);
    hide();
}

void TPaymentCode::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_matrix = text.isEmpty() ? QrMatrix() : QrMatrix::Encode(text);
    setVisible(!m_matrix.isNull());
    update();
}

void TPaymentCode::paintEvent(QPaintEvent *)
{
    if (m_matrix.isNull())
        return;
    QPainter painter(this);
    DrawPaymentCode(painter, rect(), m_matrix);
}
