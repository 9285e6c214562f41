#include "SmallKitchen.h"

#include "costing/CalculationCardPrint.h"
#include "reports/Workbook.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A dish of ten portions over a kilogram-priced ingredient with a markup and a piece-priced one
// (50 g a piece) with a yield of 80 %, and a marked dish beside it in the same group.
struct Kitchen : SmallKitchen
{
    Kitchen()
    {
        const qlonglong piece = unit(u"шт"_s, 50);
        meat = ingredient(u"Говядина"_s, kg, 100, 100, {{u"Proc"_s, 10}});
        egg = ingredient(u"Яйцо"_s, piece, 5, 80, {{u"Proc"_s, 0}});
        cutlet = dish(u"Котлета"_s, 10, u"100"_s, {{u"Print"_s, u" "_s}, {u"Proc"_s, 20}});
        line(cutlet, meat, 2000);
        line(cutlet, egg, 400);
        steak = dish(u"Бифштекс"_s, 1, u"150/20"_s, {{u"Print"_s, u"V"_s}, {u"Proc"_s, 0}});
        line(steak, meat, 150);
    }

    CalculationCardResult print(CardPrintScope scope, qlonglong key, std::vector<QDate> days = {})
    {
        CostingCardOptions options;
        options.scope = scope;
        options.group = key;
        options.dish = key;
        return CalculationCardPrint(data.db(), clock).run(options, std::move(days));
    }

    qlonglong meat, egg, cutlet, steak;
};

} // namespace

class tst_CalculationCardPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneDishForOneHundredPortions();
    void scopesAndMarks();
    void calculationsOnPastDays();
    void zeroPortionsStopThePrint();
};

void tst_CalculationCardPrint::oneDishForOneHundredPortions()
{
    Kitchen k;
    k.data.insert(u"Org"_s, {{u"Kod"_s, 1},
                             {u"Name"_s, u"Кафе «Уют»"_s},
                             {u"Form"_s, u"ИП"_s},
                             {u"Unit"_s, u"Кухня"_s},
                             {u"Chef"_s, u"Сидорова В.В."_s},
                             {u"Head"_s, u"Уютов У.У."_s}});
    const CalculationCardResult result = k.print(CardPrintScope::OneDish, k.cutlet);
    QVERIFY2(result.workbook, qPrintable(result.error));
    QCOMPARE(result.cards, 1);
    const Sheet& sheet = result.workbook->sheet(1);
    QCOMPARE(sheet.name(), u"ОП-1"_s);
    QCOMPARE(sheet.value(rowOf(sheet, 5, u"Форма по ОКУД"_s), 6).toString(), u"0330501"_s);
    QCOMPARE(sheet.value(rowOf(sheet, 1, u"организация"_s) - 1, 1).toString(), u"ИП Кафе «Уют»"_s);
    QCOMPARE(sheet.value(rowOf(sheet, 1, u"структурное подразделение"_s) - 1, 1).toString(), u"Кухня"_s);
    QCOMPARE(sheet.value(rowOf(sheet, 1, u"наименование блюда"_s) - 1, 1).toString(), u"Котлета"_s);
    QCOMPARE(sheet.value(rowOf(sheet, 2, u"КАЛЬКУЛЯЦИОННАЯ КАРТОЧКА"_s), 6).toString(), u"11.12.2026"_s);

    const int top = rowOf(sheet, 1, u"Порядковый номер калькуляции, дата утверждения"_s);
    QCOMPARE(sheet.value(top, 4).toString(), u"№ 1 от 11.12.2026"_s);
    QCOMPARE(sheet.value(top + 1, 4).toString(), u"норма, кг"_s);
    QCOMPARE(sheet.value(top + 2, 3).toString(), u"код"_s);
    // Per 100 portions: 2000 g of beef for 10 portions is 20 kg at 100 a kilogram; 400 g net of egg at
    // a yield of 80 % is 500 g gross for 10, 5 kg for 100, and a piece of 50 g at 5 is 100 a kilogram.
    const QVariant none;
    const QList<QVariantList> expected = {
        {1.0, u"Говядина"_s, double(k.meat), 20.0, 100.0, 2000.0},
        {2.0, u"Яйцо"_s, double(k.egg), 5.0, 100.0, 500.0},
        {u"Общая стоимость сырьевого набора на 100 блюд, руб. коп."_s, none, none, none, none, 2500.0},
        // The ingredients' markups give 2700, the dish's own 20 % on top 3240: 32.40 a portion, the
        // price the dish price run stores.
        {u"Наценка, руб. коп."_s, none, none, none, none, 740.0},
        {u"Цена продажи блюда, руб. коп."_s, none, none, none, none, 32.4},
        {u"Выход одного блюда в готовом виде, г"_s, none, none, none, none, u"100"_s},
        {u"Заведующий производством"_s, none, none, u"Сидорова В.В."_s, none, none},
        {u"Калькуляцию составил"_s, none, none, none, none, none},
        {u"Утверждаю: руководитель организации"_s, none, none, u"Уютов У.У."_s, none, none},
    };
    for (int r = 0; r < expected.size(); ++r) {
        const int row = top + 4 + r;
        for (int column = 1; column <= 7; ++column) {
            const QVariant want = expected[r].value(column - 1);
            QVERIFY2(sheet.value(row, column) == want,
                     qPrintable(u"row %1, column %2: %3"_s.arg(row).arg(column).arg(
                         sheet.value(row, column).toString())));
        }
    }
    QCOMPARE(sheet.format(top + 4, 4).numberFormat, u"0.000"_s);
    QCOMPARE(sheet.format(top + 4, 6).numberFormat, u"0.00"_s);
    QVERIFY(result.workbook->problems().isEmpty());
}

