#include "document/PageDesign.h"

#include "base/Errors.h"
#include "document/Document.h"
#include "document/DocumentNumber.h"
#include "document/Invoice.h"
#include "document/PageLayout.h"
#include "document/PageText.h"

namespace
{
const PageFont a11{"Arial", 11, false};
const PageFont a13{"Arial", 13, false};
const PageFont a13b{"Arial", 13, true};
const PageFont a16{"Arial", 16, false};
const PageFont a21b{"Arial", 21, true};
const PageFont a24b{"Arial", 24, true};
const PageFont t11{"Times New Roman", 11, false};
const PageFont t16{"Times New Roman", 16, false};

// The customer's values end before the supplier block, the supplier's at the lines grid's right
// edge; the lower block's long fields keep beside the totals, the payment lines before the note
// accounts and the payment code, the signature names before the caption beside them.
constexpr int kCustomerWidth = 400;
constexpr int kSupplierWidth = 192;
constexpr int kPlaceWidth = 136;
constexpr int kLowerWidth = 432;
constexpr int kPaymentWidth = 392;
constexpr int kRecipientNameWidth = 308;
constexpr int kIssuerNameWidth = 279;
// The title ends before the logo.
constexpr int kTitleWidth = 584;
// Lines a field of the address blocks or the lower block may take, and the longest texts typed.
constexpr int kAddressLines = 2;
constexpr int kLowerLines = 3;
constexpr int kNameChars = 150;
constexpr int kNumberChars = 30;
constexpr int kShortChars = 60;
constexpr int kLongChars = 300;

QString Dots(int count)
{
    return QString(count, QLatin1Char('.'));
}

QString Lines(std::initializer_list<const char *> lines)
{
    QStringList list;
    for (const char *line : lines)
        list << QString::fromUtf8(line);
    return list.join(QLatin1Char('\n'));
}

QDate DateOrThrow(const QString &text)
{
    if (text.trimmed().isEmpty())
        return QDate();
    const QDate date = ParsePageDate(text);
    if (!date.isValid())
        throw UserError(
            QStringLiteral("„%1“ не е дата. Въведете датата като дд.мм.гггг, например 08.12.2026.")
                .arg(text.trimmed()));
    return date;
}

PagePart Caption(const char *name, const char *parent, int left, int top, const QString &text,
                 const PageFont &font)
{
    PagePart part{PartKind::Label, name, parent, left, top, 0, 0, text, font};
    return part;
}

// A field of the document: shown from it, edited into it.
PagePart Field(const char *name, const char *parent, int left, int top, const QString &text,
               const PageFont &font, PartLook look, PartGroup group,
               QString (*show)(const Invoice &), void (*store)(Invoice &, const QString &))
{
    PagePart part = Caption(name, parent, left, top, text, font);
    part.look = look;
    part.group = group;
    part.show = show;
    part.store = store;
    if (store)
        part.edit = PartEdit::Text;
    return part;
}

PagePart Fixed(PagePart part)
{
    part.kind = PartKind::FixedLabel;
    part.width = 113;
    part.height = 16;
    part.maxWidth = part.width;
    if (part.store)
        part.maxChars = kNumberChars;
    return part;
}

PagePart Wrapped(PagePart part, int width, int maxLines = kAddressLines)
{
    part.wrapWidth = width;
    part.maxWidth = width;
    part.maxLines = maxLines;
    if (part.store)
        part.maxChars = kNameChars;
    return part;
}

// A field of the lower block: its rows keep room below, so further lines move them by the
// page's wrap step only.
PagePart Lower(PagePart part)
{
    part = Wrapped(part, kLowerWidth, kLowerLines);
    part.wrapShift = kWrapShift;
    part.maxChars = kLongChars;
    return part;
}

PagePart Cut(PagePart part, int width, int maxChars = kShortChars)
{
    part.maxWidth = width;
    if (part.store)
        part.maxChars = maxChars;
    return part;
}

PagePart Box(PartKind kind, const char *name, const char *parent, int left, int top, int width,
             int height)
{
    PagePart part{kind, name, parent, left, top, width, height, QString(), a13};
    return part;
}

template <typename T> PagePart Member(PagePart part, T *TDoc::*member)
{
    if constexpr (std::is_same_v<T, TLabel>)
        part.label = member;
    else if constexpr (std::is_same_v<T, TPanel>)
        part.panel = member;
    else if constexpr (std::is_same_v<T, TBevel>)
        part.bevel = member;
    else if constexpr (std::is_same_v<T, TImage>)
        part.image = member;
    else if constexpr (std::is_same_v<T, TPaymentCode>)
        part.code = member;
    else
        part.grid = member;
    return part;
}

#define SHOW(expr) [](const Invoice &d) -> QString { return expr; }
#define STORE(target) [](Invoice &d, const QString &t) { target = t; }

QVector<PagePart> MakeParts()
{
    const QString name40 = Dots(40);
    const QString name76 = Dots(76);
    const QString nameAndSignature = Lines({"/име, фамилия и подпис/", "   /name and signature/"});
    const auto S = PartGroup::Supplier;
    const auto N = PartGroup::None;
    const auto silver = PartLook::Silver;
    const auto seeThrough = PartLook::SilverSeeThrough;
    const auto white = PartLook::White;
    const auto plain = PartLook::Plain;

    QVector<PagePart> p;
    // Header.
    p << Member(Cut(Field("Label1", "Panel1", 305, 16, QStringLiteral("ФАКТУРА / INVOICE"), a24b,
                          plain, N, SHOW(d.title), nullptr),
                    kTitleWidth),
                &TDoc::Label1);
    p << Member(Caption("Label8", "Panel1", 317, 48, QStringLiteral("Оригинал / Original"), a21b),
                &TDoc::Label8);
    PagePart numberLine =
        Field("Label15", "Panel1", 304, 80, QStringLiteral("№ 0000000001 / Дата(Date): дд.мм.гггг"),
              a16, silver, N, SHOW(NumberLine(d)), nullptr);
    numberLine.edit = PartEdit::NumberLine;
    p << Member(numberLine, &TDoc::Label15);
    p << Member(Box(PartKind::Image, "Image2", "Panel1", 600, 8, 233, 97), &TDoc::Image2);

    // Customer block.
    p << Member(Box(PartKind::Panel, "Panel3", "Panel1", 56, 112, 248, 168), &TDoc::Panel3);
    p << Member(Caption("Label24", "Panel3", 0, 0, Lines({"КЛИЕНТ", "Customer"}), a13b),
                &TDoc::Label24);
    p << Member(Wrapped(Field("Label33", "Panel3", 88, 0, name40, a13, seeThrough, N,
                              SHOW(d.recipient.name), STORE(d.recipient.name)),
                        kCustomerWidth),
                &TDoc::Label33);
    p << Member(Wrapped(Field("Label23", "Panel3", 88, 16, name40, a13, seeThrough, N,
                              SHOW(d.recipient.name2), STORE(d.recipient.name2)),
                        kCustomerWidth),
                &TDoc::Label23);
    p << Member(Caption("Label28", "Panel3", 0, 32, Lines({"Адрес", "Address"}), a13b),
                &TDoc::Label28);
    p << Member(Wrapped(Field("Label29", "Panel3", 88, 32, name40, a13, seeThrough, N,
                              SHOW(d.recipient.address), STORE(d.recipient.address)),
                        kCustomerWidth),
                &TDoc::Label29);
    p << Member(Wrapped(Field("Label26", "Panel3", 88, 48, name40, a13, seeThrough, N,
                              SHOW(d.recipient.address2), STORE(d.recipient.address2)),
                        kCustomerWidth),
                &TDoc::Label26);
    p << Member(Caption("Label31", "Panel3", 0, 64, Lines({"МОЛ", "Resp.Person"}), a13b),
                &TDoc::Label31);
    p << Member(Wrapped(Field("Label30", "Panel3", 88, 64, name40, a13, seeThrough, N,
                              SHOW(d.recipient.person), STORE(d.recipient.person)),
                        kCustomerWidth),
                &TDoc::Label30);
    p << Member(Wrapped(Field("Label67", "Panel3", 88, 80, name40, a13, seeThrough, N,
                              SHOW(d.recipient.person2), STORE(d.recipient.person2)),
                        kCustomerWidth),
                &TDoc::Label67);
    p << Member(Caption("Label25", "Panel3", 0, 104, Lines({"ИН по ЗДДС ", "VAT"}), a13b),
                &TDoc::Label25);
    p << Member(Fixed(Field("Label34", "Panel3", 96, 112, QString(), a13, silver, N,
                            SHOW(d.recipient.vatNumber), STORE(d.recipient.vatNumber))),
                &TDoc::Label34);
    p << Member(Caption("Label66", "Panel3", 0, 136, Lines({"ИН", "ID"}), a13b), &TDoc::Label66);
    p << Member(Fixed(Field("Label65", "Panel3", 96, 144, QString(), a13, silver, N,
                            SHOW(d.recipient.id), STORE(d.recipient.id))),
                &TDoc::Label65);

    // Supplier block.
    p << Member(Box(PartKind::Panel, "Panel4", "Panel1", 552, 112, 240, 201), &TDoc::Panel4);
    p << Member(Caption("Label45", "Panel4", 0, 0, Lines({"ДОСТАВЧИК", "SUPPLIER"}), a13b),
                &TDoc::Label45);
    p << Member(Wrapped(Field("Label46", "Panel4", 88, 0, QStringLiteral("(Фирма)"), a13, plain, S,
                              SHOW(d.supplier.name), nullptr),
                        kSupplierWidth),
                &TDoc::Label46);
    p << Member(Wrapped(Field("Label63", "Panel4", 88, 16, QStringLiteral("(Фирма)"), a13, plain, S,
                              SHOW(d.supplier.name2), nullptr),
                        kSupplierWidth),
                &TDoc::Label63);
    p << Member(Caption("Label48", "Panel4", 0, 32, Lines({"Адрес", "Address"}), a13b),
                &TDoc::Label48);
    p << Member(Wrapped(Field("Label47", "Panel4", 88, 32, QStringLiteral("(Адреса)"), a13, plain,
                              S, SHOW(d.supplier.address), nullptr),
                        kSupplierWidth),
                &TDoc::Label47);
    p << Member(Wrapped(Field("Label54", "Panel4", 88, 48, QStringLiteral("(Адреса)"), a13, plain,
                              S, SHOW(d.supplier.address2), nullptr),
                        kSupplierWidth),
                &TDoc::Label54);
    p << Member(Caption("Label50", "Panel4", 0, 64, Lines({"МОЛ", "Resp.Person"}), a13b),
                &TDoc::Label50);
    p << Member(Wrapped(Field("Label49", "Panel4", 88, 64, QStringLiteral("(МОЛ)"), a13, plain, S,
                              SHOW(d.supplier.person), nullptr),
                        kSupplierWidth),
                &TDoc::Label49);
    p << Member(Wrapped(Field("Label68", "Panel4", 88, 80, QStringLiteral("(МОЛ)"), a13, plain, S,
                              SHOW(d.supplier.person2), nullptr),
                        kSupplierWidth),
                &TDoc::Label68);
    p << Member(Caption("Label64", "Panel4", 0, 104, Lines({"ИН по ЗДДС BG", "VAT"}), a13b),
                &TDoc::Label64);
    p << Member(Fixed(Field("Label11", "Panel4", 104, 104, QStringLiteral("(Идент.Ном.)"), a13b,
                            plain, S, SHOW(d.supplier.vatNumber), nullptr)),
                &TDoc::Label11);
    p << Member(Caption("Label69", "Panel4", 0, 136, Lines({"ИН", "ID"}), a13b), &TDoc::Label69);
    p << Member(Fixed(Field("Label10", "Panel4", 104, 144, QStringLiteral("(Идент.Ном.)"), a13b,
                            plain, S, SHOW(d.supplier.id), nullptr)),
                &TDoc::Label10);
    p << Member(Caption("Label12", "Panel4", 0, 168,
                        Lines({"Местоиздаване", "Place of publishment"}), a13b),
                &TDoc::Label12);
    p << Member(Cut(Field("Label16", "Panel4", 144, 169, Dots(24), a13, plain, S, SHOW(d.place),
                          STORE(d.place)),
                    kPlaceWidth),
                &TDoc::Label16);
    p << Member(Cut(Field("Label70", "Panel4", 144, 185, Dots(24), a13, plain, S, SHOW(d.place2),
                          STORE(d.place2)),
                    kPlaceWidth),
                &TDoc::Label70);

    // Note reference: shown for a credit or debit note.
    p << Member(Box(PartKind::Panel, "Panel2", "Panel1", 56, 290, 308, 37), &TDoc::Panel2);
    p << Member(
        Field("Label21", "Panel2", 0, 0, QString(), t16, plain, N, SHOW(d.noteTitle), nullptr),
        &TDoc::Label21);
    PagePart reference =
        Field("Label22", "Panel2", 0, 21,
              QStringLiteral("от дата / from date: , към фактура № / to invoice No: "), a13, silver,
              N, SHOW(NoteReferenceLine(d)), nullptr);
    reference.edit = PartEdit::Reference;
    p << Member(reference, &TDoc::Label22);

    // Lines grid, and the rules around the lower block.
    p << Member(Box(PartKind::Grid, "StringGrid2", "Panel1", 32, 328, 800, 49), &TDoc::StringGrid2);
    p << Member(Box(PartKind::Bevel, "Bevel1", "Panel1", 48, 376, 777, 2), &TDoc::Bevel1);
    p << Member(Box(PartKind::Bevel, "Bevel3", "Panel1", 56, 720, 737, 1), &TDoc::Bevel3);

    // Lower block.
    p << Member(Box(PartKind::Panel, "Memo4", "Panel1", 48, 384, 750, 329), &TDoc::Memo4);
    p << Member(Caption("Label36", "Memo4", 8, 0, Lines({"Словом:", "in words:"}), a13),
                &TDoc::Label36);
    PagePart words = Lower(
        Field("Label18", "Memo4", 64, 0, name76, a13, silver, N, SHOW(d.words), STORE(d.words)));
    // The words of both amounts take the lines they need.
    words.maxLines = 0;
    p << Member(words, &TDoc::Label18);
    p << Member(Box(PartKind::Bevel, "Bevel2", "Memo4", 16, 36, 401, 2), &TDoc::Bevel2);
    p << Member(Lower(Field("Label19", "Memo4", 64, 48, name76, a13, silver, N,
                            SHOW(d.zeroVatGround), STORE(d.zeroVatGround))),
                &TDoc::Label19);
    p << Member(Caption("Label20", "Memo4", 48, 64,
                        Lines({"/основание за неначисляване на ДДС и при нулева ставка/",
                               "/reason for defiency in account of VAT and at zero-rating/"}),
                        a13),
                &TDoc::Label20);
    p << Member(Lower(Field("Label55", "Memo4", 64, 104, name76, a13, silver, N, SHOW(d.newVehicle),
                            STORE(d.newVehicle))),
                &TDoc::Label55);
    p << Member(
        Caption("Label56", "Memo4", 24, 120,
                Lines({"/обстоятелства, които определят стоката като ново превозно средство/",
                       "         /circumstances, that define the goods as new vehicle/"}),
                a11),
        &TDoc::Label56);
    p << Member(Caption("Label58", "Memo4", 0, 160,
                        QStringLiteral("Дата на данъчното събитие / Date of tax event"), a13),
                &TDoc::Label58);
    p << Member(Field("Label57", "Memo4", 288, 161, kDatePlaceholder, a13, silver, N,
                      SHOW(d.taxEventDate.isValid() ? DateText(d.taxEventDate) : QString()),
                      [](Invoice &d, const QString &t) { d.taxEventDate = DateOrThrow(t); }),
                &TDoc::Label57);
    p << Member(Caption("Label27", "Memo4", 0, 184,
                        QStringLiteral("Дата на плащане / Date of payment"), a13),
                &TDoc::Label27);
    p << Member(Field("Label40", "Memo4", 288, 185, kDatePlaceholder, a13, silver, N,
                      SHOW(d.paymentDate.isValid() ? DateText(d.paymentDate) : QString()),
                      [](Invoice &d, const QString &t) { d.paymentDate = DateOrThrow(t); }),
                &TDoc::Label40);
    p << Member(Box(PartKind::Bevel, "Bevel6", "Memo4", 0, 212, 377, 2), &TDoc::Bevel6);
    p << Member(Caption("Label44", "Memo4", 8, 217, Lines({"Плащане", "Payment"}), a13b),
                &TDoc::Label44);
    PagePart payment = Wrapped(Field("Label37", "Memo4", 80, 225, name40, a13, silver, N,
                                     SHOW(d.payment), STORE(d.payment)),
                               kPaymentWidth, kLowerLines);
    payment.maxChars = kLongChars;
    p << Member(payment, &TDoc::Label37);
    p << Member(Caption("Label43", "Memo4", 8, 249, Lines({"Банка", "Bank"}), a13b),
                &TDoc::Label43);
    p << Member(Cut(Field("Label38", "Memo4", 80, 257, name40, a13, silver, N, SHOW(d.bank.name),
                          STORE(d.bank.name)),
                    kPaymentWidth, 80),
                &TDoc::Label38);
    p << Member(Caption("Label42", "Memo4", 8, 289, QStringLiteral("IBAN"), a13b), &TDoc::Label42);
    p << Member(Cut(Field("Label39", "Memo4", 80, 289, name40, a13, silver, N, SHOW(d.bank.iban),
                          STORE(d.bank.iban)),
                    kPaymentWidth, 80),
                &TDoc::Label39);
    p << Member(Caption("Label41", "Memo4", 8, 313, QStringLiteral("SWIFT/BIC"), a13b),
                &TDoc::Label41);
    p << Member(Cut(Field("Label53", "Memo4", 80, 313, name40, a13, silver, N, SHOW(d.bank.bic),
                          STORE(d.bank.bic)),
                    kPaymentWidth, 80),
                &TDoc::Label53);
    p << Member(Box(PartKind::Grid, "StringGrid1", "Memo4", 480, 216, 270, 110),
                &TDoc::StringGrid1);
    // Beside the bank details, under the totals: 3 px for each of up to 57 modules.
    p << Member(Box(PartKind::Code, "PaymentCode", "Memo4", 568, 156, 171, 171),
                &TDoc::PaymentCode);

    // Totals block.
    p << Member(Box(PartKind::Panel, "Panel6", "Memo4", 504, 0, 241, 144), &TDoc::Panel6);
    p << Member(Caption("Label6", "Panel6", 2, 0, Lines({"Данъчна основа", "Tax basis"}), a13b),
                &TDoc::Label6);
    p << Member(Caption("Label5", "Panel6", 186, 0, QStringLiteral("0"), a13b), &TDoc::Label5);
    p << Member(Caption("Label59", "Panel6", 186, 16, QStringLiteral("0"), a13b), &TDoc::Label59);
    p << Member(Field("Label2", "Panel6", 2, 40,
                      Lines({"Данъчна ставка %", "размер на данъка", "VAT ", "Total VAT"}), a13b,
                      plain, N, SHOW(VatCaption(d.vatText)), nullptr),
                &TDoc::Label2);
    p << Member(Caption("Label7", "Panel6", 186, 48, QStringLiteral("0"), a13b), &TDoc::Label7);
    p << Member(Caption("Label60", "Panel6", 186, 80, QStringLiteral("0"), a13b), &TDoc::Label60);
    p << Member(Box(PartKind::Bevel, "Bevel4", "Panel6", 0, 108, 241, 2), &TDoc::Bevel4);
    p << Member(
        Caption("Label4", "Panel6", 2, 112, Lines({"Сума за плащане", "Total amount"}), a13b),
        &TDoc::Label4);
    p << Member(Caption("Label3", "Panel6", 186, 112, QStringLiteral("0"), a13b), &TDoc::Label3);
    p << Member(Caption("Label61", "Panel6", 186, 128, QStringLiteral("0"), a13b), &TDoc::Label61);

    // Signature block.
    p << Member(Box(PartKind::Panel, "Panel5", "Panel1", 80, 730, 633, 88), &TDoc::Panel5);
    p << Member(Caption("Label32", "Panel5", 0, 0, Lines({"Получател", "Recipient"}), a13b),
                &TDoc::Label32);
    p << Member(Cut(Field("Label35", "Panel5", 80, 0, name40, a13, white, N, SHOW(d.receivedBy),
                          STORE(d.receivedBy)),
                    kRecipientNameWidth),
                &TDoc::Label35);
    p << Member(Cut(Field("Label71", "Panel5", 80, 16, name40, a13, white, N, SHOW(d.receivedBy2),
                          STORE(d.receivedBy2)),
                    kRecipientNameWidth),
                &TDoc::Label71);
    p << Member(Caption("Label14", "Panel5", 80, 40, name40, a13), &TDoc::Label14);
    p << Member(
        Field("Label62", "Panel5", 80, 56, nameAndSignature, a13, white, N, nullptr, nullptr),
        &TDoc::Label62);
    p << Member(Caption("Label51", "Panel5", 396, 0, Lines({"Съставил", "Issuer"}), a13b),
                &TDoc::Label51);
    p << Member(Cut(Field("Label52", "Panel5", 473, 0, name40, a13, white, S, SHOW(d.issuedBy),
                          STORE(d.issuedBy)),
                    kIssuerNameWidth),
                &TDoc::Label52);
    p << Member(Cut(Field("Label72", "Panel5", 473, 16, name40, a13, white, S, SHOW(d.issuedBy2),
                          STORE(d.issuedBy2)),
                    kIssuerNameWidth),
                &TDoc::Label72);
    p << Member(Caption("Label17", "Panel5", 469, 40, name40, a13), &TDoc::Label17);
    p << Member(
        Field("Label13", "Panel5", 467, 56, nameAndSignature, a13, white, N, nullptr, nullptr),
        &TDoc::Label13);

    // Footer, fixed at the bottom of the page.
    p << Member(Caption("Label9", "Panel1", 72, 1144,
                        QStringLiteral("Документът е изготвен с програмата Vornex 2007 / "
                                       "Document prepared with Vornex 2007"),
                        t11),
                &TDoc::Label9);
    p << Member(Box(PartKind::Image, "Image1", "Panel1", 792, 1128, 42, 35), &TDoc::Image1);
    return p;
}

#undef SHOW
#undef STORE
} // namespace

const QVector<PagePart> &PageParts()
{
    static const QVector<PagePart> parts = MakeParts();
    return parts;
}
