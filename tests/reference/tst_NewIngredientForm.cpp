#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "reference/NewIngredientForm.h"

#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

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

    const QString commaFormat = u"|Введите в поле \"Цена\" число в формате XX,XX"_s;
    const QString dotFormat = u"|Введите в поле \"Цена\" число в формате XX.XX"_s;
    const QChar comma(u',');
    const QChar dot(u'.');
    const QString sugar = u"Сахар"_s;

    QTest::newRow(", 12,50 accepted")
        << comma << sugar << "12,50" << true << true << Field::None << QString() << 12.5;
    QTest::newRow(", 12.50 refused") << comma << sugar << "12.50" << true << true << Field::Price
                                     << commaFormat << 0.0;
    QTest::newRow(", 1,2,3 not a number") << comma << sugar << "1,2,3" << true << true << Field::Price
                                          << u"Ошибка|\"1,2,3\" не является числом."_s << 0.0;
    QTest::newRow(", lone separator") << comma << sugar << "," << true << true << Field::Price
                                      << u"Ошибка|\",\" не является числом."_s << 0.0;
    QTest::newRow(". 12.50 accepted")
        << dot << sugar << "12.50" << true << true << Field::None << QString() << 12.5;
    QTest::newRow(". 12,50 refused") << dot << sugar << "12,50" << true << true << Field::Price << dotFormat
                                     << 0.0;
    QTest::newRow(". 1.2.3 not a number") << dot << sugar << "1.2.3" << true << true << Field::Price
                                          << u"Ошибка|\"1.2.3\" не является числом."_s << 0.0;
    QTest::newRow("whole number, zero allowed")
        << dot << sugar << "0" << true << true << Field::None << QString() << 0.0;
    QTest::newRow("sign refused") << comma << sugar << "-5" << true << true << Field::Price << commaFormat
                                  << 0.0;
    QTest::newRow("blank refused") << comma << sugar << "1 000" << true << true << Field::Price << commaFormat
                                   << 0.0;
    QTest::newRow("other script's digits refused")
        << comma << sugar << u"١٢"_s << true << true << Field::Price << commaFormat << 0.0;
    QTest::newRow("empty name") << comma << QString() << "12,50" << true << true << Field::Name
                                << u"|Название ингредиента ?"_s << 0.0;
    QTest::newRow("blank name") << comma << u"  "_s << "" << true << true << Field::Name
                                << u"|Название ингредиента ?"_s << 0.0;
    QTest::newRow("name too long") << comma << QString(51, u'я') << "1" << true << true << Field::Name
                                   << u"|Название ингредиента длиннее 50 символов."_s << 0.0;
    QTest::newRow("empty price") << comma << sugar << "" << true << true << Field::Price
                                 << u"|Цена ингредиента ?"_s << 0.0;
    QTest::newRow("no group") << comma << sugar << "1" << false << true << Field::Group
                              << u"|Выберите группу для нового ингредиента."_s << 0.0;
    QTest::newRow("no unit") << comma << sugar << "1" << true << false << Field::Unit
                             << u"|Выберите единицу измерения для нового ингредиента."_s << 0.0;
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
    const qlonglong group = data.insert(u"Gring"_s, {{u"Name"_s, u"Бакалея"_s}});
    const qlonglong unit = data.insert(u"Edinica"_s, {{u"Shorthame"_s, u"кг"_s}});
    ScriptedPrompts prompts;

    const NewIngredientForm::Result result = NewIngredientForm(data.db()).add(
        NewIngredient{name, price, withGroup ? QVariant(double(group)) : QVariant(),
                      withUnit ? QVariant(unit) : QVariant()},
        separator, prompts);

    QCOMPARE(result.focus, focus);
    QCOMPARE(prompts.last(), message);
    QCOMPARE(prompts.shown.size(), message.isEmpty() ? 0 : 1);
    QCOMPARE(result.key.isNull(), !message.isEmpty());
    QCOMPARE(data.scalar(u"SELECT COUNT(*) FROM Ing"_s).toInt(), message.isEmpty() ? 1 : 0);
    if (message.isEmpty())
        QCOMPARE(data.scalar(u"SELECT Cena FROM Ing WHERE Kod1 = ?"_s, {result.key}).toDouble(), stored);
}

void TestNewIngredientForm::storedIngredient()
{
    TestDataDir data;
    data.insert(u"Gring"_s, {{u"Name"_s, u"Первая"_s}});
    const qlonglong group = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
    const qlonglong unit = data.insert(u"Edinica"_s, {{u"Shorthame"_s, u"шт"_s}});
    ScriptedPrompts prompts;

    const auto result =
        NewIngredientForm(data.db()).add(NewIngredient{u"Огурец"_s, u"7,25"_s, group, unit}, u',', prompts);

    QVERIFY(!result.key.isNull());
    QSqlQuery row(data.db());
    QVERIFY(row.exec(u"SELECT Kod, Name, Edinica, Pf, Cena, Proc, Vih, Kolvo FROM Ing"_s));
    QVERIFY(row.next());
    QCOMPARE(row.value(0).toDouble(), double(group));
    QCOMPARE(row.value(1).toString(), u"Огурец"_s);
    QCOMPARE(row.value(2).toDouble(), double(unit));
    QCOMPARE(row.value(3).toInt(), 0);
    QCOMPARE(row.value(4).toDouble(), 7.25);
    QCOMPARE(row.value(5).toDouble(), 0.0);
    QCOMPARE(row.value(6).toDouble(), 100.0);
    QVERIFY(row.value(7).isNull());
    QCOMPARE(result.key.toLongLong(), data.scalar(u"SELECT Kod1 FROM Ing"_s).toLongLong());
}

QTEST_GUILESS_MAIN(TestNewIngredientForm)
#include "tst_NewIngredientForm.moc"
