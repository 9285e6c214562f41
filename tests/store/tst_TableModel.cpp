#include "TestDataDir.h"

#include "store/TableModel.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSqlQuery>
#include <QTest>

class tst_TableModel : public QObject
{
    Q_OBJECT
private:
    static ViewDef ingredients()
    {
        return {QStringLiteral("Ing"), {QStringLiteral("Name")}, {}, QStringLiteral("NOT COALESCE(Pf, 0)"),
                {{QStringLiteral("Edinica1"), QStringLiteral("Edinica"), QStringLiteral("Edinica"), QStringLiteral("Kod"),
                  QStringLiteral("Shorthame")}}};
    }
    static QStringList names(const TableModel& model)
    {
        QStringList list;
        for (int row = 0; row < model.rowCount(); ++row)
            list << model.value(row, QStringLiteral("Name")).toString();
        return list;
    }

private Q_SLOTS:
    void russianOrderAndNearestSearch()
    {
        TestDataDir data;
        for (const char* name : {"ёрш", "Яблоки", "абрикос", "Еда", "Жир", "борщ", "Ель"})
            data.insert(QStringLiteral("Ing"), {{QStringLiteral("Name"), QString::fromUtf8(name)}});
        TableModel model(data.db(), ingredients());
        model.setColumns({{QStringLiteral("Name"), QStringLiteral("Наименование")}});
        QAbstractItemModelTester tester(&model);
        QVERIFY(model.open());
        QCOMPARE(names(model), QStringList({QStringLiteral("абрикос"), QStringLiteral("борщ"), QStringLiteral("Еда"),
                                            QStringLiteral("Ель"), QStringLiteral("ёрш"), QStringLiteral("Жир"),
                                            QStringLiteral("Яблоки")}));
        const struct { const char* typed; const char* found; } cases[] = {
            {"Б", "борщ"}, {"ел", "Ель"}, {"ЁР", "ёрш"}, {"з", "Яблоки"}, {"я", "Яблоки"}, {"яя", "Яблоки"}, {"", "абрикос"},
        };
        for (const auto& c : cases) {
            model.locateNearest(QString::fromUtf8(c.typed));
            QCOMPARE(model.currentValue(QStringLiteral("Name")).toString(), QString::fromUtf8(c.found));
        }
    }

    void cyrillicSearchAndBoundText()
    {
        TestDataDir data;
        data.insert(QStringLiteral("Bludo"), {{QStringLiteral("Name"), QStringLiteral("БОРЩ украинский")}});
        data.insert(QStringLiteral("Bludo"), {{QStringLiteral("Name"), QStringLiteral("Суп д'Артаньяна")}});
        const struct { const char* sql; const char* value; int count; } cases[] = {
            {"SELECT count(*) FROM Bludo WHERE upper(Name) LIKE ?", "%БОРЩ%", 1},
            {"SELECT count(*) FROM Bludo WHERE Name LIKE ?", "%борщ%", 1},
            {"SELECT count(*) FROM Bludo WHERE upper(Name) = upper(?)", "борщ УКРАИНСКИЙ", 1},
            {"SELECT count(*) FROM Bludo WHERE Name LIKE ?", "%д'арт%", 1},
            {"SELECT count(*) FROM Bludo WHERE Name LIKE ?", "с_п%", 1},
            {"SELECT count(*) FROM Bludo WHERE Name LIKE ?", "%' OR 1=1 --", 0},
        };
        for (const auto& c : cases)
            QCOMPARE(data.scalar(QString::fromLatin1(c.sql), {QString::fromUtf8(c.value)}).toInt(), c.count);
    }

