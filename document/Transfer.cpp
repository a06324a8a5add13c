#include "document/Transfer.h"

#include "document/Document.h"

bool Transferred = false;

void TransferToDocument()
{
    Transferred = true;
    Doc->show();
}
