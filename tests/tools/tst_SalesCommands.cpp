#include "../sales/SalesKitchen.h"
#include "CommandRun.h"

#include "GuiScript.h"
#include "RecordingLauncher.h"
#include "reports/ReportOutput.h"
#include "reports/Workbook.h"
#include "sales/ConsumptionCalculator.h"
#include "sales/SalesDocumentPrint.h"
#include "sales/SalesPosting.h"
#include "ScriptedPrompts.h"
#include "store/KitchenLock.h"
#include "tools/KitchenCommands.h"
#include "warehouse/TurnoverStatement.h"

#include <QDir>
#include <QLocale>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// Two days of sales: three open documents (one with a line of no portions) and one posted, a partner,
// stock for the issues and an inventory.
struct SalesDays : SalesKitchen
{
    qlonglong potato = ingredient(vegetables, u"Картофель"_s, kg, 40, 0, 80);
    qlonglong beef = ingredient(meat, u"Говядина"_s, kg, 500, 0, 70);
    qlonglong soup = dish(soups, u"Суп картофельный"_s, 10);
    qlonglong stew = dish(mains, u"Жаркое"_s, 4);
    qlonglong pie = dish(mains, u"Пирог"_s, 6);
    qlonglong partner = data.insert(u"Partner"_s, {{u"Name"_s, u"Кухня"_s}});
    qlonglong lunch = document(u"2024-03-05"_s, u"Обед"_s);
    qlonglong dinner = document(u"2024-03-05"_s, u"Ужин"_s);
    qlonglong breakfast = document(u"2024-03-05"_s, u"Завтрак"_s, 4);
    qlonglong nextDay = document(u"2024-03-06"_s, u"Обед"_s);
    qlonglong inventory = data.insert(u"invdok"_s, {{u"Date"_s, u"2024-03-07"_s}, {u"Name"_s, u"Склад"_s}});

    SalesDays()
    {
        card(soup, potato, 150);
        card(stew, beef, 200);
        card(stew, potato, 100);
        card(pie, potato, 50);
        line(lunch, soups, soup, 20, 50);
        line(lunch, mains, stew, 8, 120);
        line(lunch, soups, soup, 0, 50);
        line(dinner, mains, stew, 4, 120);
        line(nextDay, mains, pie, 6, 30);
        data.scalar(u"UPDATE Ing SET Kolvo = 100"_s);
        data.insert(u"inv"_s, {{u"Kod"_s, inventory},
                               {u"Ing22"_s, u"Картофель"_s},
                               {u"Ing"_s, potato},
                               {u"Oldkolvo"_s, 10},
                               {u"NewKolvo"_s, 8},
                               {u"Newprice"_s, 40}});
    }

    // Replaces the placeholders of a test's arguments with this kitchen's keys and files.
    QStringList arguments(QStringList arguments, const QString& file) const
    {
        const QList<std::pair<QString, qlonglong>> keys = {{u"LUNCH"_s, lunch},
                                                           {u"DINNER"_s, dinner},
                                                           {u"BREAKFAST"_s, breakfast},
                                                           {u"INVENTORY"_s, inventory},
                                                           {u"PARTNER"_s, partner}};
        for (const auto& [name, key] : keys)
            arguments.replaceInStrings(QRegularExpression(u"^%1$"_s.arg(name)), QString::number(key));
        arguments.replaceInStrings(QRegularExpression(u"^OUT$"_s), file);
        arguments.insert(1, data.dataDir());
        return arguments + data.serverOptions();
    }

    QString statuses()
    {
        QStringList all;
        for (qlonglong document : {lunch, dinner, breakfast, nextDay})
            all.append(data.scalar(u"SELECT Status FROM Realdoc WHERE Kod = ?"_s, {document}).toString());
        return all.join(u' ');
    }
};

} // namespace

