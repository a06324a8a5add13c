#include "document/PaymentCodePainter.h"

#include "document/PaymentCode.h"

#include <QPainter>
#include <QPainterPath>

int DrawPaymentCode(QPainter &painter, const QRect &rect, const QrMatrix &code)
{
    if (code.isNull())
        return 0;
    const int module = qMin(rect.width(), rect.height()) / code.size();
    if (module < 1)
        return 0;
    const int side = module * code.size();
    const QPoint origin(rect.left() + (rect.width() - side) / 2,
                        rect.top() + (rect.height() - side) / 2);

    // One path for all dark modules: a PDF viewer fills it without seams between the rows.
    QPainterPath dark;
    for (int y = 0; y < code.size(); ++y) {
        for (int x = 0; x < code.size();) {
            if (!code.isDark(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < code.size() && code.isDark(x, y))
                ++x;
            dark.addRect(QRect(origin.x() + start * module, origin.y() + y * module,
                               (x - start) * module, module));
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(origin, QSize(side, side)), Qt::white);
    dark.setFillRule(Qt::WindingFill);
    painter.fillPath(dark, Qt::black);
    painter.restore();
    return module;
}
