#pragma once

// The document number and the dates of the page, and the start of a new invoice.

// Click on the number-and-date line: the manual number and date.
void EditNumberAndDate();
// Click on the note reference line: the date and number of the corrected invoice.
void EditNoteReference();
// "Нова фактура": starts the program again in its folder and quits without writing the memory.
void StartNewInvoice();
