#include "document/Numbering.h"

void EditNumberAndDate() {}

void EditNoteReference() {}

void StartNewInvoice() {}
