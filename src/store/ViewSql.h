#pragma once

#include "ViewDef.h"

// The statements of a view, built from names the program declares; values are always bound.
namespace viewsql {

QString identifier(const QString& name);

// The view's stored fields, then its looked-up fields; one bound value when the view is linked.
QString select(const ViewDef& def, const QList<FieldInfo>& fields, const QString& keyField, bool linked,
               bool filtered);
// A lookup's value for one bound source value.
QString lookup(const Lookup& lookup);
QString insert(const QString& table, const QStringList& names);
// Sets the named fields of the row with the bound key, but only while each guarded field still holds
// its bound old value (bound after the key): a row changed elsewhere meanwhile is not overwritten.
QString update(const QString& table, const QStringList& names, const QString& keyField,
               const QStringList& guarded = {});
QString remove(const QString& table, const QString& keyField);

} // namespace viewsql
