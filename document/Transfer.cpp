#include "document/Transfer.h"

#include "app/Look.h"
#include "base/ProgramFolder.h"
#include "document/Document.h"
#include "document/Numbering.h"
#include "document/PageLayout.h"
#include "document/WordsLines.h"
#include "euro/HomeCurrency.h"
#include "lines/Unit1.h"
#include "masterdata/Unit4.h"
#include "words/AmountInWords.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTableWidget>

bool Transferred = false;
bool TransferCompleted = false;

namespace
{
const QString kDebitNote = QStringLiteral("Дебитно известие / Debit note");
const QString kCreditNote = QStringLiteral("Кредитно известие / Credit note");
// Air kept between the amount in words and the totals beside it.
constexpr int kWordsGap = 8;

void CopyLines()
{
    QTableWidget *from = Form1->StringGrid1;
    TStringGrid *to = Doc->StringGrid2;
    const int rows = from->rowCount();
    to->setRowCount(rows);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < from->columnCount() && col < to->columnCount(); ++col) {
            const QTableWidgetItem *item = from->item(row, col);
            to->setCell(col, row, item ? item->text() : QString());
        }
    if (rows > 2)
        to->setFixedRows(2);
    // Every row with its grid line, and the frame: rows x 19 + 3 for the page's row height of 18.
    // The page grid's sections already hold the line, so the line table's rule would add it twice.
    to->resize(to->width(), rows * to->verticalHeader()->defaultSectionSize() + 3);
}

// Opens a master table through the browser at its remembered record, closes the window again
// and takes the record onto the page, as the user would.
void TakeAgain(void (TForm4::*opener)())
{
    (Form4->*opener)();
    Form4->close();
    Form4->SpeedButton2Click();
}

void SetUpNoteAccounts(const QString &noteKind)
{
    TStringGrid *grid = Doc->StringGrid1;
    if (noteKind.isEmpty()) {
        grid->hide();
        Doc->Panel2->hide();
        return;
    }
    grid->show();
    Doc->Panel2->show();
    grid->setCell(0, 0, QStringLiteral("№"));
    grid->setCell(0, 1, QStringLiteral("No"));
    if (noteKind == kDebitNote) {
        grid->setCell(1, 0, QStringLiteral("Дебит с/ка"));
        grid->setCell(1, 1, QStringLiteral("Debit account"));
    }
    if (noteKind == kCreditNote) {
        grid->setCell(1, 0, QStringLiteral("Кредит с/ка"));
        grid->setCell(1, 1, QStringLiteral("Credit account"));
    }
    grid->setCell(2, 0, QStringLiteral("Сума"));
    grid->setCell(2, 1, QStringLiteral("Sum"));
}

// The amount without its minus sign; negative tells whether it had one.
QString Magnitude(const QString &amount, bool &negative)
{
    negative = amount.startsWith(QLatin1Char('-'));
    return negative ? amount.mid(1) : amount;
}

// The words of both amounts. A credit note may total below zero: its words are those of the
// amount without the sign, after "минус" or "minus", as the digit routines read digits only.
QString SignedAmountInWords(const QString &leva, const QString &foreign)
{
    bool levaNegative = false;
    bool foreignNegative = false;
    QString words =
        AmountInWords(Magnitude(leva, levaNegative), Magnitude(foreign, foreignNegative),
                      Form1->CurrencyCode, HomeCode(RunHomeCurrency));
    if (foreignNegative)
        words.insert(words.indexOf(QLatin1Char('\n')) + 1, QStringLiteral("minus "));
    if (levaNegative)
        words.prepend(QStringLiteral("минус "));
    return words;
}

int LineCount(const QString &caption)
{
    return int(caption.count(QLatin1Char('\n'))) + 1;
}

void WriteAmountInWords()
{
    bool negative = false;
    if (Magnitude(Doc->Label3->caption(), negative).startsWith(QLatin1Char('0')))
        return;
    const QString leva = Doc->Label3->caption();
    const QString foreign = Doc->Label61->caption();
    QString words =
        WithFiguresForLongAmounts(SignedAmountInWords(leva, foreign), leva,
                                  HomeCode(RunHomeCurrency), foreign, Form1->CurrencyCode);
    // Each line keeps to the space left of the totals; a longer one goes on at a blank below.
    const QFontMetrics metrics(Doc->Label18->font());
    const int space = Doc->Panel6->x() - kWordsGap - Doc->Label18->x();
    words = BreakAtBlanks(
        words, space, [&metrics](const QString &line) { return metrics.horizontalAdvance(line); });
    // The rows below move as for a wrapping edit, by the lines gained or lost since the last
    // words, so that a later transfer finds the room already made.
    const int shift = (LineCount(words) - LineCount(Doc->Label18->caption())) * kWrapShift;
    Doc->Label18->setCaption(words);
    if (shift == 0)
        return;
    const int top = Doc->Label18->y();
    const QList<QWidget *> children =
        Doc->Memo4->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : children)
        if (child->y() > top)
            child->move(child->x(), child->y() + shift);
}
} // namespace

void TransferToDocument()
{
    Transferred = true;
    TransferCompleted = false;

    Doc->Label1->setCaption(Form1->ComboBox2->currentText());
    Doc->Label21->setCaption(Form1->ComboBox1->currentText());
    Doc->Label19->setCaption(Form1->ComboBox4->currentText());

    Doc->Label5->setCaption(Form1->Label7->caption());
    Doc->Label7->setCaption(Form1->Label3->caption());
    Doc->Label3->setCaption(Form1->Label5->caption());

    Doc->Label2->setCaption(Form1->Label2->caption() + QLatin1Char('\n') +
                            Form1->Label14->caption());

    Doc->Label59->setCaption(Form1->Label11->caption());
    Doc->Label60->setCaption(Form1->Label12->caption());
    Doc->Label61->setCaption(Form1->Label13->caption());

    CopyLines();

    Form4->OpenFirm();
    Form4->close();
    PrepareDocumentNumber();
    Form4->SpeedButton2Click();
    TakeAgain(&TForm4::OpenBank);

    Doc->SVpath->setCaption(TablesFolder());
    WriteNumberAndDates();

    Doc->Bevel3->resize(Doc->Bevel1->width(), Doc->Bevel3->height());
    Doc->Label1->move(Doc->Panel1->width() / 2 - Doc->Label1->width() / 2, Doc->Label1->y());

    SetUpNoteAccounts(Doc->Label21->caption());
    WriteAmountInWords();

    Doc->New->trigger();
    Doc->Resized->trigger();
    TransferCompleted = true;
    Doc->show();
    Doc->raise();
    Doc->activateWindow();
}
