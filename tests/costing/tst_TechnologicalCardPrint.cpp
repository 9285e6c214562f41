#include "SmallKitchen.h"

#include "costing/TechnologicalCardPrint.h"
#include "reports/StateForm.h"
#include "reports/Workbook.h"

#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// A dish of four portions: 400 g net of beef at a yield of 80 % (500 g gross), 40 g of onion at 100 %,
// 8 g of salt; the nutrition per 100 g given in full for the beef, partly for the onion, not at all
// for the salt.
struct Kitchen : SmallKitchen
{
    Kitchen()
    {
        beef = ingredient(u"Говядина"_s, kg, 100, 80,
                          {{u"Protein"_s, 18.9}, {u"Fat"_s, 12.4}, {u"Carbs"_s, 0}, {u"Energy"_s, 187}});
        onion =
            ingredient(u"Лук"_s, kg, 100, 100, {{u"Protein"_s, 1.4}, {u"Carbs"_s, 8.2}, {u"Energy"_s, 41}});
        salt = ingredient(u"Соль"_s, kg, 100, 100);
        dish = SmallKitchen::dish(u"Гуляш"_s, 4, u"150/50"_s,
                                  {{u"Recept"_s, u"Мясо нарезать кубиками.\nТушить 1,5 часа."_s},
                                   {u"Serving"_s, u"Подают в порционной тарелке."_s},
                                   {u"Storage"_s, u"Хранят не более 2 часов."_s}});
        for (const auto& [key, grams] :
             {std::pair{beef, 400.0}, std::pair{onion, 40.0}, std::pair{salt, 8.0}})
            line(dish, key, grams);
    }

    qlonglong beef, onion, salt, dish;
};

} // namespace

class tst_TechnologicalCardPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recipeTextsAndNutrition();
    void nutritionGivenInFullIsSummed();
    void sectionsOfTheTwoKinds_data();
    void sectionsOfTheTwoKinds();
    void cardThatCannotBeComputed();
    void textLines();
};

