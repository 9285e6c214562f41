#include "ViewSql.h"

#include "Database.h"

namespace viewsql {

QString quoted(const QString& name)
{
    return u'"' + name + u'"';
}

QString select(const ViewDef& def, const QList<FieldInfo>& fields, const QString& keyField, bool linked, bool filtered)
{
    QStringList columns;
    for (const FieldInfo& f : fields)
        columns << QStringLiteral("t.") + quoted(f.name);
    for (const Lookup& l : def.lookups)
        columns << QStringLiteral("(SELECT %1 FROM %2 WHERE %3 = t.%4 LIMIT 1)")
                       .arg(quoted(l.result), quoted(l.table), quoted(l.key), quoted(l.source));
    QString sql = QStringLiteral("SELECT %1 FROM %2 t").arg(columns.join(QStringLiteral(", ")), quoted(def.table));
    QStringList where;
    if (linked)
        where << QStringLiteral("t.") + quoted(def.linkField) + QStringLiteral(" = ?");
    if (filtered && !def.filter.isEmpty())
        where << u'(' + def.filter + u')';
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    QStringList order;
    for (const QString& name : def.order) {
        const auto f = std::find_if(fields.begin(), fields.end(),
                                    [&](const FieldInfo& info) { return info.name.compare(name, Qt::CaseInsensitive) == 0; });
        const bool text = f != fields.end() && f->isText();
        order << QStringLiteral("t.") + quoted(name) +
                     (text ? QStringLiteral(" COLLATE ") + QString::fromLatin1(Database::collation) : QString());
    }
    order << QStringLiteral("t.") + quoted(keyField);
    return sql + QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
}

QString lookup(const Lookup& lookup)
{
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? LIMIT 1")
        .arg(quoted(lookup.result), quoted(lookup.table), quoted(lookup.key));
}

QString insert(const QString& table, const QStringList& names)
{
    if (names.isEmpty())
        return QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(table));
    QStringList quotedNames, marks;
    for (const QString& n : names) {
        quotedNames << quoted(n);
        marks << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(quoted(table), quotedNames.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
}

QString update(const QString& table, const QStringList& names, const QString& keyField, const QStringList& guarded)
{
    QStringList sets;
    for (const QString& n : names)
        sets << quoted(n) + QStringLiteral(" = ?");
    QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?").arg(quoted(table), sets.join(QStringLiteral(", ")), quoted(keyField));
    for (const QString& n : guarded)
        sql += QStringLiteral(" AND %1 IS ?").arg(quoted(n));
    return sql;
}

QString remove(const QString& table, const QString& keyField)
{
    return QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(quoted(table), quoted(keyField));
}

} // namespace viewsql
