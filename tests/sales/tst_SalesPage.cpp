#include "GuiScript.h"
#include "PageFixture.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "sales/SalesFlags.h"
#include "sales/ui/LineSearchDialog.h"
#include "sales/ui/MenuChoiceDialog.h"
#include "sales/ui/SalesPage.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QFont>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDate today(2024, 3, 10);

// A kitchen with a released lunch menu (one item excluded), an unreleased menu and the sales page.
struct Fixture
{
    TestDataDir data;
    ScriptedPrompts prompts;
    ScriptedDatePrompt dates;
    FixedClock clock{today};
    qlonglong soups = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}});
    qlonglong borscht = dish(u"Борщ"_s);
    qlonglong olivier = dish(u"Салат 'Оливье'"_s);
    qlonglong tea = dish(u"Чай"_s);
    qlonglong lunch =
        data.insert(u"Menu"_s, {{u"Name"_s, u"Обед"_s}, {u"Date"_s, u"2024-03-01"_s}, {u"Status"_s, 1}});
    qlonglong draft =
        data.insert(u"Menu"_s, {{u"Name"_s, u"Черновик"_s}, {u"Date"_s, u"2024-03-02"_s}, {u"Status"_s, 0}});
    SalesPage page{&prompts, &dates};

    Fixture()
    {
        item(borscht, 120.5, true);
        item(tea, 15, false);
        item(olivier, 0.125, true);
        page.setClock(&clock);
        page.resize(1366, 700);
    }
    qlonglong dish(const QString& name)
    {
        return data.insert(u"Bludo"_s, {{u"Kod"_s, soups}, {u"Name"_s, name}, {u"Status"_s, 1}});
    }
    void item(qlonglong dishKey, double price, bool included)
    {
        data.insert(u"MenuSp"_s, {{u"Kod"_s, lunch},
                                  {u"Name"_s, dishKey},
                                  {u"CenaProd"_s, price},
                                  {u"Status"_s, included ? 1 : 0}});
    }
    QString show()
    {
        const QString error = showPage(page, data.db());
        page.pageShown();
        return error;
    }
    QVariant cell(TableModel* model, int row, int column, int role = Qt::DisplayRole)
    {
        return model->data(model->index(row, column), role);
    }
};

} // namespace

class tst_SalesPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newDocumentAsksTheDate();
    void walkThroughADocument();
    void postedAndPastDocuments();
};

void tst_SalesPage::newDocumentAsksTheDate()
{
    Fixture f;
    QVERIFY2(f.show().isEmpty(), "page not shown");

    f.dates.queue(std::nullopt);
    QTest::mouseClick(f.page.newButton(), Qt::LeftButton);
    QCOMPARE(f.data.count(u"Realdoc"_s), 0);
    QCOMPARE(f.page.documents()->rowCount(), 0);
    QCOMPARE(f.dates.offered, QList<QDate>{today});

    f.dates.queue(QDate(2024, 3, 12));
    QTest::mouseClick(f.page.newButton(), Qt::LeftButton);
    QCOMPARE(f.data.count(u"Realdoc"_s), 1);
    QCOMPARE(f.data.scalar(u"SELECT DateR FROM Realdoc"_s).toString(), u"2024-03-12"_s);
    QCOMPARE(f.data.scalar(u"SELECT Status FROM Realdoc"_s).toDouble(), 5.0);
    QVERIFY(f.page.chooseButton()->isEnabled());

    // A caller that makes the document itself is asked nothing and posts it.
    salesflags::setAutomaticCreation(true);
    f.page.newDocument();
    QVERIFY(!salesflags::automaticCreation());
    QCOMPARE(f.dates.offered.size(), 2);
    QCOMPARE(f.page.documents()->state(), TableModel::State::Insert);
    f.page.documents()->cancel();
}