class tst_SalesCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void helpListsTheseCommands()
    {
        const CommandOutcome outcome = runCommand({u"--help"_s});
        QCOMPARE(outcome.code, commands::done);
        for (const char* command : {"post-sales", "sales", "cross", "summary", "inventory", "turnover"})
            QVERIFY2(outcome.out.contains(u" %1 "_s.arg(QLatin1String(command))), command);
    }

    void postSales_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("statuses");
        QTest::addColumn<int>("stockDocuments");
        const QStringList post = {u"post-sales"_s};
        QTest::newRow("a day, the posted one skipped")
            << post + QStringList{u"--date"_s, u"2024-03-05"_s, u"--partner"_s, u"кухня"_s} << QString()
            << commands::done << "Проведено документов: 2, уже проведённых: 1."
            << "4 4 4 5" << 2;
        QTest::newRow("a period, the partner by key")
            << post + QStringList{u"--from"_s,     u"2024-03-01"_s, u"--to"_s,
                                  u"2024-03-31"_s, u"--partner"_s,  u"PARTNER"_s}
            << QString() << commands::done << "Проведено документов: 3, уже проведённых: 1."
            << "4 4 4 4" << 3;
        QTest::newRow("a day without documents")
            << post + QStringList{u"--date"_s, u"2024-01-01"_s, u"--partner"_s, u"Кухня"_s} << QString()
            << commands::done << "Проведено документов: 0"
            << "5 5 4 5" << 0;
        // The third document's calculation refuses: the two before it stay posted.
        QTest::newRow("a refusal stops the run")
            << post + QStringList{u"--from"_s,     u"2024-03-05"_s, u"--to"_s,
                                  u"2024-03-06"_s, u"--partner"_s,  u"Кухня"_s}
            << u"UPDATE Bludo SET Nporc = 0 WHERE Name = 'Пирог'"_s << commands::failed
            << "Ошибка расчёта реализации"
            << "4 4 4 5" << 2;
        QTest::newRow("no partner though there are partners")
            << post + QStringList{u"--date"_s, u"2024-03-05"_s} << QString() << commands::usageError
            << "--partner"
            << "5 5 4 5" << 0;
        QTest::newRow("no partners at all: the chooser's empty OK")
            << post + QStringList{u"--date"_s, u"2024-03-06"_s} << u"DELETE FROM Partner"_s << commands::done
            << "Проведено документов: 1"
            << "5 5 4 4" << 1;
        QTest::newRow("unknown partner")
            << post + QStringList{u"--date"_s, u"2024-03-05"_s, u"--partner"_s, u"Склад"_s} << QString()
            << commands::failed << "Склад"
            << "5 5 4 5" << 0;
        QTest::newRow("no date") << post + QStringList{u"--partner"_s, u"Кухня"_s} << QString()
                                 << commands::usageError << "--date"
                                 << "5 5 4 5" << 0;
        QTest::newRow("a day and a period")
            << post + QStringList{u"--date"_s, u"2024-03-05"_s, u"--from"_s,    u"2024-03-05"_s,
                                  u"--to"_s,   u"2024-03-06"_s, u"--partner"_s, u"Кухня"_s}
            << QString() << commands::usageError << "--from"
            << "5 5 4 5" << 0;
        QTest::newRow("a date not written as a date")
            << post + QStringList{u"--date"_s, u"05.03.2024"_s, u"--partner"_s, u"Кухня"_s} << QString()
            << commands::usageError << "05.03.2024"
            << "5 5 4 5" << 0;
        QTest::newRow("stray option")
            << post + QStringList{u"--date"_s, u"2024-03-05"_s, u"--partner"_s, u"Кухня"_s, u"--yes"_s}
            << QString() << commands::usageError << "--yes"
            << "5 5 4 5" << 0;
    }
    void postSales()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, setup);
        QFETCH(int, code);
        QFETCH(QString, report);
        QFETCH(QString, statuses);
        QFETCH(int, stockDocuments);
        SalesDays k;
        if (!setup.isEmpty())
            k.data.scalar(setup);
        const CommandOutcome outcome = runCommand(k.arguments(arguments, QString()));
        QCOMPARE(outcome.code, code);
        QVERIFY2((outcome.out + outcome.err).contains(report), qPrintable(outcome.out + outcome.err));
        QCOMPARE(k.statuses(), statuses);
        QCOMPARE(k.data.scalar(u"SELECT count(*) FROM Doc"_s).toInt(), stockDocuments);
        // The line of no portions goes with the posting, as on the page.
        const bool lunchPosted = statuses.startsWith(u'4');
        QCOMPARE(k.data.scalar(u"SELECT count(*) FROM Realsum WHERE Kod = ?"_s, {k.lunch}).toInt(),
                 lunchPosted ? 2 : 3);
    }

    void print_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("report");
        const QString out = u"--out"_s;
        const QString ok = u"OUT"_s;
        QTest::newRow("tables by key")
            << QStringList{u"print"_s, u"sales"_s, u"--document"_s, u"LUNCH"_s, out, ok} << QString()
            << commands::done << "Реализация 05.03.2024";
        QTest::newRow("tables by the day's only document")
            << QStringList{u"print"_s, u"sales"_s, u"--date"_s, u"2024-03-06"_s, out, ok} << QString()
            << commands::done << "Реализация 06.03.2024";
        QTest::newRow("tables of a posted document, without working cards")
            << QStringList{u"print"_s, u"sales"_s, u"--document"_s, u"BREAKFAST"_s, out, ok} << QString()
            << commands::done << "Печать технологических карт не производится";
        QTest::newRow("cross table") << QStringList{u"print"_s,  u"cross"_s, u"--document"_s,
                                                    u"DINNER"_s, out,        ok}
                                     << QString() << commands::done << "Раскладка ингредиентов 05.03.2024";
        QTest::newRow("a day of several documents")
            << QStringList{u"print"_s, u"sales"_s, u"--date"_s, u"2024-03-05"_s, out, ok} << QString()
            << commands::usageError << "--document";
        QTest::newRow("no document chosen") << QStringList{u"print"_s, u"cross"_s, out, ok} << QString()
                                            << commands::usageError << "--document";
        QTest::newRow("unknown document")
            << QStringList{u"print"_s, u"sales"_s, u"--document"_s, u"999"_s, out, ok} << QString()
            << commands::failed << "999";
        QTest::newRow("an open document the calculation refuses")
            << QStringList{u"print"_s, u"sales"_s, u"--document"_s, u"LUNCH"_s, out, ok}
            << u"UPDATE Bludo SET Nporc = 0 WHERE Name = 'Жаркое'"_s << commands::failed
            << "Ошибка расчёта реализации";
        QTest::newRow("summary") << QStringList{u"print"_s, u"summary"_s,    u"--from"_s, u"2024-03-01"_s,
                                                u"--to"_s,  u"2024-03-31"_s, out,         ok}
                                 << QString() << commands::done
                                 << "Свод 01.03.2024-31.03.2024, документов: 4";
        QTest::newRow("summary without its end")
            << QStringList{u"print"_s, u"summary"_s, u"--from"_s, u"2024-03-01"_s, out, ok} << QString()
            << commands::usageError << "--to";
        QTest::newRow("inventory act")
            << QStringList{u"print"_s, u"inventory"_s, u"--inventory"_s, u"INVENTORY"_s, out, ok} << QString()
            << commands::done << "Акт инвентаризации от 07.03.2024";
        QTest::newRow("inventory not chosen") << QStringList{u"print"_s, u"inventory"_s, out, ok} << QString()
                                              << commands::usageError << "--inventory";
        QTest::newRow("unknown inventory")
            << QStringList{u"print"_s, u"inventory"_s, u"--inventory"_s, u"999"_s, out, ok} << QString()
            << commands::failed << "999";
        QTest::newRow("turnover of an ingredient")
            << QStringList{u"print"_s,  u"turnover"_s,   u"--ingredient"_s, u"картофель"_s,  u"--short"_s,
                           u"--from"_s, u"2024-03-01"_s, u"--to"_s,         u"2024-03-31"_s, out,
                           ok}
            << QString() << commands::done << "Оборотная ведомость 01.03.2024-31.03.2024";
        QTest::newRow("turnover of a group")
            << QStringList{u"print"_s,  u"turnover"_s,   u"--group"_s, u"Мясо"_s,       u"--full"_s,
                           u"--from"_s, u"2024-03-01"_s, u"--to"_s,    u"2024-03-31"_s, out,
                           ok}
            << QString() << commands::done << "Оборотная ведомость";
        QTest::newRow("turnover without its variant")
            << QStringList{u"print"_s, u"turnover"_s,   u"--all"_s, u"--from"_s, u"2024-03-01"_s,
                           u"--to"_s,  u"2024-03-31"_s, out,        ok}
            << QString() << commands::usageError << "--short";
        QTest::newRow("turnover of two scopes")
            << QStringList{u"print"_s,  u"turnover"_s,   u"--all"_s, u"--group"_s,    u"Мясо"_s, u"--short"_s,
                           u"--from"_s, u"2024-03-01"_s, u"--to"_s,  u"2024-03-31"_s, out,       ok}
            << QString() << commands::usageError << "--ingredient";
        QTest::newRow("turnover of an unknown ingredient")
            << QStringList{u"print"_s,  u"turnover"_s,   u"--ingredient"_s, u"Пирожок"_s,    u"--short"_s,
                           u"--from"_s, u"2024-03-01"_s, u"--to"_s,         u"2024-03-31"_s, out,
                           ok}
            << QString() << commands::failed << "Пирожок";
    }
    void print()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, setup);
        QFETCH(int, code);
        QFETCH(QString, report);
        SalesDays k;
        if (!setup.isEmpty())
            k.data.scalar(setup);
        const QString file = k.data.root() + u"/out/print.xlsx"_s;
        const CommandOutcome outcome = runCommand(k.arguments(arguments, file));
        QCOMPARE(outcome.code, code);
        QVERIFY2((outcome.out + outcome.err).contains(report), qPrintable(outcome.out + outcome.err));
        QCOMPARE(QFileInfo::exists(file), code == commands::done);
        if (code == commands::done)
            QVERIFY(!xlsxPart(file, u"xl/worksheets/sheet1.xml"_s).isEmpty());
    }

    // The command's print-outs are the window's: the same classes after the same calculation.
    void printsAreTheWindows()
    {
        SalesDays k;
        ScriptedPrompts prompts;
        RecordingLauncher launcher;
        ReportOutput output(launcher, prompts, k.data.root() + u"/reports"_s);
        const QStringList parts = {u"xl/worksheets/sheet1.xml"_s, u"xl/worksheets/sheet2.xml"_s,
                                   u"xl/worksheets/sheet3.xml"_s, u"xl/sharedStrings.xml"_s,
                                   u"xl/styles.xml"_s};

        const QString tables = k.data.root() + u"/tables.xlsx"_s;
        QCOMPARE(runCommand(
                     k.arguments({u"print"_s, u"sales"_s, u"--document"_s, u"LUNCH"_s, u"--out"_s, u"OUT"_s},
                                 tables))
                     .code,
                 commands::done);
        // The page's path: the calculation of the lines sold, then the print.
        QVERIFY(ConsumptionCalculator(k.data.db()).run(k.lunch, SalesLines::Sold).ok);
        const SalesPrintResult window = SalesDocumentPrint(k.data.db()).run(k.lunch);
        QVERIFY(window.workbook);
        const QString shownTables = output.show(*window.workbook, u"Реализация"_s);
        for (const QString& part : parts)
            QCOMPARE(xlsxPart(tables, part), xlsxPart(shownTables, part));
        QVERIFY(xlsxPart(tables, u"xl/sharedStrings.xml"_s).contains("Жаркое"));

        // The statement of the issues the posting wrote.
        const QString turnover = k.data.root() + u"/turnover.xlsx"_s;
        QCOMPARE(
            runCommand(
                k.arguments({u"post-sales"_s, u"--date"_s, u"2024-03-05"_s, u"--partner"_s, u"Кухня"_s}, {}))
                .code,
            commands::done);
        QCOMPARE(runCommand(k.arguments({u"print"_s, u"turnover"_s, u"--all"_s, u"--full"_s, u"--from"_s,
                                         u"2024-03-05"_s, u"--to"_s, u"2024-03-05"_s, u"--out"_s, u"OUT"_s},
                                        turnover))
                     .code,
                 commands::done);
        Workbook statement;
        QString error;
        QVERIFY(TurnoverStatement(k.data.db())
                    .fill(statement, {TurnoverScope::AllGroups, false, QDate(2024, 3, 5), QDate(2024, 3, 5)},
                          &error));
        const QString shownStatement = output.show(statement, u"Оборотная ведомость"_s);
        for (const QString& part : parts)
            QCOMPARE(xlsxPart(turnover, part), xlsxPart(shownStatement, part));
        QVERIFY(xlsxPart(turnover, u"xl/sharedStrings.xml"_s).contains("Ужин"));
    }

    // A copy of kuhnemer.sqlite alone, as a user takes one, holds what the command posted, and no
    // write-ahead log is left; while it runs, SQLite's own checkpoints keep the log to about their size
    // (1000 pages) instead of it growing by every document.
    void postingsLandInTheDatabaseFile()
    {
        SKIP_ON_SERVER("the database file and its write-ahead log");
        SalesDays k;
        const QDate first(2025, 1, 1);
        const int days = 200;
        for (int day = 0; day < days; ++day)
            k.line(k.document(first.addDays(day).toString(Qt::ISODate)), k.mains, k.stew, 1, 120);
        const QString wal = Database::filePath(k.data.dataDir()) + u"-wal"_s;
        const qint64 frame = k.data.scalar(u"PRAGMA page_size"_s).toLongLong() + 24;
        qint64 largestLog = 0;
        ScriptedPrompts prompts;
        for (int day = 0; day < days / 2; ++day) {
            const qlonglong document = k.data
                                           .scalar(u"SELECT Kod FROM Realdoc WHERE DateR = ?"_s,
                                                   {first.addDays(day).toString(Qt::ISODate)})
                                           .toLongLong();
            QVERIFY(SalesPosting(k.data.db(), prompts).post(document, k.partner));
            largestLog = std::max(largestLog, QFileInfo(wal).size());
        }
        QVERIFY2(largestLog < 1100 * frame, qPrintable(QString::number(largestLog / frame)));

        const CommandOutcome outcome =
            runCommand(k.arguments({u"post-sales"_s, u"--from"_s, first.toString(Qt::ISODate), u"--to"_s,
                                    first.addDays(days).toString(Qt::ISODate), u"--partner"_s, u"Кухня"_s},
                                   QString()));
        QCOMPARE(outcome.code, commands::done);
        QCOMPARE(QFileInfo(wal).size(), 0);
        const QString copy = k.data.root() + u"/copy.sqlite"_s;
        QVERIFY(QFile::copy(Database::filePath(k.data.dataDir()), copy));
        QString error;
        std::optional<Database> alone = Database::create(copy, &error, u"copy"_s);
        QVERIFY2(alone, qPrintable(error));
        QSqlQuery posted(alone->connection());
        QVERIFY(posted.exec(u"SELECT count(*) FROM Realdoc WHERE DateR >= '2025-01-01' AND Status = 4"_s) &&
                posted.next());
        QCOMPARE(posted.value(0).toInt(), days);
        posted.finish();
        alone->close();
    }

    // A card line's ingredient reference as other tools may store it: whole, it names the ingredient
    // for every operation; otherwise every operation refuses it, naming the table, the row and the value.
    void storedReferences_data()
    {
        QTest::addColumn<double>("offset");
        QTest::addColumn<bool>("whole");
        QTest::newRow("7") << 0.0 << true;
        QTest::newRow("7.0") << 0.0 << true;
        QTest::newRow("7.4") << 0.4 << false;
        QTest::newRow("7.0000000001") << 1e-10 << false;
    }
    void storedReferences()
    {
        QFETCH(double, offset);
        QFETCH(bool, whole);
        SalesDays k;
        const QVariant stored =
            QTest::currentDataTag() == QByteArray("7") ? QVariant(k.beef) : QVariant(k.beef + offset);
        const qlonglong line =
            k.data.scalar(u"SELECT NNN FROM Karta WHERE Kod = ? AND Name = ?"_s, {k.stew, k.beef})
                .toLongLong();
        k.data.scalar(u"UPDATE Karta SET Name = ? WHERE NNN = ?"_s, {stored, line});
        const QString value = QLocale::c().toString(k.beef + offset, 'g', QLocale::FloatingPointShortest);
        const QString file = k.data.root() + u"/p.xlsx"_s;
        for (const QStringList& arguments :
             {QStringList{u"check"_s}, QStringList{u"reprice"_s},
              QStringList{u"print"_s, u"cards"_s, u"--all"_s, u"--out"_s, u"OUT"_s},
              QStringList{u"print"_s, u"sales"_s, u"--document"_s, u"LUNCH"_s, u"--out"_s, u"OUT"_s},
              QStringList{u"post-sales"_s, u"--date"_s, u"2024-03-05"_s, u"--partner"_s, u"Кухня"_s}}) {
            const CommandOutcome outcome = runCommand(k.arguments(arguments, file));
            const QString said = outcome.out + outcome.err;
            QCOMPARE(outcome.code, whole ? commands::done : commands::failed);
            if (whole)
                continue;
            const QString named =
                arguments.first() == u"check"_s
                    ? u"Karta.Name = %1 (строка %2)"_s.arg(value).arg(line)
                    : u"В таблице Karta, строка %1: ссылка Name хранит %2"_s.arg(line).arg(value);
            QVERIFY2(said.contains(named), qPrintable(arguments.first() + u": "_s + said));
        }
        QCOMPARE(k.statuses(), whole ? u"4 4 4 5"_s : u"5 5 4 5"_s);
    }

    // The print-outs over posted documents take the same rule as the recipe: a reference that is not
    // whole is refused with its table and row, never rounded onto a neighbour or left out unsaid.
    void printsRefuseReferencesThatAreNotWhole_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("print");
        QTest::newRow("sales summary")
            << u"Realsum"_s << u"KodBludo"_s
            << QStringList{u"print"_s, u"summary"_s,    u"--from"_s, u"2024-03-01"_s,
                           u"--to"_s,  u"2024-03-31"_s, u"--out"_s,  u"OUT"_s};
        QTest::newRow("consumption in the summary")
            << u"RealItog"_s << u"KodIng"_s
            << QStringList{u"print"_s, u"summary"_s,    u"--from"_s, u"2024-03-01"_s,
                           u"--to"_s,  u"2024-03-31"_s, u"--out"_s,  u"OUT"_s};
        const QStringList document = {u"--document"_s, u"LUNCH"_s, u"--out"_s, u"OUT"_s};
        QTest::newRow("sales tables")
            << u"Realsum"_s << u"KodBludo"_s << QStringList{u"print"_s, u"sales"_s} + document;
        QTest::newRow("sales tables' consumption")
            << u"RealItog"_s << u"KodIng"_s << QStringList{u"print"_s, u"sales"_s} + document;
        QTest::newRow("cross table") << u"Realsum"_s << u"KodBludo"_s
                                     << QStringList{u"print"_s, u"cross"_s} + document;
        QTest::newRow("cross table's consumption")
            << u"RealItog"_s << u"KodIng"_s << QStringList{u"print"_s, u"cross"_s} + document;
        QTest::newRow("turnover statement")
            << u"Move"_s << u"Kod"_s
            << QStringList{u"print"_s,      u"turnover"_s, u"--all"_s,      u"--full"_s, u"--from"_s,
                           u"2024-03-01"_s, u"--to"_s,     u"2024-03-31"_s, u"--out"_s,  u"OUT"_s};
    }
    void printsRefuseReferencesThatAreNotWhole()
    {
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(QStringList, print);
        SalesDays k;
        const QString file = k.data.root() + u"/p.xlsx"_s;
        QCOMPARE(
            runCommand(k.arguments(
                           {u"post-sales"_s, u"--date"_s, u"2024-03-05"_s, u"--partner"_s, u"Кухня"_s}, file))
                .code,
            commands::done);
        QCOMPARE(runCommand(k.arguments(print, file)).code, commands::done);
        const QString key = table == u"RealItog"_s ? u"NNN"_s : u"Nnn"_s;
        // A row of the lunch, which every print above reads.
        const QString ofLunch = table == u"Move"_s ? QString() : u" AND Kod = %1"_s.arg(k.lunch);
        const qlonglong row =
            k.data.scalar(u"SELECT min(%1) FROM %2 WHERE %3 > 0%4"_s.arg(key, table, field, ofLunch))
                .toLongLong();
        k.data.scalar(u"UPDATE %1 SET %2 = %2 + 0.4 WHERE %3 = ?"_s.arg(table, field, key), {row});
        const CommandOutcome outcome = runCommand(k.arguments(print, file));
        QCOMPARE(outcome.code, commands::failed);
        QVERIFY2(outcome.err.contains(u"В таблице %1, строка %2: ссылка %3"_s.arg(table).arg(row).arg(field)),
                 qPrintable(outcome.out + outcome.err));
    }

    void writingCommandsWaitForTheProgram()
    {
        SKIP_ON_SERVER("the lock file beside the database file");
        SalesDays k;
        k.data.close();
        KitchenLock program(k.data.dataDir());
        QString error;
        QVERIFY(program.acquire(&error));
        const QString file = k.data.root() + u"/p.xlsx"_s;
        for (const QStringList& arguments :
             {QStringList{u"post-sales"_s, u"--date"_s, u"2024-03-05"_s, u"--partner"_s, u"Кухня"_s},
              QStringList{u"print"_s, u"sales"_s, u"--document"_s, u"LUNCH"_s, u"--out"_s, u"OUT"_s},
              QStringList{u"print"_s, u"summary"_s, u"--from"_s, u"2024-03-05"_s, u"--to"_s, u"2024-03-05"_s,
                          u"--out"_s, u"OUT"_s}}) {
            const CommandOutcome outcome = runCommand(k.arguments(arguments, file));
            QCOMPARE(outcome.code, commands::failed);
            QVERIFY2(outcome.err.contains(u"уже открыта"_s), qPrintable(outcome.err));
        }
        QVERIFY(!QFileInfo::exists(file));
        // The warehouse print-outs only read: they go on while the program works.
        QCOMPARE(runCommand(k.arguments({u"print"_s, u"inventory"_s, u"--inventory"_s, u"INVENTORY"_s,
                                         u"--out"_s, u"OUT"_s},
                                        file))
                     .code,
                 commands::done);
    }
};

QTEST_GUILESS_MAIN(tst_SalesCommands)
#include "tst_SalesCommands.moc"
