#include "app/Menu.h"
#include "document/CurrentDocument.h"
#include "document/Document.h"
#include "document/Transfer.h"
#include "lines/Unit1.h"
#include "support/TestSupport.h"
#include "ui/Look.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QImage>
#include <QTableWidget>
#include <QToolButton>

namespace
{
// Wider than a customer field's place: it goes on at a blank on a second line.
const QString kLongClientText =
    QStringLiteral("Търговско дружество Североизточна логистика и спедиция на товари за "
                   "Източна Европа ЕООД");

// The page's rectangle of a control.
QRect OnPage(const QWidget *widget)
{
    return QRect(widget->mapTo(Doc->Panel1, QPoint(0, 0)), widget->size());
}

// A line table of the given number of rows below the headers, each a line of its own typed into
// the grid, every one of the quantity and price given.
void FillLines(int rows, const QString &quantity, const QString &price)
{
    QTableWidget *grid = Form1->StringGrid1;
    grid->setRowCount(2 + rows);
    for (int row = 2; row < 2 + rows; ++row) {
        const QStringList cells = {QString::number(row - 1),
                                   QStringLiteral("Стока с дълго наименование %1").arg(row - 1),
                                   QStringLiteral("бр."),
                                   quantity,
                                   price,
                                   QString(),
                                   QString(),
                                   QString()};
        for (int col = 0; col < cells.size(); ++col)
            grid->setItem(row, col, new QTableWidgetItem(cells.at(col)));
    }
}

// The zero-VAT ground that takes the most room on the page.
QString WidestGround()
{
    const QFontMetrics metrics(Doc->Label19->font());
    QString widest;
    for (int i = 0; i < Form1->ComboBox4->count(); ++i) {
        const QString item = Form1->ComboBox4->itemText(i);
        if (metrics.horizontalAdvance(item) > metrics.horizontalAdvance(widest))
            widest = item;
    }
    return widest;
}
} // namespace

// An invoice as full as the line table allows still prints on its one page, every block whole.
class TestPageFit : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyBlockWholeOnThePage_data();
    void everyBlockWholeOnThePage();

private:
    std::unique_ptr<ProgramRun> m_run;
};

void TestPageFit::init()
{
    Transferred = false;
    m_run = std::make_unique<ProgramRun>();
    m_run->script().answer(QStringLiteral("20%"));
    m_run->start();
}

void TestPageFit::cleanup()
{
    m_run.reset();
}

void TestPageFit::everyBlockWholeOnThePage_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("wrappedFields"); // customer fields split by their wrapping edit
    QTest::addColumn<QString>("noteKind");
    QTest::addColumn<QString>("quantity"); // of every line
    QTest::addColumn<QString>("price");
    QTest::addColumn<bool>("normal");    // whether the page keeps its normal spacing
    QTest::addColumn<bool>("longTexts"); // the longest texts a field may hold
    QTest::newRow("short invoice keeps the normal page") << 3 << 0 << ""
                                                         << "1"
                                                         << "110.67" << true << false;
    QTest::newRow("16 rows still keep the normal page") << 16 << 0 << ""
                                                        << "1"
                                                        << "514.40" << true << false;
    QTest::newRow("25 rows, six-digit words, wrapped client, widest ground")
        << 25 << 6 << ""
        << "1"
        << "25925.93" << false << false;
    QTest::newRow("25 rows as a credit note with a wrapped client name and address")
        << 25 << 4 << "Кредитно известие / Credit note"
        << "-1"
        << "25925.93" << false << false;
    QTest::newRow("25 rows as a credit note with the whole client block wrapped")
        << 25 << 6 << "Кредитно известие / Credit note"
        << "-1"
        << "25925.93" << false << false;
    QTest::newRow("25 rows, seven-digit amount in figures") << 25 << 6 << ""
                                                            << "1"
                                                            << "49383.22" << false << false;
    QTest::newRow("a 71-character client name, an 80-character address, 5 000 characters of "
                  "payment")
        << 25 << 0 << ""
        << "1"
        << "25925.93" << false << true;
}

