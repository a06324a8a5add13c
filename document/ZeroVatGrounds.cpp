#include "document/ZeroVatGrounds.h"

#include <QVector>

namespace
{
// The wording of the 2007 grounds, shown by "?" first.
const QStringList kGroundWording = {
    QStringLiteral("чл. 28с(Е)(3) 77/388/ЕЕС-за доставки на стоки като посредник в тристранна "
                   "операция"),
    QStringLiteral("чл. 113, ал. 9 - за доставките на нерегистрирани по закона лица или лица, "
                   "регистрирани на основание чл. 99 и чл. 100, ал. 2 от закона"),
    QStringLiteral("чл. 22, ал. 2 ЗДДС - Когато получател по доставката по ал. 1 е лице, "
                   "регистрирано за целите на ДДС в друга държава членка, мястото на изпълнение "
                   "на доставката е територията на държавата членка, издала идентификационния "
                   "номер по ДДС на получателя, под който му е оказана услугата"),
    QStringLiteral("чл. 23, ал. 1 ЗДДС - Мястото на изпълнение при доставка на услуга, свързана "
                   "с транспортна обработка на стоки, съпътстващи доставката по чл. 22 , е на "
                   "територията на държавата членка, издала идентификационния номер по ДДС на "
                   "получателя, под който му е оказана услугата"),
    QStringLiteral("чл. 23, ал. 3 ЗДДС - Когато получател по доставката по ал. 2 е лице, "
                   "регистрирано за целите на ДДС в друга държава членка, мястото на изпълнение "
                   "на доставката е територията на държавата членка, издала идентификационния "
                   "номер по ДДС на получателя, под който му е оказана услугата"),
    QStringLiteral("чл. 23, ал. 4 ЗДДС - Мястото на изпълнение при доставка на услуга, оказвана "
                   "от посредник, действащ от името и за сметка на друго лице, във връзка с "
                   "предоставянето на услуга по транспортна обработка на стоки по ал. 1 е "
                   "мястото, където фактически е извършена транспортната обработка на стоките"),
    QStringLiteral("чл. 23, ал. 5 ЗДДС - Когато получател по доставката по ал. 4 е лице, "
                   "регистрирано за целите на ДДС в друга държава членка, мястото на изпълнение "
                   "на доставката е територията на държавата членка, издала идентификационния "
                   "номер по ДДС на получателя, под който му е оказана услугата"),
    QStringLiteral("чл. 24, ал. 1 ЗДДС - Мястото на изпълнение при доставка на услуга, оказвана "
                   "от посредник, действащ от името и за сметка на друго лице, когато тази "
                   "услуга е свързана с доставка на услуги, различни от тези по чл. 21, ал. 3 , "
                   "чл. 22 и 23 , е мястото на изпълнение на доставката, във връзка с която е "
                   "оказано посредничеството"),
    QStringLiteral("чл. 24, ал. 2 ЗДДС - Когато получател по доставката е лице, регистрирано за "
                   "целите на ДДС в друга държава членка, мястото на изпълнение на доставката е "
                   "територията на държавата членка, издала идентификационния номер по ДДС на "
                   "получателя, под който му е оказана услугата"),
    QStringLiteral("чл. 24, ал. 3 ЗДДС - Мястото на изпълнение при доставка на услуга по оценка "
                   "или работа върху движими вещи е на територията на държавата членка, издала "
                   "идентификационния номер по ДДС на получателя, под който му е оказана "
                   "услугата, когато са налице едновременно следните условия:"),
    QStringLiteral("1. получател по доставката е лице, регистрирано за целите на ДДС в друга "
                   "държава членка;"),
    QStringLiteral("2. стоките са изпратени или транспортирани от територията на страната извън "
                   "нея."),
    QStringLiteral("чл. 86, ал. 1 ППЗДДС - Туроператорите и туристическите агенти документират "
                   "извършените от тях доставки на обща туристическа услуга, включително "
                   "получените авансови плащания по такива доставки, с издаването на фактури и "
                   "известия към фактури, в които не се посочва данък."),
};

// The wording of the grounds a business cites today, after the 2007 texts.
const QStringList kTodayWording = {
    QStringLiteral("чл. 28 ЗДДС - износ: доставка на стоки, които се изпращат или превозват от "
                   "територията на страната до трета страна или територия"),
    QStringLiteral("чл. 29 - чл. 35 ЗДДС - другите облагаеми доставки с нулева ставка по глава "
                   "трета от закона, като международния транспорт и свързаните с него доставки"),
    QStringLiteral("чл. 53, ал. 1 ЗДДС - вътреобщностна доставка на стоки, изпратени или превозени "
                   "от територията на страната до друга държава членка за получател, регистриран "
                   "за целите на ДДС в нея"),
    QStringLiteral("чл. 140, чл. 146, ал. 1 и чл. 173 ЗДДС - доставки с нулева ставка по "
                   "специалните режими на закона"),
    QStringLiteral("чл. 21, ал. 2 ЗДДС - мястото на изпълнение на услугата е там, където "
                   "получателят - данъчно задължено лице, е установил независимата си икономическа "
                   "дейност; за получател в друга държава членка данъкът се дължи от получателя "
                   "(обратно начисляване)"),
    QStringLiteral("чл. 69, ал. 2 ЗДДС - доставка с място на изпълнение извън територията на "
                   "страната, за която доставчикът има право на данъчен кредит, включително "
                   "дистанционна продажба с място на изпълнение в друга държава членка"),
    QStringLiteral("чл. 39 ЗДДС - освободена доставка, свързана със здравеопазване"),
    QStringLiteral("чл. 41 ЗДДС - освободена доставка, свързана с образование, спорт или "
                   "физическо възпитание"),
    QStringLiteral("чл. 45 ЗДДС - освободена доставка, свързана със земя и сгради"),
    QStringLiteral("чл. 46 ЗДДС - освободена доставка на финансови услуги"),
    QStringLiteral("чл. 47 ЗДДС - освободена доставка на застрахователни услуги"),
    QStringLiteral("чл. 141 от Директива 2006/112/ЕО - доставка на стоки като посредник в "
                   "тристранна операция; данъкът се дължи от получателя в държавата членка на "
                   "пристигане на стоките"),
};

// A ground of the box, the ledger column it goes to, and whether current law still uses it.
struct Ground {
    QString text;
    LedgerColumn column;
    bool outdated;
};

// The box's grounds after the placeholder, in the box's order: the thirteen of 2007, then today's.
// The 2007 place-of-supply items are services supplied in another member state (02-17), as
// art. 21(2) now covers them; the other 2007 items say nothing the ledger can place.
const QVector<Ground> kGrounds = {
    {QStringLiteral("чл. 28с(Е)(3) 77/388/ЕЕС"), LedgerColumn::Triangular, true},
    {QStringLiteral("чл. 113, ал. 9"), LedgerColumn::Unclassified, false},
    {QStringLiteral("чл. 22, ал. 2"), LedgerColumn::ServiceElsewhere, true},
    {QStringLiteral("чл. 23, ал. 1"), LedgerColumn::ServiceElsewhere, true},
    {QStringLiteral("чл. 23, ал. 3"), LedgerColumn::ServiceElsewhere, true},
    {QStringLiteral("чл. 23, ал. 4"), LedgerColumn::ServiceElsewhere, true},
    {QStringLiteral("чл. 23, ал. 5"), LedgerColumn::ServiceElsewhere, true},
    {QStringLiteral("чл. 24, ал. 1"), LedgerColumn::ServiceElsewhere, true},
    {QStringLiteral("чл. 24, ал. 2"), LedgerColumn::ServiceElsewhere, true},
    {QStringLiteral("чл. 24, ал. 3"), LedgerColumn::ServiceElsewhere, true},
    {QStringLiteral("чл. 86, ал. 1"), LedgerColumn::Unclassified, false},
    {QStringLiteral("чл. 44, т. 3"), LedgerColumn::Unclassified, false},
    {QStringLiteral("чл. 50, т. 1"), LedgerColumn::Unclassified, false},

    {QStringLiteral("чл. 28 ЗДДС"), LedgerColumn::Export, false},
    {QStringLiteral("чл. 29 ЗДДС"), LedgerColumn::Export, false},
    {QStringLiteral("чл. 30 ЗДДС"), LedgerColumn::Export, false},
    {QStringLiteral("чл. 31 ЗДДС"), LedgerColumn::Export, false},
    {QStringLiteral("чл. 32 ЗДДС"), LedgerColumn::Export, false},
    {QStringLiteral("чл. 33 ЗДДС"), LedgerColumn::Export, false},
    {QStringLiteral("чл. 34 ЗДДС"), LedgerColumn::Export, false},
    {QStringLiteral("чл. 35 ЗДДС"), LedgerColumn::Export, false},
    {QStringLiteral("чл. 53, ал. 1 ЗДДС"), LedgerColumn::IntraCommunity, false},
    {QStringLiteral("чл. 140 ЗДДС"), LedgerColumn::Art140_146_173, false},
    {QStringLiteral("чл. 146, ал. 1 ЗДДС"), LedgerColumn::Art140_146_173, false},
    {QStringLiteral("чл. 173 ЗДДС"), LedgerColumn::Art140_146_173, false},
    {QStringLiteral("чл. 21, ал. 2 ЗДДС"), LedgerColumn::ServiceElsewhere, false},
    {QStringLiteral("чл. 69, ал. 2 ЗДДС"), LedgerColumn::DistanceSale, false},
    {QStringLiteral("чл. 39 ЗДДС"), LedgerColumn::Exempt, false},
    {QStringLiteral("чл. 41 ЗДДС"), LedgerColumn::Exempt, false},
    {QStringLiteral("чл. 45 ЗДДС"), LedgerColumn::Exempt, false},
    {QStringLiteral("чл. 46 ЗДДС"), LedgerColumn::Exempt, false},
    {QStringLiteral("чл. 47 ЗДДС"), LedgerColumn::Exempt, false},
    {QStringLiteral("чл. 141 от Директива 2006/112/ЕО"), LedgerColumn::Triangular, false},
};

// The box's ground whose text the given one is, blanks around it ignored; null for any other.
const Ground *FindGround(const QString &ground)
{
    const QString text = ground.trimmed();
    for (const Ground &known : kGrounds) {
        if (known.text == text)
            return &known;
    }
    return nullptr;
}

} // namespace

QStringList ZeroVatGroundItems()
{
    QStringList items = {kNoZeroVatGround};
    for (const Ground &ground : kGrounds)
        items.append(ground.text);
    return items;
}

QStringList ZeroVatGroundWording()
{
    return kGroundWording + kTodayWording;
}

LedgerColumn ClassifyZeroVatGround(const QString &ground)
{
    const Ground *known = FindGround(ground);
    return known ? known->column : LedgerColumn::Unclassified;
}

bool IsOutdatedZeroVatGround(const QString &ground)
{
    const Ground *known = FindGround(ground);
    return known && known->outdated;
}
