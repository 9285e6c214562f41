#pragma once

#include "store/Database.h"

#include <optional>

// A kitchen of its own on the test server that KUHNEMER_TEST_SERVER names (a libpq connection string,
// as scripts/with-postgres.sh sets it), in a schema made for it and dropped afterwards.
class ServerKitchen
{
public:
    // The test server, empty when none is named and server tests are skipped.
    static QString server();

    explicit ServerKitchen(const QString& prefix = QStringLiteral("test"));
    ~ServerKitchen();
    ServerKitchen(const ServerKitchen&) = delete;
    ServerKitchen& operator=(const ServerKitchen&) = delete;

    const QString& kitchen() const { return m_kitchen; }
    QSqlDatabase db() const { return m_db ? m_db->connection() : QSqlDatabase(); }
    Database& database() { return *m_db; }
    // Closes the connection; the kitchen stays until the end.
    void close();

private:
    QString m_kitchen;
    std::optional<Database> m_db;
};
