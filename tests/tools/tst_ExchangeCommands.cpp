#include "CommandRun.h"
#include "ScriptedPrompts.h"

#include "exchange/CardExchange.h"
#include "exchange/DbfTable.h"
#include "exchange/MenuTransfer.h"
#include "store/CodePage.h"
#include "store/Database.h"
#include "store/KitchenLock.h"
#include "tools/ExchangeCommands.h"
#include "tools/KitchenCommands.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// The demo kitchen in a temporary folder, with a folder for the files the commands write.
struct DemoKitchen
{
    QTemporaryDir root;
    QString dir = root.filePath(u"DATA"_s);

    DemoKitchen()
    {
        QString text;
        QTextStream out(&text);
        QTextStream err(&text);
        if (commands::create(dir, true, out, err) != commands::done)
            qFatal("demo kitchen: %s", qPrintable(text));
    }
    QString file(const QString& name) const { return root.filePath(name); }

    CommandOutcome run(const QString& command, const QStringList& arguments)
    {
        return runCommand(QStringList{command, dir} + arguments);
    }

    // Runs a statement on a connection of the test's own, closed again before the next command.
    QVariant scalar(const QString& sql, const QVariantList& values = {})
    {
        QString error;
        std::optional<Database> db = Database::open(dir, &error, u"test"_s);
        if (!db)
            qFatal("open: %s", qPrintable(error));
        QVariant result;
        {
            QSqlQuery query(db->connection());
            QString failure;
            if (!runQuery(query, sql, values, &failure))
                qFatal("%s: %s", qPrintable(sql), qPrintable(failure));
            if (query.next())
                result = query.value(0);
        }
        db->close();
        return result;
    }
    qlonglong key(const QString& table, const QString& keyField, const QString& name)
    {
        return scalar(u"SELECT %1 FROM %2 WHERE Name = ?"_s.arg(keyField, table), {name}).toLongLong();
    }
    // Everything an import or a receipt could add, as one comparable line.
    QString counts()
    {
        return scalar(u"SELECT (SELECT count(*) FROM Bludo) || ' ' || (SELECT count(*) FROM Karta) || ' ' || "
                      "(SELECT count(*) FROM Ing) || ' ' || (SELECT count(*) FROM Realdoc) || ' ' || "
                      "(SELECT count(*) FROM Realsum)"_s)
            .toString();
    }
    // A dish's card as "ingredient quantity yield" lines, in card order.
    QStringList cardOf(qlonglong dish)
    {
        QStringList lines;
        for (int row = 0;; ++row) {
            const QVariant line = scalar(u"SELECT i.Name || ' ' || k.Kolvo || ' ' || k.Vihod FROM Karta k "
                                         "JOIN Ing i ON i.Kod1 = k.Name WHERE k.Kod = ? ORDER BY k.NNN "
                                         "LIMIT 1 OFFSET ?"_s,
                                         {dish, row});
            if (line.isNull())
                return lines;
            lines << line.toString();
        }
    }
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A sales table of the outside point-of-sale program with one row per dish key.
QByteArray torgTable(const QList<qlonglong>& dishes)
{
    const QList<DbfField> fields{{"CODE", 'C', 13, 0},  {"NAME", 'C', 30, 0}, {"PRICE", 'N', 10, 2},
                                 {"KOL", 'N', 10, 3},   {"DATEO", 'D', 8, 0}, {"SECTION", 'N', 3, 0},
                                 {"KASSIR", 'N', 4, 0}, {"KASSA", 'C', 16, 0}};
    QByteArray table = DbfTable::headerImage(fields);
    table.chop(1);
    for (const qlonglong dish : dishes) {
        const QStringList row{u"%1"_s.arg(dish, 13, 10, QChar(u'0')),
                              u"Блюдо"_s,
                              u"10"_s,
                              u"2"_s,
                              u"20261207"_s,
                              u"1"_s,
                              u"7"_s,
                              u"Касса"_s};
        table += ' ';
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const QByteArray text = *codepage::encode(row.value(i), codepage::Page::Dos866);
            table += fields[i].type == 'N' ? text.rightJustified(fields[i].length, ' ')
                                           : text.leftJustified(fields[i].length, ' ');
        }
    }
    table += '\x1A';
    qToLittleEndian<quint32>(quint32(dishes.size()), table.data() + 4);
    return table;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class tst_ExchangeCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Arguments use "@" for the folder beside the kitchen; the expected text is looked for in both streams.
    void outcomes_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("report");
        const QString borscht = u"Борщ со сметаной"_s;
        QTest::newRow("export without a file")
            << u"export-cards"_s << QStringList{u"--dish"_s, borscht} << 2 << u"--out"_s;
        QTest::newRow("export of a dish")
            << u"export-cards"_s << QStringList{u"--dish"_s, borscht, u"--out"_s, u"@/borscht"_s} << 0
            << u"Экспорт закончен успешно!!!"_s;
        QTest::newRow("export of an unknown dish")
            << u"export-cards"_s << QStringList{u"--dish"_s, u"Уха"_s, u"--out"_s, u"@/x"_s} << 1
            << u"Не найдено: \"Уха\""_s;
        QTest::newRow("export of a dish from another group")
            << u"export-cards"_s
            << QStringList{u"--dish"_s, borscht, u"--group"_s, u"Салаты"_s, u"--out"_s, u"@/x"_s} << 1
            << u"Блюдо: Не найдено"_s;
        QTest::newRow("export of a whole group")
            << u"export-cards"_s << QStringList{u"--group"_s, u"Напитки"_s, u"--out"_s, u"@/drinks"_s} << 0
            << u"Выгружено карточек: "_s;
        QTest::newRow("stray option")
            << u"export-cards"_s << QStringList{u"--dish"_s, borscht, u"--out"_s, u"@/x"_s, u"--fast"_s} << 2
            << u"Лишние параметры: --fast"_s;
        QTest::newRow("import without a group")
            << u"import-cards"_s << QStringList{u"@/none.fck"_s, u"--yes"_s} << 1 << u"--group"_s;
        QTest::newRow("import of a missing file")
            << u"import-cards"_s << QStringList{u"@/none.fck"_s, u"--group"_s, u"Салаты"_s} << 1
            << u"Не удалось открыть файл"_s;
        QTest::newRow("malformed pair")
            << u"import-cards"_s
            << QStringList{u"@/none.fck"_s, u"--group"_s, u"Салаты"_s, u"--match"_s, u"=Соль"_s} << 2
            << u"ИХ=НАШ"_s;
        QTest::newRow("menu without a program")
            << u"send-menu"_s << QStringList{u"--menu"_s, u"Обед на 7 декабря"_s, u"--out"_s, u"@/m"_s} << 2
            << u"--target buffeton"_s;
        QTest::newRow("menu to an unknown program")
            << u"send-menu"_s
            << QStringList{u"--menu"_s, u"Обед на 7 декабря"_s, u"--target"_s, u"kassa"_s, u"--out"_s,
                           u"@/m"_s}
            << 2 << u"--target torg"_s;
        QTest::newRow("menu not released")
            << u"send-menu"_s
            << QStringList{u"--menu"_s, u"Обед на 10 декабря"_s, u"--target"_s, u"buffeton"_s, u"--out"_s,
                           u"@/m"_s}
            << 1 << u"Нельзя передавать неразрешённое"_s;
        QTest::newRow("menu sent") << u"send-menu"_s << QStringList{u"--menu"_s,   u"Обед на 7 декабря"_s,
                                                                    u"--target"_s, u"buffeton"_s,
                                                                    u"--out"_s,    u"@/m"_s}
                                   << 0 << u"m.mnu"_s;
        QTest::newRow("sales without a program")
            << u"receive-sales"_s << QStringList{u"@/sales.dbf"_s} << 2 << u"--target"_s;
        QTest::newRow("sales from a damaged file")
            << u"receive-sales"_s << QStringList{u"@/damaged.rea"_s, u"--target"_s, u"buffeton"_s} << 1
            << u"повреж"_s;
    }
    void outcomes()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, report);
        DemoKitchen kitchen;
        writeFile(kitchen.file(u"damaged.rea"_s), "not a sales summary");
        for (QString& argument : arguments)
            argument.replace(u'@', kitchen.root.path());
        const CommandOutcome outcome = kitchen.run(command, arguments);
        QVERIFY2((outcome.out + outcome.err).contains(report), qPrintable(outcome.out + outcome.err));
        QCOMPARE(outcome.code, code);
    }

    void exportedCardImportsAsTheSameCard()
    {
        DemoKitchen kitchen;
        const QString folder = kitchen.file(u"soups"_s);
        const CommandOutcome exported =
            kitchen.run(u"export-cards"_s, {u"--group"_s, u"Первые блюда"_s, u"--out"_s, folder});
        QCOMPARE(exported.code, commands::done);
        const QString card = QDir(folder).filePath(u"Борщ со сметаной.fck"_s);
        QVERIFY(QFile::exists(card));

        const CommandOutcome imported =
            kitchen.run(u"import-cards"_s, {card, u"--group"_s, u"Салаты"_s, u"--yes"_s, u"--by-name"_s});
        QVERIFY2(imported.code == commands::done, qPrintable(imported.err));
        QVERIFY(
            imported.out.contains(u"асоциирован с    \"Бульон куриный (ПФ)\""_s)); // the semi-finished one
        const qlonglong original = kitchen.key(u"Bludo"_s, u"Kod1"_s, u"Борщ со сметаной"_s);
        const qlonglong copy = kitchen.scalar(u"SELECT max(Kod1) FROM Bludo"_s).toLongLong();
        QVERIFY(copy != original);
        QCOMPARE(kitchen.scalar(u"SELECT Kod FROM Bludo WHERE Kod1 = ?"_s, {copy}).toLongLong(),
                 kitchen.key(u"Grbludo"_s, u"Kod"_s, u"Салаты"_s));
        QCOMPARE(kitchen.cardOf(copy), kitchen.cardOf(original));
    }

    void importWithoutAnAnswerStoresNothing_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("no confirmation") << QStringList{u"--by-name"_s} << u"--yes"_s;
        QTest::newRow("no association")
            << QStringList{u"--yes"_s} << u"--match \"Бульон куриный (ПФ) --> Полуфабрикат=НАШ\""_s;
        QTest::newRow("no same-named ingredient")
            << QStringList{u"--yes"_s, u"--by-name"_s} << u"--match \"Свёкла=НАШ\""_s;
        QTest::newRow("association to an unknown ingredient")
            << QStringList{u"--yes"_s, u"--by-name"_s, u"--match"_s, u"Свёкла=Репа"_s}
            << u"Не найдено: \"Репа\""_s;
        QTest::newRow("pair for an ingredient not on the card")
            << QStringList{u"--yes"_s, u"--by-name"_s, u"--match"_s, u"Свекла=Свёкла"_s}
            << u"В карточке нет ингредиента \"Свекла\""_s;
    }
    void importWithoutAnAnswerStoresNothing()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, message);
        DemoKitchen kitchen;
        const QString card = kitchen.file(u"borscht.fck"_s);
        QCOMPARE(kitchen.run(u"export-cards"_s, {u"--dish"_s, u"Борщ со сметаной"_s, u"--out"_s, card}).code,
                 0);
        // The beet is renamed: by name it finds nothing of ours.
        kitchen.scalar(u"UPDATE Ing SET Name = 'Свёкла столовая' WHERE Name = 'Свёкла'"_s);
        const QString before = kitchen.counts();
        const CommandOutcome outcome =
            kitchen.run(u"import-cards"_s, QStringList{card, u"--group"_s, u"Салаты"_s} + options);
        QCOMPARE(outcome.code, commands::failed);
        QVERIFY2(outcome.err.contains(message), qPrintable(outcome.err));
        QCOMPARE(kitchen.counts(), before);
    }

    void explicitPairsAnswerWhatNamesDoNot()
    {
        DemoKitchen kitchen;
        const QString card = kitchen.file(u"borscht.fck"_s);
        QCOMPARE(kitchen.run(u"export-cards"_s, {u"--dish"_s, u"Борщ со сметаной"_s, u"--out"_s, card}).code,
                 0);
        kitchen.scalar(u"UPDATE Ing SET Name = 'Свёкла столовая' WHERE Name = 'Свёкла'"_s);
        const CommandOutcome outcome =
            kitchen.run(u"import-cards"_s, {card, u"--group"_s, u"Салаты"_s, u"--yes"_s, u"--by-name"_s,
                                            u"--match"_s, u"Свёкла=свёкла столовая"_s});
        QVERIFY2(outcome.code == commands::done, qPrintable(outcome.err));
        QVERIFY(outcome.out.contains(u"\"Свёкла\"    асоциирован с    \"Свёкла столовая\""_s));
    }

    void writersRefusedWhileTheKitchenIsOpen()
    {
        DemoKitchen kitchen;
        const QString card = kitchen.file(u"borscht.fck"_s);
        writeFile(kitchen.file(u"sales.dbf"_s),
                  torgTable({kitchen.key(u"Bludo"_s, u"Kod1"_s, u"Борщ со сметаной"_s)}));
        const QString before = kitchen.counts();
        KitchenLock lock(kitchen.dir);
        QString error;
        QVERIFY2(lock.acquire(&error), qPrintable(error));
        // Reading commands still run.
        QCOMPARE(kitchen.run(u"export-cards"_s, {u"--dish"_s, u"Борщ со сметаной"_s, u"--out"_s, card}).code,
                 0);
        const CommandOutcome imported =
            kitchen.run(u"import-cards"_s, {card, u"--group"_s, u"Салаты"_s, u"--yes"_s, u"--by-name"_s});
        const CommandOutcome received =
            kitchen.run(u"receive-sales"_s, {kitchen.file(u"sales.dbf"_s), u"--target"_s, u"torg"_s});
        for (const CommandOutcome& outcome : {imported, received}) {
            QCOMPARE(outcome.code, commands::failed);
            QVERIFY2(!outcome.err.isEmpty(), "the lock's message");
        }
        QCOMPARE(kitchen.counts(), before);
    }

    void salesTableBecomesADocument()
    {
        DemoKitchen kitchen;
        const qlonglong borscht = kitchen.key(u"Bludo"_s, u"Kod1"_s, u"Борщ со сметаной"_s);
        const QString table = kitchen.file(u"sales.dbf"_s);
        writeFile(table, torgTable({borscht, borscht}));
        const int documents = kitchen.scalar(u"SELECT count(*) FROM Realdoc"_s).toInt();
        const CommandOutcome outcome = kitchen.run(u"receive-sales"_s, {table, u"--target"_s, u"torg"_s});
        QVERIFY2(outcome.code == commands::done, qPrintable(outcome.err));
        QVERIFY2(outcome.out.contains(u"от 07.12.2026"_s) && outcome.out.contains(u"строк: 1."_s),
                 qPrintable(outcome.out));
        QCOMPARE(kitchen.scalar(u"SELECT count(*) FROM Realdoc"_s).toInt(), documents + 1);
        QCOMPARE(kitchen.scalar(u"SELECT Kolvo FROM Realsum WHERE Kod = (SELECT max(Kod) FROM Realdoc)"_s)
                     .toDouble(),
                 4.0);

        // An unknown dish stores nothing.
        writeFile(table, torgTable({borscht, 999999}));
        const QString before = kitchen.counts();
        QCOMPARE(kitchen.run(u"receive-sales"_s, {table, u"--target"_s, u"torg"_s}).code, commands::failed);
        QCOMPARE(kitchen.counts(), before);
    }

    // The commands write what the windows' operations write for the same choices.
    void filesAsTheWindowsWriteThem()
    {
        DemoKitchen kitchen;
        const QDateTime now(QDate(2026, 12, 6), QTime(18, 30, 15, 250));
        QDir(kitchen.root.path()).mkpath(u"window"_s);
        QDir(kitchen.root.path()).mkpath(u"command"_s);
        {
            QString error;
            std::optional<Database> db = Database::open(kitchen.dir, &error, u"window"_s);
            QVERIFY2(db, qPrintable(error));
            {
                ScriptedPrompts prompts;
                const QSqlDatabase sql = db->connection();
                const QChar separator = QLocale().decimalPoint().at(0);
                QVERIFY(CardExchange(sql, prompts)
                            .exportDish(kitchen.key(u"Bludo"_s, u"Kod1"_s, u"Борщ со сметаной"_s),
                                        kitchen.file(u"window/borscht"_s), separator));
                MenuTransfer transfer(sql, prompts);
                const qlonglong menu = kitchen.key(u"Menu"_s, u"Kod"_s, u"Обед на 7 декабря"_s);
                QVERIFY(transfer.writeMenuFile(menu, kitchen.file(u"window/menu.mnu"_s), now, separator));
                QVERIFY(transfer.writeTorgTables(menu, kitchen.file(u"window/Products.dbf"_s), now.date()));
            }
            db->close();
        }
        QCOMPARE(kitchen
                     .run(u"export-cards"_s, {u"--dish"_s, u"Борщ со сметаной"_s, u"--out"_s,
                                              kitchen.file(u"command/borscht"_s)})
                     .code,
                 0);
        QString report;
        QTextStream out(&report);
        QTextStream err(&report);
        for (const auto& [target, file] :
             {std::pair{u"buffeton"_s, u"command/menu"_s}, {u"torg"_s, u"command"_s}}) {
            QCOMPARE(commands::sendMenu(kitchen.dir,
                                        {u"--menu"_s, u"Обед на 7 декабря"_s, u"--target"_s, target,
                                         u"--out"_s, kitchen.file(file)},
                                        out, err, now),
                     commands::done);
        }
        for (const QString& name :
             {u"borscht.fck"_s, u"menu.mnu"_s, u"Products.dbf"_s, u"Names.dbf"_s, u"Zimp.zfl"_s}) {
            const QByteArray written = contents(kitchen.file(u"command/"_s + name));
            QVERIFY2(!written.isEmpty(), qPrintable(name));
            QCOMPARE(written, contents(kitchen.file(u"window/"_s + name)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_ExchangeCommands)
#include "tst_ExchangeCommands.moc"
