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

// A print's hold on the page's number, from before anything is printed to the store after it.
// Opens the own-company record and starts the counter's transaction, which keeps the table file
// for this run until the store, and reads the counter of the current kind again. When it has
// already reached the number the transfer prepared, another program used that number: throws
// before anything is printed, and the next transfer numbers the page anew. A number this run
// stored itself (the copy after the original) and a number typed by hand go on. Returns whether
// the number is ahead of the counter, so that the store will advance it.
bool HoldDocumentNumber();
// After a print: stores the page's number into the counter of the current kind when it is
// greater than the stored one, so a counter never goes back nor hands out a number twice, and
// ends the hold's transaction. Holds first when no hold is in force. Given the printed page,
// the page goes into the journal in the counter's transaction; a journal that cannot be written
// is reported and the number is stored without it.
void StoreDocumentNumber(const PrintedPage *printed = nullptr);
// Ends a hold without storing anything; nothing happens without one.
void ReleaseDocumentNumber();
// Forgets the prepared number and the numbers stored, as at the start of a run.
void ForgetDocumentNumbers();

// Click on the number-and-date line: the manual number and date.
void EditNumberAndDate();
// Click on the note reference line: the date and number of the corrected invoice.
void EditNoteReference();
// "Нова фактура": starts the program again in its folder and quits without writing the memory.
void StartNewInvoice();
