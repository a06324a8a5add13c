#pragma once

#include "base/Decimal.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

// The document being issued, as one value: what the page shows, and what the print, the
// archive, the PDF, the journal, the sales ledger, the e-invoice and the payment code read. The
// transfer builds it from the line table and the master-data records, the takes of master data
// and the kind choices write their parts into it, and the user's edits on the page go into it at
// once. Amounts are exact decimals, never text and never double.

// The kind of document the counter and the archive name follow.
enum class DocumentKind { Invoice, Proforma };
// The note a document is marked as; Other is a note title typed by hand that is neither.
enum class NoteKind { None, Credit, Debit, Other };

// The four document kinds by their Bulgarian names, as the journal and the titles name them.
inline const QString kKindInvoice = QStringLiteral("Фактура");
inline const QString kKindProforma = QStringLiteral("Проформа фактура");
inline const QString kKindCreditNote = QStringLiteral("Кредитно известие");
inline const QString kKindDebitNote = QStringLiteral("Дебитно известие");

// The texts of the kind boxes that decide the kinds.
inline const QString kInvoiceTitle = QStringLiteral("ФАКТУРА / INVOICE");
inline const QString kProformaTitle = QStringLiteral("ПРОФОРМА ФАКТУРА / PROFORMA INVOICE");
inline const QString kCreditNoteTitle = QStringLiteral("Кредитно известие / Credit note");
inline const QString kDebitNoteTitle = QStringLiteral("Дебитно известие / Debit note");

// A party of the document, as its master-data record gives it and the user completes it.
struct Party {
    // The recipient: its name in Bulgarian and in English ("Фирма", "Customer"); the supplier:
    // the two lines of its name ("ДОСТАВЧИК", "ДОСТАВЧИК (втори ред)").
    QString name, name2;
    // The recipient: "Адрес" and "Address"; the supplier: "Адрес" and "Адрес (втори ред)".
    QString address, address2;
    // The responsible person (МОЛ) in Bulgarian and in English.
    QString person, person2;
    // The VAT number as the record holds it: the recipient's with its country prefix
    // ("BG160538271"); the supplier's as the page prints it after "ИН по ЗДДС BG" (digits).
    QString vatNumber;
    // ЕИК/БУЛСТАТ, or ЕГН for a person ("Идент №", "ИН").
    QString id;

    bool operator==(const Party &other) const;
};

// The bank account the document names for payment.
struct BankAccount {
    QString name; // "Bank"
    QString iban; // as the record holds it, blanks included
    QString bic;  // "SWIFT"

    bool operator==(const BankAccount &other) const;
};

// One line of the document.
struct InvoiceLine {
    int number = 0;          // "Пор. №", 1 for the first line
    QStringList description; // the first line and its continuation lines, as the page shows them
    QString unit;            // "Мярка" as given
    Decimal::Amount quantity;
    // In the home currency and in the second currency, as the line table worked them out.
    Decimal::Amount unitPrice, unitPriceForeign;
    Decimal::Amount value, valueForeign;

    // The description as one text, its lines joined with a blank.
    QString descriptionText() const;
    bool operator==(const InvoiceLine &other) const;
};

// The totals of the document in one currency: the tax base, the VAT and the amount payable.
// Before the first line they are 0, written without decimals.
struct Totals {
    Decimal::Amount net, vat, gross;

    bool operator==(const Totals &other) const;
};

// An account line of a credit or debit note, as the user types it under the note's header.
struct NoteAccount {
    QString number, account, sum;

    bool operator==(const NoteAccount &other) const;
};

struct Invoice {
    // The text of the document kind box, the page's title ("ФАКТУРА / INVOICE").
    QString title = kInvoiceTitle;
    // The text of the note kind box; empty for no note.
    QString noteTitle;
    // The note's reference: the number and the date of the invoice it corrects.
    QString referenceNumber;
    QDate referenceDate;

    // The document number; 0 until the transfer numbers the page.
    qint64 number = 0;
    QDate issueDate;    // "Дата(Date)" of the number line
    QDate taxEventDate; // "Дата на данъчното събитие"
    QDate paymentDate;  // "Дата на плащане"
    // The place of issue in Bulgarian and in English ("Местоиздаване", "Place of publishment").
    QString place, place2;

    Party supplier;
    Party recipient;
    // The own-company record that numbers the document (1-based, in table order) and its logo
    // (the picture's bytes; empty for none).
    int firmRecNo = 1;
    QByteArray logo;
    BankAccount bank;
    QString payment; // "Плащане": how it is paid

    // The VAT rate as the user gave it ("20%") and the whole percent charged (20).
    QString vatText = QStringLiteral("20%");
    int vatPercent = 20;
    // The ground for charging no VAT as chosen; empty when none is chosen.
    QString zeroVatGround;
    // The circumstances that make the goods a new vehicle; empty when none.
    QString newVehicle;

    // The home currency (ISO 4217: "BGN" or "EUR") and the second currency: its code as the
    // currency table holds it and its rate in home currency units for one unit (a double, as
    // the line table works with it).
    QString homeCurrency = QStringLiteral("BGN");
    QString foreignCurrency = QStringLiteral("EUR");
    double foreignRate = 1.95583;

    QVector<InvoiceLine> lines;
    Totals home;    // in the home currency
    Totals foreign; // in the second currency
    // The amount in words, one line per language, as the page shows it.
    QString words;

    QVector<NoteAccount> noteAccounts;
    // The names under "Получател" and "Съставил", two lines each.
    QString receivedBy, receivedBy2;
    QString issuedBy, issuedBy2;

    DocumentKind kind() const;
    NoteKind noteKind() const;
    bool isProforma() const { return kind() == DocumentKind::Proforma; }
    bool isNote() const { return noteKind() != NoteKind::None; }
    // "Фактура", "Проформа фактура", "Кредитно известие" or "Дебитно известие": a note by its
    // note kind, otherwise the document kind.
    QString kindName() const;
    // The counter of the own-company record that numbers the document: "Фактура №" or
    // "Проформа №".
    QString counterField() const;
    // The number in ten-digit form, "0000000042".
    QString numberText() const;
    // The supplier's VAT number with its country prefix: "BG" before the digits the record holds.
    QString supplierVatNumber() const;
    // The amount payable in the home currency.
    Decimal::Amount payable() const { return home.gross; }

    bool operator==(const Invoice &other) const;
    bool operator!=(const Invoice &other) const { return !(*this == other); }
};

// The ISO 4217 code of a currency code as the tables and the page may write it: the withdrawn
// "BGL" is the lev, "BGN"; every other code stays, in capitals.
QString IsoCurrencyCode(const QString &code);
