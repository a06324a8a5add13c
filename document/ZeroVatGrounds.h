#pragma once

#include <QString>
#include <QStringList>

// The grounds for charging no VAT that a document may cite, and where each one goes in the
// sales ledger.

// The placeholder of the ground box: no ground chosen (76 points).
inline const QString kNoZeroVatGround = QString(76, QLatin1Char('.'));

// The items of the ground box: the fourteen items of 2007 (the placeholder first; old memory
// files and pages cite them), then the grounds a business cites today.
QStringList ZeroVatGroundItems();
// The wording of the grounds, one paragraph a line, as "?" shows them: the 2007 texts first.
QStringList ZeroVatGroundWording();

// The column of the sales ledger a document's tax base at 0 % goes to, by its ground.
enum class LedgerColumn {
    Unclassified,     // not known: the ledger names the document and stops
    Export,           // 02-14: chapter three of the VAT act (art. 28 to 35)
    IntraCommunity,   // 02-15: intra-Community supply of goods (art. 53(1))
    Art140_146_173,   // 02-16: art. 140, art. 146(1), art. 173
    ServiceElsewhere, // 02-17: a service under art. 21(2) supplied in another member state
    DistanceSale,     // 02-18: art. 69(2)
    Exempt,           // 02-19: exempt supplies (chapter four, art. 38 to 50)
    Triangular,       // 02-25: an intermediary in a triangular operation
};

// The column of a ground as the page shows it (the box's text, blanks around it ignored); a
// ground it does not know, the placeholder and an empty text are Unclassified, never guessed.
LedgerColumn ClassifyZeroVatGround(const QString &ground);

// Whether a ground is one of the box's 2007 texts that current law no longer uses (the repealed
// directive, the place-of-supply rules for services replaced by art. 21(2)); blanks around it
// ignored. The document may still cite it, but a check of the document warns about it.
bool IsOutdatedZeroVatGround(const QString &ground);
