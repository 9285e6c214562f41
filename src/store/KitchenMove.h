#pragma once

#include <QString>

// Moving a whole kitchen between a data directory and a server kitchen, either way: every table's
// rows with their keys and exact values, and each table's highest key ever given, so that no key is
// reused after the move. The target is made by the move and is whole or absent: a directory's
// database is written under a temporary name and named at the end, a server kitchen is filled under a
// temporary schema renamed at the end. A target that exists is refused.
namespace kitchenmove {

// Where a kitchen is: a data directory, or a server (libpq string or URI) and a kitchen name.
struct Place
{
    QString dataDir;
    QString server;
    QString kitchen;

    QString describe() const;
};

// False with the reason in Russian in *error; on success *rows is the number of rows copied.
bool move(const Place& source, const Place& target, qlonglong* rows, QString* error);

} // namespace kitchenmove
