#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "costing/SellingPrices.h"

#include <QTest>

class tst_SellingPrices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rounding_data();
    void rounding();
    void menuEntries_data();
    void menuEntries();
};

void tst_SellingPrices::rounding_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<RoundingStep>("step");
    QTest::addColumn<double>("up");
    QTest::addColumn<double>("down");

    QTest::newRow("none") << 12.32 << RoundingStep::None << 12.32 << 12.32;
    QTest::newRow("5 kop, 2") << 12.32 << RoundingStep::FiveKopecks << 12.35 << 12.30;
    QTest::newRow("5 kop, 7") << 12.37 << RoundingStep::FiveKopecks << 12.40 << 12.35;
    QTest::newRow("5 kop, on step") << 12.35 << RoundingStep::FiveKopecks << 12.35 << 12.35;
    QTest::newRow("5 kop, whole dime") << 12.30 << RoundingStep::FiveKopecks << 12.30 << 12.30;
    QTest::newRow("10 kop") << 12.32 << RoundingStep::TenKopecks << 12.40 << 12.30;
    QTest::newRow("10 kop, 5") << 12.35 << RoundingStep::TenKopecks << 12.40 << 12.30;
    QTest::newRow("10 kop, 9 to the next rouble") << 12.99 << RoundingStep::TenKopecks << 13.00 << 12.90;
    QTest::newRow("10 kop, on step") << 12.30 << RoundingStep::TenKopecks << 12.30 << 12.30;
    QTest::newRow("50 kop, 20") << 12.20 << RoundingStep::FiftyKopecks << 12.50 << 12.00;
    QTest::newRow("50 kop, 70") << 12.70 << RoundingStep::FiftyKopecks << 13.00 << 12.50;
    QTest::newRow("50 kop, on step") << 12.50 << RoundingStep::FiftyKopecks << 12.50 << 12.50;
    QTest::newRow("50 kop, 51") << 12.51 << RoundingStep::FiftyKopecks << 13.00 << 12.50;
    QTest::newRow("1 rub, 1 kop") << 12.01 << RoundingStep::OneRouble << 13.00 << 12.00;
    QTest::newRow("1 rub, on step") << 12.00 << RoundingStep::OneRouble << 12.00 << 12.00;
    // Kopecks of 99.9 read as 100: the price counts as on the step and stays as it is.
    QTest::newRow("1 rub, fraction of a kopeck") << 12.999 << RoundingStep::OneRouble << 12.999 << 12.999;
    QTest::newRow("5 kop, fraction of a kopeck") << 12.399 << RoundingStep::FiveKopecks << 12.399 << 12.399;
}

void tst_SellingPrices::rounding()
{
    QFETCH(double, price);
    QFETCH(RoundingStep, step);
    QFETCH(double, up);
    QFETCH(double, down);

    QCOMPARE(roundSellingPrice(price, step, RoundingDirection::Up), up);
    QCOMPARE(roundSellingPrice(price, step, RoundingDirection::Down), down);
}

void tst_SellingPrices::menuEntries_data()
{
    QTest::addColumn<bool>("recalculateAll");
    QTest::addColumn<int>("entriesPriced");
    QTest::addColumn<QVariantList>("expected");

    // Entries: dish 12.32 unpriced, dish 12.37 priced 0, dish 20.01 priced 25 by hand, a dish that is gone.
    QTest::newRow("OK: every entry") << true << 4 << QVariantList{12.35, 12.40, 20.05, 0.0};
    QTest::newRow("Cancel: entries without a price") << false << 3 << QVariantList{12.35, 12.40, 25.0, 0.0};
}

void tst_SellingPrices::menuEntries()
{
    QFETCH(bool, recalculateAll);
    QFETCH(int, entriesPriced);
    QFETCH(QVariantList, expected);

    TestDataDir data;
    const auto dish = [&](double price) {
        return data.insert("Bludo", {{"Name", "Блюдо"}, {"Cena", price}});
    };
    const qlonglong menu = data.insert("Menu", {{"Name", "Обед"}});
    const qlonglong otherMenu = data.insert("Menu", {{"Name", "Ужин"}});
    const QList<qlonglong> entries = {
        data.insert("MenuSp", {{"Kod", menu}, {"Name", dish(12.32)}}),
        data.insert("MenuSp", {{"Kod", menu}, {"Name", dish(12.37)}, {"CenaProd", 0}}),
        data.insert("MenuSp", {{"Kod", menu}, {"Name", dish(20.01)}, {"CenaProd", 25}}),
        data.insert("MenuSp", {{"Kod", menu}, {"Name", 999}}),
    };
    const qlonglong other = data.insert("MenuSp", {{"Kod", otherMenu}, {"Name", dish(1.01)}});

    ScriptedPrompts prompts;
    prompts.queueConfirm(recalculateAll);
    const SellingPricesResult result =
        askAndApplySellingPrices(data.db(), prompts, menu, RoundingStep::FiveKopecks, RoundingDirection::Up);
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(prompts.questions, QStringList{"?|Производить перерасчёт продажных цен?"});
    QCOMPARE(result.entriesPriced, entriesPriced);
    for (int i = 0; i < entries.size(); ++i)
        QCOMPARE(data.scalar("SELECT CenaProd FROM MenuSp WHERE Nnn = ?", {entries[i]}).toDouble(),
                 expected[i].toDouble());
    QVERIFY(data.scalar("SELECT CenaProd FROM MenuSp WHERE Nnn = ?", {other}).isNull());
}

QTEST_GUILESS_MAIN(tst_SellingPrices)
#include "tst_SellingPrices.moc"
