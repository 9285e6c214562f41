#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "reference/NewIngredientForm.h"

#include <QSqlQuery>
#include <QTest>

using Field = NewIngredientForm::Field;
Q_DECLARE_METATYPE(NewIngredientForm::Field)

class TestNewIngredientForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void add_data();
    void add();
    void storedIngredient();
};

void TestNewIngredientForm::add_data()
{
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("price");
    QTest::addColumn<bool>("withGroup");
    QTest::addColumn<bool>("withUnit");
    QTest::addColumn<Field>("focus");
    QTest::addColumn<QString>("message"); // empty when the ingredient is stored
    QTest::addColumn<double>("stored");

    const QString commaFormat = QStringLiteral("|Введите в поле \"Цена\" число в формате XX,XX");
    const QString dotFormat = QStringLiteral("|Введите в поле \"Цена\" число в формате XX.XX");
    const QChar comma(u',');
    const QChar dot(u'.');
    const QString sugar = QStringLiteral("Сахар");

    QTest::newRow(", 12,50 accepted")
        << comma << sugar << "12,50" << true << true << Field::None << QString() << 12.5;
    QTest::newRow(", 12.50 refused") << comma << sugar << "12.50" << true << true << Field::Price
                                     << commaFormat << 0.0;
    QTest::newRow(", 1,2,3 not a number") << comma << sugar << "1,2,3" << true << true << Field::Price
                                          << QStringLiteral("Ошибка|\"1,2,3\" не является числом.") << 0.0;
    QTest::newRow(", lone separator") << comma << sugar << "," << true << true << Field::Price
                                      << QStringLiteral("Ошибка|\",\" не является числом.") << 0.0;
    QTest::newRow(". 12.50 accepted")
        << dot << sugar << "12.50" << true << true << Field::None << QString() << 12.5;
    QTest::newRow(". 12,50 refused") << dot << sugar << "12,50" << true << true << Field::Price << dotFormat
                                     << 0.0;
    QTest::newRow(". 1.2.3 not a number") << dot << sugar << "1.2.3" << true << true << Field::Price
                                          << QStringLiteral("Ошибка|\"1.2.3\" не является числом.") << 0.0;
    QTest::newRow("whole number, zero allowed")
        << dot << sugar << "0" << true << true << Field::None << QString() << 0.0;
    QTest::newRow("sign refused") << comma << sugar << "-5" << true << true << Field::Price << commaFormat
                                  << 0.0;
    QTest::newRow("blank refused") << comma << sugar << "1 000" << true << true << Field::Price << commaFormat
                                   << 0.0;
    QTest::newRow("other script's digits refused")
        << comma << sugar << QStringLiteral("١٢") << true << true << Field::Price << commaFormat << 0.0;
    QTest::newRow("empty name") << comma << QString() << "12,50" << true << true << Field::Name
                                << QStringLiteral("|Название ингредиента ?") << 0.0;
    QTest::newRow("blank name") << comma << QStringLiteral("  ") << "" << true << true << Field::Name
                                << QStringLiteral("|Название ингредиента ?") << 0.0;
    QTest::newRow("name too long") << comma << QString(51, u'я') << "1" << true << true << Field::Name
                                   << QStringLiteral("|Название ингредиента длиннее 50 символов.") << 0.0;
    QTest::newRow("empty price") << comma << sugar << "" << true << true << Field::Price
                                 << QStringLiteral("|Цена ингредиента ?") << 0.0;
    QTest::newRow("no group") << comma << sugar << "1" << false << true << Field::Group
                              << QStringLiteral("|Выберите группу для нового ингредиента.") << 0.0;
    QTest::newRow("no unit") << comma << sugar << "1" << true << false << Field::Unit
                             << QStringLiteral("|Выберите единицу измерения для нового ингредиента.") << 0.0;
}

void TestNewIngredientForm::add()
{
    QFETCH(QChar, separator);
    QFETCH(QString, name);
    QFETCH(QString, price);
    QFETCH(bool, withGroup);
    QFETCH(bool, withUnit);
    QFETCH(Field, focus);
    QFETCH(QString, message);
    QFETCH(double, stored);
    TestDataDir data;
    const qlonglong group =
        data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), QStringLiteral("Бакалея")}});
    const qlonglong unit =
        data.insert(QStringLiteral("Edinica"), {{QStringLiteral("Shorthame"), QStringLiteral("кг")}});
    ScriptedPrompts prompts;

    const NewIngredientForm::Result result = NewIngredientForm(data.db()).add(
        NewIngredient{name, price, withGroup ? QVariant(double(group)) : QVariant(),
                      withUnit ? QVariant(unit) : QVariant()},
        separator, prompts);

    QCOMPARE(result.focus, focus);
    QCOMPARE(prompts.last(), message);
    QCOMPARE(prompts.shown.size(), message.isEmpty() ? 0 : 1);
    QCOMPARE(result.key.isNull(), !message.isEmpty());
    QCOMPARE(data.scalar(QStringLiteral("SELECT COUNT(*) FROM Ing")).toInt(), message.isEmpty() ? 1 : 0);
    if (message.isEmpty())
        QCOMPARE(data.scalar(QStringLiteral("SELECT Cena FROM Ing WHERE Kod1 = ?"), {result.key}).toDouble(),
                 stored);
}

void TestNewIngredientForm::storedIngredient()
{
    TestDataDir data;
    data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), QStringLiteral("Первая")}});
    const qlonglong group =
        data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), QStringLiteral("Овощи")}});
    const qlonglong unit =
        data.insert(QStringLiteral("Edinica"), {{QStringLiteral("Shorthame"), QStringLiteral("шт")}});
    ScriptedPrompts prompts;

    const auto result = NewIngredientForm(data.db()).add(
        NewIngredient{QStringLiteral("Огурец"), QStringLiteral("7,25"), group, unit}, u',', prompts);

    QVERIFY(!result.key.isNull());
    QSqlQuery row(data.db());
    QVERIFY(row.exec(QStringLiteral("SELECT Kod, Name, Edinica, Pf, Cena, Proc, Vih, Kolvo FROM Ing")));
    QVERIFY(row.next());
    QCOMPARE(row.value(0).toDouble(), double(group));
    QCOMPARE(row.value(1).toString(), QStringLiteral("Огурец"));
    QCOMPARE(row.value(2).toDouble(), double(unit));
    QCOMPARE(row.value(3).toInt(), 0);
    QCOMPARE(row.value(4).toDouble(), 7.25);
    QCOMPARE(row.value(5).toDouble(), 0.0);
    QCOMPARE(row.value(6).toDouble(), 100.0);
    QVERIFY(row.value(7).isNull());
    QCOMPARE(result.key.toLongLong(), data.scalar(QStringLiteral("SELECT Kod1 FROM Ing")).toLongLong());
}

QTEST_GUILESS_MAIN(TestNewIngredientForm)
#include "tst_NewIngredientForm.moc"
