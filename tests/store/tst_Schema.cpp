#include "TestDataDir.h"

#include "store/Engine.h"
#include "store/Schema.h"
#include "store/SchemaUpgrade.h"

#include <QHash>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

// The catalogue of tables as other programs and our own checks read it: names, fields with their
// types and limits, named indexes and defaults.
class tst_Schema : public QObject
{
    Q_OBJECT
private:
    // "name:TYPE" of each field in order: as SQLite declares it on a file, as the server names its type
    // on a server (the names folded to lower case there, as the schema writes them unquoted).
    static QStringList fieldsOf(QSqlDatabase db, const QString& table)
    {
        QStringList fields;
        QSqlQuery query(db);
        if (Engine::of(db) == Engine::Sqlite) {
            query.exec(u"PRAGMA table_info(\"%1\")"_s.arg(table));
        } else {
            query.prepare(
                u"SELECT attname, format_type(atttypid, atttypmod) FROM pg_attribute "
                "WHERE attrelid = to_regclass(?) AND attnum > 0 AND NOT attisdropped ORDER BY attnum"_s);
            query.addBindValue(table);
            query.exec();
        }
        const int name = Engine::of(db) == Engine::Sqlite ? 1 : 0;
        while (query.next())
            fields << query.value(name).toString() + u':' + query.value(name + 1).toString();
        return fields;
    }