void tst_TechnologicalCardPrint::recipeTextsAndNutrition()
{
    Kitchen k;
    k.data.insert(u"Org"_s, {{u"Kod"_s, 1},
                             {u"Name"_s, u"Столовая №1"_s},
                             {u"Form"_s, u"ООО"_s},
                             {u"Head"_s, u"Иванов И.И."_s},
                             {u"HeadPosition"_s, u"Директор"_s},
                             {u"Chef"_s, u"Петрова П.П."_s}});
    const TechnologicalCardResult result =
        TechnologicalCardPrint(k.data.db(), k.clock).run(k.dish, TechnologicalCard::TechnicalTechnological);
    QVERIFY2(result.workbook, qPrintable(result.error));
    const Sheet& sheet = result.workbook->sheet(1);
    QCOMPARE(sheet.name(), u"ТТК"_s);
    QCOMPARE(sheet.value(1, 4).toString(), u"УТВЕРЖДАЮ"_s);
    QCOMPARE(sheet.value(2, 4).toString(), u"Директор"_s);
    QCOMPARE(sheet.value(3, 4).toString(), u"ООО Столовая №1"_s);
    QCOMPARE(sheet.value(4, 4).toString(), u"________________ Иванов И.И."_s);
    QVERIFY(rowOf(sheet, 1, u"ТЕХНИКО-ТЕХНОЛОГИЧЕСКАЯ КАРТА № ____"_s) > 0);
    QVERIFY(rowOf(sheet, 1, u"Гуляш"_s) > 0);

    const int heading = rowOf(sheet, 1, u"№"_s);
    QCOMPARE(sheet.value(heading, 3).toString(), u"Расход на 1 порцию, г"_s);
    QCOMPARE(sheet.value(heading, 5).toString(), u"Расход на 4 порц., г"_s);
    QCOMPARE(sheet.value(heading + 1, 4).toString(), u"нетто"_s);
    const QVariant none;
    const QList<QVariantList> expected = {
        {1.0, u"Говядина"_s, 125.0, 100.0, 500.0, 400.0},
        {2.0, u"Лук"_s, 10.0, 10.0, 40.0, 40.0},
        {3.0, u"Соль"_s, 2.0, 2.0, 8.0, 8.0},
        {none, u"Выход"_s, none, u"150/50"_s, none, none},
    };
    for (int r = 0; r < expected.size(); ++r) {
        for (int column = 1; column <= 7; ++column) {
            const int row = heading + 2 + r;
            QVERIFY2(sheet.value(row, column) == expected[r].value(column - 1),
                     qPrintable(u"row %1, column %2: %3"_s.arg(row).arg(column).arg(
                         sheet.value(row, column).toString())));
        }
    }
    // The texts under their sections, the recipe's own line breaks kept.
    const int process = rowOf(sheet, 1, u"4 Технологический процесс"_s);
    QCOMPARE(sheet.value(process + 1, 1).toString(), u"Мясо нарезать кубиками."_s);
    QCOMPARE(sheet.value(process + 2, 1).toString(), u"Тушить 1,5 часа."_s);
    const int serving = rowOf(sheet, 1, u"5 Требования к оформлению, реализации и хранению"_s);
    QCOMPARE(sheet.value(serving + 1, 1).toString(), u"Подают в порционной тарелке."_s);
    QCOMPARE(sheet.value(serving + 2, 1).toString(), u"Хранят не более 2 часов."_s);

    // Salt gives nothing and onion no fat: fat, protein, carbohydrates and energy all lack a value
    // somewhere, so no total is stated and both are named; nothing is taken as 0.
    const int nutrition = rowOf(sheet, 1, u"7 Пищевая ценность 1 порции"_s);
    QCOMPARE(sheet.value(nutrition + 1, 3).toString(), u"Белки, г"_s);
    for (int column = 3; column <= 6; ++column)
        QCOMPARE(sheet.value(nutrition + 2, column).toString(), u"нет данных"_s);
    QCOMPARE(result.missingNutrition,
             (QStringList{u"Лук (жиры)"_s, u"Соль (белки, жиры, углеводы, энергетическая ценность)"_s}));
    // Written out in rows of their own under the table, as many as the text takes.
    QStringList note;
    for (int row = nutrition + 3; !sheet.value(row, 1).isNull(); ++row)
        note << sheet.value(row, 1).toString();
    QCOMPARE(note.join(u' '),
             u"Пищевая ценность не указана для: Лук (жиры); Соль (белки, жиры, углеводы, энергетическая "
             "ценность)."_s);
    const int chef = rowOf(sheet, 1, u"Заведующий производством"_s);
    QCOMPARE(sheet.value(chef, 3).toString(), u"Петрова П.П."_s);
    QVERIFY(sheet.value(rowOf(sheet, 1, u"Ответственный за оформление"_s), 3).isNull());
    QVERIFY(result.workbook->problems().isEmpty());
}

void tst_TechnologicalCardPrint::nutritionGivenInFullIsSummed()
{
    Kitchen k;
    k.data.scalar(u"UPDATE Ing SET Fat = 0 WHERE Kod1 = ?"_s, {k.onion});
    k.data.scalar(u"UPDATE Ing SET Protein = 0, Fat = 0, Carbs = 0, Energy = 0 WHERE Kod1 = ?"_s, {k.salt});
    const TechnologicalCardResult result =
        TechnologicalCardPrint(k.data.db(), k.clock).run(k.dish, TechnologicalCard::Technological);
    QVERIFY2(result.workbook, qPrintable(result.error));
    QVERIFY(result.missingNutrition.isEmpty());
    const Sheet& sheet = result.workbook->sheet(1);
    const int nutrition = rowOf(sheet, 1, u"Пищевая ценность 1 порции"_s);
    // One portion: 100 g of beef and 10 g of onion, net.
    const double expected[] = {18.9 + 0.14, 12.4, 0.82, 187 + 4.1};
    for (int k2 = 0; k2 < 4; ++k2)
        QCOMPARE(sheet.value(nutrition + 2, 3 + k2).toDouble(), std::round(expected[k2] * 10) / 10);
    QVERIFY(sheet.value(nutrition + 3, 1).isNull());
}

