#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QSqlDatabase;

// The tables of a kitchen, created from the one schema file of the source tree.
namespace schema {

// The statements of the schema file, in order.
QStringList statements();

// Every table name, in the order of the schema file.
QStringList tableNames(const QSqlDatabase& db);

// A field holding another row's key (REAL, as the catalogue has it) and the key field of its own table.
struct Reference
{
    const char* table;
    const char* key;
    const char* field;
};

// Every field of the schema that refers to another row; the scratch tables of the summaries aside.
QList<Reference> references();

// Creates every table, index and default in an empty database, in one transaction.
bool create(QSqlDatabase& db, QString* error);

// How the tables, fields and named indexes of a database differ from those of the schema file, one
// finding a line ("which, where"). Only what is missing (a table, a field, an index) when
// missingOnly: an extra field or index harms no operation.
QStringList differences(const QSqlDatabase& db, bool missingOnly = false);

// (table, field) of every field of a type as schema.sql writes it ("REAL"), on either engine.
QList<QPair<QString, QString>> fieldsOfType(const QSqlDatabase& db, const QString& type);

// A field as the schema file declares it: its name as written, its declared type, whether it is the key.
struct DeclaredField
{
    QString name;
    QString type;
    bool key = false;
};

// The fields of a table as the schema file declares them, whichever engine holds the kitchen (a server
// reports its own type names and folds the names); empty for a table the schema has not.
QList<DeclaredField> declaredFields(const QString& table);

// What the engine's own check of the stored pages finds wrong, one finding a line; false with *error
// when the check cannot run. On a server that is its amcheck extension, which the server's
// administrator installs and grants: without it, or without the right to run it, *error says so.
bool integrityFindings(const QSqlDatabase& db, QStringList* findings, QString* error);

// Makes a data directory with an empty database; refuses to touch an existing database file.
bool createDataDirectory(const QString& dataDir, QString* error);

} // namespace schema
