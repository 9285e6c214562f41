#pragma once

#include "Field.h"

#include <QList>
#include <QStringList>

// A field shown from another table: table.result where table.key = this.source.
struct Lookup
{
    QString name;
    QString source;
    QString table;
    QString key;
    QString result;
};

struct ViewDef
{
    QString table;
    QStringList order; // fields; text fields order by the Russian collation, the key breaks ties
    QString linkField; // the detail field that equals the master's field
    QString filter;    // an SQL condition fixed by the program, applied while switched on
    QList<Lookup> lookups;
};

struct Column
{
    QString field;
    QString label;
    QString format; // "0.00", "0.000" for numbers shown with those decimals
    bool readOnly = false;
};
