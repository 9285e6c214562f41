#include "FaultInjection.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "costing/DishCostCalculator.h"
#include "costing/RecipeBook.h"
#include "costing/RepricingPreview.h"
#include "costing/ui/RepricingPreviewDialog.h"
#include "store/Rounding.h"

#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

using Settings = PriceRecalculation::Settings;
using Scope = PriceRecalculation::Scope;
using Action = PriceRecalculation::Action;

Q_DECLARE_METATYPE(PriceRecalculation::Scope)
Q_DECLARE_METATYPE(PriceRecalculation::Action)

namespace {

// Beef (500 a kg, a markup of 20 % that costs leave out), potatoes (30) and onions (40); minced meat
// of 800 g beef and 200 g onion; ten portions each of cutlets (1 kg of mince, sold at 120), mash
// (2 kg potatoes, sold at 20) and stroganoff (1.5 kg beef, 1 kg potatoes, sold at 150).
struct MenuKitchen
{
    TestDataDir data;
    ScriptedPrompts prompts;
    qlonglong kilogram = data.insert(u"Edinica"_s, {{u"Name"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
    qlonglong meat = data.insert(u"Gring"_s, {{u"Name"_s, u"Мясо"_s}});
    qlonglong vegetables = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
    qlonglong beef = ingredient(meat, u"Говядина"_s, 500, 20, false);
    qlonglong potato = ingredient(vegetables, u"Картофель"_s, 30, 0, false);
    qlonglong onion = ingredient(vegetables, u"Лук"_s, 40, 0, false);
    qlonglong mince = ingredient(meat, u"Фарш ПФ"_s, 0, 0, true);
    qlonglong mains = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Горячее"_s}});
    qlonglong cutlets = dish(u"Котлеты"_s, 120, {{mince, 1000}});
    qlonglong mash = dish(u"Пюре"_s, 20, {{potato, 2000}});
    qlonglong stroganoff = dish(u"Бефстроганов"_s, 150, {{beef, 1500}, {potato, 1000}});

    MenuKitchen()
    {
        data.insert(u"pf"_s, {{u"Kod"_s, mince}, {u"Name"_s, beef}, {u"Kolvo"_s, 800}});
        data.insert(u"pf"_s, {{u"Kod"_s, mince}, {u"Name"_s, onion}, {u"Kolvo"_s, 200}});
    }

    qlonglong ingredient(qlonglong group, const QString& name, double price, double markup, bool semiFinished)
    {
        return data.insert(u"Ing"_s, {{u"Kod"_s, group},
                                      {u"Name"_s, name},
                                      {u"Edinica"_s, kilogram},
                                      {u"Cena"_s, price},
                                      {u"Proc"_s, markup},
                                      {u"Vih"_s, 100},
                                      {u"Pf"_s, semiFinished ? 1 : 0}});
    }

    qlonglong dish(const QString& name, double price, const QList<std::pair<qlonglong, double>>& lines)
    {
        const qlonglong key = data.insert(
            u"Bludo"_s,
            {{u"Kod"_s, mains}, {u"Name"_s, name}, {u"Nporc"_s, 10}, {u"Proc"_s, 0}, {u"Cena"_s, price}});
        for (const auto& [ingredientKey, grams] : lines)
            data.insert(
                u"Karta"_s,
                {{u"Kod"_s, key}, {u"Name"_s, ingredientKey}, {u"Kolvo"_s, grams}, {u"Vihod"_s, 100}});
        return key;
    }

    DishCostCalculator::PortionCosts costs()
    {
        RecipeBook book;
        QString error;
        if (!book.load(data.db(), RecipeSelection{}, &error))
            qFatal("%s", qPrintable(error));
        return DishCostCalculator::portionCosts(book);
    }
};

// name: old cost → new cost, with the shares in whole tenths of a percent where a dish has them.
QStringList describe(const RepricingPreviewResult& preview)
{
    QStringList rows;
    for (const RepricingRow& row : preview.rows) {
        QString text = u"%1: %2 → %3"_s.arg(row.name).arg(row.oldCost).arg(row.newCost);
        if (row.oldShare && row.newShare)
            text += u" (%1 → %2)"_s.arg(qRound(*row.oldShare * 1000)).arg(qRound(*row.newShare * 1000));
        rows << text;
    }
    return rows;
}

} // namespace

class TestRepricingPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The figures worked out by hand: costs leave the markups out, products come first, a dish
    // the change does not reach is not listed, and only the cutlets cross 35 %.
    void tenPercentOnMeat()
    {
        MenuKitchen k;
        const RepricingPreviewResult preview = RepricingPreview::ofRepricing(
            k.data.db(), Settings{Scope::Group, Action::Raise, 10}, k.beef, k.meat);
        QVERIFY2(preview.ok, qPrintable(preview.error));
        QCOMPARE(describe(preview),
                 QStringList({u"Фарш ПФ: 408 → 448"_s, u"Котлеты: 40.8 → 44.8 (340 → 373)"_s,
                              u"Бефстроганов: 78 → 85.5 (520 → 570)"_s}));
        QList<bool> crossing;
        for (const RepricingRow& row : preview.rows)
            crossing << RepricingPreview::crosses(row, RepricingPreview::defaultThreshold);
        QCOMPARE(crossing, QList<bool>({false, true, false}));
    }

    void previewIsWhatApplyThenStores_data()
    {
        QTest::addColumn<Scope>("scope");
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("percent");
        QTest::newRow("one ingredient up") << Scope::Ingredient << Action::Raise << 10;
        QTest::newRow("a group up") << Scope::Group << Action::Raise << 17;
        QTest::newRow("all down") << Scope::All << Action::Lower << 33;
        QTest::newRow("all down to nothing") << Scope::All << Action::Lower << 100;
    }

    // The preview stores nothing; "Применить" then stores its prices, and the costs computed from
    // what is stored are the preview's new ones, the others unchanged.
    void previewIsWhatApplyThenStores()
    {
        QFETCH(Scope, scope);
        QFETCH(Action, action);
        QFETCH(int, percent);
        MenuKitchen k;
        const Settings settings{scope, action, percent};
        const DishCostCalculator::PortionCosts before = k.costs();
        const QString snapshot = databaseSnapshot(k.data.db());
        const RepricingPreviewResult preview =
            RepricingPreview::ofRepricing(k.data.db(), settings, k.beef, k.meat);
        QVERIFY2(preview.ok, qPrintable(preview.error));
        QVERIFY(!preview.rows.empty());
        QCOMPARE(databaseSnapshot(k.data.db()), snapshot);

        QVERIFY(PriceRecalculation(k.data.db()).run(settings, k.beef, k.meat, k.prompts));
        for (const PriceHistory::Change& price : preview.prices)
            QCOMPARE(k.data.scalar(u"SELECT Cena FROM Ing WHERE Kod1 = ?"_s, {price.ingredient}).toDouble(),
                     price.newPrice.toDouble());
        const DishCostCalculator::PortionCosts after = k.costs();
        QHash<qlonglong, double> dishes = before.dishes;
        QHash<qlonglong, double> products;
        for (auto it = before.semiFinished.cbegin(); it != before.semiFinished.cend(); ++it)
            products.insert(it.key(), rounding::toKopeck(it.value()));
        for (const RepricingRow& row : preview.rows)
            (row.kind == RepricingRow::Kind::Dish ? dishes : products).insert(row.key, row.newCost);
        QCOMPARE(after.dishes, dishes);
        for (auto it = after.semiFinished.cbegin(); it != after.semiFinished.cend(); ++it)
            QCOMPARE(rounding::toKopeck(it.value()), products.value(it.key()));
    }

    // New prices of any kind (the "Анализ" page's one ingredient): a dish the price run would stop
    // at is left out and counted, and a dish without a selling price has no share.
    void givenPricesAndDishesThatCannotBeCosted()
    {
        MenuKitchen k;
        QSqlQuery(u"UPDATE Bludo SET Nporc = 0 WHERE Kod1 = %1"_s.arg(k.stroganoff), k.data.db());
        QSqlQuery(u"UPDATE Bludo SET Cena = NULL WHERE Kod1 = %1"_s.arg(k.cutlets), k.data.db());
        const RepricingPreviewResult preview =
            RepricingPreview::ofPrices(k.data.db(), {{k.potato, 30.0, 60.0}, {k.onion, 40.0, 140.0}});
        QVERIFY2(preview.ok, qPrintable(preview.error));
        QCOMPARE(describe(preview), QStringList({u"Фарш ПФ: 408 → 428"_s, u"Котлеты: 40.8 → 42.8"_s,
                                                 u"Пюре: 6 → 12 (300 → 600)"_s}));
        QCOMPARE(preview.dishesNotComputed, 1);
        QVERIFY2(preview.firstFault.contains(u"Бефстроганов"_s), qPrintable(preview.firstFault));
    }

    // The dialog marks the rows that cross the threshold the user sets, and sorts by number.
    void dialogMarksCrossingsAtTheThreshold()
    {
        MenuKitchen k;
        RepricingPreviewDialog dialog(RepricingPreview::ofRepricing(
            k.data.db(), Settings{Scope::Group, Action::Raise, 10}, k.beef, k.meat));
        QCOMPARE(dialog.thresholdBox()->value(), 35);
        QCOMPARE(dialog.crossingCount(), 1);
        dialog.thresholdBox()->setValue(55);
        QCOMPARE(dialog.crossingCount(), 1);
        dialog.thresholdBox()->setValue(60);
        QCOMPARE(dialog.crossingCount(), 0);
        QTableWidget* table = dialog.table();
        table->sortByColumn(4, Qt::AscendingOrder);
        QCOMPARE(table->item(0, 1)->text(), u"Котлеты"_s);
        QCOMPARE(table->item(2, 1)->text(), u"Фарш ПФ"_s);
    }
};

QTEST_MAIN(TestRepricingPreview)
#include "tst_RepricingPreview.moc"
