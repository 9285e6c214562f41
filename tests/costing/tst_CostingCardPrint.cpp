#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "costing/CostingCardPrint.h"
#include "costing/RecipePrint.h"
#include "reports/Workbook.h"

#include <QSqlQuery>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Two dish groups whose name order is not their key order and not the order of the code points
// ("Ё" comes before "Д" there, after "Е" in Russian): an empty card, and cards over an ingredient
// with a markup and one without.
struct Kitchen
{
    Kitchen()
    {
        kg = data.insert(u"Edinica"_s, {{u"Name"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
        meat = data.insert(
            u"Ing"_s,
            {{u"Name"_s, u"Мясо"_s}, {u"Edinica"_s, kg}, {u"Cena"_s, 50}, {u"Proc"_s, 20}, {u"Vih"_s, 80}});
        onion = data.insert(
            u"Ing"_s,
            {{u"Name"_s, u"Лук"_s}, {u"Edinica"_s, kg}, {u"Cena"_s, 30}, {u"Proc"_s, 0}, {u"Vih"_s, 70}});
        festive = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Ёлочное меню"_s}});
        desserts = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Десерты"_s}});
        roast = dish(festive, u"Жаркое"_s, 2, u"250/50"_s);
        jelly = dish(desserts, u"Желе"_s, 1, u"150"_s);
        salad = dish(festive, u"Салат"_s, 1, u"100"_s);
        line(roast, meat, 120);
        line(roast, onion, 120);
        line(salad, onion, 50);
    }

    qlonglong dish(qlonglong group, const QString& name, double portions, const QString& yield)
    {
        return data.insert(
            u"Bludo"_s, {{u"Kod"_s, group}, {u"Name"_s, name}, {u"Nporc"_s, portions}, {u"Vixod"_s, yield}});
    }
    void line(qlonglong dish, qlonglong ingredient, double grams)
    {
        data.insert(u"Karta"_s,
                    {{u"Kod"_s, dish}, {u"Name"_s, ingredient}, {u"Kolvo"_s, grams}, {u"Vihod"_s, 100}});
    }
    void exec(const QString& sql)
    {
        QSqlQuery query(data.db());
        QVERIFY2(query.exec(sql), qPrintable(sql));
    }
    QString mark(qlonglong dish)
    {
        return data.scalar(u"SELECT Print FROM Bludo WHERE Kod1 = ?"_s, {dish}).toString();
    }

    CostingCardPrintResult print(CardPrintScope scope, CardPrices prices = CardPrices::Selling,
                                 qlonglong group = 0)
    {
        progress.clear();
        return CostingCardPrint(data.db(), clock)
            .run({scope, group, prices, u"Столовая №1"_s}, [this](int percent) {
                progress << percent;
                return true;
            });
    }

    TestDataDir data;
    FixedClock clock{QDate(2024, 3, 5)};
    QList<int> progress;
    qlonglong kg, meat, onion, festive, desserts, roast, jelly, salad;
};

struct CellCheck
{
    const char* address;
    QVariant value;
};

// Compares the cells at the addresses; an invalid QVariant expects an empty cell.
void compareCells(const Sheet& sheet, std::initializer_list<CellCheck> checks)
{
    for (const CellCheck& check : checks) {
        const auto area = CellArea::parse(QString::fromLatin1(check.address));
        QVERIFY(area);
        const QVariant actual = sheet.value(area->firstRow, area->firstColumn);
        QVERIFY2(actual == check.value,
                 qPrintable(u"%1: %2 instead of %3"_s.arg(QLatin1String(check.address), actual.toString(),
                                                          check.value.toString())));
    }
}

// A bottom rule: thin, continuous, black at the bottom, no line on the other edges.
bool ruled(const CellFormat& format)
{
    const BorderLine& bottom = format.border(Edge::Bottom);
    if (!bottom.isVisible() || bottom.lineStyle != 1 || bottom.weight != 2 || bottom.colorIndex != 1)
        return false;
    for (Edge edge : {Edge::Left, Edge::Top, Edge::Right}) {
        if (format.border(edge).isVisible() || format.border(edge).colorIndex != XlNone)
            return false;
    }
    return true;
}

const QVariant empty;

} // namespace

class tst_CostingCardPrint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void printsEveryGroupCellByCell_data();
    void printsEveryGroupCellByCell();
    void marksArePrintedOnceAndCleared();
    void zeroDivisorStopsBeforeAnythingIsWritten_data();
    void zeroDivisorStopsBeforeAnythingIsWritten();
    void recipeSheet();
    void cardLongerThanAPageRepeatsItsHeading();
};

void tst_CostingCardPrint::printsEveryGroupCellByCell_data()
{
    QTest::addColumn<int>("prices");
    QTest::addColumn<double>("meatPrice");
    QTest::addColumn<double>("meatSum");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("portionPrice");
    // 120 g at 50.00 a kilogram, yield 80 %: 150 g gross, 7.50; with the 20 % markup 60.00 and 9.00.
    // The onion has no markup: 120 g at 30.00, yield 70 %, is 171.43 g and 5.14 at either price.
    QTest::newRow("cost") << int(CardPrices::Cost) << 50.0 << 7.5 << 12.64 << 6.32;
    QTest::newRow("selling") << int(CardPrices::Selling) << 60.0 << 9.0 << 14.14 << 7.07;
}

void tst_CostingCardPrint::printsEveryGroupCellByCell()
{
    QFETCH(int, prices);
    QFETCH(double, meatPrice);
    QFETCH(double, meatSum);
    QFETCH(double, total);
    QFETCH(double, portionPrice);
    Kitchen kitchen;
    const CostingCardPrintResult result = kitchen.print(CardPrintScope::AllGroups, CardPrices(prices));
    QVERIFY2(result.workbook, qPrintable(result.error));
    QCOMPARE(result.cardsPrinted, 3);
    const Sheet& sheet = result.workbook->sheet(1);
    QVERIFY(result.workbook->problems().isEmpty());

    QCOMPARE(sheet.name(), u"Калькуляционные карты"_s);
    QCOMPARE(sheet.columnWidth(1), std::optional<double>(4));
    for (int column = 2; column <= 9; ++column)
        QCOMPARE(sheet.columnWidth(column), std::optional<double>(10.2));
    QCOMPARE(sheet.columnWidth(10), std::nullopt);

    const QString dishes = u"Наименование блюда: "_s;
    compareCells(sheet, {
                            {"A1", u"Калькуляционные карты блюд, состояние на 05.03.2024 г."_s},
                            {"I1", empty},
                            {"A2", empty},
                            // The first group in row 3, its first card from row 4: an empty card.
                            {"A3", u"Десерты"_s},
                            {"A4", u"Столовая №1"_s},
                            {"A5", u"Калькуляционная карточка №____"_s},
                            {"G6", u"№ по сборнику рецептур____"_s},
                            {"A7", dishes + u"Желе"_s},
                            {"A8", u"№"_s},
                            {"B8", u"Наименование продуктов"_s},
                            {"E8", u"Норма в гр. (Брутто)"_s},
                            {"G8", u"Цена"_s},
                            {"H8", u"Сумма"_s},
                            {"A9", u"Общая стоимость сырьевого набора на 1 блюд"_s},
                            {"H9", 0.0},
                            {"A10", u"Продажная цена одного блюда"_s},
                            {"H10", 0.0},
                            {"A11", u"Выход в готовом виде одного блюда"_s},
                            {"H11", u"150"_s},
                            {"A12", empty},
                            {"A13", u"Калькуляцию составил"_s},
                            {"A14", u"Утверждаю: Руководитель"_s},
                            // Three empty rows before the next group.
                            {"A15", empty},
                            {"A16", empty},
                            {"A17", empty},
                            {"A18", u"Ёлочное меню"_s},
                            {"A19", u"Столовая №1"_s},
                            {"A22", dishes + u"Жаркое"_s},
                            {"A24", 1.0},
                            {"B24", u"Мясо"_s},
                            {"F24", 150.0},
                            {"G24", meatPrice},
                            {"H24", meatSum},
                            {"A25", 2.0},
                            {"B25", u"Лук"_s},
                            // The exact quotient; the format shows 171.
                            {"F25", 120 * 100 / 70.0},
                            {"G25", 30.0},
                            {"H25", 5.14},
                            {"A26", u"Общая стоимость сырьевого набора на 2 блюд"_s},
                            {"H26", total},
                            {"H27", portionPrice},
                            {"H28", u"250/50"_s},
                            {"A30", u"Калькуляцию составил"_s},
                            {"A31", u"Утверждаю: Руководитель"_s},
                            // Dishes of a group in key order.
                            {"A34", u"Столовая №1"_s},
                            {"A37", dishes + u"Салат"_s},
                            {"F39", 50 * 100 / 70.0},
                            {"H39", 2.14},
                            {"H40", 2.14},
                            {"H41", 2.14},
                            {"A45", u"Утверждаю: Руководитель"_s},
                        });
    QCOMPARE(sheet.rowCount(), 45);
    for (const char* merged : {"A1:I1", "A5:I5", "A20:I20", "A35:I35"}) {
        QVERIFY2(std::find(sheet.merges().begin(), sheet.merges().end(),
                           *CellArea::parse(QString::fromLatin1(merged))) != sheet.merges().end(),
                 merged);
    }
    QCOMPARE(sheet.merges().size(), size_t(4));

    // Fonts by row, alignments and number formats by column, row and cell.
    const struct
    {
        int row;
        int column;
        double size;
        bool bold;
        HAlign alignment;
    } fonts[] = {
        {1, 1, 16, true, HAlign::Center},    {3, 1, 16, true, HAlign::Left},
        {4, 1, 12, true, HAlign::Left},      {5, 1, 16, true, HAlign::Center},
        {6, 7, 10, false, HAlign::General},  {7, 1, 14, false, HAlign::Left},
        {8, 1, 12, true, HAlign::Center},    {8, 6, 12, true, HAlign::Right},
        {8, 8, 12, true, HAlign::Right},     {24, 1, 12, false, HAlign::Center},
        {24, 2, 12, false, HAlign::General}, {26, 1, 12, true, HAlign::Left},
        {26, 8, 12, true, HAlign::General},  {28, 8, 12, true, HAlign::Right},
        {30, 1, 12, false, HAlign::Left},
    };
    for (const auto& check : fonts) {
        const CellFormat format = sheet.format(check.row, check.column);
        const QByteArray where = QByteArray::number(check.row) + ',' + QByteArray::number(check.column);
        QVERIFY2(format.fontName == u"Times New Roman"_s && format.fontColor == 0, where);
        QVERIFY2(format.fontSize == check.size, where);
        QVERIFY2(format.bold.value_or(false) == check.bold, where);
        QVERIFY2(format.horizontalAlignment.value_or(HAlign::General) == check.alignment, where);
    }
    QCOMPARE(sheet.format(1, 1).verticalAlignment, VAlign::Center);
    QCOMPARE(sheet.format(5, 1).verticalAlignment, VAlign::Center);
    QCOMPARE(sheet.format(8, 7).verticalAlignment, VAlign::Center);
    QCOMPARE(sheet.format(24, 6).numberFormat, u"0"_s);
    QCOMPARE(sheet.format(24, 7).numberFormat, u"0.00"_s);
    QCOMPARE(sheet.format(26, 8).numberFormat, u"0.00"_s);

    // Rules under the heading, the lines and the totals from A to H, under the signatures from A to F.
    for (int row : {8, 9, 10, 11, 23, 24, 25, 26, 27, 28, 13, 14, 30, 31}) {
        const int last = row == 13 || row == 14 || row == 30 || row == 31 ? 6 : 8;
        for (int column = 1; column <= 9; ++column) {
            const QByteArray where = QByteArray::number(row) + ',' + QByteArray::number(column);
            QVERIFY2(ruled(sheet.format(row, column)) == (column <= last), where);
        }
    }
    for (int row : {4, 5, 6, 7, 12, 29})
        QVERIFY(!sheet.format(row, 1).border(Edge::Bottom).isVisible());
}

void tst_CostingCardPrint::marksArePrintedOnceAndCleared()
{
    Kitchen kitchen;
    // A dish that is not marked is not computed: its zero yield stops nothing.
    kitchen.exec(u"UPDATE Ing SET Vih = 0 WHERE Name = 'Мясо'"_s);
    kitchen.exec(u"UPDATE Bludo SET Print = CASE Name WHEN 'Салат' THEN 'x' "
                 "WHEN 'Жаркое' THEN '\t' END"_s);

    CostingCardPrintResult result = kitchen.print(CardPrintScope::MarkedDishes);
    QVERIFY2(result.workbook, qPrintable(result.error));
    QCOMPARE(result.cardsPrinted, 1);
    QCOMPARE(result.dishesPassed, 3);
    // Two groups: the first with one dish, the second with two.
    QCOMPARE(kitchen.progress, (QList<int>{50, 75, 100}));
    const Sheet& marked = result.workbook->sheet(1);
    compareCells(marked, {{"A3", u"Десерты"_s},
                          {"A4", empty},
                          {"A5", u"Ёлочное меню"_s},
                          {"A6", u"Столовая №1"_s},
                          {"A9", u"Наименование блюда: Салат"_s},
                          {"H11", 2.14}});
    QCOMPARE(marked.rowCount(), 17);
    for (qlonglong dish : {kitchen.jelly, kitchen.roast, kitchen.salad})
        QCOMPARE(kitchen.mark(dish), u" "_s);

    // Nothing is marked any more: the group names only.
    result = kitchen.print(CardPrintScope::MarkedDishes);
    QVERIFY(result.workbook);
    QCOMPARE(result.cardsPrinted, 0);
    compareCells(result.workbook->sheet(1), {{"A3", u"Десерты"_s}, {"A5", u"Ёлочное меню"_s}});
    QCOMPARE(result.workbook->sheet(1).rowCount(), 5);

    // The chosen group prints all its dishes and clears their marks, and only theirs.
    kitchen.exec(u"UPDATE Ing SET Vih = 80 WHERE Name = 'Мясо'"_s);
    kitchen.exec(u"UPDATE Bludo SET Print = 'V'"_s);
    result = kitchen.print(CardPrintScope::ChosenGroup, CardPrices::Cost, kitchen.festive);
    QVERIFY2(result.workbook, qPrintable(result.error));
    QCOMPARE(result.cardsPrinted, 2);
    QCOMPARE(kitchen.progress, (QList<int>{50, 100}));
    compareCells(result.workbook->sheet(1), {{"A3", u"Ёлочное меню"_s},
                                             {"A7", u"Наименование блюда: Жаркое"_s},
                                             {"A22", u"Наименование блюда: Салат"_s}});
    QCOMPARE(kitchen.mark(kitchen.jelly), u"V"_s);
    QCOMPARE(kitchen.mark(kitchen.roast), u" "_s);
    QCOMPARE(kitchen.mark(kitchen.salad), u" "_s);
}

void tst_CostingCardPrint::zeroDivisorStopsBeforeAnythingIsWritten_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("refusal");
    const QString roast = u"в блюде \"Жаркое\" (группа \"Ёлочное меню\"): "_s;
    QTest::newRow("empty yield") << "UPDATE Ing SET Vih = NULL WHERE Name = 'Мясо'"
                                 << roast + u"у ингредиента \"Мясо\" выход (% Вых) равен нулю."_s;
    QTest::newRow("yield rounding to 0")
        << "UPDATE Ing SET Vih = 0.4 WHERE Name = 'Лук'"
        << roast + u"у ингредиента \"Лук\" выход (% Вых) равен нулю (0.4 после округления до целого)."_s;
    QTest::newRow("unit of 0 grams")
        << "UPDATE Edinica SET Gramm = 0"
        << roast + u"у ингредиента \"Мясо\" вес единицы измерения (Грамм) равен нулю."_s;
    QTest::newRow("unit gone") << "DELETE FROM Edinica"
                               << roast + u"у ингредиента \"Мясо\" не найдена единица измерения."_s;
    QTest::newRow("ingredient gone") << "DELETE FROM Ing WHERE Name = 'Мясо'"
                                     << roast +
                                            u"в карте указан ингредиент, которого больше нет (код {meat})."_s;
    QTest::newRow("empty portions")
        << "UPDATE Bludo SET Nporc = NULL WHERE Name = 'Салат'"
        << u"в блюде \"Салат\" (группа \"Ёлочное меню\"): число порций (Порций) равно "
           "нулю."_s;
    // An empty card still divides its sum by the portions.
    QTest::newRow("portions rounding to 0") << "UPDATE Bludo SET Nporc = 0.5 WHERE Name = 'Желе'"
                                            << u"в блюде \"Желе\" (группа \"Десерты\"): число порций "
                                               u"(Порций) равно нулю (0.5 после округления до "
                                               "целого)."_s;
}

