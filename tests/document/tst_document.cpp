#include "document/CurrentDocument.h"
#include "document/Document.h"
#include "lines/Unit1.h"
#include "print/Pr.h"
#include "support/TestSupport.h"
#include "ui/Look.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

// The invoice page as the user and the other parts of the program meet it.
class TestDocument : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pageIsOneFullPageShowingEveryRegion();
    void fields_data();
    void fields();
    void creationTidiedTheTotals();
    void tidyUpIsIdempotentAndAligned();
    void tidyUpCentresMarkAndNumberOnTitle();
    void reflowCountsHiddenNotePanel();
    void reflowFollowsTheLinesGrid();
    void growingCustomerBlockReflows();
    void plainEdit_data();
    void plainEdit();
    void wrappingEdit_data();
    void wrappingEdit();
    void linesGridRefusesSelection();
    void wideValuesStayInTheirBlock();
    void buttonsStayInSightWhileThePageScrolls();
    void noteGridEditsOnlyItsAccountRows();
    void printButtonAndClose();
    void numberReferenceAndNewInvoiceClicks();
    void logoBackgroundIsSeeThrough();
    void longTitleStaysClearOfTheLogo();

private:
    TLabel *labelNamed(const QString &name) const;
    std::unique_ptr<ProgramRun> run;
};

void TestDocument::init()
{
    run = std::make_unique<ProgramRun>();
    run->script().answer(QStringLiteral("20%"));
    run->start();
    QVERIFY(Doc);
}

void TestDocument::cleanup()
{
    run.reset();
}

TLabel *TestDocument::labelNamed(const QString &name) const
{
    return Doc->findChild<TLabel *>(name);
}

// The right edge of a label within the page.
static int RightEdge(const QWidget *w)
{
    return w->x() + w->width();
}

// Whether an area of the page image holds anything but white.
static bool HasInk(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return true;
    return false;
}

void TestDocument::pageIsOneFullPageShowingEveryRegion()
{
    const QImage page = Doc->Panel1->grab().toImage();
    QCOMPARE(page.size(), QSize(859, 1168));
    const QList<QWidget *> regions = {Doc->Label1, Doc->Label8,      Doc->Label15, Doc->Panel3,
                                      Doc->Panel4, Doc->StringGrid2, Doc->Bevel1,  Doc->Memo4,
                                      Doc->Panel6, Doc->Bevel3,      Doc->Panel5,  Doc->Label9};
    for (QWidget *region : regions) {
        const QRect area(region->mapTo(Doc->Panel1, QPoint(0, 0)), region->size());
        QVERIFY2(Doc->Panel1->rect().contains(area), qPrintable(region->objectName()));
        QVERIFY2(HasInk(page, area), qPrintable(region->objectName()));
    }
    // Everything below the signatures is white up to the footer.
    const int signaturesBottom = Doc->Panel5->y() + Doc->Panel5->height();
    QVERIFY(!HasInk(page, QRect(0, signaturesBottom, 859, Doc->Label9->y() - signaturesBottom)));
    QVERIFY(!Doc->Panel2->isVisible() && Doc->Panel2->isHidden());
    QVERIFY(Doc->StringGrid1->isHidden());
    QVERIFY(Doc->NO->isHidden());
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0"));
    QVERIFY(Doc->SVpath->isHidden());
    QCOMPARE(Doc->SpeedButton1->text(), QStringLiteral("Отпечатай"));
    QCOMPARE(Doc->SpeedButton3->text(), QStringLiteral("Нова фактура"));
    QCOMPARE(Doc->windowTitle(), QStringLiteral("Фактура"));
    QVERIFY(Doc->windowState() & Qt::WindowMaximized);
}