    // The field as the server must hold it: 8-byte floats, 64-bit keys, 0/1 flags as numbers, real dates.
    static QString onServer(const QString& field)
    {
        static const QHash<QString, QString> types{{u"INTEGER"_s, u"bigint"_s},
                                                   {u"REAL"_s, u"double precision"_s},
                                                   {u"BOOLEAN"_s, u"smallint"_s},
                                                   {u"DATE"_s, u"date"_s},
                                                   {u"TEXT"_s, u"text"_s}};
        const qsizetype colon = field.indexOf(u':');
        QString type = field.mid(colon + 1);
        type = type.startsWith(u"VARCHAR"_s) ? u"character varying"_s + type.mid(7) : types.value(type);
        return field.left(colon).toLower() + u':' + type;
    }

private Q_SLOTS:
    void tablesAndFields_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("fields");
        auto row = [](const char* table, std::initializer_list<const char*> fields) {
            QStringList list;
            for (const char* f : fields)
                list << QString::fromLatin1(f);
            QTest::newRow(table) << QString::fromLatin1(table) << list;
        };
        row("Edinica", {"Kod:INTEGER", "Name:VARCHAR(20)", "Shorthame:VARCHAR(5)", "Gramm:REAL"});
        row("Gring", {"Kod:INTEGER", "Name:VARCHAR(50)"});
        row("Ing", {"Kod:REAL", "Name:VARCHAR(50)", "Kod1:INTEGER", "Edinica:REAL", "Pf:BOOLEAN", "Cena:REAL",
                    "Proc:REAL", "Kolvo:REAL", "Okr:REAL", "Position:REAL", "Vih:REAL", "Protein:REAL",
                    "Fat:REAL", "Carbs:REAL", "Energy:REAL"});
        row("pf", {"NNN:INTEGER", "Kod:REAL", "Name:REAL", "Kolvo:REAL"});
        row("Grbludo", {"Kod:INTEGER", "Name:VARCHAR(50)", "N:REAL"});
        row("Bludo", {"Kod:REAL", "Name:VARCHAR(50)", "Kod1:INTEGER", "Nporc:REAL", "Cena:REAL", "Proc:REAL",
                      "Vixod:VARCHAR(15)", "Status:BOOLEAN", "Recept:TEXT", "Print:VARCHAR(1)",
                      "X:VARCHAR(20)", "Serving:TEXT", "Storage:TEXT"});
        row("Karta", {"Kod:REAL", "NNN:INTEGER", "KodIng:REAL", "Name:REAL", "Kolvo:REAL", "Vihod:REAL"});
        row("Menu", {"Kod:INTEGER", "Name:VARCHAR(50)", "Status:BOOLEAN", "Date:DATE"});
        row("MenuSp", {"Kod:REAL", "Name:REAL", "Nnn:INTEGER", "GrName:REAL", "Status:BOOLEAN", "N:REAL",
                       "Opis:VARCHAR(60)", "Nn:REAL", "CenaProd:REAL"});
        row("Realdoc",
            {"Kod:INTEGER", "DateR:DATE", "NameR:VARCHAR(50)", "Nnn:REAL", "DateMenu:DATE", "Status:REAL"});
        row("Realsum", {"Kod:REAL", "Nnn:INTEGER", "KodGrBludo:REAL", "KodBludo:REAL", "Kolvo:REAL",
                        "Cumma:REAL", "Status:REAL"});
        row("RealItog", {"Kod:REAL", "KodIng:REAL", "NNN:INTEGER", "CenaIng:REAL", "Kolvo:REAL",
                         "Edinica:REAL", "Cenaing1:REAL", "KodGrIng:REAL", "Okr:REAL", "Position:REAL"});
        row("Podpis", {"Kod:INTEGER", "Poradok:REAL", "Fam:VARCHAR(20)", "Nam:VARCHAR(20)", "Ot:VARCHAR(20)",
                       "Dol:VARCHAR(100)"});
        row("Partner", {"Kod:REAL", "Nnn:INTEGER", "Name:VARCHAR(50)", "Inn:VARCHAR(10)", "Okpo:VARCHAR(20)",
                        "Okonh:VARCHAR(30)", "Adress:VARCHAR(70)", "Bank:VARCHAR(70)", "Bik:VARCHAR(10)",
                        "Rs:VARCHAR(20)", "Ks:VARCHAR(20)"});
        row("Doc", {"Nnn:INTEGER", "Date:DATE", "Nomer:VARCHAR(50)", "Partner:REAL", "Provodka:BOOLEAN"});
        row("Move", {"Kod:REAL", "Nnn:INTEGER", "Date:DATE", "Nomer:VARCHAR(50)", "Partner:REAL",
                     "Oper:VARCHAR(8)", "Cena:REAL", "Kolvo:REAL", "Kod1:REAL", "Provodka:BOOLEAN"});
        row("invdok", {"Kod:INTEGER", "Date:DATE", "Name:VARCHAR(50)", "Provodka:REAL"});
        row("Org",
            {"Kod:INTEGER", "Name:VARCHAR(100)", "Form:VARCHAR(50)", "Inn:VARCHAR(12)", "Kpp:VARCHAR(9)",
             "Okpo:VARCHAR(10)", "Address:VARCHAR(150)", "Unit:VARCHAR(100)", "Head:VARCHAR(60)",
             "HeadPosition:VARCHAR(100)", "Chef:VARCHAR(60)", "Calculator:VARCHAR(60)",
             "Commission1:VARCHAR(100)", "Commission2:VARCHAR(100)", "Commission3:VARCHAR(100)"});
        row("Pricehist", {"Kod:INTEGER", "Ing:REAL", "Data:DATE", "Oldcena:REAL", "Cena:REAL", "Doc:REAL",
                          "Source:VARCHAR(40)"});
    }
    void tablesAndFields()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, fields);
        TestDataDir data;
        if (data.onServer()) {
            for (QString& field : fields)
                field = onServer(field);
        }
        QCOMPARE(fieldsOf(data.db(), table), fields);
    }

    void everyMaintainedTableAndIndexExists()
    {
        SKIP_ON_SERVER("SQLite's catalogue and version pragma");
        TestDataDir data;
        const QStringList tables = schema::tableNames(data.db());
        for (const char* t : {"Sklad", "Svodi", "Svodb", "inv", "Podpis"})
            QVERIFY2(tables.contains(QString::fromLatin1(t)), t);
        QSqlQuery query(data.db());
        query.exec(u"SELECT name FROM sqlite_master WHERE type = 'index' AND name NOT LIKE 'sqlite_%'"_s);
        QStringList indexes;
        while (query.next())
            indexes << query.value(0).toString();
        for (const char* i : {"Ing_Kod", "Ing_Kod1", "Ing_Name", "MenuSp_KGN", "Menu_Date", "Podpis_Poradok",
                              "Partner_Name", "Move_Kod1", "RealItog_KodGrIngKodIng", "inv_KodIng22"})
            QVERIFY2(indexes.contains(QString::fromLatin1(i)), i);
        QCOMPARE(data.scalar(u"PRAGMA user_version"_s).toInt(), Database::schemaVersion);
        QCOMPARE(data.scalar(u"SELECT Number FROM Version"_s).toInt(), Database::schemaVersion);
        // A new kitchen is what the upgrade steps make of an old one: both at the same version.
        QCOMPARE(schema::upgradeSteps().last().version, Database::schemaVersion);
    }

    void defaultsAndLimits()
    {
        TestDataDir data;
        const qlonglong doc = data.insert(u"Realdoc"_s, {{u"NameR"_s, u"Обед"_s}});
        QCOMPARE(data.scalar(u"SELECT Status FROM Realdoc WHERE Kod = ?"_s, {doc}).toDouble(), 5.0);
        const qlonglong entry = data.insert(u"MenuSp"_s, {{u"Kod"_s, 1}});
        QCOMPARE(data.scalar(u"SELECT Status FROM MenuSp WHERE Nnn = ?"_s, {entry}).toInt(), 1);
        // The limits hold for any program that writes the file, not only ours.
        QSqlQuery query(data.db());
        query.prepare(u"INSERT INTO Edinica (Shorthame) VALUES (?)"_s);
        query.addBindValue(u"шесть6"_s);
        QVERIFY(!query.exec());
        query.addBindValue(u"пять5"_s);
        QVERIFY(query.exec());
        // The organisation's details are one row.
        QVERIFY(query.exec(u"INSERT INTO Org (Kod, Name) VALUES (1, 'Столовая')"_s));
        QVERIFY(!query.exec(u"INSERT INTO Org (Kod, Name) VALUES (2, 'Вторая')"_s));
    }

    void programRefusesUnknownVersionAndMissingData()
    {
        SKIP_ON_SERVER("a data directory's file and its version pragma");
        TestDataDir data(false);
        QString error;
        QVERIFY(!Database::open(data.root() + u"/nowhere"_s, &error));
        QVERIFY(error.contains(u"Не найден каталог данных"_s));
        {
            auto db = Database::open(data.dataDir(), &error, u"bump"_s);
            QVERIFY(db);
            QVERIFY(execSql(db->connection(), u"PRAGMA user_version = 99"_s));
            db->close();
        }
        QVERIFY(!Database::open(data.dataDir(), &error));
        QVERIFY2(error.contains(u"имеет версию 99"_s), qPrintable(error));
        QVERIFY(!schema::createDataDirectory(data.dataDir(), &error));
    }
};

QTEST_GUILESS_MAIN(tst_Schema)
#include "tst_Schema.moc"