void tst_TechnologicalCardPrint::sectionsOfTheTwoKinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("ТК") << int(TechnologicalCard::Technological) << u"ТЕХНОЛОГИЧЕСКАЯ КАРТА № ____"_s
                        << QStringList{u"Рецептура"_s, u"Технология приготовления"_s,
                                       u"Требования к оформлению, подаче и реализации"_s,
                                       u"Требования к хранению"_s, u"Номер рецептуры: ____"_s}
                        << QStringList{u"1 Область применения"_s, u"6 Показатели качества и безопасности"_s};
    QTest::newRow("ТТК") << int(TechnologicalCard::TechnicalTechnological)
                         << u"ТЕХНИКО-ТЕХНОЛОГИЧЕСКАЯ КАРТА № ____"_s
                         << QStringList{u"1 Область применения"_s,
                                        u"2 Требования к сырью"_s,
                                        u"3 Рецептура"_s,
                                        u"4 Технологический процесс"_s,
                                        u"6 Показатели качества и безопасности"_s,
                                        u"7 Пищевая ценность 1 порции"_s}
                         << QStringList{u"Номер рецептуры: ____"_s, u"Требования к хранению"_s};
}

void tst_TechnologicalCardPrint::sectionsOfTheTwoKinds()
{
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    Kitchen k;
    const TechnologicalCardResult result =
        TechnologicalCardPrint(k.data.db(), k.clock).run(k.dish, TechnologicalCard(kind));
    QVERIFY2(result.workbook, qPrintable(result.error));
    const Sheet& sheet = result.workbook->sheet(1);
    QVERIFY(rowOf(sheet, 1, title) > 0);
    for (const QString& text : present)
        QVERIFY2(rowOf(sheet, 1, text) > 0, qPrintable(text));
    for (const QString& text : absent)
        QVERIFY2(rowOf(sheet, 1, text) == 0, qPrintable(text));
}

void tst_TechnologicalCardPrint::cardThatCannotBeComputed()
{
    Kitchen k;
    k.data.scalar(u"UPDATE Ing SET Vih = 0 WHERE Kod1 = ?"_s, {k.onion});
    TechnologicalCardResult result =
        TechnologicalCardPrint(k.data.db(), k.clock).run(k.dish, TechnologicalCard::Technological);
    QVERIFY(!result.workbook);
    QCOMPARE(result.error,
             u"Карта не напечатана: в блюде \"Гуляш\" (группа \"Вторые блюда\"): у ингредиента \"Лук\" "
             "выход (% Вых) равен нулю."_s);

    result = TechnologicalCardPrint(k.data.db(), k.clock).run(k.dish + 1, TechnologicalCard::Technological);
    QVERIFY(!result.workbook);
    QCOMPARE(result.error, u"Блюдо %1 не найдено."_s.arg(k.dish + 1));
}

void tst_TechnologicalCardPrint::textLines()
{
    QCOMPARE(stateform::wrappedLines(u"один два три\r\n\nчетыре"_s, 8),
             (QStringList{u"один два"_s, u"три"_s, QString(), u"четыре"_s}));
    QCOMPARE(stateform::wrappedLines(u"а длинноеслово"_s, 5),
             (QStringList{u"а"_s, u"длинн"_s, u"оесло"_s, u"во"_s}));
    QCOMPARE(stateform::wrappedLines(QString(), 5), QStringList{QString()});
}

QTEST_GUILESS_MAIN(tst_TechnologicalCardPrint)
#include "tst_TechnologicalCardPrint.moc"
