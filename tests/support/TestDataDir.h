#pragma once

#include "store/Database.h"

#include <QTemporaryDir>

#include <optional>

using namespace Qt::StringLiterals;

// A fresh kitchen in a temporary folder: "DATA" with every table created from the schema file,
// opened as the program opens it.
class TestDataDir
{
public:
    explicit TestDataDir(bool open = true);
    ~TestDataDir();

    QString root() const { return m_dir.path(); }
    QString dataDir() const { return m_dir.filePath(u"DATA"_s); }
    QSqlDatabase db() const { return m_db ? m_db->connection() : QSqlDatabase(); }
    Database& database() { return *m_db; }
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
};
