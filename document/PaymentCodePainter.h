#pragma once

#include <QRect>

class QPainter;
class QrMatrix;

// Draws the code centred in the rectangle (in the page's pixels) on a white ground, the quiet zone
// included: each run of dark modules of a row is one filled rectangle, so a PDF gets vectors, and
// each module is a whole number of pixels, so the page bitmap gets sharp modules. Returns the
// pixels per module; 0 (and nothing drawn) when the rectangle has not one pixel for each module.
int DrawPaymentCode(QPainter &painter, const QRect &rect, const QrMatrix &code);
