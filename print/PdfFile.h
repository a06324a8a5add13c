#pragma once

#include <QString>

class QWidget;

// The PDF of an archived page: the bitmap's name with ".pdf" in place of its extension.
QString PdfFileNameFor(const QString &bitmapFile);

// Writes a widget with its visible children as one A4 page of vectors (text stays text, fonts are
// embedded), PDF/A-1b, fitted to the page without changing its proportions, with the title
// given. The file is replaced whole or not at all; a failure throws the UserError
// "Файлът <name> не може да бъде записан: <reason>.".
void SavePagePdf(const QString &fileName, QWidget *page, const QString &title);
