#include "CommandRun.h"
#include "ServerDatabase.h"
#include "ServerKitchen.h"

#include "reports/Workbook.h"
#include "sales/ChainReportPrintJob.h"
#include "sales/SalesSummary.h"
#include "store/Engine.h"
#include "tools/KitchenCommands.h"
#include "warehouse/TurnoverStatement.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// The number in `column` of the first row whose `textColumn` reads `text`.
std::optional<double> valueBeside(const Sheet& sheet, int textColumn, const QString& text, int column)
{
    for (int row = 1; row <= sheet.rowCount(); ++row) {
        if (sheet.value(row, textColumn).toString() == text)
            return sheet.value(row, column).toDouble();
    }
    return std::nullopt;
}

QStringList rows(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {})
{
    QStringList result;
    QString error;
    if (!forEachRow(
            db, sql, values,
            [&](const QSqlQuery& q) {
                QStringList fields;
                for (int i = 0; i < q.record().count(); ++i)
                    fields << q.value(i).toString();
                result << fields.join(u'|');
            },
            &error))
        result << u"ERROR: "_s + error;
    return result;
}

} // namespace

// Three kitchens of a chain on one server, each the demo kitchen moved there and then made to differ.
class tst_ChainCommands : public QObject
{
    Q_OBJECT

    // The chain's database of its own: the report takes every kitchen of its database, and other test
    // programs make theirs in the test server's own meanwhile.
    std::optional<ServerDatabase> m_database;
    QString m_server;
    QStringList m_kitchens;
    QTemporaryDir m_dir;

    std::optional<Database> open(const QString& kitchen)
    {
        QString error;
        auto db = Database::openServer(m_server, kitchen, &error, u"look-"_s + kitchen);
        if (!db)
            qWarning("%s", qPrintable(error));
        return db;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (ServerKitchen::server().isEmpty())
            QSKIP("no test server named");
        m_database.emplace(u"chain"_s);
        m_server = m_database->server();
        const QString demo = m_dir.filePath(u"DATA"_s);
        QCOMPARE(runCommand({u"create"_s, demo, u"--demo"_s}).code, commands::done);
        for (const QString& letter : {u"a"_s, u"b"_s, u"c"_s}) {
            const QString name = u"chain_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(letter);
            const CommandOutcome moved = runCommand({u"move"_s, demo, m_server, u"--kitchen"_s, name});
            QVERIFY2(moved.code == commands::done, qPrintable(moved.err));
            m_kitchens << name;
        }
        // b sold less, c holds more stock at other prices.
        auto b = open(m_kitchens[1]);
        auto c = open(m_kitchens[2]);
        QVERIFY(b && c);
        QVERIFY(
            execSql(b->connection(), u"DELETE FROM Realsum WHERE Kod = (SELECT min(Kod) FROM Realdoc)"_s));
        QVERIFY(execSql(c->connection(), u"UPDATE Ing SET Kolvo = Kolvo * 2 + 1, Cena = Cena + 3"_s));
        b->close();
        c->close();
    }

    void cleanupTestCase() { m_database.reset(); }