void tst_CostingCardPrint::zeroDivisorStopsBeforeAnythingIsWritten()
{
    QFETCH(QString, change);
    QFETCH(QString, refusal);
    Kitchen kitchen;
    kitchen.exec(u"UPDATE Bludo SET Print = 'V'"_s);
    kitchen.exec(change);

    const CostingCardPrintResult result = kitchen.print(CardPrintScope::AllGroups);
    QVERIFY(!result.workbook);
    QVERIFY(kitchen.progress.isEmpty());
    QCOMPARE(result.error, u"Калькуляционные карты не напечатаны: "_s +
                               refusal.replace(u"{meat}"_s, QString::number(kitchen.meat)));
    for (qlonglong dish : {kitchen.jelly, kitchen.roast, kitchen.salad})
        QCOMPARE(kitchen.mark(dish), u"V"_s);
}

void tst_CostingCardPrint::recipeSheet()
{
    Kitchen kitchen;
    kitchen.exec(u"UPDATE Bludo SET Recept = 'Нарезать мясо.\r\nОбжарить.\n\nПодавать горячим.' "
                 "WHERE Name = 'Жаркое'"_s);
    Workbook book;
    QString error;
    QVERIFY(RecipePrint(kitchen.data.db()).fill(book, kitchen.roast, &error));
    const Sheet& sheet = book.sheet(1);
    QCOMPARE(sheet.name(), u"Рецепт"_s);
    QCOMPARE(sheet.columnWidth(1), std::optional<double>(120));
    compareCells(sheet, {{"A1", u"Рецепт приготовления Жаркое"_s},
                         {"A2", empty},
                         {"A3", u"Нарезать мясо."_s},
                         {"A4", u"Обжарить."_s},
                         {"A5", empty},
                         {"A6", u"Подавать горячим."_s}});
    QCOMPARE(sheet.rowCount(), 6);
    const CellFormat title = sheet.format(1, 1);
    QCOMPARE(title.fontName, u"Times New Roman"_s);
    QCOMPARE(title.fontSize, 16.0);
    QCOMPARE(title.bold, true);
    QCOMPARE(title.horizontalAlignment, HAlign::Center);
    QCOMPARE(title.verticalAlignment, VAlign::Center);
    const CellFormat text = sheet.format(6, 1);
    QCOMPARE(text.fontName, u"Times New Roman"_s);
    QCOMPARE(text.fontSize, 14.0);
    QCOMPARE(text.bold.value_or(false), false);

    // The lines as the window shows them, wrapped ones counting, replace the stored breaks.
    Workbook shown;
    QVERIFY(RecipePrint(kitchen.data.db())
                .fill(shown, kitchen.roast, &error, QStringList{u"Нарезать"_s, u"мясо."_s}));
    compareCells(shown.sheet(1), {{"A3", u"Нарезать"_s}, {"A4", u"мясо."_s}, {"A5", empty}});

    Workbook none;
    QVERIFY(!RecipePrint(kitchen.data.db()).fill(none, 999, &error));
    QVERIFY(!error.isEmpty());
}