void TestPageFit::everyBlockWholeOnThePage()
{
    QFETCH(int, rows);
    QFETCH(int, wrappedFields);
    QFETCH(QString, noteKind);
    QFETCH(QString, quantity);
    QFETCH(QString, price);
    QFETCH(bool, normal);
    QFETCH(bool, longTexts);
    ScriptedDialogs &script = m_run->script();

    FillLines(rows, quantity, price);
    Form1->ComboBox1->setCurrentText(noteKind);
    Form1->ComboBox4->setCurrentText(WidestGround());
    const QList<TLabel *> customerFields = {Doc->Label33, Doc->Label23, Doc->Label29,
                                            Doc->Label26, Doc->Label30, Doc->Label67};
    for (int i = 0; i < wrappedFields; ++i) {
        TLabel *field = customerFields.at(i);
        script.answer(kLongClientText);
        QTest::mouseClick(field, Qt::LeftButton);
        QVERIFY(field->caption().contains(QLatin1Char('\n')));
    }
    Main->SpeedButton4->click();
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(Doc->StringGrid2->rowCount(), 2 + rows);
    if (longTexts)
        ChangeDocument([](Invoice &doc) {
            const QString name = QStringLiteral("Търговско дружество Североизточна логистика и "
                                                "спедиция на товари ЕООД Варна");
            const QString address =
                QStringLiteral("гр. Варна 9000, р-н Приморски, ж.к. Бриз, "
                               "ул. Академик Андрей Сахаров № 12, вх. Б, ет. 4");
            doc.recipient = {name, name, address, address, name, name, name, name};
            doc.supplier = {name, name, address, address, name, name, name, name};
            doc.receivedBy = doc.receivedBy2 = doc.issuedBy = doc.issuedBy2 = name;
            doc.payment = QString(5000, QLatin1Char('x'));
            doc.bank.name = address;
        });

    // Every block lies whole on the page and clear of the others.
    QList<QWidget *> blocks = {Doc->Label1, Doc->Label8,      Doc->Label15, Doc->Panel3,
                               Doc->Panel4, Doc->StringGrid2, Doc->Bevel1,  Doc->Memo4,
                               Doc->Bevel3, Doc->Panel5,      Doc->Label9};
    if (!noteKind.isEmpty())
        blocks << Doc->Panel2;
    const QRect page = Doc->Panel1->rect();
    for (int i = 0; i < blocks.size(); ++i) {
        const QRect area = OnPage(blocks.at(i));
        QVERIFY2(page.contains(area), qPrintable(blocks.at(i)->objectName()));
        for (int j = i + 1; j < blocks.size(); ++j)
            QVERIFY2(!area.intersects(OnPage(blocks.at(j))),
                     qPrintable(blocks.at(i)->objectName() + " / " + blocks.at(j)->objectName()));
    }
    QVERIFY(OnPage(Doc->Panel5).bottom() < Doc->Label9->y());

    // Within the lower block, nothing reaches into the totals or the note accounts.
    for (QWidget *side : QList<QWidget *>{Doc->Panel6, Doc->StringGrid1}) {
        if (side->isHidden())
            continue;
        for (QWidget *child :
             Doc->Memo4->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            if (child != side && !child->isHidden())
                QVERIFY2(!child->geometry().intersects(side->geometry()),
                         qPrintable(child->objectName() + " / " + side->objectName()));
    }
    // Rows of the lower block keep their order: the words above the ground, the bank above
    // its account.
    QVERIFY(Doc->Label18->y() + Doc->Label18->height() <= Doc->Bevel2->y());
    QVERIFY(Doc->Label38->y() < Doc->Label39->y());

    // The lines stay readable.
    QVERIFY(Doc->StringGrid2->font().pixelSize() >= 11);
    const int rowHeight = Doc->StringGrid2->rowHeights();
    QVERIFY(rowHeight >= QFontMetrics(Doc->StringGrid2->font()).height());
    QCOMPARE(Doc->StringGrid2->height(), (2 + rows) * (rowHeight + 1) + 3);
    if (normal) {
        QCOMPARE(rowHeight, 18);
        QCOMPARE(Doc->StringGrid2->font().pixelSize(), 13);
        QCOMPARE(Doc->Bevel1->y(), Doc->StringGrid2->y() + Doc->StringGrid2->height() + 15);
        QCOMPARE(Doc->Panel5->y(), Doc->Bevel3->y() + Doc->Bevel3->height() + 9);
    }

    // The captured page shows the signature captions above the footer, nothing below them.
    const QImage image = Doc->Panel1->grab().toImage();
    QCOMPARE(image.size(), QSize(859, 1168));
    const int signaturesBottom = OnPage(Doc->Panel5).bottom();
    for (int y = signaturesBottom + 1; y < Doc->Label9->y(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QVERIFY2(image.pixel(x, y) == qRgb(255, 255, 255), qPrintable(QString::number(y)));
}

VORNEX_TEST_MAIN(TestPageFit)
#include "tst_pagefit.moc"