void TestDocument::fields_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<bool>("opaque");
    const QString d40(40, QLatin1Char('.'));
    const QString d76(76, QLatin1Char('.'));
    const QString d24(24, QLatin1Char('.'));
    // Tops in the re-flowed blocks are relative to the block, so they keep their design values.
    QTest::newRow("title, centred")
        << "Label1" << QPoint(-1, 16) << 24 << true << "ФАКТУРА / INVOICE" << clWhite << false;
    QTest::newRow("number line is a silver field")
        << "Label15" << QPoint(-1, 80) << 16 << false << "№ 0000000001 / Дата(Date): дд.мм.гггг"
        << clSilver << true;
    QTest::newRow("customer name shows white through")
        << "Label33" << QPoint(88, 0) << 13 << false << d40 << clSilver << false;
    QTest::newRow("customer VAT caption keeps its blank")
        << "Label25" << QPoint(0, 104) << 13 << true << "ИН по ЗДДС \nVAT" << clWhite << false;
    QTest::newRow("customer VAT number is an opaque silver box")
        << "Label34" << QPoint(96, 112) << 13 << false << "" << clSilver << true;
    QTest::newRow("customer id is an opaque silver box")
        << "Label65" << QPoint(96, 144) << 13 << false << "" << clSilver << true;
    QTest::newRow("note reference")
        << "Label22" << QPoint(0, 21) << 13 << false
        << "от дата / from date: , към фактура № / to invoice No: " << clSilver << true;
    QTest::newRow("amount in words")
        << "Label18" << QPoint(64, 0) << 13 << false << d76 << clSilver << true;
    QTest::newRow("new vehicle caption")
        << "Label56" << QPoint(24, 120) << 11 << false
        << "/обстоятелства, които определят стоката като ново превозно средство/\n"
           "         /circumstances, that define the goods as new vehicle/"
        << clWhite << false;
    QTest::newRow("VAT caption") << "Label2" << QPoint(2, 40) << 13 << true
                                 << "Данъчна ставка 20%\nразмер на данъка\nVAT 20%\nTotal VAT"
                                 << clWhite << false;
    QTest::newRow("recipient is white")
        << "Label35" << QPoint(80, 0) << 13 << false << d40 << clWhite << true;
    QTest::newRow("signature caption")
        << "Label13" << QPoint(467, 56) << 13 << false
        << "/име, фамилия и подпис/\n   /name and signature/" << clWhite << true;
}

void TestDocument::fields()
{
    QFETCH(QString, name);
    QFETCH(QPoint, pos);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    QFETCH(QString, text);
    QFETCH(quint32, colour);
    QFETCH(bool, opaque);
    TLabel *label = labelNamed(name);
    QVERIFY(label);
    QCOMPARE(label->caption(), text);
    if (pos.x() >= 0)
        QCOMPARE(label->x(), pos.x());
    QCOMPARE(label->y(), pos.y());
    QCOMPARE(label->font().pixelSize(), pixelSize);
    QCOMPARE(label->font().bold(), bold);
    QCOMPARE(label->autoFillBackground(), opaque);
    if (opaque || colour != clWhite)
        QCOMPARE(label->palette().color(QPalette::Window), ColorFromNumber(colour));
}

void TestDocument::creationTidiedTheTotals()
{
    for (TLabel *amount : {Doc->Label5, Doc->Label7, Doc->Label3})
        QCOMPARE(amount->caption(), QStringLiteral("0 BGL"));
    for (TLabel *amount : {Doc->Label59, Doc->Label60, Doc->Label61})
        QCOMPARE(amount->caption(), QStringLiteral("0 EUR"));
}

void TestDocument::tidyUpIsIdempotentAndAligned()
{
    ChangeDocument([](Invoice &doc) {
        doc.foreignCurrency = QStringLiteral("USD");
        doc.home = {Decimal::Amount::FromText("1234.50"), Decimal::Amount::FromText("246.90"),
                    Decimal::Amount::FromText("1481.40")};
        doc.foreign = {Decimal::Amount::FromText("1309.11"), Decimal::Amount::FromText("261.82"),
                       Decimal::Amount::FromText("1570.93")};
    });
    Doc->Label2->move(40, Doc->Label2->y());
    Doc->New->trigger();
    Doc->New->trigger();
    QCOMPARE(Doc->Label5->caption(), QStringLiteral("1234.50 BGL"));
    QCOMPARE(Doc->Label3->caption(), QStringLiteral("1481.40 BGL"));
    QCOMPARE(Doc->Label61->caption(), QStringLiteral("1570.93 USD"));
    QCOMPARE(Doc->Label2->x(), Doc->Label6->x());
    QCOMPARE(Doc->Label4->x(), Doc->Label6->x());
    QCOMPARE(Doc->Label5->x(), Doc->Label6->x() + Doc->Label6->width() + 35);
    const int right = RightEdge(Doc->Label5);
    for (TLabel *amount : {Doc->Label7, Doc->Label3, Doc->Label59, Doc->Label60, Doc->Label61})
        QCOMPARE(RightEdge(amount), right);
}

