#pragma once

#include <QString>

// A database of its own on the test server, made for a test that looks at every kitchen of a database
// (a chain's), so that the kitchens other test programs make there meanwhile stay out of its sight.
// Dropped at the end, with whatever kitchens it holds.
class ServerDatabase
{
public:
    explicit ServerDatabase(const QString& prefix);
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    // The test server's connection string, naming this database.
    const QString& server() const { return m_server; }

private:
    QString m_name;
    QString m_server;
};
