#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "reference/Directories.h"

#include <QTest>

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
        QTest::newRow("only old consumption lines") << "consumption" << true << true
                                                    << "Информация|Единица успешно удалена !!!";
        QTest::newRow("one semi-finished product") << "pf" << true << false
                                                   << "Ошибка удаления единицы измерения|Единица не удалена, остались "
                                                      "ингредиенты использующие эту единицу !!!";
        QTest::newRow("ordinary ingredient in another group") << "ingredient" << true << false
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
        const qlonglong unit = data.insert(QStringLiteral("Edinica"), {{QStringLiteral("Shorthame"), QStringLiteral("кг")}});
        if (user == QLatin1String("pf"))
            data.insert(QStringLiteral("Ing"), {{QStringLiteral("Edinica"), unit}, {QStringLiteral("Pf"), 1}});
        else if (user == QLatin1String("ingredient"))
            data.insert(QStringLiteral("Ing"), {{QStringLiteral("Edinica"), unit}, {QStringLiteral("Kod"), 7}});
        else if (user == QLatin1String("consumption"))
            data.insert(QStringLiteral("RealItog"), {{QStringLiteral("Edinica"), unit}});
        ScriptedPrompts prompts;
        prompts.queueConfirm(confirmed);
        QCOMPARE(directories::deleteUnit(data.db(), unit, prompts), deleted);
        QCOMPARE(prompts.last(), message);
        QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Edinica")).toInt(), deleted ? 0 : 1);
        QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Ing")).toInt(),
                 user == QLatin1String("pf") || user == QLatin1String("ingredient") ? 1 : 0);
    }

    void signatureDeletion()
    {
        TestDataDir data;
        const qlonglong kept = data.insert(QStringLiteral("Podpis"), {{QStringLiteral("Fam"), QStringLiteral("Иванова")}});
        const qlonglong gone = data.insert(QStringLiteral("Podpis"), {{QStringLiteral("Fam"), QStringLiteral("Петров")}});
        ScriptedPrompts prompts;
        prompts.queueConfirm(false);
        QVERIFY(!directories::deleteSignature(data.db(), gone, prompts));
        QCOMPARE(prompts.last(), QStringLiteral("?|Вы уверены что желаете удалить запись?"));
        QVERIFY(directories::deleteSignature(data.db(), gone, prompts));
        QCOMPARE(data.scalar(QStringLiteral("SELECT Kod FROM Podpis")).toLongLong(), kept);
        // An empty list: a clear message, no failure dialog from the store.
        QVERIFY(!directories::deleteSignature(data.db(), QVariant(), prompts));
        QCOMPARE(prompts.last(), QStringLiteral("Ошибка|Нет записи для удаления."));
    }
};

QTEST_GUILESS_MAIN(tst_Directories)
#include "tst_Directories.moc"
