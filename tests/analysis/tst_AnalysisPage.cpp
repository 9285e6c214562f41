#include "AnalysisKitchen.h"
#include "FaultInjection.h"
#include "PageFixture.h"
#include "RecordingLauncher.h"
#include "ScriptedPrompts.h"

#include "analysis/ui/AnalysisPage.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList column(const QTableWidget* table, int c)
{
    QStringList texts;
    for (int r = 0; r < table->rowCount(); ++r)
        texts << table->item(r, c)->text();
    return texts;
}

struct PageKitchen : AnalysisKitchen
{
    ScriptedPrompts prompts;
    ScriptedSaveFilePrompt files;
    RecordingLauncher launcher;
    FixedClock clock{QDate(2026, 12, 11)};
    AnalysisPage page{&prompts};

    PageKitchen()
    {
        sell();
        page.setClock(&clock);
        page.setSaveFilePrompt(&files);
        page.setSpreadsheetLauncher(&launcher);
        page.resize(1024, 600);
    }
};

} // namespace

class tst_AnalysisPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheFiguresOfASmallKitchen();
    void savesTheChartWhole();
    void printsTheTable();
    void previewsAPriceChange();
    void refreshShowsAChangeMadeElsewhere();
};

void tst_AnalysisPage::showsTheFiguresOfASmallKitchen()
{
    PageKitchen kitchen;
    AnalysisPage& page = kitchen.page;
    QCOMPARE(showPage(page, kitchen.data.db()), QString());
    // The first visit shows the first group by name at once: "Горячее" has no dish.
    page.pageShown();
    QVERIFY(page.figures());
    QCOMPARE(page.table()->rowCount(), 0);
    QCOMPARE(page.choice().start, QDate(2026, 11, 12));
    QCOMPARE(page.choice().end, QDate(2026, 12, 11));

    QVERIFY(page.chooseDishes(DishSet::Group, kitchen.soups));
    QTest::mouseClick(page.showButton(), Qt::LeftButton);
    QCOMPARE(column(page.table(), 0), (QStringList{u"Пюре"_s, u"Котлеты"_s, u"Морковь тушёная"_s, u"Суп"_s}));
    QCOMPARE(column(page.table(), 4), (QStringList{u"50.0"_s, u"43.2"_s, u"35.0"_s, u"20.0"_s}));
    QVERIFY(!page.chartView()->chart()->series().isEmpty());

    page.choosePicture(Picture::MenuMatrix);
    page.setPeriod(QDate(2026, 12, 1), QDate(2026, 12, 31));
    QTest::mouseClick(page.showButton(), Qt::LeftButton);
    QCOMPARE(column(page.table(), 0),
             (QStringList{u"Суп"_s, u"Морковь тушёная"_s, u"Пюре"_s, u"Котлеты"_s, u"Среднее"_s}));
    QCOMPARE(page.table()->item(0, 6)->text(), u"Популярное и прибыльное"_s);
    // Seven columns beside the chart at the width of a common screen: the texts give up width, every
    // figure stays in view.
    page.resize(1366, 700);
    QCoreApplication::processEvents();
    int tableWidth = 0;
    for (int c = 0; c < page.table()->columnCount(); ++c)
        tableWidth += page.table()->columnWidth(c);
    QVERIFY2(tableWidth <= page.table()->viewport()->width(),
             qPrintable(u"%1 > %2"_s.arg(tableWidth).arg(page.table()->viewport()->width())));
    // Four kinds for the legend, a point a dish and the two averages.
    QCOMPARE(page.chartView()->chart()->series().size(), 10);
    QVERIFY2(kitchen.prompts.shown.isEmpty(), qPrintable(kitchen.prompts.shown.join(u'\n')));
}

void tst_AnalysisPage::savesTheChartWhole()
{
    PageKitchen kitchen;
    AnalysisPage& page = kitchen.page;
    QCOMPARE(showPage(page, kitchen.data.db()), QString());
    page.choosePicture(Picture::DailySales);
    page.setPeriod(QDate(2026, 12, 1), QDate(2026, 12, 31));
    QVERIFY(page.showFigures());
    QTemporaryDir folder;

    const QString png = folder.filePath(u"Продажи.png"_s);
    const QString pdf = folder.filePath(u"Продажи.pdf"_s);
    kitchen.files.queue(png);
    kitchen.files.queue(pdf);
    QTest::mouseClick(page.saveButton(), Qt::LeftButton);
    QTest::mouseClick(page.saveButton(), Qt::LeftButton);
    QCOMPARE(kitchen.files.asked.first().value(1), u"Продажи по дням.png"_s);
    const QImage image(png, "PNG");
    QVERIFY(!image.isNull());
    QVERIFY(image.width() >= page.chartView()->viewport()->width());
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().startsWith("%PDF"));

    // "Отмена" writes nothing; a folder that does not exist is told and leaves nothing behind.
    QTest::mouseClick(page.saveButton(), Qt::LeftButton);
    kitchen.files.queue(folder.filePath(u"нет/рисунок.png"_s));
    QTest::mouseClick(page.saveButton(), Qt::LeftButton);
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{u"Продажи.pdf"_s, u"Продажи.png"_s}));
    QCOMPARE(kitchen.prompts.shown.size(), 1);
    QVERIFY2(kitchen.prompts.last().startsWith(u"Сохранение рисунка|"_s), qPrintable(kitchen.prompts.last()));
}