void tst_CostingCardPrint::cardLongerThanAPageRepeatsItsHeading()
{
    Kitchen kitchen;
    // 80 lines: the salad's card runs over two pages after the roast's.
    for (int n = 0; n < 79; ++n)
        kitchen.line(kitchen.salad, n % 2 ? kitchen.meat : kitchen.onion, 10 + n);
    const CostingCardPrintResult result =
        kitchen.print(CardPrintScope::ChosenGroup, CardPrices::Cost, kitchen.festive);
    QVERIFY2(result.workbook, qPrintable(result.error));
    const Sheet& sheet = result.workbook->sheet(1);
    const std::vector<int>& breaks = sheet.pageSetup().pageBreaksBefore;
    QVERIFY(breaks.size() >= 2);

    // Each page the card runs onto begins with the heads of its columns, and the lines go on from
    // there, each once.
    const int card = [&] {
        int row = 1;
        while (sheet.value(row, 1) != QVariant(u"Наименование блюда: Салат"_s))
            ++row;
        return row;
    }();
    int expected = 1;
    int lastLine = 0;
    for (int row = card + 1; row <= sheet.rowCount(); ++row) {
        const QVariant value = sheet.value(row, 1);
        if (value.typeId() == QMetaType::Double) {
            QCOMPARE(value.toInt(), expected++);
            lastLine = row;
        }
    }
    QCOMPARE(expected, 81);
    int inside = 0;
    for (const int row : breaks) {
        if (row <= card + 1 || row > lastLine)
            continue;
        ++inside;
        QCOMPARE(sheet.value(row, 1), QVariant(u"№"_s));
        QCOMPARE(sheet.value(row, 8), QVariant(u"Сумма"_s));
        QCOMPARE(sheet.value(row + 1, 1).toInt(), sheet.value(row - 1, 1).toInt() + 1);
    }
    QVERIFY(inside >= 1);
    QVERIFY(result.workbook->problems().isEmpty());
}

QTEST_GUILESS_MAIN(tst_CostingCardPrint)
#include "tst_CostingCardPrint.moc"
