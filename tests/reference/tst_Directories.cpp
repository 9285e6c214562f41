#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "reference/Directories.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Directories : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void unitDeletion_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QString>("message");
        QTest::newRow("unused") << "none" << true << true << "Информация|Единица успешно удалена !!!";
        QTest::newRow("only old consumption lines")
            << "consumption" << true << true << "Информация|Единица успешно удалена !!!";
        QTest::newRow("one semi-finished product")
            << "pf" << true << false
            << "Ошибка удаления единицы измерения|Единица не удалена, остались "
               "ингредиенты использующие эту единицу !!!";
        QTest::newRow("ordinary ingredient in another group")
            << "ingredient" << true << false
            << "Ошибка удаления единицы измерения|Единица не удалена, "
               "остались ингредиенты использующие эту единицу !!!";
        QTest::newRow("cancelled") << "none" << false << false
                                   << "Удаление единицы измерения|Подтвердите удаление единицы измерения !!!";
    }
    void unitDeletion()
    {
        QFETCH(QString, user);
        QFETCH(bool, confirmed);
        QFETCH(bool, deleted);
        QFETCH(QString, message);
        TestDataDir data;
        const qlonglong unit = data.insert(u"Edinica"_s, {{u"Shorthame"_s, u"кг"_s}});
        if (user == QLatin1String("pf"))
            data.insert(u"Ing"_s, {{u"Edinica"_s, unit}, {u"Pf"_s, 1}});
        else if (user == QLatin1String("ingredient"))
            data.insert(u"Ing"_s, {{u"Edinica"_s, unit}, {u"Kod"_s, 7}});
        else if (user == QLatin1String("consumption"))
            data.insert(u"RealItog"_s, {{u"Edinica"_s, unit}});
        ScriptedPrompts prompts;
        prompts.queueConfirm(confirmed);
        QCOMPARE(directories::deleteUnit(data.db(), unit, prompts), deleted);
        QCOMPARE(prompts.last(), message);
        QCOMPARE(data.scalar(u"SELECT count(*) FROM Edinica"_s).toInt(), deleted ? 0 : 1);
        QCOMPARE(data.scalar(u"SELECT count(*) FROM Ing"_s).toInt(),
                 user == QLatin1String("pf") || user == QLatin1String("ingredient") ? 1 : 0);
    }

    void signatureDeletion()
    {
        TestDataDir data;
        const qlonglong kept = data.insert(u"Podpis"_s, {{u"Fam"_s, u"Иванова"_s}});
        const qlonglong gone = data.insert(u"Podpis"_s, {{u"Fam"_s, u"Петров"_s}});
        ScriptedPrompts prompts;
        prompts.queueConfirm(false);
        QVERIFY(!directories::deleteSignature(data.db(), gone, prompts));
        QCOMPARE(prompts.last(), u"?|Вы уверены что желаете удалить запись?"_s);
        QVERIFY(directories::deleteSignature(data.db(), gone, prompts));
        QCOMPARE(data.scalar(u"SELECT Kod FROM Podpis"_s).toLongLong(), kept);
        // An empty list: a clear message, no failure dialog from the store.
        QVERIFY(!directories::deleteSignature(data.db(), QVariant(), prompts));
        QCOMPARE(prompts.last(), u"Ошибка|Нет записи для удаления."_s);
    }
};

QTEST_GUILESS_MAIN(tst_Directories)
#include "tst_Directories.moc"
