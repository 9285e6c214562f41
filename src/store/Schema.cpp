#include "Schema.h"

#include "Database.h"
#include "Engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

// The schema file is compiled into the static store library, whose resources need an explicit start.
static void initStoreResources()
{
    Q_INIT_RESOURCE(store);
}

namespace schema {

QStringList statements()
{
    initStoreResources();
    QFile file(u":/store/schema.sql"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList result;
    QString current;
    for (const QString& rawLine : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1String("--")) || line.isEmpty())
            continue;
        current += line + u' ';
        if (line.endsWith(u';')) {
            result << current.trimmed();
            current.clear();
        }
    }
    return result;
}

QStringList tableNames(const QSqlDatabase& db)
{
    QStringList names;
    QSqlQuery query(db);
    // In the order of creation on both engines; a server kitchen is the connection's current schema.
    query.exec(Engine::of(db) == Engine::Postgres
                   ? u"SELECT relname FROM pg_class WHERE relnamespace = current_schema()::regnamespace "
                     "AND relkind = 'r' ORDER BY oid"_s
                   : u"SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
                     "ORDER BY rowid"_s);
    while (query.next())
        names << query.value(0).toString();
    return names;
}

QList<Reference> references()
{
    return {{"Ing", "Kod1", "Kod"},
            {"Ing", "Kod1", "Edinica"},
            {"pf", "NNN", "Kod"},
            {"pf", "NNN", "Name"},
            {"Bludo", "Kod1", "Kod"},
            {"Karta", "NNN", "Kod"},
            {"Karta", "NNN", "Name"},
            {"MenuSp", "Nnn", "Kod"},
            {"MenuSp", "Nnn", "Name"},
            {"MenuSp", "Nnn", "GrName"},
            {"Realdoc", "Kod", "Nnn"},
            {"Realsum", "Nnn", "Kod"},
            {"Realsum", "Nnn", "KodGrBludo"},
            {"Realsum", "Nnn", "KodBludo"},
            {"RealItog", "NNN", "Kod"},
            {"RealItog", "NNN", "KodIng"},
            {"RealItog", "NNN", "Edinica"},
            {"RealItog", "NNN", "KodGrIng"},
            {"Doc", "Nnn", "Partner"},
            {"Move", "Nnn", "Kod1"},
            {"Move", "Nnn", "Kod"},
            {"Move", "Nnn", "Partner"},
            {"inv", "Nnn", "Kod"},
            {"inv", "Nnn", "Ing"},
            {"Pricehist", "Kod", "Ing"},
            {"Pricehist", "Kod", "Doc"}};
}

bool create(QSqlDatabase& db, QString* error)
{
    const QStringList all = statements();
    if (all.isEmpty()) {
        if (error)
            *error = u"Файл схемы базы данных не найден в программе."_s;
        return false;
    }
    const bool server = Engine::of(db) == Engine::Postgres;
    // PRAGMA user_version is applied after the transaction: it marks a complete database only.
    Transaction transaction(db);
    QString version;
    for (const QString& statement : server ? Engine::postgresPrelude() : QStringList())
        if (!execSql(db, statement, {}, error))
            return false;
    for (const QString& statement : all) {
        if (statement.startsWith(QLatin1String("PRAGMA"))) {
            if (!server)
                version = statement;
            continue;
        }
        if (!execSql(db, server ? Engine::postgresSpelling(statement) : statement, {}, error))
            return false;
    }
    if (!transaction.commit()) {
        if (error)
            *error = sqlErrorText(db.lastError());
        return false;
    }
    return version.isEmpty() || execSql(db, version, {}, error);
}

