#include "ScriptedPrompts.h"

#include "reference/IngredientRowCheck.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestIngredientRowCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void check_data();
    void check();
};

void TestIngredientRowCheck::check_data()
{
    QTest::addColumn<QVariant>("price");
    QTest::addColumn<QVariant>("semiFinished");
    QTest::addColumn<QVariant>("unit");
    QTest::addColumn<QString>("message"); // empty when the row may be left

    const QString noPrice = u"Поставте цену ингредиенту"_s;
    const QString noUnit = u"Поставьте единицу измерения ингредиенту"_s;
    const QVariant empty;
    QTest::newRow("priced ingredient") << QVariant(0.01) << QVariant(0) << QVariant(1.0) << QString();
    QTest::newRow("price 0") << QVariant(0.0) << QVariant(0) << QVariant(1.0) << noPrice;
    QTest::newRow("empty price, empty flag") << empty << empty << QVariant(2.0) << noPrice;
    QTest::newRow("negative price") << QVariant(-3.0) << QVariant(0) << QVariant(2.0) << noPrice;
    QTest::newRow("semi-finished at price 0") << QVariant(0.0) << QVariant(1) << QVariant(3.0) << QString();
    QTest::newRow("semi-finished without a unit") << QVariant(0.0) << QVariant(1) << empty << noUnit;
    QTest::newRow("unit 0") << QVariant(5.0) << QVariant(0) << QVariant(0.0) << noUnit;
    QTest::newRow("unit rounds to 0") << QVariant(5.0) << QVariant(0) << QVariant(0.4) << noUnit;
    QTest::newRow("unit rounds to 1") << QVariant(5.0) << QVariant(0) << QVariant(0.6) << QString();
    QTest::newRow("both missing: the price first") << empty << QVariant(0) << empty << noPrice;
}

void TestIngredientRowCheck::check()
{
    QFETCH(QVariant, price);
    QFETCH(QVariant, semiFinished);
    QFETCH(QVariant, unit);
    QFETCH(QString, message);
    ScriptedPrompts prompts;

    QCOMPARE(IngredientRowCheck::check(price, semiFinished, unit, prompts), message.isEmpty());
    QCOMPARE(prompts.shown, message.isEmpty() ? QStringList() : QStringList{u"Ошибка|"_s + message});
}

QTEST_GUILESS_MAIN(TestIngredientRowCheck)
#include "tst_IngredientRowCheck.moc"
