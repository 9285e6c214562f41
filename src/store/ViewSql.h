#pragma once

#include "ViewDef.h"

// The statements of a view, built from names the program declares; values are always bound.
namespace viewsql {

QString quoted(const QString& name);

// The view's stored fields, then its looked-up fields; one bound value when the view is linked.
QString select(const ViewDef& def, const QList<FieldInfo>& fields, const QString& keyField, bool linked,
               bool filtered);
// A lookup's value for one bound source value.
QString lookup(const Lookup& lookup);
QString insert(const QString& table, const QStringList& names);
QString update(const QString& table, const QStringList& names, const QString& keyField);
QString remove(const QString& table, const QString& keyField);

} // namespace viewsql
