#include "ViewSql.h"

#include "Database.h"

using namespace Qt::StringLiterals;

namespace viewsql {

QString identifier(const QString& name)
{
    // The schema's names are plain identifiers, written unquoted: both engines then take them alike
    // (a server folds them to lower case, and would look for the mixed case of a quoted one).
    return name;
}

QString select(const ViewDef& def, const QList<FieldInfo>& fields, const QString& keyField, bool linked,
               bool filtered)
{
    QStringList columns;
    for (const FieldInfo& f : fields)
        columns << u"t."_s + identifier(f.name);
    for (const Lookup& l : def.lookups)
        columns << u"(SELECT %1 FROM %2 WHERE %3 = t.%4 LIMIT 1)"_s.arg(
            identifier(l.result), identifier(l.table), identifier(l.key), identifier(l.source));
    QString sql = u"SELECT %1 FROM %2 t"_s.arg(columns.join(u", "_s), identifier(def.table));
    QStringList where;
    if (linked)
        where << u"t."_s + identifier(def.linkField) + u" = ?"_s;
    if (filtered && !def.filter.isEmpty())
        where << u'(' + def.filter + u')';
    if (!where.isEmpty())
        sql += u" WHERE "_s + where.join(u" AND "_s);
    QStringList order;
    for (const QString& name : def.order) {
        const auto f = std::find_if(fields.begin(), fields.end(), [&](const FieldInfo& info) {
            return info.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        const bool text = f != fields.end() && f->isText();
        order << u"t."_s + identifier(name) +
                     (text ? u" COLLATE "_s + QString::fromLatin1(Database::collation) : QString());
    }
    order << u"t."_s + identifier(keyField);
    return sql + u" ORDER BY "_s + order.join(u", "_s);
}

QString lookup(const Lookup& lookup)
{
    return u"SELECT %1 FROM %2 WHERE %3 = ? LIMIT 1"_s.arg(identifier(lookup.result),
                                                           identifier(lookup.table), identifier(lookup.key));
}

QString insert(const QString& table, const QStringList& names)
{
    if (names.isEmpty())
        return u"INSERT INTO %1 DEFAULT VALUES"_s.arg(identifier(table));
    QStringList quotedNames, marks;
    for (const QString& n : names) {
        quotedNames << identifier(n);
        marks << u"?"_s;
    }
    return u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(identifier(table), quotedNames.join(u", "_s),
                                                    marks.join(u", "_s));
}

QString update(const QString& table, const QStringList& names, const QString& keyField,
               const QStringList& guarded)
{
    QStringList sets;
    for (const QString& n : names)
        sets << identifier(n) + u" = ?"_s;
    QString sql =
        u"UPDATE %1 SET %2 WHERE %3 = ?"_s.arg(identifier(table), sets.join(u", "_s), identifier(keyField));
    // The standard spelling of a comparison where two empty values are equal: both engines take it.
    for (const QString& n : guarded)
        sql += u" AND %1 IS NOT DISTINCT FROM ?"_s.arg(identifier(n));
    return sql;
}

QString remove(const QString& table, const QString& keyField)
{
    return u"DELETE FROM %1 WHERE %2 = ?"_s.arg(identifier(table), identifier(keyField));
}

} // namespace viewsql
