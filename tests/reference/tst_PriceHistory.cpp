#include "FaultInjection.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "costing/DishCostCalculator.h"
#include "reference/IngredientCatalog.h"
#include "reference/NewIngredientForm.h"
#include "reference/PriceHistory.h"
#include "reference/PriceRecalculation.h"
#include "reference/ReferenceViews.h"
#include "store/TableModel.h"
#include "warehouse/InventoryDocuments.h"
#include "warehouse/StockDocuments.h"

#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Potatoes in stock (10 kg at 30), mashed potatoes made of them (stored at 25, its composition gives
// 30), a dish of the mash, and a partner to receive from.
struct HistoryKitchen
{
    TestDataDir data;
    ScriptedPrompts prompts;
    qlonglong kilogram = data.insert(u"Edinica"_s, {{u"Name"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
    qlonglong vegetables = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
    qlonglong potato = ingredient(u"Картофель"_s, 30.0, false);
    qlonglong mash = ingredient(u"Пюре ПФ"_s, 25.0, true);
    qlonglong partner = data.insert(u"Partner"_s, {{u"Name"_s, u"Овощебаза"_s}});

    HistoryKitchen()
    {
        data.insert(u"pf"_s, {{u"Kod"_s, mash}, {u"Name"_s, potato}, {u"Kolvo"_s, 1000}});
        const qlonglong sides = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Гарниры"_s}});
        const qlonglong dish = data.insert(
            u"Bludo"_s, {{u"Kod"_s, sides}, {u"Name"_s, u"Пюре"_s}, {u"Nporc"_s, 10}, {u"Proc"_s, 0}});
        data.insert(u"Karta"_s, {{u"Kod"_s, dish}, {u"Name"_s, mash}, {u"Kolvo"_s, 2000}, {u"Vihod"_s, 100}});
    }

    qlonglong ingredient(const QString& name, double price, bool semiFinished)
    {
        return data.insert(u"Ing"_s, {{u"Kod"_s, vegetables},
                                      {u"Name"_s, name},
                                      {u"Edinica"_s, kilogram},
                                      {u"Cena"_s, price},
                                      {u"Kolvo"_s, semiFinished ? 0 : 10},
                                      {u"Proc"_s, 0},
                                      {u"Vih"_s, 100},
                                      {u"Pf"_s, semiFinished ? 1 : 0}});
    }

    // An unposted receipt of 10 kg of potatoes at the price, dated 7 December.
    qlonglong receipt(double price)
    {
        const qlonglong document = data.insert(
            u"Doc"_s, {{u"Date"_s, u"2026-12-07"_s}, {u"Partner"_s, partner}, {u"Provodka"_s, 0}});
        data.insert(u"Move"_s, {{u"Kod1"_s, document},
                                {u"Kod"_s, potato},
                                {u"Date"_s, u"2026-12-07"_s},
                                {u"Partner"_s, partner},
                                {u"Kolvo"_s, 10},
                                {u"Cena"_s, price},
                                {u"Provodka"_s, 0}});
        return document;
    }

    // An inventory of 9 December counting 5 kg of potatoes at 45.
    qlonglong inventory()
    {
        const qlonglong document = data.insert(
            u"invdok"_s, {{u"Date"_s, u"2026-12-09"_s}, {u"Provodka"_s, InventoryDocuments::transferred}});
        data.insert(u"inv"_s, {{u"Kod"_s, document},
                               {u"Ing"_s, potato},
                               {u"Ing22"_s, u"Картофель"_s},
                               {u"NewKolvo"_s, 5},
                               {u"Newprice"_s, 45.0}});
        return document;
    }

    // A price typed into the ingredients grid, and any other field beside it.
    std::function<bool()> gridEdit(const QVariantMap& fields)
    {
        auto* model = new TableModel(data.db(), referenceviews::ingredients(), &owner);
        model->setLinkValue(vegetables);
        return [model, fields, this] {
            // After a failed post the edit is still pending, as in the window: posting again retries it.
            if (model->state() == TableModel::State::Browse) {
                if (!model->open() || !model->locateKey(potato))
                    return false;
                for (auto it = fields.cbegin(); it != fields.cend(); ++it)
                    model->setFieldValue(it.key(), it.value());
            }
            return model->post();
        };
    }

    bool reprice(int percent)
    {
        return PriceRecalculation(data.db()).run(
            {PriceRecalculation::Scope::Ingredient, PriceRecalculation::Action::Raise, percent}, potato,
            vegetables, prompts);
    }

    QObject owner;
};

// The row the history holds: ingredient, date, old price, new price, document, source.
QVariantList historyRows(TestDataDir& data)
{
    QVariantList rows;
    QSqlQuery query(u"SELECT Ing, Data, Oldcena, Cena, Doc, Source FROM Pricehist ORDER BY Kod"_s, data.db());
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < 6; ++i)
            row << (query.isNull(i) ? QVariant() : query.value(i));
        rows << QVariant(row);
    }
    return rows;
}

enum class Kind
{
    ReceiptAtNewPrice,
    ReceiptAtAverage,
    Repricing,
    Inventory,
    GridEdit,
    CardImport,
    DishPriceRun,
    CompositionChanged
};

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestPriceHistory : public QObject
{
    Q_OBJECT

private:
    // The operation of each kind on the kitchen, and the row it must leave: ingredient (by name, since a
    // server's keys of rolled-back inserts are spent), old and new price, document (0 for none), date
    // (null for today) and source.
    struct Expected
    {
        std::function<bool()> operation;
        QString ingredient;
        QVariant oldPrice;
        double newPrice;
        qlonglong document;
        QString date;
        QString source;
    };

    static Expected expected(Kind kind, HistoryKitchen& k)
    {
        switch (kind) {
        case Kind::ReceiptAtNewPrice: {
            const qlonglong document = k.receipt(40);
            return {[&k, document] {
                        return StockDocuments(k.data.db(), k.prompts).postReceipt(document, PriceRule::New);
                    },
                    u"Картофель"_s,
                    30.0,
                    40.0,
                    document,
                    u"2026-12-07"_s,
                    u"Приход"_s};
        }
        case Kind::ReceiptAtAverage: {
            const qlonglong document = k.receipt(40);
            return {
                [&k, document] {
                    return StockDocuments(k.data.db(), k.prompts).postReceipt(document, PriceRule::Average);
                },
                u"Картофель"_s,
                30.0,
                35.0,
                document,
                u"2026-12-07"_s,
                u"Приход"_s};
        }
        case Kind::Repricing:
            return {[&k] { return k.reprice(10); }, u"Картофель"_s, 30.0, 30 * 1.1, 0, {}, u"Пересчёт цен"_s};
        case Kind::Inventory: {
            const qlonglong document = k.inventory();
            return {[&k, document] {
                        QString error;
                        return InventoryDocuments(k.data.db(), k.prompts).post(document, false, &error);
                    },
                    u"Картофель"_s,
                    30.0,
                    45.0,
                    document,
                    u"2026-12-09"_s,
                    u"Инвентаризация"_s};
        }
        case Kind::GridEdit:
            return {k.gridEdit({{u"Cena"_s, 50.0}}), u"Картофель"_s, 30.0, 50.0, 0, {}, u"Правка"_s};
        case Kind::CardImport:
            return {[&k] {
                        NewIngredient input{u"Лук"_s, u"12.5"_s, k.vegetables, k.kilogram,
                                            PriceHistory::Source::CardImport};
                        return !NewIngredientForm(k.data.db()).add(input, u'.', k.prompts).key.isNull();
                    },
                    u"Лук"_s,
                    QVariant(),
                    12.5,
                    0,
                    {},
                    u"Импорт карт"_s};
        case Kind::DishPriceRun:
            return {[&k] { return DishCostCalculator(k.data.db()).run().ok; },
                    u"Пюре ПФ"_s,
                    25.0,
                    30.0,
                    0,
                    {},
                    u"Расчёт цен блюд"_s};
        case Kind::CompositionChanged:
            return {[&k] { return IngredientCatalog(k.data.db()).closeChooser(k.mash); },
                    u"Пюре ПФ"_s,
                    25.0,
                    0.0,
                    0,
                    {},
                    u"Изменение состава"_s};
        }
        return {};
    }

private Q_SLOTS:
    void everyKindOfChangeLeavesItsRow_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("receipt, new price") << Kind::ReceiptAtNewPrice;
        QTest::newRow("receipt, average price") << Kind::ReceiptAtAverage;
        QTest::newRow("repricing") << Kind::Repricing;
        QTest::newRow("inventory") << Kind::Inventory;
        QTest::newRow("grid edit") << Kind::GridEdit;
        QTest::newRow("card import of a new ingredient") << Kind::CardImport;
        QTest::newRow("dish price run") << Kind::DishPriceRun;
        QTest::newRow("composition changed") << Kind::CompositionChanged;
    }

