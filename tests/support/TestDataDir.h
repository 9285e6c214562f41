#pragma once

#include "store/Database.h"

#include <QTemporaryDir>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

class ServerKitchen;

// A fresh kitchen for a test: a temporary folder with "DATA" (exchange files, print-outs and settings
// stay there), and the kitchen's tables created from the schema file, opened as the program opens them.
// The tables live in DATA's database file, or, when KUHNEMER_TEST_SERVER names a test server, in a
// schema of their own on that server, dropped afterwards: the suite then runs again on the server.
class TestDataDir
{
public:
    enum class Engine
    {
        UnderTest, // the server when one is named, else the file
        File       // the file always: for what is about the kitchen file itself
    };

    // Not opened: the kitchen is made, for tests that open it themselves (arguments() name it).
    explicit TestDataDir(bool open = true, Engine engine = Engine::UnderTest);
    ~TestDataDir();

    // Whether this run puts the test kitchens on a server.
    static bool serverRun();
    bool onServer() const { return m_server != nullptr; }

    QString root() const { return m_dir.path(); }
    QString dataDir() const { return m_dir.filePath(u"DATA"_s); }
    QSqlDatabase db() const;
    Database& database();
    // The program's arguments that name this kitchen: "--data DIR", then serverOptions().
    QStringList arguments() const;
    // "--server URL --kitchen NAME" for a kitchen on the server, as the commands take it after DIR.
    QStringList serverOptions() const;
    // Another connection to the same kitchen, as a second program or a worker would have it.
    std::optional<Database> openAgain(const QString& connectionName, QString* error) const;
    void close();

    // Inserts a row and returns its key; values as field => value. Fails the running test on error.
    qlonglong insert(const QString& table, const QVariantMap& values);
    // The first column of the first row of a query with bound values.
    QVariant scalar(const QString& sql, const QVariantList& values = {});
    // The rows of a table.
    int count(const QString& table) { return scalar(u"SELECT count(*) FROM "_s + table).toInt(); }

private:
    QTemporaryDir m_dir;
    std::optional<Database> m_db;
    std::unique_ptr<ServerKitchen> m_server;
};

// Skips the running test on a server run, saying why: for what only a kitchen file has.
#define SKIP_ON_SERVER(why)                                                                                  \
    do {                                                                                                     \
        if (TestDataDir::serverRun())                                                                        \
            QSKIP("only a kitchen file has this: " why);                                                     \
    } while (false)