void TestDocument::tidyUpCentresMarkAndNumberOnTitle()
{
    ChangeDocument([](Invoice &doc) { doc.title = kProformaTitle; });
    Doc->Label1->move(100, Doc->Label1->y());
    Doc->Label8->setCaption(QStringLiteral("Копие / Copy"));
    Doc->NewExecute();
    // Centred, but the long proforma title ends before the logo instead of running under it.
    QCOMPARE(Doc->Label1->x(), Doc->Image2->x() - 8 - Doc->Label1->width());
    QVERIFY(Doc->Label1->x() < Doc->Panel1->width() / 2 - Doc->Label1->width() / 2);
    for (TLabel *centred : {Doc->Label8, Doc->Label15})
        QCOMPARE(centred->x(), Doc->Label1->x() + (Doc->Label1->width() - centred->width()) / 2);
}

void TestDocument::reflowCountsHiddenNotePanel()
{
    QVERIFY(Doc->Panel2->isHidden());
    const int panel3Bottom = Doc->Panel3->y() + Doc->Panel3->height();
    QCOMPARE(Doc->Panel2->y(), panel3Bottom + 2);
    const int noteBottom = Doc->Panel2->y() + Doc->Panel2->height();
    const int supplierBottom = Doc->Panel4->y() + Doc->Panel4->height();
    QVERIFY(noteBottom > supplierBottom);
    QCOMPARE(Doc->StringGrid2->y(), noteBottom + 5);
}

void TestDocument::reflowFollowsTheLinesGrid()
{
    // The transfer gives the grid five rows: two header rows and three lines.
    Doc->StringGrid2->setRowCount(5);
    Doc->StringGrid2->setFixedRows(2);
    Doc->StringGrid2->resize(Doc->StringGrid2->width(), 5 * 19 + 3);
    Doc->Resized->trigger();
    const int gridBottom = Doc->StringGrid2->y() + 98;
    QCOMPARE(Doc->Bevel1->y(), gridBottom + 15);
    QCOMPARE(Doc->Memo4->y(), Doc->Bevel1->y() + Doc->Bevel1->height() + 6);
    QCOMPARE(Doc->Bevel3->y(), Doc->Memo4->y() + Doc->Memo4->height() + 7);
    QCOMPARE(Doc->Panel5->y(), Doc->Bevel3->y() + Doc->Bevel3->height() + 9);
    // The header, the address blocks and the footer stay.
    QCOMPARE(Doc->Panel3->y(), 112);
    QCOMPARE(Doc->Panel4->y(), 112);
    QCOMPARE(Doc->Label9->y(), 1144);
}

void TestDocument::growingCustomerBlockReflows()
{
    // A client field of many lines reaching below the block, taken while the page is hidden.
    const int panel3Height = Doc->Panel3->height();
    const int noteTop = Doc->Panel2->y();
    ChangeDocument(
        [](Invoice &doc) { doc.recipient.person2 = QStringLiteral("1\n2\n3\n4\n5\n6\n7"); });
    QTRY_VERIFY(Doc->Panel3->height() > panel3Height);
    QCOMPARE(Doc->Panel2->y(), noteTop + Doc->Panel3->height() - panel3Height);
}

void TestDocument::plainEdit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("result");
    QTest::newRow("confirmed text replaces the caption") << "Label37" << true << "по банков път"
                                                         << "по банков път";
    QTest::newRow("a confirmed date") << "Label57" << true << "7.12.2026"
                                      << "07.12.2026";
    QTest::newRow("an emptied date shows its placeholder") << "Label40" << true << ""
                                                           << "дд.мм.гггг";
    QTest::newRow("cancel keeps the caption") << "Label38" << false << "" << QString(40, '.');
    QTest::newRow("a text wider than its box is cut with an ellipsis on the page")
        << "Label34" << true << "BG1234567890123456789012345678"
        << "BG12345678901…";
    QTest::newRow("a text longer than the field takes is refused")
        << "Label34" << true << "BG1234567890123456789012345678901"
        << "";
}