void tst_CalculationCardPrint::scopesAndMarks()
{
    Kitchen k;
    const CalculationCardResult group = k.print(CardPrintScope::ChosenGroup, k.group);
    QVERIFY2(group.workbook, qPrintable(group.error));
    QCOMPARE(group.cards, 2);
    const Sheet& sheet = group.workbook->sheet(1);
    // Each dish's form on pages of its own, in key order as the card print has them.
    const int first = rowOf(sheet, 1, u"наименование блюда"_s);
    const int second = rowOf(sheet, 1, u"наименование блюда"_s, first + 1);
    QCOMPARE(sheet.value(first - 1, 1).toString(), u"Котлета"_s);
    QCOMPARE(sheet.value(second - 1, 1).toString(), u"Бифштекс"_s);
    QCOMPARE(sheet.pageSetup().pageBreaksBefore.size(), size_t(1));
    QCOMPARE(sheet.value(sheet.pageSetup().pageBreaksBefore.front(), 6).toString(),
             u"Унифицированная форма № ОП-1"_s);

    const CalculationCardResult marked = k.print(CardPrintScope::MarkedDishes, 0);
    QVERIFY2(marked.workbook, qPrintable(marked.error));
    QCOMPARE(marked.cards, 1);
    QCOMPARE(
        marked.workbook->sheet(1).value(rowOf(marked.workbook->sheet(1), 1, u"наименование блюда"_s) - 1, 1),
        QVariant(u"Бифштекс"_s));
    // The marks belong to the costing card print: this form leaves them.
    QCOMPARE(k.data.scalar(u"SELECT Print FROM Bludo WHERE Kod1 = ?"_s, {k.steak}).toString(), u"V"_s);

    k.data.scalar(u"UPDATE Bludo SET Print = ' '"_s);
    const CalculationCardResult none = k.print(CardPrintScope::MarkedDishes, 0);
    QVERIFY(!none.workbook);
    QCOMPARE(none.error, u"Калькуляционные карточки не напечатаны: нет блюд для печати."_s);
}