    // Every write of the operation fails in turn: each failure leaves the kitchen, its history
    // included, as it was; the run that goes through leaves exactly one row.
    void everyKindOfChangeLeavesItsRow()
    {
        QFETCH(Kind, kind);
        HistoryKitchen k;
        const Expected want = expected(kind, k);
        {
            FaultInjection faults(k.data.db());
            QString changed;
            QVERIFY2(faults.everyStep(want.operation, &changed) > 0, qPrintable(changed));
        }
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        const QVariant ingredient =
            k.data.scalar(u"SELECT Kod1 FROM Ing WHERE Name = ?"_s, {want.ingredient});
        const QVariantList row{ingredient,
                               want.date.isEmpty() ? today : want.date,
                               want.oldPrice,
                               want.newPrice,
                               want.document ? QVariant(want.document) : QVariant(),
                               want.source};
        const QVariantList rows = historyRows(k.data);
        QCOMPARE(rows.size(), 1);
        const QVariantList got = rows.first().toList();
        for (int i = 0; i < row.size(); ++i) {
            QCOMPARE(got[i].isNull(), row[i].isNull());
            QCOMPARE(got[i].toString(), row[i].toString());
        }
        QCOMPARE(k.data.scalar(u"SELECT Cena FROM Ing WHERE Kod1 = ?"_s, {ingredient}).toDouble(),
                 want.newPrice);
    }

