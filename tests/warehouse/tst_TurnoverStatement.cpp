#include "TestDataDir.h"

#include "reports/Workbook.h"
#include "warehouse/TurnoverPrintJob.h"
#include "warehouse/TurnoverStatement.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The kitchen of the layout example: one group "Овощи" whose potatoes have one receipt and one issue
// in the period, at a price of four decimals. Around them: an unposted line, a line after the period,
// onions without movements and a semi-finished product, which is not stocked.
struct Kitchen
{
    TestDataDir data;
    qlonglong kg = data.insert(u"Edinica"_s,
                               {{u"Name"_s, u"килограмм"_s}, {u"Shorthame"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
    qlonglong vegetables = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
    qlonglong potato = ingredient(u"Картофель"_s);
    qlonglong onion = ingredient(u"Лук"_s);
    qlonglong mash = ingredient(u"Пюре"_s, true);
    qlonglong partner = data.insert(u"Partner"_s, {{u"Name"_s, u"ООО Ромашка"_s}});

    Kitchen()
    {
        move(potato, u"2024-03-01"_s, u"Н-1"_s, u"P"_s, 12.3456, 10);
        move(potato, u"2024-03-02"_s, u"Р-1"_s, u"R"_s, 12.3456, 4);
        move(potato, u"2024-03-02"_s, u"Н-2"_s, u"P"_s, 10, 100, false);
        move(potato, u"2024-04-01"_s, u"Н-3"_s, u"P"_s, 10, 100);
        move(mash, u"2024-03-01"_s, u"Н-4"_s, u"P"_s, 10, 100);
    }

    qlonglong ingredient(const QString& name, bool semiFinished = false)
    {
        return data.insert(
            u"Ing"_s,
            {{u"Kod"_s, vegetables}, {u"Name"_s, name}, {u"Edinica"_s, kg}, {u"Pf"_s, semiFinished ? 1 : 0}});
    }
    void move(qlonglong ingredientKey, const QString& date, const QString& number, const QString& oper,
              double price, double quantity, bool posted = true)
    {
        data.insert(u"Move"_s, {{u"Kod"_s, ingredientKey},
                                {u"Date"_s, date},
                                {u"Nomer"_s, number},
                                {u"Partner"_s, partner},
                                {u"Oper"_s, oper},
                                {u"Cena"_s, price},
                                {u"Kolvo"_s, quantity},
                                {u"Provodka"_s, posted ? 1 : 0}});
    }

    std::unique_ptr<Workbook> statement(TurnoverScope scope, bool shortVariant, QDate start = {2024, 3, 1},
                                        QDate end = {2024, 3, 31}, qlonglong ingredientKey = 0)
    {
        auto book = std::make_unique<Workbook>();
        QString error;
        const bool filled = TurnoverStatement(data.db()).fill(
            *book, {scope, shortVariant, start, end, vegetables, ingredientKey ? ingredientKey : potato},
            &error);
        return filled ? std::move(book) : nullptr;
    }
};

// Row by row from row 5: the texts and numbers of the columns A, B, F to M.
using Rows = QList<QVariantList>;

void compareRows(const Sheet& sheet, const Rows& rows)
{
    const int columns[] = {1, 2, 6, 7, 8, 9, 10, 11, 12, 13};
    for (int i = 0; i < rows.size(); ++i) {
        for (int c = 0; c < 10; ++c) {
            const QVariant want = rows[i].value(c);
            const QVariant got = sheet.value(i + 5, columns[c]);
            const bool same = want.typeId() == QMetaType::Double && got.typeId() == QMetaType::Double
                                  ? qAbs(want.toDouble() - got.toDouble()) < 1e-9
                                  : want == got;
            QVERIFY2(same, qPrintable(u"row %1, column %2: %3 instead of %4"_s.arg(i + 5)
                                          .arg(columns[c])
                                          .arg(got.toString(), want.toString())));
        }
    }
}

const QVariant none;
const QVariantList empty;

} // namespace

class tst_TurnoverStatement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutExample_data();
    void layoutExample();
    void withoutMovements();
    void jobRefusesAnIngredientStatementWithoutIngredient();
};

void tst_TurnoverStatement::layoutExample_data()
{
    QTest::addColumn<bool>("shortVariant");
    QTest::addColumn<Rows>("rows");
    // 12.3456 is 12.35, and the sums use 12.35: 123.50 received, 49.40 issued.
    const QVariantList totals = {none, none, none, u"Итого:"_s, 10.0, 123.5, 4.0, 49.4};
    const auto total = [](const QString& text) {
        return QVariantList{none, none, text, none, 10.0, 123.5, 4.0, 49.4};
    };
    QTest::newRow("full")
        << false
        << Rows{empty,
                {u"Овощи"_s},
                {none, u"Картофель (кг)"_s},
                {none, none, u"01.03.2024"_s, 12.35, 10.0, 123.5, none, none, u"Н-1"_s, u"ООО Ромашка"_s},
                {none, none, u"02.03.2024"_s, 12.35, none, none, 4.0, 49.4, u"Р-1"_s, u"ООО Ромашка"_s},
                totals,
                total(u"Итого за группу:"_s),
                total(u"Итого за склад:"_s),
                empty};
    QVariantList shared = totals;
    shared[1] = u"Картофель (кг)"_s;
    QTest::newRow("short") << true << Rows{empty,
                                           {u"Овощи"_s},
                                           shared,
                                           total(u"Итого за группу:"_s),
                                           total(u"Итого за склад:"_s),
                                           empty};
}

void tst_TurnoverStatement::layoutExample()
{
    QFETCH(bool, shortVariant);
    QFETCH(Rows, rows);
    Kitchen k;
    const auto book = k.statement(TurnoverScope::AllGroups, shortVariant);
    QVERIFY(book);
    const Sheet& sheet = book->sheet(1);
    QVERIFY(book->problems().isEmpty());
    compareRows(sheet, rows);

    QCOMPARE(sheet.name(), u"Оборотная ведомость"_s);
    QCOMPARE(sheet.value(1, 1).toString(), u"Оборотная ведомость за период"_s);
    QCOMPARE(sheet.value(2, 1).toString(), u"с 01.03.2024 по 31.03.2024"_s);
    const QStringList headings = {u"Наименование ингредиента"_s,
                                  u"Дата"_s,
                                  u"Цена"_s,
                                  u"Приход"_s,
                                  u"Сумма"_s,
                                  u"Расход"_s,
                                  u"Сумма"_s,
                                  u"Документ"_s,
                                  u"Партнер"_s};
    const int headingColumns[] = {2, 6, 7, 8, 9, 10, 11, 12, 13};
    for (int i = 0; i < headings.size(); ++i)
        QCOMPARE(sheet.value(4, headingColumns[i]).toString(), headings[i]);
    QCOMPARE(sheet.merges().size(), 2u);
    QCOMPARE(sheet.format(2, 1).fontSize, 16.0);
    QCOMPARE(sheet.format(4, 2).horizontalAlignment, HAlign::Left);
    QCOMPARE(sheet.format(4, 6).horizontalAlignment, HAlign::Center);
    QCOMPARE(sheet.format(4, 9).horizontalAlignment, HAlign::Right);
    QCOMPARE(sheet.format(6, 1).fontSize, 14.0);
    QCOMPARE(sheet.format(7, 2).fontSize, 12.0);
    QCOMPARE(sheet.format(8, 7).numberFormat, u"0.00"_s);
    QCOMPARE(sheet.format(8, 8).numberFormat, u"0.000"_s);
    QCOMPARE(sheet.columnWidth(11), 8.3);
    QCOMPARE(sheet.columnWidth(13), 18.0);
    QCOMPARE(sheet.pageSetup().printTitleRows->toString(), u"4:4"_s);
    QCOMPARE(sheet.pageSetup().orientation, PageOrientation::Landscape);
    QCOMPARE(sheet.pageSetup().leftMargin, 10.0);
    QCOMPARE(sheet.pageSetup().rightMargin, 10.0);
    if (!shortVariant) {
        QCOMPARE(sheet.format(8, 2).fontSize, 10.0);
        QVERIFY(sheet.format(8, 13).border(Edge::Bottom).isVisible());
        QVERIFY(!sheet.format(8, 1).border(Edge::Bottom).isVisible());
        QVERIFY(!sheet.format(8, 13).border(Edge::Top).isVisible());
    }
}

void tst_TurnoverStatement::withoutMovements()
{
    Kitchen k;
    const QVariantList zeros = {none, none, none, u"Итого:"_s, 0.0, 0.0, 0.0, 0.0};
    // One ingredient without movements: its name and a row of zeros.
    QVariantList onion = zeros;
    onion[1] = u"Лук (кг)"_s;
    compareRows(k.statement(TurnoverScope::Ingredient, true, {2024, 3, 1}, {2024, 3, 31}, k.onion)->sheet(1),
                {onion, empty});
    compareRows(k.statement(TurnoverScope::Ingredient, false, {2024, 3, 1}, {2024, 3, 31}, k.onion)->sheet(1),
                {{none, u"Лук (кг)"_s}, zeros, empty});
    // A start after the end selects nothing: each group's name, then its zero total.
    const QVariantList groupZeros = {none, none, u"Итого за группу:"_s, none, 0.0, 0.0, 0.0, 0.0};
    compareRows(k.statement(TurnoverScope::Group, false, {2024, 3, 31}, {2024, 3, 1})->sheet(1),
                {empty, {u"Овощи"_s}, groupZeros, empty});
    compareRows(k.statement(TurnoverScope::AllGroups, true, {2024, 3, 31}, {2024, 3, 1})->sheet(1),
                {empty,
                 {u"Овощи"_s},
                 groupZeros,
                 {none, none, u"Итого за склад:"_s, none, 0.0, 0.0, 0.0, 0.0},
                 empty});
}

// The stock page offers "Оборотка" with an empty ingredient list too; the command line never can.
void tst_TurnoverStatement::jobRefusesAnIngredientStatementWithoutIngredient()
{
    Kitchen k;
    const QDate start(2024, 3, 1);
    const QDate end(2024, 3, 31);
    const PrintedWorkbook none =
        TurnoverPrintJob(k.data.db(), {TurnoverScope::Ingredient, true, start, end, k.vegetables, 0}).run({});
    QVERIFY(!none.workbook);
    QCOMPARE(none.caption + u'|' + none.error, u"Печать оборотной ведомости|Не выбран ингредиент."_s);

    const PrintedWorkbook group =
        TurnoverPrintJob(k.data.db(), {TurnoverScope::Group, true, start, end, k.vegetables, 0}).run({});
    QVERIFY2(group.workbook, qPrintable(group.error));
    QCOMPARE(group.title, u"Оборотная ведомость 01.03.2024-31.03.2024"_s);
}

QTEST_GUILESS_MAIN(tst_TurnoverStatement)
#include "tst_TurnoverStatement.moc"
