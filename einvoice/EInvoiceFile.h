#pragma once

#include <QString>

struct Invoice;

// The e-invoice as a file: beside the archived page of each original, or where the user wants it.
namespace EInvoice
{
// The e-invoice of an archived page: the bitmap's name with ".xml" in place of its extension.
QString FileNameFor(const QString &bitmapFile);
// Writes the document's e-invoice (see Xml), replacing the file whole or not at all. Throws a
// UserError when the document cannot be one or the file cannot be written.
void WriteFile(const Invoice &invoice, const QString &fileName);
} // namespace EInvoice