    void postIsOnDiskForAnotherConnection()
    {
        TestDataDir data;
        TableModel model(data.db(), {QStringLiteral("Edinica"), {QStringLiteral("Name")}});
        model.setColumns({{QStringLiteral("Name"), {}}, {QStringLiteral("Gramm"), {}}});
        QVERIFY(model.open());
        QVERIFY(model.append());
        QVERIFY(model.setFieldValue(QStringLiteral("Name"), QStringLiteral("килограмм")));
        QVERIFY(model.setData(model.index(0, 1), QStringLiteral("1000"), Qt::EditRole));
        QVERIFY(model.post());
        QVERIFY(!model.currentKey().isNull());

        QString error;
        auto other = Database::open(data.dataDir(), &error, QStringLiteral("second"));
        QVERIFY2(other, qPrintable(error));
        QSqlQuery query(other->connection());
        QVERIFY(query.exec(QStringLiteral("SELECT Name, Gramm FROM Edinica")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("килограмм"));
        QCOMPARE(query.value(1).toDouble(), 1000.0);
        query.finish();
        other->close();
    }

    void badInputIsRefusedAndNothingStored_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters in a number") << "Gramm" << "abc" << "не является числом";
        QTest::newRow("two separators") << "Gramm" << "1,2,3" << "не является числом";
        QTest::newRow("infinity") << "Gramm" << "inf" << "не является числом";
        QTest::newRow("minus infinity") << "Gramm" << "-inf" << "не является числом";
        QTest::newRow("not a number") << "Gramm" << "nan" << "не является числом";
        QTest::newRow("overflow") << "Gramm" << "1e999" << "не является числом";
        QTest::newRow("string over limit") << "Shorthame" << "шесть6" << "не более 5 символов";
    }
    void badInputIsRefusedAndNothingStored()
    {
        QFETCH(QString, field);
        QFETCH(QString, input);
        QFETCH(QString, message);
        TestDataDir data;
        data.insert(QStringLiteral("Edinica"), {{QStringLiteral("Name"), QStringLiteral("грамм")}, {QStringLiteral("Gramm"), 1}});
        TableModel model(data.db(), {QStringLiteral("Edinica"), {QStringLiteral("Name")}});
        QVERIFY(model.open());
        QVERIFY(!model.setFieldValue(field, input));
        QVERIFY2(model.lastError().contains(message), qPrintable(model.lastError()));
        QCOMPARE(model.state(), TableModel::State::Browse);
        QCOMPARE(data.scalar(QStringLiteral("SELECT Gramm FROM Edinica")).toDouble(), 1.0);
    }

    void dateThatDoesNotExistIsRefused()
    {
        TestDataDir data;
        data.insert(QStringLiteral("Menu"), {{QStringLiteral("Name"), QStringLiteral("Обед")}});
        TableModel model(data.db(), {QStringLiteral("Menu"), {QStringLiteral("Date")}});
        QVERIFY(model.open());
        QVERIFY(!model.setFieldValue(QStringLiteral("Date"), QStringLiteral("31.02.2026")));
        QVERIFY(model.lastError().contains(QStringLiteral("Такой даты нет")));
        QVERIFY(model.setFieldValue(QStringLiteral("Date"), QStringLiteral("28.02.2026")));
        QVERIFY(model.post());
        QCOMPARE(data.scalar(QStringLiteral("SELECT Date FROM Menu")).toString(), QStringLiteral("2026-02-28"));
    }

    void untouchedNewRowIsNotStored()
    {
        TestDataDir data;
        TableModel model(data.db(), {QStringLiteral("Gring"), {QStringLiteral("Name")}});
        QVERIFY(model.open());
        QVERIFY(model.append());
        QCOMPARE(model.rowCount(), 1);
        QVERIFY(model.postIfPending());
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Gring")).toInt(), 0);
    }

