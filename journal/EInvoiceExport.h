#pragma once

#include "document/Invoice.h"
#include "journal/JournalRecord.h"

#include <QStringList>
#include <QVector>

// The e-invoice of an issued document written again, from the document the journal keeps of it.

// The page a number's e-invoice is made from, among the number's pages (ReadJournalNumber): of
// the company named by its VAT number (with or without "BG") or its ЕИК, any when none is named;
// its original's, a copy's when the journal holds only copies. Throws a UserError when there is
// none, or when the pages are of several documents (of several companies, or a number issued
// twice) and the company named does not tell which.
JournalEntry ChooseEInvoicePage(const QVector<JournalEntry> &pages, const QString &firm,
                                const QString &documentName);
// The document of a journalled page. Throws a UserError for a page journalled before documents
// were kept whole: its e-invoice is not made up from the page's texts.
Invoice JournalDocumentOf(const QString &journalFile, const JournalEntry &page);
// The file name of a page's e-invoice: its archived page's base name with ".xml".
QString EInvoiceFileNameOf(const JournalEntry &page);

// "--einvoice NUMBER [--proforma] [--firm VAT] [--output FILE]": writes the e-invoice of the
// document of that number in the invoice series (the proforma series with --proforma) from the
// journal of the program folder, to the archived page's name with ".xml" in the current folder by
// default, and prints what it wrote; returns 0. A refusal throws a UserError with the reason.
int EInvoiceCommand(const QStringList &arguments);
