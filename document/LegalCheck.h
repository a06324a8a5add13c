#pragma once

#include "document/Invoice.h"

#include <QDate>
#include <QStringList>
#include <QVector>
#include <functional>

// What the VAT act asks of every invoice and note (what it must contain, the reference of a note,
// the five days after the tax event, the euro from 2026), checked on the document before a number
// is issued for it. An error means the document cannot be issued as it is; a warning is for the
// user to read before going on.

struct Finding {
    enum class Level { Error, Warning };
    Level level = Level::Error;
    QString text;

    bool operator==(const Finding &other) const
    {
        return level == other.level && text == other.text;
    }
};

struct LegalContext {
    // The dates the journal holds for an invoice of that number of the document's supplier
    // (none when the journal has no such invoice or none is kept).
    std::function<QVector<QDate>(const QString &number)> journalInvoiceDates;
};

// Every finding of the document, errors first, each in the order of the rules.
QVector<Finding> CheckDocument(const Invoice &doc, const LegalContext &context = {});
// Whether any finding is an error.
bool HasErrors(const QVector<Finding> &findings);
// The findings as the user reads them: "Грешки:" and "Предупреждения:" with one line each.
QString FindingsText(const QVector<Finding> &findings);
