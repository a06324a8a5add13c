#pragma once

#include "print/BitmapFile.h"

#include <QImage>
#include <QRect>
#include <QString>

class QPrinter;
class QWidget;

// Prints the invoice page with a mark ("Оригинал / Original" or "Копие / Copy"), in this order:
// the page is checked, its number held against the counter, the page captured at the chosen colour
// depth and archived as a new bitmap, printed and offered to the shell's print, and the number
// stored. Any step that fails ends it; what the steps before it did is undone or was nothing
// lasting, so nothing is printed or stored after a refusal.
void PrintPage(const QString &mark, const QString &depthChoice, QPrinter &printer, QWidget *owner);

// The page may be printed: the last transfer ran to its end, the page has a line and a client,
// and its number is a whole number. Throws the message for the user otherwise.
void CheckPageForPrint();
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
// Draws the page image stretched into target as one printed sheet; false when the printer
// could not start.
bool PaintPageImage(QPrinter &printer, const QRect &target, const QImage &image);
