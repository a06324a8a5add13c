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

// The print preview of the page as a print would draw it (fields white, stretched into the
// sheet's rectangle); the page on screen keeps its field marks.
void PreviewPage(QPrinter &printer, QWidget *owner);
// Prints an archived page again through the print dialog, as the print routine draws it.
// Returns whether it was printed; a page that cannot be read throws a UserError.
bool ReprintArchivedPage(const QString &bitmapFile, QPrinter &printer, QWidget *owner);

// The pixels of a widget painted with its visible children, at its size in pixels.
PageBitmap CaptureWidget(QWidget *widget);
// A reduced page as an image for drawing.
QImage ToImage(const IndexedBitmap &image);
// Where the page goes on a sheet of w × h device pixels: a left margin of one hundredth of the
// width, no other margin, stretched without keeping the aspect ratio.
QRect TargetRect(int w, int h);