void TestDocument::plainEdit()
{
    QFETCH(QString, name);
    QFETCH(bool, confirm);
    QFETCH(QString, answer);
    QFETCH(QString, result);
    TLabel *label = labelNamed(name);
    const int gridTop = Doc->StringGrid2->y();
    if (confirm)
        run->script().answer(answer);
    else
        run->script().cancel();
    const int queriesBefore = int(run->script().queries.size());
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(run->script().queries.size(), queriesBefore + 1);
    const ScriptedDialogs::Query query = run->script().queries.last();
    QCOMPARE(query.title, QString());
    QCOMPARE(query.prompt, QString());
    // The query starts with the document's text: nothing yet, not the dots of the placeholder.
    QCOMPARE(query.proposed, QString());
    QCOMPARE(label->caption(), result);
    QCOMPARE(Doc->StringGrid2->y(), gridTop);
    if (answer.size() > 30 && name == QLatin1String("Label34")) {
        QCOMPARE(run->script().errors.size(), 1);
        QVERIFY(run->script().errors.last().contains(QStringLiteral("до 30 знака")));
        return;
    }
    // The query proposes what the field holds now.
    if (confirm && !answer.isEmpty()) {
        run->script().cancel();
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2));
        // The document's whole text, not the page's cut caption.
        const QString whole = result.endsWith(QStringLiteral("…")) ? answer : result;
        QCOMPARE(run->script().queries.last().proposed, whole);
    }
}

void TestDocument::wrappingEdit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("step"); // how far the rows below move for each further line
    const QString wide = QStringLiteral("ЕТ ДЪЛГОТО ИМЕ НА ФИРМАТА ЕООД");
    const QString wider = QStringLiteral("Многопрофилна търговска компания за внос и износ на "
                                         "промишлени стоки ЕООД");
    QTest::newRow("a fitting answer changes nothing but the text") << "Label33" << wide << 1 << 0;
    QTest::newRow("a customer field wider than its place goes on at a blank")
        << "Label33" << wider << 2 << 15;
    QTest::newRow("so does the last field of the block") << "Label67" << wider << 2 << 15;
    QTest::newRow("lower block field fits up to its width") << "Label55" << wide << 1 << 0;
    QTest::newRow("lower block field goes on beyond it by the page's step")
        << "Label19" << wider + QLatin1Char(' ') + wide << 2 << 12;
}

void TestDocument::wrappingEdit()
{
    QFETCH(QString, name);
    QFETCH(QString, answer);
    QFETCH(int, lines);
    QFETCH(int, step);
    TLabel *label = labelNamed(name);
    QCoreApplication::processEvents();
    TPanel *block = qobject_cast<TPanel *>(label->parentWidget());
    QHash<QWidget *, int> tops;
    const QList<QWidget *> siblings =
        block->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *sibling : siblings)
        tops[sibling] = sibling->y();
    const int signaturesTop = Doc->Panel5->y();
    run->script().answer(answer);
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2));
    const QString caption = label->caption();
    QCOMPARE(caption.count(QLatin1Char('\n')) + 1, lines);
    // Nothing is lost, and the break is at a blank.
    QCOMPARE(QString(caption).replace(QLatin1Char('\n'), QLatin1Char(' ')), answer);
    const int shift = (lines - 1) * step;
    for (QWidget *sibling : siblings) {
        const int expected = tops[sibling] > tops[label] ? tops[sibling] + shift : tops[sibling];
        QCOMPARE(sibling->y(), expected);
    }
    QTRY_COMPARE(Doc->Panel5->y() >= signaturesTop + (block == Doc->Memo4 ? shift : 0), true);
    // Showing the document again changes nothing.
    Doc->ShowDocument(TheDocument());
    QCOMPARE(label->caption(), caption);
    for (QWidget *sibling : siblings)
        if (tops[sibling] > tops[label])
            QCOMPARE(sibling->y(), tops[sibling] + shift);
}

// Whether a cell editor is open on the grid.
static bool EditorOpen(const QTableWidget *grid)
{
    const QList<QLineEdit *> editors = grid->viewport()->findChildren<QLineEdit *>();
    for (const QLineEdit *editor : editors)
        if (editor->isVisible())
            return true;
    return false;
}