namespace {

struct Shape
{
    struct Table
    {
        QString name;
        QList<QPair<QString, QString>> fields; // name, declared type
    };
    struct Index
    {
        QString name;
        QString table;
        QStringList fields;
    };
    QList<Table> tables;
    QList<Index> indexes;
};

// The server's type of a field in the words SQLite's table list uses, so one expected shape serves both.
QString sqliteTypeName(const QString& serverType)
{
    static const QHash<QString, QString> names = {{u"double precision"_s, u"REAL"_s},
                                                  {u"bigint"_s, u"INTEGER"_s},
                                                  {u"integer"_s, u"INTEGER"_s},
                                                  {u"smallint"_s, u"BOOLEAN"_s}};
    if (const auto name = names.constFind(serverType); name != names.cend())
        return *name;
    QString type = serverType.toUpper();
    type.replace(u"CHARACTER VARYING"_s, u"VARCHAR"_s);
    return type;
}

Shape serverShapeOf(const QSqlDatabase& db)
{
    Shape shape;
    QSqlQuery query(db);
    for (const QString& table : tableNames(db)) {
        Shape::Table described{table, {}};
        query.prepare(u"SELECT attname, format_type(atttypid, atttypmod) FROM pg_attribute "
                      "WHERE attrelid = (current_schema() || '.' || ?)::regclass AND attnum > 0 "
                      "AND NOT attisdropped ORDER BY attnum"_s);
        query.addBindValue(table);
        query.exec();
        while (query.next())
            described.fields.append({query.value(0).toString(), sqliteTypeName(query.value(1).toString())});
        shape.tables.append(described);
    }
    query.exec(u"SELECT ic.relname, tc.relname, a.attname FROM pg_index x "
               "JOIN pg_class ic ON ic.oid = x.indexrelid JOIN pg_class tc ON tc.oid = x.indrelid "
               "CROSS JOIN LATERAL unnest(x.indkey::int2[]) WITH ORDINALITY AS k(attnum, n) "
               "JOIN pg_attribute a ON a.attrelid = tc.oid AND a.attnum = k.attnum "
               "WHERE tc.relnamespace = current_schema()::regnamespace AND NOT x.indisprimary "
               "ORDER BY ic.oid, k.n"_s);
    while (query.next()) {
        const QString name = query.value(0).toString();
        if (shape.indexes.isEmpty() || shape.indexes.last().name != name)
            shape.indexes.append({name, query.value(1).toString(), {}});
        shape.indexes.last().fields << query.value(2).toString();
    }
    return shape;
}

Shape shapeOf(const QSqlDatabase& db)
{
    if (Engine::of(db) == Engine::Postgres)
        return serverShapeOf(db);
    Shape shape;
    QSqlQuery query(db);
    for (const QString& table : tableNames(db)) {
        Shape::Table described{table, {}};
        query.exec(u"PRAGMA table_info(\"%1\")"_s.arg(table));
        while (query.next())
            described.fields.append({query.value(1).toString(), query.value(2).toString().toUpper()});
        shape.tables.append(described);
    }
    // Indexes the engine makes for itself carry no statement of their own.
    query.exec(
        u"SELECT name, tbl_name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY rowid"_s);
    while (query.next())
        shape.indexes.append({query.value(0).toString(), query.value(1).toString(), {}});
    for (Shape::Index& index : shape.indexes) {
        query.exec(u"PRAGMA index_info(\"%1\")"_s.arg(index.name));
        while (query.next())
            index.fields << query.value(2).toString();
    }
    return shape;
}

// What `read` makes of a kitchen created from the schema file in memory.
template <typename Read> auto fromReferenceKitchen(const QString& connection, Read&& read)
{
    decltype(read(std::declval<QSqlDatabase&>())) made{};
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        db.setDatabaseName(u":memory:"_s);
        QString error;
        if (db.open() && create(db, &error))
            made = read(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return made;
}

// The shape of a kitchen made from the schema file, made once.
const Shape& expectedShape()
{
    static const Shape expected = fromReferenceKitchen(u"kuhnemer-schema-reference"_s, shapeOf);
    return expected;
}

template <typename Item> const Item* named(const QList<Item>& items, const QString& name)
{
    for (const Item& item : items)
        if (item.name.compare(name, Qt::CaseInsensitive) == 0)
            return &item;
    return nullptr;
}

} // namespace

QStringList differences(const QSqlDatabase& db, bool missingOnly)
{
    const Shape& expected = expectedShape();
    const Shape found = shapeOf(db);
    QStringList findings;
    for (const Shape::Table& table : expected.tables) {
        const Shape::Table* present = named(found.tables, table.name);
        if (!present) {
            findings << u"нет таблицы %1"_s.arg(table.name);
            continue;
        }
        for (const auto& [field, type] : table.fields) {
            const auto match =
                std::find_if(present->fields.cbegin(), present->fields.cend(),
                             [&](const auto& f) { return f.first.compare(field, Qt::CaseInsensitive) == 0; });
            if (match == present->fields.cend())
                findings << u"таблица %1: нет поля %2"_s.arg(table.name, field);
            else if (!missingOnly && match->second != type)
                findings << u"таблица %1: поле %2 имеет тип %3 вместо %4"_s.arg(table.name, field,
                                                                                match->second, type);
        }
        if (!missingOnly)
            for (const auto& [field, type] : present->fields)
                if (std::none_of(table.fields.cbegin(), table.fields.cend(), [&](const auto& f) {
                        return f.first.compare(field, Qt::CaseInsensitive) == 0;
                    }))
                    findings << u"таблица %1: лишнее поле %2"_s.arg(table.name, field);
    }
    for (const Shape::Index& index : expected.indexes) {
        const Shape::Index* present = named(found.indexes, index.name);
        if (!present)
            findings << u"таблица %1: нет индекса %2 (%3)"_s.arg(index.table, index.name,
                                                                 index.fields.join(u", "_s));
        else if (!missingOnly &&
                 (present->table.compare(index.table, Qt::CaseInsensitive) != 0 ||
                  present->fields.join(u',').compare(index.fields.join(u','), Qt::CaseInsensitive) != 0))
            findings << u"таблица %1: индекс %2 построен по (%3) вместо (%4)"_s.arg(
                present->table, index.name, present->fields.join(u", "_s), index.fields.join(u", "_s));
    }
    if (!missingOnly) {
        for (const Shape::Table& table : found.tables)
            if (!named(expected.tables, table.name))
                findings << u"лишняя таблица %1"_s.arg(table.name);
        for (const Shape::Index& index : found.indexes)
            if (!named(expected.indexes, index.name))
                findings << u"таблица %1: лишний индекс %2"_s.arg(index.table, index.name);
    }
    return findings;
}

QList<QPair<QString, QString>> fieldsOfType(const QSqlDatabase& db, const QString& type)
{
    QList<QPair<QString, QString>> fields;
    for (const Shape::Table& table : shapeOf(db).tables) {
        // Named as the schema file writes them where it has them: a server reports them folded.
        const Shape::Table* declared = named(expectedShape().tables, table.name);
        for (const auto& [field, fieldType] : table.fields) {
            if (fieldType.compare(type, Qt::CaseInsensitive) != 0)
                continue;
            QString written = field;
            for (const auto& [name, declaredType] : declared ? declared->fields : table.fields)
                if (name.compare(field, Qt::CaseInsensitive) == 0)
                    written = name;
            fields.append({declared ? declared->name : table.name, written});
        }
    }
    return fields;
}

QList<DeclaredField> declaredFields(const QString& table)
{
    using Declared = QHash<QString, QList<DeclaredField>>;
    static const Declared declared =
        fromReferenceKitchen(u"kuhnemer-schema-declarations"_s, [](const QSqlDatabase& db) {
            Declared tables;
            QSqlQuery query(db);
            for (const QString& name : tableNames(db)) {
                query.exec(u"PRAGMA table_info(\"%1\")"_s.arg(name));
                QList<DeclaredField>& fields = tables[name.toLower()];
                while (query.next())
                    fields.append(
                        {query.value(1).toString(), query.value(2).toString(), query.value(5).toInt() > 0});
            }
            return tables;
        });
    return declared.value(table.toLower());
}

namespace {

// What the server tells of a relation it cannot check, the reason first.
QString serverRefusal(const QSqlError& failure)
{
    if (failure.nativeErrorCode() == u"42501"_s)
        return u"у пользователя сервера нет права выполнять функции проверки расширения amcheck "
               "(EXECUTE на verify_heapam и bt_index_check); право даёт администратор сервера"_s;
    return sqlErrorText(failure);
}

// The server's own check of its pages, through the amcheck extension that its administrator installs
// into the database: every table's rows (verify_heapam) and every B-tree index (bt_index_check).
bool serverIntegrityFindings(const QSqlDatabase& db, QStringList* findings, QString* error)
{
    QSqlQuery query(db);
    if (!query.exec(u"SELECT quote_ident(n.nspname) FROM pg_extension e JOIN pg_namespace n "
                    "ON n.oid = e.extnamespace WHERE e.extname = 'amcheck'"_s)) {
        *error = sqlErrorText(query.lastError());
        return false;
    }
    if (!query.next()) {
        *error = u"на сервере не установлено расширение amcheck, которым сервер проверяет свои страницы; "
                 "его устанавливает администратор сервера (CREATE EXTENSION amcheck в базе данных кухни)"_s;
        return false;
    }
    const QString amcheck = query.value(0).toString();
    // The kitchen's tables in one statement: each row found wrong is a row of the answer.
    if (!query.exec(u"SELECT c.relname, v.blkno, v.offnum, v.msg FROM pg_class c "
                    "CROSS JOIN LATERAL %1.verify_heapam(c.oid) v "
                    "WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind = 'r' "
                    "ORDER BY c.relname, v.blkno, v.offnum"_s.arg(amcheck))) {
        *error = serverRefusal(query.lastError());
        return false;
    }
    while (query.next())
        *findings << u"таблица %1, страница %2, запись %3: %4"_s.arg(
            query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
            query.value(3).toString());
    QStringList indexes;
    if (!query.exec(u"SELECT c.relname FROM pg_class c JOIN pg_am a ON a.oid = c.relam "
                    "WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind = 'i' "
                    "AND a.amname = 'btree' ORDER BY c.relname"_s)) {
        *error = sqlErrorText(query.lastError());
        return false;
    }
    while (query.next())
        indexes << query.value(0).toString();
    // An index found wrong is an error of its statement, so each index has one.
    query.prepare(u"SELECT %1.bt_index_check(CAST(? AS regclass))"_s.arg(amcheck));
    for (const QString& index : std::as_const(indexes)) {
        query.bindValue(0, index);
        if (query.exec())
            continue;
        const QSqlError failure = query.lastError();
        if (!failure.nativeErrorCode().startsWith(u"XX"_s)) {
            *error = serverRefusal(failure);
            return false;
        }
        *findings << u"индекс %1: %2"_s.arg(index, failure.databaseText());
    }
    query.finish();
    return true;
}

} // namespace

bool integrityFindings(const QSqlDatabase& db, QStringList* findings, QString* error)
{
    if (Engine::of(db) == Engine::Postgres)
        return serverIntegrityFindings(db, findings, error);
    QSqlQuery query(db);
    if (!query.exec(u"PRAGMA integrity_check"_s)) {
        *error = sqlErrorText(query.lastError());
        return false;
    }
    while (query.next())
        if (const QString verdict = query.value(0).toString(); verdict != QLatin1String("ok"))
            *findings << verdict;
    return true;
}

bool createDataDirectory(const QString& dataDir, QString* error)
{
    const QString file = Database::filePath(dataDir);
    if (QFileInfo::exists(file)) {
        if (error)
            *error = u"В каталоге \"%1\" уже есть база данных."_s.arg(QDir::toNativeSeparators(dataDir));
        return false;
    }
    if (!QDir().mkpath(dataDir)) {
        if (error)
            *error = u"Не удалось создать каталог \"%1\"."_s.arg(QDir::toNativeSeparators(dataDir));
        return false;
    }
    const QString connection = u"kuhnemer-create"_s;
    bool ok = false;
    {
        auto db = Database::create(file, error, connection);
        if (!db)
            return false;
        {
            QSqlDatabase sql = db->connection();
            ok = create(sql, error);
        }
        db->close();
    }
    if (!ok)
        QFile::remove(file);
    return ok;
}

} // namespace schema
