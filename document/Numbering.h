#pragma once

#include "journal/JournalStore.h"

struct Invoice;

// The document number and the dates of the page, and the start of a new invoice.

// Set after a print of either mark; never cleared in a run. The counter itself decides whether a
// print stores its number (StoreDocumentNumber), so a second invoice of a run is stored too.
extern bool NumberStored;

// Reads the counter of the current document kind from the own-company record the browser has
// open and writes the next number, in ten-digit form, to the page's NO.
void PrepareDocumentNumber();
// The number-and-date line and the dates of the tax event and of payment, all with today.
void WriteNumberAndDates();

// What a print of the document asks to issue (see IssueTransaction): its number, the counter
// the line table's kind chooses now, whether the number is the one the last transfer prepared and
// whether this run printed it already.
IssueRequest IssueRequestOf(const Invoice &doc, bool archiveHolds);
// Whether this run has printed the document's number already (the copy after the original).
bool IssuedByThisRun(const Invoice &doc);
// The document's number was printed by this run: a copy of it, or a second print, goes on.
void RememberIssued(const Invoice &doc);
// Forgets the prepared number and the numbers printed, as at the start of a run.
void ForgetDocumentNumbers();

// Click on the number-and-date line: the manual number and date.
void EditNumberAndDate();
// Click on the note reference line: the date and number of the corrected invoice.
void EditNoteReference();
// "Нова фактура": starts the program again in its folder and quits without writing the memory.
void StartNewInvoice();