// Beef went from 80 to 90 on 1 March and to 100 on 1 June; the egg from 4 to 5 on 1 August, after
// every day asked for. Each calculation takes the prices in force on its day: the last change on or
// before it, else the price the first later change started from. Two calculations stand side by side
// on a form; the third begins the dish's next form on a page of its own, numbered on.
void tst_CalculationCardPrint::calculationsOnPastDays()
{
    Kitchen k;
    k.priceChange(k.meat, QDate(2026, 3, 1), 80, 90);
    k.priceChange(k.meat, QDate(2026, 6, 1), 90, 100);
    k.priceChange(k.egg, QDate(2026, 8, 1), 4, 5);
    // Out of order and one day twice: the forms have them once each, in date order.
    const CalculationCardResult result =
        k.print(CardPrintScope::OneDish, k.cutlet,
                {QDate(2026, 6, 1), QDate(2026, 2, 1), QDate(2026, 3, 15), QDate(2026, 2, 1)});
    QVERIFY2(result.workbook, qPrintable(result.error));
    QCOMPARE(result.cards, 1);
    const Sheet& sheet = result.workbook->sheet(1);
    const QString heading = u"Порядковый номер калькуляции, дата утверждения"_s;
    const int first = rowOf(sheet, 1, heading);
    const int second = rowOf(sheet, 1, heading, first + 1);
    QVERIFY(second > first);
    QCOMPARE(sheet.pageSetup().pageBreaksBefore,
             std::vector<int>{rowOf(sheet, 6, u"Унифицированная форма № ОП-1"_s, first)});
    QCOMPARE(sheet.value(rowOf(sheet, 1, u"наименование блюда"_s, first) - 1, 1).toString(), u"Котлета"_s);
    QVERIFY(sheet.value(first, 10).isNull());
    QVERIFY(sheet.value(second, 7).isNull());

    // Per 100 portions 20 kg of beef and 5 kg of egg; a 50 g egg at 4 is 80 a kilogram. Selling: beef
    // with its 10 %, egg without, the dish's 20 % on top.
    struct Expected
    {
        int top, column;
        QString title;
        double beefPrice, beefSum, eggSum, cost, markup, selling;
    };
    const Expected expected[] = {{first, 4, u"№ 1 от 01.02.2026"_s, 80, 1600, 400, 2000, 592, 25.92},
                                 {first, 7, u"№ 2 от 15.03.2026"_s, 90, 1800, 400, 2200, 656, 28.56},
                                 {second, 4, u"№ 3 от 01.06.2026"_s, 100, 2000, 400, 2400, 720, 31.2}};
    for (const Expected& e : expected) {
        QCOMPARE(sheet.value(e.top, e.column).toString(), e.title);
        const int beef = e.top + 4;
        QCOMPARE(sheet.value(beef, e.column).toDouble(), 20.0);
        QCOMPARE(sheet.value(beef, e.column + 1).toDouble(), e.beefPrice);
        QCOMPARE(sheet.value(beef, e.column + 2).toDouble(), e.beefSum);
        QCOMPARE(sheet.value(beef + 1, e.column + 1).toDouble(), 80.0);
        QCOMPARE(sheet.value(beef + 1, e.column + 2).toDouble(), e.eggSum);
        const int cost = rowOf(sheet, 1, u"Общая стоимость сырьевого набора на 100 блюд, руб. коп."_s, e.top);
        QCOMPARE(sheet.value(cost, e.column + 2).toDouble(), e.cost);
        QCOMPARE(sheet.value(cost + 1, e.column + 2).toDouble(), e.markup);
        QCOMPARE(sheet.value(cost + 2, e.column + 2).toDouble(), e.selling);
    }

    // What is stored is untouched: today's print still takes today's prices.
    const CalculationCardResult today = k.print(CardPrintScope::OneDish, k.cutlet);
    QVERIFY2(today.workbook, qPrintable(today.error));
    const Sheet& todays = today.workbook->sheet(1);
    QCOMPARE(todays.value(rowOf(todays, 1, u"Общая стоимость сырьевого набора на 100 блюд, руб. коп."_s), 6)
                 .toDouble(),
             2500.0);
}

void tst_CalculationCardPrint::zeroPortionsStopThePrint()
{
    Kitchen k;
    k.data.scalar(u"UPDATE Bludo SET Nporc = 0.4 WHERE Kod1 = ?"_s, {k.steak});
    const CalculationCardResult result = k.print(CardPrintScope::ChosenGroup, k.group);
    QVERIFY(!result.workbook);
    QCOMPARE(result.error,
             u"Калькуляционные карты не напечатаны: в блюде \"Бифштекс\" (группа \"Вторые блюда\"): "
             "число порций (Порций) равно нулю (0.4 после округления до целого)."_s);
}

QTEST_GUILESS_MAIN(tst_CalculationCardPrint)
#include "tst_CalculationCardPrint.moc"