    // Each kitchen's column is what its own summary and turnover statement print; the chain's is
    // their sum.
    void chainReportSidesByKitchen()
    {
        const QDate start(2026, 12, 7);
        const QDate end(2026, 12, 8); // the posting of the 9th lies after it
        QString error;
        ChainReportPrintJob job(Engine::postgresConnectOptions(m_server, &error), start, end);
        const PrintedWorkbook printed = job.run({});
        QVERIFY2(printed.workbook, qPrintable(printed.error));
        const Sheet& sheet = printed.workbook->sheet(1);
        int chainColumn = 0;
        QHash<QString, int> columns;
        for (int column = 2; column <= sheet.columnCount(); ++column) {
            const QString name = sheet.value(4, column).toString();
            columns.insert(name, column);
            if (name == u"Итого по сети"_s)
                chainColumn = column;
        }
        QVERIFY(chainColumn > 0);
        for (int row = 5; row <= 8; ++row) {
            if (row == 7)
                continue; // the share is not a sum
            double sum = 0;
            for (int column = 2; column < chainColumn; ++column)
                sum += sheet.value(row, column).toDouble();
            QCOMPARE(sheet.value(row, chainColumn).toDouble(), sum);
        }
        QSet<double> sales;
        for (const QString& kitchen : std::as_const(m_kitchens)) {
            QVERIFY2(columns.contains(kitchen), qPrintable(kitchen));
            const int column = columns.value(kitchen);
            auto db = open(kitchen);
            QVERIFY(db);
            const SalesSummaryResult summary = SalesSummary(db->connection()).run(start, end);
            QVERIFY2(summary.workbook, qPrintable(summary.error));
            const auto sold = valueBeside(summary.workbook->sheet(1), 6, u"Итого реализовано:"_s, 9);
            const auto cost = valueBeside(summary.workbook->sheet(2), 3, u"Итого реализовано:"_s, 8);
            QVERIFY(sold && cost && *sold > 0 && *cost > 0);
            QCOMPARE(std::round(sheet.value(5, column).toDouble() * 100) / 100, *sold);
            QCOMPARE(std::round(sheet.value(6, column).toDouble() * 100) / 100, *cost);
            QVERIFY(qAbs(sheet.value(7, column).toDouble() - *cost / *sold * 100) < 0.01);
            sales.insert(*sold);

            // The stock at the end: today's less what the turnover statement shows after it.
            Workbook after;
            TurnoverOptions options;
            options.scope = TurnoverScope::AllGroups;
            options.start = end.addDays(1);
            options.end = QDate(9999, 12, 31);
            QVERIFY2(TurnoverStatement(db->connection()).fill(after, options, &error), qPrintable(error));
            const auto in = valueBeside(after.sheet(1), 6, u"Итого за склад:"_s, 9);
            const auto out = valueBeside(after.sheet(1), 6, u"Итого за склад:"_s, 11);
            QSqlQuery now(db->connection());
            QVERIFY(now.exec(u"SELECT sum(Kolvo * Cena) FROM Ing WHERE coalesce(Pf, 0) = 0"_s) && now.next());
            QVERIFY(in && out && *out > 0);
            QVERIFY(qAbs(sheet.value(8, column).toDouble() - (now.value(0).toDouble() - *in + *out)) < 1e-6);
            now.finish();
            db->close();
        }
        QCOMPARE(sales.size(), 2); // b sold less; a and c alike

        // The command writes the same print-out to its file; without a server it is a usage error.
        const QString file = m_dir.filePath(u"chain.xlsx"_s);
        const CommandOutcome command =
            runCommand({u"chain-report"_s, u"--server"_s, m_server, u"--from"_s, u"2026-12-07"_s, u"--to"_s,
                        u"2026-12-08"_s, u"--out"_s, file});
        QVERIFY2(command.code == commands::done, qPrintable(command.err));
        QVERIFY(QFileInfo(file).size() > 0);
        QCOMPARE(runCommand({u"chain-report"_s, u"--from"_s, u"2026-12-07"_s, u"--to"_s, u"2026-12-08"_s,
                             u"--out"_s, file})
                     .code,
                 commands::usageError);
    }

    // A group's cards go from one kitchen into others, their ingredients found by name.
    void cardsTravelBetweenKitchens()
    {
        auto source = open(m_kitchens[0]);
        QVERIFY(source);
        const QString group =
            rows(source->connection(),
                 u"SELECT g.Name FROM Grbludo g WHERE EXISTS (SELECT 1 FROM Bludo b WHERE b.Kod = g.Kod) "
                 "ORDER BY g.Kod LIMIT 1"_s)
                .value(0);
        QVERIFY(!group.isEmpty());
        const QString cards =
            u"SELECT b.Name, i.Name, k.Kolvo FROM Karta k JOIN Bludo b ON b.Kod1 = k.Kod "
            "JOIN Ing i ON i.Kod1 = k.Name JOIN Grbludo g ON g.Kod = b.Kod WHERE g.Name = ? "
            "ORDER BY b.Name, i.Name, k.Kolvo"_s;
        const QStringList sent = rows(source->connection(), cards, {group});
        source->close();
        QVERIFY(!sent.isEmpty());
        const QStringList targets = m_kitchens.mid(1);
        for (const QString& target : targets) {
            auto db = open(target);
            QVERIFY(db && execSql(db->connection(), u"INSERT INTO Grbludo (Name) VALUES ('Из сети')"_s));
            db->close();
        }

        // An answer missing for a question refuses the card and says which option answers it.
        const QStringList copy{u"copy-cards"_s,    u"--server"_s, m_server,     u"--kitchen"_s,
                               m_kitchens[0],      u"--group"_s,  group,        u"--to"_s,
                               targets.join(u','), u"--into"_s,   u"Из сети"_s, u"--yes"_s};
        const CommandOutcome unanswered = runCommand(copy);
        QCOMPARE(unanswered.code, commands::failed);
        QVERIFY2(unanswered.err.contains(u"--by-name"_s), qPrintable(unanswered.err));

        const CommandOutcome copied = runCommand(copy + QStringList{u"--by-name"_s});
        QVERIFY2(copied.code == commands::done, qPrintable(copied.out + copied.err));
        for (const QString& target : targets) {
            auto db = open(target);
            QVERIFY(db);
            QCOMPARE(rows(db->connection(), cards, {u"Из сети"_s}), sent);
            db->close();
        }
    }
};

QTEST_GUILESS_MAIN(tst_ChainCommands)
#include "tst_ChainCommands.moc"