void TestDocument::wideValuesStayInTheirBlock()
{
    const QString wide = QStringLiteral("Многопрофилна търговска компания за внос и износ на "
                                        "промишлени стоки и резервни части ЕООД");
    ChangeDocument([&wide](Invoice &doc) {
        doc.recipient = {wide, wide, wide, wide, wide, wide, wide, wide};
        doc.supplier = {wide, wide, wide, wide, wide, wide, wide, wide};
        doc.place = doc.place2 = wide;
    });
    QTRY_VERIFY(Doc->Panel3->x() + Doc->Panel3->width() < Doc->Panel4->x());
    for (TLabel *value : Doc->Panel3->findChildren<TLabel *>()) {
        const QRect area(value->mapTo(Doc->Panel1, QPoint(0, 0)), value->size());
        QVERIFY2(area.right() < Doc->Panel4->x(), qPrintable(value->objectName()));
    }
    for (TLabel *value : Doc->Panel4->findChildren<TLabel *>()) {
        const QRect area(value->mapTo(Doc->Panel1, QPoint(0, 0)), value->size());
        QVERIFY2(area.right() <= Doc->StringGrid2->x() + Doc->StringGrid2->width(),
                 qPrintable(value->objectName()));
        QVERIFY(Doc->Panel1->rect().contains(area));
    }
    // The blocks grew and the page below them moved down clear of them.
    QVERIFY(Doc->Label33->caption().contains(QLatin1Char('\n')));
    QVERIFY(Doc->Label46->caption().contains(QLatin1Char('\n')));
    QVERIFY(Doc->StringGrid2->y() >= Doc->Panel4->y() + Doc->Panel4->height());
}

void TestDocument::buttonsStayInSightWhileThePageScrolls()
{
    // A screen lower than the page: the page scrolls, the buttons stay where they are.
    Doc->setWindowState(Qt::WindowNoState);
    Doc->resize(1024, 600);
    Doc->show();
    QVERIFY(QTest::qWaitForWindowExposed(Doc));
    auto *scroll = Doc->findChild<QScrollArea *>(QStringLiteral("ClientArea"));
    QVERIFY(scroll);
    QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
    for (int value :
         {0, scroll->verticalScrollBar()->maximum() / 2, scroll->verticalScrollBar()->maximum()}) {
        scroll->verticalScrollBar()->setValue(value);
        for (QToolButton *button : {Doc->SpeedButton1, Doc->SpeedButton3}) {
            const QRect area(button->mapTo(Doc, QPoint(0, 0)), button->size());
            QVERIFY2(Doc->rect().contains(area), qPrintable(button->text()));
            QVERIFY(button->isVisible());
            QVERIFY(!button->visibleRegion().isEmpty());
        }
        QCOMPARE(Doc->SpeedButton1->mapTo(Doc, QPoint(0, 0)), QPoint(872, 13));
        QCOMPARE(Doc->SpeedButton3->mapTo(Doc, QPoint(0, 0)), QPoint(872, 96));
    }
    // The page itself still scrolls and is captured whole.
    QVERIFY(Doc->Panel1->mapTo(Doc, QPoint(0, 0)).y() < 0);
    QCOMPARE(Doc->Panel1->grab().size(), QSize(859, 1168));
    Doc->SpeedButton1->click();
    QVERIFY(PrintOptionsForm->isVisible());
}