    void masterDetailFilterAndLookup()
    {
        TestDataDir data;
        const qlonglong kg = data.insert(QStringLiteral("Edinica"), {{QStringLiteral("Shorthame"), QStringLiteral("кг")}});
        const qlonglong meat = data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), QStringLiteral("Мясо")}});
        const qlonglong veg = data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), QStringLiteral("Овощи")}});
        data.insert(QStringLiteral("Ing"), {{QStringLiteral("Kod"), meat}, {QStringLiteral("Name"), QStringLiteral("Говядина")},
                                            {QStringLiteral("Edinica"), kg}});
        data.insert(QStringLiteral("Ing"), {{QStringLiteral("Kod"), meat}, {QStringLiteral("Name"), QStringLiteral("Фарш")},
                                            {QStringLiteral("Pf"), 1}});
        data.insert(QStringLiteral("Ing"), {{QStringLiteral("Kod"), veg}, {QStringLiteral("Name"), QStringLiteral("Лук")}});

        TableModel groups(data.db(), {QStringLiteral("Gring"), {QStringLiteral("Name")}});
        ViewDef def = ingredients();
        def.order = {QStringLiteral("Kod")};
        def.linkField = QStringLiteral("Kod");
        TableModel items(data.db(), def);
        items.setMaster(&groups, QStringLiteral("Kod"));
        QVERIFY(groups.open());
        QVERIFY(items.open());
        QCOMPARE(names(items), QStringList({QStringLiteral("Говядина"), QStringLiteral("Фарш")}));
        QCOMPARE(items.value(0, QStringLiteral("Edinica1")).toString(), QStringLiteral("кг"));
        items.setFilterEnabled(true);
        QCOMPARE(names(items), QStringList({QStringLiteral("Говядина")}));
        items.setFilterEnabled(false);

        QVERIFY(groups.setCurrentRow(1));
        QCOMPARE(names(items), QStringList({QStringLiteral("Лук")}));
        QVERIFY(items.append());
        QVERIFY(items.setFieldValue(QStringLiteral("Name"), QStringLiteral("Морковь")));
        QVERIFY(items.setFieldValue(QStringLiteral("Edinica1"), kg));
        QCOMPARE(items.currentValue(QStringLiteral("Edinica1")).toString(), QStringLiteral("кг"));
        QVERIFY(items.post());
        QCOMPARE(data.scalar(QStringLiteral("SELECT Kod FROM Ing WHERE Name = ?"), {QStringLiteral("Морковь")}).toLongLong(), veg);

        // Moving the master posts nothing half: an edit in progress is posted before the detail follows.
        QVERIFY(items.setFieldValue(QStringLiteral("Name"), QStringLiteral("Морковь молодая")));
        QVERIFY(groups.setCurrentRow(0));
        QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Ing WHERE Name = ?"), {QStringLiteral("Морковь молодая")}).toInt(), 1);
    }

    void lockedDatabaseRefusesPostAndKeepsTheRow()
    {
        TestDataDir data;
        TableModel model(data.db(), {QStringLiteral("Gring"), {QStringLiteral("Name")}});
        QVERIFY(model.open());
        QVERIFY(model.append());
        QVERIFY(model.setFieldValue(QStringLiteral("Name"), QStringLiteral("Овощи")));
        QString error;
        auto other = Database::open(data.dataDir(), &error, QStringLiteral("locker"));
        QVERIFY(other);
        QVERIFY(execSql(other->connection(), QStringLiteral("BEGIN EXCLUSIVE")));
        QVERIFY(!model.post());
        QVERIFY2(model.lastError().startsWith(QStringLiteral("Запись не сохранена")), qPrintable(model.lastError()));
        QCOMPARE(model.state(), TableModel::State::Insert);
        QCOMPARE(model.currentValue(QStringLiteral("Name")).toString(), QStringLiteral("Овощи"));
        QVERIFY(execSql(other->connection(), QStringLiteral("ROLLBACK")));
        other->close();
        QVERIFY(model.post());
        QCOMPARE(data.scalar(QStringLiteral("SELECT Name FROM Gring")).toString(), QStringLiteral("Овощи"));
    }

    void postOverRowChangedOrDeletedElsewhereIsReported_data()
    {
        QTest::addColumn<QString>("elsewhere");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("changed") << "UPDATE Gring SET Name = 'Рыба'" << "изменена другой программой"
                                 << QStringList{QStringLiteral("Рыба")};
        QTest::newRow("deleted") << "DELETE FROM Gring" << "удалена другой программой" << QStringList();
    }
    void postOverRowChangedOrDeletedElsewhereIsReported()
    {
        QFETCH(QString, elsewhere);
        QFETCH(QString, message);
        QFETCH(QStringList, shown);
        TestDataDir data;
        data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), QStringLiteral("Мясо")}});
        TableModel model(data.db(), {QStringLiteral("Gring"), {QStringLiteral("Name")}});
        QVERIFY(model.open());
        QVERIFY(model.setFieldValue(QStringLiteral("Name"), QStringLiteral("Мясо и птица")));
        QString error;
        auto other = Database::open(data.dataDir(), &error, QStringLiteral("other"));
        QVERIFY(other);
        QVERIFY(execSql(other->connection(), elsewhere));
        other->close();
        QVERIFY(!model.post());
        QVERIFY2(model.lastError().contains(message), qPrintable(model.lastError()));
        QCOMPARE(model.state(), TableModel::State::Browse);
        QCOMPARE(names(model), shown);
        QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Gring WHERE Name = ?"), {QStringLiteral("Мясо и птица")}).toInt(), 0);
    }

    void editOfAnotherFieldKeepsTheOtherChange()
    {
        TestDataDir data;
        data.insert(QStringLiteral("Edinica"), {{QStringLiteral("Name"), QStringLiteral("кг")}, {QStringLiteral("Gramm"), 1000}});
        TableModel model(data.db(), {QStringLiteral("Edinica"), {QStringLiteral("Name")}});
        QVERIFY(model.open());
        QVERIFY(model.setFieldValue(QStringLiteral("Gramm"), QStringLiteral("1001")));
        QVERIFY(execSql(data.db(), QStringLiteral("UPDATE Edinica SET Name = 'килограмм'")));
        QVERIFY(model.post());
        QCOMPARE(data.scalar(QStringLiteral("SELECT Name || '/' || Gramm FROM Edinica")).toString(), QStringLiteral("килограмм/1001.0"));
    }

    void fileThatIsNotOursIsRefusedUntouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("garbage") << QByteArray(4096, 'x');
        QTest::newRow("cut SQLite header") << QByteArray("SQLite format 3\0", 16);
    }
    void fileThatIsNotOursIsRefusedUntouched()
    {
        QFETCH(QByteArray, content);
        TestDataDir data(false);
        const QString path = Database::filePath(data.dataDir());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        QString error;
        QVERIFY(!Database::open(data.dataDir(), &error, QStringLiteral("garbage")));
        QVERIFY2(error.contains(QStringLiteral("не является базой данных Кухнемера")), qPrintable(error));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
        QVERIFY(!QFile::exists(path + QStringLiteral("-wal")));
    }

    void otherSchemaVersionIsRefusedUntouched()
    {
        TestDataDir data;
        QVERIFY(execSql(data.db(), QStringLiteral("PRAGMA user_version = 7")));
        data.close();
        const QString path = Database::filePath(data.dataDir());
        QFile::remove(path + QStringLiteral("-wal"));
        const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        QString error;
        QVERIFY(!Database::open(data.dataDir(), &error, QStringLiteral("old")));
        QVERIFY2(error.contains(QStringLiteral("kuhnemer-data upgrade")), qPrintable(error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void deleteMovesToFollowingRow()
    {
        TestDataDir data;
        for (const char* name : {"а", "б", "в"})
            data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), QString::fromUtf8(name)}});
        TableModel model(data.db(), {QStringLiteral("Gring"), {QStringLiteral("Name")}});
        QVERIFY(model.open());
        QVERIFY(model.setCurrentRow(1));
        QVERIFY(model.deleteCurrent());
        QCOMPARE(model.currentValue(QStringLiteral("Name")).toString(), QStringLiteral("в"));
        QVERIFY(model.deleteCurrent());
        QCOMPARE(model.currentValue(QStringLiteral("Name")).toString(), QStringLiteral("а"));
        QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Gring")).toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_TableModel)
#include "tst_TableModel.moc"