void tst_SalesPage::walkThroughADocument()
{
    Fixture f;
    const qlonglong document = f.data.insert(u"Realdoc"_s, {{u"DateR"_s, u"2024-03-10"_s}, {u"Status"_s, 5}});
    QVERIFY2(f.show().isEmpty(), "page not shown");
    QCOMPARE(f.page.documents()->currentKey().toLongLong(), document);

    // The chooser lists released menus only, shows excluded items red on silver, and hides them on request.
    onNextDialog<MenuChoiceDialog>([&](MenuChoiceDialog* chooser) {
        QCOMPARE(chooser->menus()->rowCount(), 1);
        QVERIFY(chooser->showExcludedBox()->isChecked());
        QCOMPARE(chooser->items()->rowCount(), 3);
        const int excluded = chooser->items()->rowOfKey(2);
        const QModelIndex index = chooser->items()->index(excluded, 0);
        QCOMPARE(index.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        QCOMPARE(index.data(Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));
        QTest::mouseClick(chooser->showExcludedBox(), Qt::LeftButton);
        QCOMPARE(chooser->items()->rowCount(), 2);
        chooser->menuGrid()->setFocus();
        QTest::keyClick(chooser->menuGrid(), Qt::Key_Return);
    });
    QTest::mouseClick(f.page.chooseButton(), Qt::LeftButton);
    TableModel* lines = f.page.lines();
    QCOMPARE(lines->rowCount(), 2);
    QCOMPARE(f.cell(lines, 1, 1).toString(), u"Салат 'Оливье'"_s);
    QCOMPARE(f.data.scalar(u"SELECT DateMenu FROM Realdoc"_s).toString(), u"2024-03-01"_s);
    QCOMPARE(f.cell(f.page.documents(), 0, 2).toString(), u"Обед"_s);

    // Quantities typed with the keyboard alone; the sum goes to the even kopeck.
    DataGrid* grid = f.page.lineGrid();
    grid->setFocus();
    grid->setCurrentIndex(lines->index(1, 2));
    QTest::keyClick(grid, Qt::Key_F2);
    QWidget* editor = grid->indexWidget(lines->index(1, 2));
    QVERIFY(editor);
    typeText(editor, u"3"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(grid->postPending());
    QCOMPARE(f.data.scalar(u"SELECT Kolvo FROM Realsum WHERE KodBludo = ?"_s, {f.olivier}).toDouble(), 3.0);
    QCOMPARE(f.cell(lines, 1, 4).toString(), QLocale().toString(0.38, 'f', 2));
    QCOMPARE(f.cell(lines, 1, 2, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
             Qt::AlignRight);

    // No line by hand: neither Insert nor moving below the last row makes one.
    grid->setCurrentIndex(lines->index(1, 2));
    QTest::keyClick(grid, Qt::Key_Insert);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(lines->rowCount(), 2);
    QCOMPARE(f.data.count(u"Realsum"_s), 2);

    // The context search takes a text with an apostrophe as it is and lands on its line.
    lines->first();
    onNextDialog<LineSearchDialog>([](LineSearchDialog* search) {
        typeText(search->searchEdit(), u"'оли"_s);
        QCOMPARE(search->list()->model()->rowCount(), 1);
        QTest::keyClick(search->searchEdit(), Qt::Key_Return);
    });
    QTest::mouseClick(f.page.searchButton(), Qt::LeftButton);
    QCOMPARE(lines->currentValue(u"KodBludo"_s).toLongLong(), f.olivier);
    QCOMPARE(grid->currentIndex().column(), 2);

    // The keyboard alone: down in the field moves in the list, and Enter takes that line.
    lines->first();
    qlonglong secondLine = 0;
    onNextDialog<LineSearchDialog>([&secondLine](LineSearchDialog* search) {
        QCOMPARE(search->list()->model()->rowCount(), 2);
        QTest::keyClick(search->searchEdit(), Qt::Key_Down);
        secondLine = search->chosenLine();
        QTest::keyClick(search->searchEdit(), Qt::Key_Return);
    });
    QTest::mouseClick(f.page.searchButton(), Qt::LeftButton);
    QVERIFY(secondLine != 0);
    QCOMPARE(lines->currentValue(u"Nnn"_s).toLongLong(), secondLine);
    QCOMPARE(lines->currentRow(), 1);

    // Refilling asks first, then replaces the lines: the typed quantity is gone.
    f.prompts.queueConfirm(true);
    QTest::mouseClick(f.page.fillButton(), Qt::LeftButton);
    QCOMPARE(f.prompts.questions.size(), 1);
    QCOMPARE(f.data.scalar(u"SELECT sum(Kolvo) FROM Realsum"_s).toDouble(), 0.0);

    // The ellipsis of the date column: a calendar whose choice is stored at once.
    f.page.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.page));
    f.page.documentGrid()->setFocus();
    QTest::keyClick(f.page.documentGrid(), Qt::Key_F4);
    QVERIFY(f.page.datePopup()->isVisible());
    // With the page at the screen's bottom right corner, the calendar still opens on the screen.
    const QRect available = f.page.screen()->availableGeometry();
    f.page.datePopup()->hide();
    f.page.move(available.right() - f.page.documentGrid()->columnWidth(0) - 20,
                available.bottom() - f.page.documentGrid()->rowHeight(0) - 60);
    f.page.documentGrid()->setFocus();
    QTest::keyClick(f.page.documentGrid(), Qt::Key_F4);
    QVERIFY(f.page.datePopup()->isVisible());
    QVERIFY2(available.contains(f.page.datePopup()->frameGeometry()),
             qPrintable(u"%1,%2 %3×%4"_s.arg(f.page.datePopup()->x())
                            .arg(f.page.datePopup()->y())
                            .arg(f.page.datePopup()->width())
                            .arg(f.page.datePopup()->height())));
    f.page.datePopup()->setSelectedDate(QDate(2024, 3, 11));
    QTest::keyClick(f.page.datePopup()->findChild<QTableView*>(), Qt::Key_Return);
    QVERIFY(!f.page.datePopup()->isVisible());
    QCOMPARE(f.data.scalar(u"SELECT DateR FROM Realdoc"_s).toString(), u"2024-03-11"_s);

    // The hidden calculation runs on the open document.
    QVERIFY(f.page.calculateConsumption(SalesLines::All));
    QVERIFY(f.prompts.shown.size() == 1);

    // Every header is shown whole at 1366 pixels.
    for (DataGrid* g : {f.page.documentGrid(), f.page.lineGrid()}) {
        QHeaderView* header = g->horizontalHeader();
        for (int c = 0; c < header->count(); ++c) {
            const QString title = g->model()->headerData(c, Qt::Horizontal).toString();
            QVERIFY2(header->sectionSize(c) > header->fontMetrics().horizontalAdvance(title),
                     qPrintable(title));
        }
    }
}

void tst_SalesPage::postedAndPastDocuments()
{
    Fixture f;
    f.data.insert(u"Realdoc"_s, {{u"DateR"_s, u"2024-03-01"_s}, {u"Status"_s, 4}});
    f.data.insert(u"Realdoc"_s, {{u"DateR"_s, u"2024-03-05"_s}, {u"Status"_s, 5}});
    f.data.insert(u"Realdoc"_s, {{u"DateR"_s, u"2024-03-20"_s}, {u"Status"_s, 3}});
    f.data.insert(u"Realdoc"_s, {{u"DateR"_s, u"2024-03-25"_s}, {u"Status"_s, 5}});
    QVERIFY2(f.show().isEmpty(), "page not shown");
    TableModel* docs = f.page.documents();

    QCOMPARE(f.cell(docs, 0, 1, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QCOMPARE(f.cell(docs, 0, 1, Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));
    QVERIFY(f.cell(docs, 0, 1, Qt::FontRole).value<QFont>().bold());
    QCOMPARE(f.cell(docs, 1, 0, Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
    QVERIFY(!f.cell(docs, 2, 0, Qt::ForegroundRole).isValid()); // status 3: read-only, not highlighted
    QVERIFY(!f.cell(docs, 3, 0, Qt::ForegroundRole).isValid());

    // The date jump finds the first document on or after the date.
    f.page.jumpDateEdit()->setDate(QDate(2024, 3, 15));
    QCOMPARE(docs->currentRow(), 2);
    QVERIFY(!f.page.chooseButton()->isEnabled());
    QVERIFY(f.page.lines()->isReadOnly());
    QVERIFY(!(docs->flags(docs->index(2, 1)) & Qt::ItemIsEditable));
    QVERIFY(docs->flags(docs->index(2, 3)) & Qt::ItemIsEditable);
    QVERIFY(!f.page.calculateConsumption(SalesLines::All));
    QCOMPARE(f.prompts.last(), u"Ошибка расчёта реализации|Документ проведён. Расчёт не производится !!!"_s);

    f.page.jumpDateEdit()->setDate(QDate(2024, 3, 2));
    QCOMPARE(docs->currentRow(), 1);
    QVERIFY(f.page.chooseButton()->isEnabled());
    QVERIFY(!f.page.lines()->isReadOnly());
}

QTEST_MAIN(tst_SalesPage)
#include "tst_SalesPage.moc"
