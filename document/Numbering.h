#pragma once

struct PrintedPage;

// The document number and the dates of the page, and the start of a new invoice.

// Set after a print of either mark; never cleared in a run. The counter itself decides whether a
// print stores its number (StoreDocumentNumber), so a second invoice of a run is stored too.
extern bool NumberStored;

// Reads the counter of the current document kind from the own-company record the browser has
// open and writes the next number, in ten-digit form, to the page's NO.
void PrepareDocumentNumber();
// The number-and-date line and the dates of the tax event and of payment, all with today.
void WriteNumberAndDates();
// After a print: opens the own-company record and stores the page's number into the counter of
// the current kind when it is greater than the stored one, so a counter never goes back nor
// hands out a number twice. The check and the store are one transaction of the table file.
// Given the printed page, the page goes into the journal in that same transaction; a journal
// that cannot be written is reported and the number is stored without it.
void StoreDocumentNumber(const PrintedPage *printed = nullptr);

// Click on the number-and-date line: the manual number and date.
void EditNumberAndDate();
// Click on the note reference line: the date and number of the corrected invoice.
void EditNoteReference();
// "Нова фактура": starts the program again in its folder and quits without writing the memory.
void StartNewInvoice();
