#include "TestDataDir.h"

#include "store/TableModel.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_TableModel : public QObject
{
    Q_OBJECT
private:
    static ViewDef ingredients()
    {
        return {u"Ing"_s,
                {u"Name"_s},
                {},
                u"COALESCE(Pf, 0) = 0"_s,
                {{u"Edinica1"_s, u"Edinica"_s, u"Edinica"_s, u"Kod"_s, u"Shorthame"_s}}};
    }
    static QStringList names(const TableModel& model)
    {
        QStringList list;
        for (int row = 0; row < model.rowCount(); ++row)
            list << model.value(row, u"Name"_s).toString();
        return list;
    }

private Q_SLOTS:
    void russianOrderAndNearestSearch()
    {
        TestDataDir data;
        for (const char* name : {"ёрш", "Яблоки", "абрикос", "Еда", "Жир", "борщ", "Ель"})
            data.insert(u"Ing"_s, {{u"Name"_s, QString::fromUtf8(name)}});
        TableModel model(data.db(), ingredients());
        model.setColumns({{u"Name"_s, u"Наименование"_s}});
        QAbstractItemModelTester tester(&model);
        QVERIFY(model.open());
        QCOMPARE(names(model),
                 QStringList({u"абрикос"_s, u"борщ"_s, u"Еда"_s, u"Ель"_s, u"ёрш"_s, u"Жир"_s, u"Яблоки"_s}));
        const struct
        {
            const char* typed;
            const char* found;
        } cases[] = {
            {"Б", "борщ"},   {"ел", "Ель"},    {"ЁР", "ёрш"},   {"з", "Яблоки"},
            {"я", "Яблоки"}, {"яя", "Яблоки"}, {"", "абрикос"},
        };
        for (const auto& c : cases) {
            model.locateNearest(QString::fromUtf8(c.typed));
            QCOMPARE(model.currentValue(u"Name"_s).toString(), QString::fromUtf8(c.found));
        }
    }

    void cyrillicSearchAndBoundText()
    {
        TestDataDir data;
        data.insert(u"Bludo"_s, {{u"Name"_s, u"БОРЩ украинский"_s}});
        data.insert(u"Bludo"_s, {{u"Name"_s, u"Суп д'Артаньяна"_s}});
        const struct
        {
            const char* sql;
            const char* value;
            int count;
        } cases[] = {
            // The program's own spelling of a search, which every engine takes alike.
            {"SELECT count(*) FROM Bludo WHERE upper(Name) LIKE ?", "%БОРЩ%", 1},
            {"SELECT count(*) FROM Bludo WHERE upper(Name) LIKE upper(?)", "%борщ%", 1},
            {"SELECT count(*) FROM Bludo WHERE upper(Name) = upper(?)", "борщ УКРАИНСКИЙ", 1},
            {"SELECT count(*) FROM Bludo WHERE upper(Name) LIKE upper(?)", "%д'арт%", 1},
            {"SELECT count(*) FROM Bludo WHERE upper(Name) LIKE upper(?)", "с_п%", 1},
            {"SELECT count(*) FROM Bludo WHERE upper(Name) LIKE upper(?)", "%' OR 1=1 --", 0},
        };
        for (const auto& c : cases)
            QCOMPARE(data.scalar(QString::fromLatin1(c.sql), {QString::fromUtf8(c.value)}).toInt(), c.count);
        // On a file the plain LIKE is the program's own: it folds the case of every alphabet.
        if (!data.onServer())
            QCOMPARE(data.scalar(u"SELECT count(*) FROM Bludo WHERE Name LIKE ?"_s, {u"%борщ%"_s}).toInt(),
                     1);
    }

    void postIsOnDiskForAnotherConnection()
    {
        TestDataDir data;
        TableModel model(data.db(), {u"Edinica"_s, {u"Name"_s}});
        model.setColumns({{u"Name"_s, {}}, {u"Gramm"_s, {}}});
        QVERIFY(model.open());
        QVERIFY(model.append());
        QVERIFY(model.setFieldValue(u"Name"_s, u"килограмм"_s));
        QVERIFY(model.setData(model.index(0, 1), u"1000"_s, Qt::EditRole));
        QVERIFY(model.post());
        QVERIFY(!model.currentKey().isNull());

        QString error;
        auto other = data.openAgain(u"second"_s, &error);
        QVERIFY2(other, qPrintable(error));
        QSqlQuery query(other->connection());
        QVERIFY(query.exec(u"SELECT Name, Gramm FROM Edinica"_s));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), u"килограмм"_s);
        QCOMPARE(query.value(1).toDouble(), 1000.0);
        query.finish();
        other->close();
    }

    void badInputIsRefusedAndNothingStored_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters in a number") << "Gramm"
                                             << "abc"
                                             << "не является числом";
        QTest::newRow("two separators") << "Gramm"
                                        << "1,2,3"
                                        << "не является числом";
        QTest::newRow("infinity") << "Gramm"
                                  << "inf"
                                  << "не является числом";
        QTest::newRow("minus infinity") << "Gramm"
                                        << "-inf"
                                        << "не является числом";
        QTest::newRow("not a number") << "Gramm"
                                      << "nan"
                                      << "не является числом";
        QTest::newRow("overflow") << "Gramm"
                                  << "1e999"
                                  << "не является числом";
        QTest::newRow("string over limit") << "Shorthame"
                                           << "шесть6"
                                           << "не более 5 символов";
    }
    void badInputIsRefusedAndNothingStored()
    {
        QFETCH(QString, field);
        QFETCH(QString, input);
        QFETCH(QString, message);
        TestDataDir data;
        data.insert(u"Edinica"_s, {{u"Name"_s, u"грамм"_s}, {u"Gramm"_s, 1}});
        TableModel model(data.db(), {u"Edinica"_s, {u"Name"_s}});
        QVERIFY(model.open());
        QVERIFY(!model.setFieldValue(field, input));
        QVERIFY2(model.lastError().contains(message), qPrintable(model.lastError()));
        QCOMPARE(model.state(), TableModel::State::Browse);
        QCOMPARE(data.scalar(u"SELECT Gramm FROM Edinica"_s).toDouble(), 1.0);
    }

    void dateThatDoesNotExistIsRefused()
    {
        TestDataDir data;
        data.insert(u"Menu"_s, {{u"Name"_s, u"Обед"_s}});
        TableModel model(data.db(), {u"Menu"_s, {u"Date"_s}});
        QVERIFY(model.open());
        QVERIFY(!model.setFieldValue(u"Date"_s, u"31.02.2026"_s));
        QVERIFY(model.lastError().contains(u"Такой даты нет"_s));
        QVERIFY(model.setFieldValue(u"Date"_s, u"28.02.2026"_s));
        QVERIFY(model.post());
        QCOMPARE(data.scalar(u"SELECT Date FROM Menu"_s).toString(), u"2026-02-28"_s);
    }

    void untouchedNewRowIsNotStored()
    {
        TestDataDir data;
        TableModel model(data.db(), {u"Gring"_s, {u"Name"_s}});
        QVERIFY(model.open());
        QVERIFY(model.append());
        QCOMPARE(model.rowCount(), 1);
        QVERIFY(model.postIfPending());
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(data.scalar(u"SELECT count(*) FROM Gring"_s).toInt(), 0);
    }

    void masterDetailFilterAndLookup()
    {
        TestDataDir data;
        const qlonglong kg = data.insert(u"Edinica"_s, {{u"Shorthame"_s, u"кг"_s}});
        const qlonglong meat = data.insert(u"Gring"_s, {{u"Name"_s, u"Мясо"_s}});
        const qlonglong veg = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
        data.insert(u"Ing"_s, {{u"Kod"_s, meat}, {u"Name"_s, u"Говядина"_s}, {u"Edinica"_s, kg}});
        data.insert(u"Ing"_s, {{u"Kod"_s, meat}, {u"Name"_s, u"Фарш"_s}, {u"Pf"_s, 1}});
        data.insert(u"Ing"_s, {{u"Kod"_s, veg}, {u"Name"_s, u"Лук"_s}});

        TableModel groups(data.db(), {u"Gring"_s, {u"Name"_s}});
        ViewDef def = ingredients();
        def.order = {u"Kod"_s};
        def.linkField = u"Kod"_s;
        TableModel items(data.db(), def);
        items.setMaster(&groups, u"Kod"_s);
        QVERIFY(groups.open());
        QVERIFY(items.open());
        QCOMPARE(names(items), QStringList({u"Говядина"_s, u"Фарш"_s}));
        QCOMPARE(items.value(0, u"Edinica1"_s).toString(), u"кг"_s);
        items.setFilterEnabled(true);
        QCOMPARE(names(items), QStringList({u"Говядина"_s}));
        items.setFilterEnabled(false);

        QVERIFY(groups.setCurrentRow(1));
        QCOMPARE(names(items), QStringList({u"Лук"_s}));
        QVERIFY(items.append());
        QVERIFY(items.setFieldValue(u"Name"_s, u"Морковь"_s));
        QVERIFY(items.setFieldValue(u"Edinica1"_s, kg));
        QCOMPARE(items.currentValue(u"Edinica1"_s).toString(), u"кг"_s);
        QVERIFY(items.post());
        QCOMPARE(data.scalar(u"SELECT Kod FROM Ing WHERE Name = ?"_s, {u"Морковь"_s}).toLongLong(), veg);

        // Moving the master posts nothing half: an edit in progress is posted before the detail follows.
        QVERIFY(items.setFieldValue(u"Name"_s, u"Морковь молодая"_s));
        QVERIFY(groups.setCurrentRow(0));
        QCOMPARE(data.scalar(u"SELECT count(*) FROM Ing WHERE Name = ?"_s, {u"Морковь молодая"_s}).toInt(),
                 1);
    }

    void lockedDatabaseRefusesPostAndKeepsTheRow()
    {
        SKIP_ON_SERVER("SQLite's lock of the whole file");
        TestDataDir data;
        TableModel model(data.db(), {u"Gring"_s, {u"Name"_s}});
        QVERIFY(model.open());
        QVERIFY(model.append());
        QVERIFY(model.setFieldValue(u"Name"_s, u"Овощи"_s));
        QString error;
        auto other = Database::open(data.dataDir(), &error, u"locker"_s);
        QVERIFY(other);
        QVERIFY(execSql(other->connection(), u"BEGIN EXCLUSIVE"_s));
        QVERIFY(!model.post());
        QVERIFY2(model.lastError().startsWith(u"Запись не сохранена"_s), qPrintable(model.lastError()));
        QCOMPARE(model.state(), TableModel::State::Insert);
        QCOMPARE(model.currentValue(u"Name"_s).toString(), u"Овощи"_s);
        QVERIFY(execSql(other->connection(), u"ROLLBACK"_s));
        other->close();
        QVERIFY(model.post());
        QCOMPARE(data.scalar(u"SELECT Name FROM Gring"_s).toString(), u"Овощи"_s);
    }

    void postOverRowChangedOrDeletedElsewhereIsReported_data()
    {
        QTest::addColumn<QString>("elsewhere");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("changed") << "UPDATE Gring SET Name = 'Рыба'"
                                 << "изменена другой программой" << QStringList{u"Рыба"_s};
        QTest::newRow("deleted") << "DELETE FROM Gring"
                                 << "удалена другой программой" << QStringList();
    }
    void postOverRowChangedOrDeletedElsewhereIsReported()
    {
        QFETCH(QString, elsewhere);
        QFETCH(QString, message);
        QFETCH(QStringList, shown);
        TestDataDir data;
        data.insert(u"Gring"_s, {{u"Name"_s, u"Мясо"_s}});
        TableModel model(data.db(), {u"Gring"_s, {u"Name"_s}});
        QVERIFY(model.open());
        QVERIFY(model.setFieldValue(u"Name"_s, u"Мясо и птица"_s));
        QString error;
        auto other = data.openAgain(u"other"_s, &error);
        QVERIFY(other);
        QVERIFY(execSql(other->connection(), elsewhere));
        other->close();
        QVERIFY(!model.post());
        QVERIFY2(model.lastError().contains(message), qPrintable(model.lastError()));
        QCOMPARE(model.state(), TableModel::State::Browse);
        QCOMPARE(names(model), shown);
        QCOMPARE(data.scalar(u"SELECT count(*) FROM Gring WHERE Name = ?"_s, {u"Мясо и птица"_s}).toInt(), 0);
    }

    void editOfAnotherFieldKeepsTheOtherChange()
    {
        TestDataDir data;
        data.insert(u"Edinica"_s, {{u"Name"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
        TableModel model(data.db(), {u"Edinica"_s, {u"Name"_s}});
        QVERIFY(model.open());
        QVERIFY(model.setFieldValue(u"Gramm"_s, u"1001"_s));
        QVERIFY(execSql(data.db(), u"UPDATE Edinica SET Name = 'килограмм'"_s));
        QVERIFY(model.post());
        QCOMPARE(data.scalar(u"SELECT Name FROM Edinica"_s).toString(), u"килограмм"_s);
        QCOMPARE(data.scalar(u"SELECT Gramm FROM Edinica"_s).toDouble(), 1001.0);
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
        SKIP_ON_SERVER("a data directory's file");
        QFETCH(QByteArray, content);
        TestDataDir data(false);
        const QString path = Database::filePath(data.dataDir());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        QString error;
        QVERIFY(!Database::open(data.dataDir(), &error, u"garbage"_s));
        QVERIFY2(error.contains(u"не является базой данных Кухнемера"_s), qPrintable(error));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
        QVERIFY(!QFile::exists(path + u"-wal"_s));
    }

    void otherSchemaVersionIsRefusedUntouched()
    {
        SKIP_ON_SERVER("a data directory's file and its version pragma");
        TestDataDir data;
        QVERIFY(execSql(data.db(), u"PRAGMA user_version = 7"_s));
        data.close();
        const QString path = Database::filePath(data.dataDir());
        QFile::remove(path + u"-wal"_s);
        const QByteArray before = [&] {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        QString error;
        QVERIFY(!Database::open(data.dataDir(), &error, u"old"_s));
        QVERIFY2(error.contains(u"имеет версию 7"_s), qPrintable(error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void deleteMovesToFollowingRow()
    {
        TestDataDir data;
        for (const char* name : {"а", "б", "в"})
            data.insert(u"Gring"_s, {{u"Name"_s, QString::fromUtf8(name)}});
        TableModel model(data.db(), {u"Gring"_s, {u"Name"_s}});
        QVERIFY(model.open());
        QVERIFY(model.setCurrentRow(1));
        QVERIFY(model.deleteCurrent());
        QCOMPARE(model.currentValue(u"Name"_s).toString(), u"в"_s);
        QVERIFY(model.deleteCurrent());
        QCOMPARE(model.currentValue(u"Name"_s).toString(), u"а"_s);
        QCOMPARE(data.scalar(u"SELECT count(*) FROM Gring"_s).toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_TableModel)
#include "tst_TableModel.moc"
