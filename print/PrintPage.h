#pragma once

#include "print/BitmapFile.h"

#include <QImage>
#include <QRect>
#include <QString>

class QPrinter;
class QWidget;

// Prints the invoice page with a mark ("Оригинал / Original" or "Копие / Copy"): white field
// backgrounds, the mark under the title, the page captured at the chosen colour depth and archived
// as a bitmap, the print dialog, the shell's print of the archived file and the stored number.
// A file that cannot be written ends it before anything is printed or stored.
void PrintPage(const QString &mark, const QString &depthChoice, QPrinter &printer, QWidget *owner);

// The pixels of a widget painted with its visible children, at its size in pixels.
PageBitmap CaptureWidget(QWidget *widget);
// A reduced page as an image for drawing.
QImage ToImage(const IndexedBitmap &image);
// Where the page goes on a sheet of w × h device pixels: a left margin of one hundredth of the
// width, no other margin, stretched without keeping the aspect ratio.
QRect TargetRect(int w, int h);
