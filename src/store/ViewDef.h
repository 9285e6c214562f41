#pragma once

#include "Field.h"

#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantMap>

#include <functional>

// A field shown from another table: table.result where table.key = this.source.
struct Lookup
{
    QString name;
    QString source;
    QString table;
    QString key;
    QString result;
};

// What a grid's post wrote to one row: the fields written with their values before and after (a new
// row has nothing before).
struct RowWrite
{
    QVariant key;
    bool inserted = false;
    QVariantMap before;
    QVariantMap after;
};
// Runs inside the post's transaction after the row is written; false (with the driver's text) undoes
// the post. For tables whose writes carry a record of their own, whichever grid makes them.
using AfterWrite = std::function<bool(const QSqlDatabase& db, const RowWrite& write, QString* error)>;

struct ViewDef
{
    QString table;
    QStringList order; // fields; text fields order by the Russian collation, the key breaks ties
    QString linkField; // the detail field that equals the master's field
    QString filter;    // an SQL condition fixed by the program, applied while switched on
    QList<Lookup> lookups;
    AfterWrite afterWrite = {};
};

struct Column
{
    QString field;
    QString label;
    QString format; // "0.00", "0.000" for numbers shown with those decimals
    bool readOnly = false;
};