void TestDocument::linesGridRefusesSelection()
{
    TStringGrid *grid = Doc->StringGrid2;
    grid->setRowCount(4);
    grid->setFixedRows(2);
    grid->setCell(1, 2, QStringLiteral("Стока"));
    grid->resize(grid->width(), 4 * 19 + 3);
    Doc->show();
    QVERIFY(QTest::qWaitForWindowExposed(Doc));
    const QRect cell = grid->visualRect(grid->model()->index(2, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClick(grid, Qt::Key_Down);
    QVERIFY(!grid->currentIndex().isValid());
    QVERIFY(grid->selectedItems().isEmpty());
    QVERIFY(!EditorOpen(grid));
    QCOMPARE(grid->cell(1, 2), QStringLiteral("Стока"));
    bool canSelect = true;
    Doc->StringGrid2SelectCell(1, 2, canSelect);
    QVERIFY(!canSelect);
}

void TestDocument::noteGridEditsOnlyItsAccountRows()
{
    TStringGrid *grid = Doc->StringGrid1;
    ChangeDocument([](Invoice &doc) { doc.noteTitle = kCreditNoteTitle; });
    QVERIFY(grid->isVisibleTo(Doc));
    Doc->show();
    QVERIFY(QTest::qWaitForWindowExposed(Doc));
    const QRect header = grid->visualRect(grid->model()->index(0, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, header.center());
    QVERIFY(!EditorOpen(grid));
    const QRect account = grid->visualRect(grid->model()->index(2, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, account.center());
    QVERIFY(EditorOpen(grid));
    QLineEdit *editor = grid->viewport()->findChild<QLineEdit *>();
    QTest::keyClicks(editor, QStringLiteral("411"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(grid->cell(1, 2), QStringLiteral("411"));
    QCOMPARE(grid->cell(1, 0), QStringLiteral("Кредит с/ка"));
    // What is typed is part of the document at once.
    QCOMPARE(TheDocument().noteAccounts.value(0).account, QStringLiteral("411"));
}

void TestDocument::printButtonAndClose()
{
    Doc->show();
    QVERIFY(!PrintOptionsForm->isVisible());
    QTest::mouseClick(Doc->SpeedButton1, Qt::LeftButton);
    QVERIFY(PrintOptionsForm->isVisible());
    Doc->close();
    QVERIFY(!Doc->isVisible());
    QVERIFY(!PrintOptionsForm->isVisible());
}

void TestDocument::numberReferenceAndNewInvoiceClicks()
{
    run->script().answer(QStringLiteral("123"));
    run->script().answer(QStringLiteral("07.12.2026"));
    QTest::mouseClick(Doc->Label15, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(Doc->Label15->caption(), QStringLiteral("№ 0000000123 / Дата(Date): 07.12.2026"));
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000123"));

    Doc->Panel2->show();
    run->script().answer(QStringLiteral("01.12.2026"));
    run->script().answer(QStringLiteral("0000000041"));
    QTest::mouseClick(Doc->Label22, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(Doc->Label22->caption(),
             QStringLiteral("от дата / from date: 01.12.2026, към фактура № / to invoice No: "
                            "0000000041"));
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000123"));

    QTest::mouseClick(Doc->SpeedButton3, Qt::LeftButton);
    QCOMPARE(run->script().shellCalls.size(), 1);
    QCOMPARE(run->script().shellCalls.first().verb, QStringLiteral("open"));
}

void TestDocument::logoBackgroundIsSeeThrough()
{
    // Something dark behind the logo, and a logo of white background with a blue mark.
    auto *behind = new QWidget(Doc->Panel1);
    behind->setGeometry(Doc->Image2->geometry());
    SetBackground(behind, clBlack);
    behind->show();
    behind->lower();
    QImage logo(Doc->Image2->size(), QImage::Format_RGB32);
    logo.fill(Qt::white);
    for (int y = 30; y < 60; ++y)
        for (int x = 100; x < 130; ++x)
            logo.setPixel(x, y, qRgb(0, 0, 255));
    Doc->Image2->setPixmap(QPixmap::fromImage(logo));
    const QImage page = Doc->Panel1->grab().toImage();
    const QPoint at = Doc->Image2->pos();
    QCOMPARE(page.pixelColor(at + QPoint(5, 90)), QColor(Qt::black));
    QCOMPARE(page.pixelColor(at + QPoint(115, 45)), QColor(Qt::blue));
    delete behind;
}

void TestDocument::longTitleStaysClearOfTheLogo()
{
    QImage logo(Doc->Image2->size(), QImage::Format_RGB32);
    logo.fill(qRgb(20, 70, 160));
    ChangeDocument([&logo](Invoice &doc) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        logo.save(&buffer, "BMP");
        doc.logo = bytes;
        doc.title = kProformaTitle;
    });
    QVERIFY((Doc->Label1->geometry() & Doc->Image2->geometry()).isEmpty());
    // A title typed longer than the room before the logo is cut there.
    ChangeDocument([](Invoice &doc) { doc.title = QString(80, QChar(0x0416)); });
    QVERIFY((Doc->Label1->geometry() & Doc->Image2->geometry()).isEmpty());
    QVERIFY(Doc->Label1->caption().endsWith(QStringLiteral("…")));
    QVERIFY(Doc->Label1->x() >= 0);
}

VORNEX_TEST_MAIN(TestDocument)
#include "tst_document.moc"