    void unchangedPriceLeavesNoRow_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("receipt keeping the old price") << 0;
        QTest::newRow("receipt at the same price") << 1;
        QTest::newRow("repricing by 0 %") << 2;
        QTest::newRow("grid edit of the name only") << 3;
        QTest::newRow("price run giving the stored price") << 4;
    }

    void unchangedPriceLeavesNoRow()
    {
        QFETCH(int, kind);
        HistoryKitchen k;
        StockDocuments stock(k.data.db(), k.prompts);
        bool ok = false;
        switch (kind) {
        case 0:
            ok = stock.postReceipt(k.receipt(40), PriceRule::Keep);
            break;
        case 1:
            ok = stock.postReceipt(k.receipt(30), PriceRule::New);
            break;
        case 2:
            ok = k.reprice(0);
            break;
        case 3:
            ok = k.gridEdit({{u"Name"_s, u"Картофель молодой"_s}, {u"Cena"_s, 30.0}})();
            break;
        case 4:
            QVERIFY(DishCostCalculator(k.data.db()).run().ok);
            QSqlQuery(u"DELETE FROM Pricehist"_s, k.data.db());
            ok = DishCostCalculator(k.data.db()).run().ok;
            break;
        }
        QVERIFY(ok);
        QCOMPARE(historyRows(k.data), QVariantList());
    }

    // An empty price is a different stored value from 0: a repricing that writes 0 over it says so.
    void emptyPriceWrittenAsZeroIsRecorded()
    {
        HistoryKitchen k;
        QSqlQuery(u"UPDATE Ing SET Cena = NULL WHERE Kod1 = %1"_s.arg(k.potato), k.data.db());
        QVERIFY(k.reprice(0));
        const QVariantList rows = historyRows(k.data);
        QCOMPARE(rows.size(), 1);
        QVERIFY(rows.first().toList().at(2).isNull());
        QCOMPARE(rows.first().toList().at(3).toDouble(), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestPriceHistory)
#include "tst_PriceHistory.moc"
