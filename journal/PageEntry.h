#pragma once

#include "journal/JournalRecord.h"

#include <QString>

// What the print routine knows of a page beyond the page itself.
struct PrintedPage {
    QString mark;
    int bitsPerPixel = 8;
    QString bitmapFile;
    QString pdfFile; // empty when no PDF was written
};

// The journal entry of the invoice page as it stands, printed as described.
JournalEntry EntryOfPage(const PrintedPage &printed);