void tst_AnalysisPage::printsTheTable()
{
    PageKitchen kitchen;
    AnalysisPage& page = kitchen.page;
    QCOMPARE(showPage(page, kitchen.data.db()), QString());
    // Nothing shown yet: nothing to print or save.
    QVERIFY(!page.printButton()->isEnabled());
    QVERIFY(!page.saveButton()->isEnabled());
    QVERIFY(page.chooseDishes(DishSet::Group, kitchen.soups));
    QVERIFY(page.showFigures());
    QTest::mouseClick(page.printButton(), Qt::LeftButton);
    QCOMPARE(kitchen.launcher.opened.size(), 1);
    QVERIFY(kitchen.launcher.opened.first().endsWith(u".xlsx"_s));
    QVERIFY2(kitchen.prompts.shown.isEmpty(), qPrintable(kitchen.prompts.shown.join(u'\n')));
}

// "Что если" shows the chooser its scope needs, reads the preview of the change chosen and stores
// nothing.
void tst_AnalysisPage::previewsAPriceChange()
{
    PageKitchen kitchen;
    AnalysisPage& page = kitchen.page;
    QCOMPARE(showPage(page, kitchen.data.db()), QString());
    page.choosePicture(Picture::PriceChange);
    page.setPriceChange({PriceRecalculation::Scope::Group, PriceRecalculation::Action::Raise, 10});
    QVERIFY(page.chooseIngredientGroup(kitchen.meat));
    QVERIFY(page.chooseIngredient(kitchen.carrot));
    const QString snapshot = databaseSnapshot(kitchen.data.db());
    QTest::mouseClick(page.showButton(), Qt::LeftButton);
    QVERIFY2(kitchen.prompts.shown.isEmpty(), qPrintable(kitchen.prompts.shown.join(u'\n')));
    // Meat dearer: the mince, then the cutlets and the soup by their new share.
    QCOMPARE(column(page.table(), 1), (QStringList{u"Фарш"_s, u"Котлеты"_s, u"Суп"_s}));
    QCOMPARE(column(page.table(), 7), (QStringList{QString(), u"47.5"_s, u"22.0"_s}));
    QVERIFY(!page.chartView()->chart()->series().isEmpty());

    // One ingredient: the carrot alone, whose dish crosses the threshold.
    page.setPriceChange({PriceRecalculation::Scope::Ingredient, PriceRecalculation::Action::Raise, 10});
    QVERIFY(page.showFigures());
    QCOMPARE(column(page.table(), 1), QStringList{u"Морковь тушёная"_s});
    QCOMPARE(column(page.table(), 8), QStringList{u"станет выше"_s});
    QCOMPARE(databaseSnapshot(kitchen.data.db()), snapshot);
}

// Another workstation reprices a dish: "Обновить" (F5) shows the picture again with its new share.
void tst_AnalysisPage::refreshShowsAChangeMadeElsewhere()
{
    PageKitchen kitchen;
    AnalysisPage& page = kitchen.page;
    QCOMPARE(showPage(page, kitchen.data.db()), QString());
    page.pageShown();
    QVERIFY(page.chooseDishes(DishSet::Group, kitchen.soups));
    QTest::mouseClick(page.showButton(), Qt::LeftButton);
    QCOMPARE(column(page.table(), 4), (QStringList{u"50.0"_s, u"43.2"_s, u"35.0"_s, u"20.0"_s}));
    kitchen.data.scalar(u"UPDATE Bludo SET Cena = 20 WHERE Kod1 = ?"_s, {kitchen.mash});
    page.refreshAction()->trigger();
    QCOMPARE(column(page.table(), 0), (QStringList{u"Котлеты"_s, u"Морковь тушёная"_s, u"Пюре"_s, u"Суп"_s}));
    QCOMPARE(column(page.table(), 4), (QStringList{u"43.2"_s, u"35.0"_s, u"25.0"_s, u"20.0"_s}));
}

QTEST_MAIN(tst_AnalysisPage)
#include "tst_AnalysisPage.moc"
