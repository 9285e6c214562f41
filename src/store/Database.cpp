#include "Database.h"

#include "Engine.h"
#include "Isolation.h"
#include "KitchenPresence.h"
#include "Schema.h"
#include "SchemaUpgrade.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QVarLengthArray>

#include <sqlite3.h>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// Sorting calls this for every pair it compares: decode on the stack rather than allocate two strings.
int compareRussian(void* collator, int leftBytes, const void* left, int rightBytes, const void* right)
{
    if (leftBytes == rightBytes && std::memcmp(left, right, size_t(leftBytes)) == 0)
        return 0;
    QVarLengthArray<QChar, 128> leftText(leftBytes);
    QVarLengthArray<QChar, 128> rightText(rightBytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QChar* leftEnd =
        decoder.appendToBuffer(leftText.data(), QByteArrayView(static_cast<const char*>(left), leftBytes));
    const QChar* rightEnd =
        decoder.appendToBuffer(rightText.data(), QByteArrayView(static_cast<const char*>(right), rightBytes));
    return static_cast<QCollator*>(collator)->compare(QStringView(leftText.data(), leftEnd),
                                                      QStringView(rightText.data(), rightEnd));
}

void deleteCollator(void* collator)
{
    delete static_cast<QCollator*>(collator);
}

QString argText(sqlite3_value* value)
{
    const auto* text = sqlite3_value_text(value);
    return QString::fromUtf8(reinterpret_cast<const char*>(text), sqlite3_value_bytes(value));
}

// upper() that knows Cyrillic; SQLite's own folds ASCII only.
void unicodeUpper(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QByteArray upper = argText(args[0]).toUpper().toUtf8();
    sqlite3_result_text(context, upper.constData(), int(upper.size()), SQLITE_TRANSIENT);
}

// LIKE with '%' and '_' that ignores case in every alphabet.
bool likeMatch(const QString& pattern, qsizetype p, const QString& text, qsizetype t)
{
    while (p < pattern.size()) {
        const QChar c = pattern.at(p);
        if (c == u'%') {
            while (p < pattern.size() && pattern.at(p) == u'%')
                ++p;
            if (p == pattern.size())
                return true;
            for (qsizetype i = t; i <= text.size(); ++i) {
                if (likeMatch(pattern, p, text, i))
                    return true;
            }
            return false;
        }
        if (t >= text.size())
            return false;
        if (c != u'_' && c != text.at(t))
            return false;
        ++p;
        ++t;
    }
    return t == text.size();
}

void unicodeLike(sqlite3_context* context, int argc, sqlite3_value** args)
{
    if (argc < 2 || sqlite3_value_type(args[0]) == SQLITE_NULL ||
        sqlite3_value_type(args[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    // like(pattern, text) is how SQLite calls it for "text LIKE pattern".
    const QString pattern = argText(args[0]).toCaseFolded();
    const QString text = argText(args[1]).toCaseFolded();
    sqlite3_result_int(context, likeMatch(pattern, 0, text, 0) ? 1 : 0);
}

bool registerFunctions(QSqlDatabase& db, QString* error)
{
    sqlite3* sqlite = Database::sqliteHandle(db);
    if (!sqlite) {
        if (error)
            *error = u"Драйвер SQLite не дал доступа к базе данных."_s;
        return false;
    }
    auto* collator = new QCollator(Database::russianCollator());
    int rc = sqlite3_create_collation_v2(sqlite, Database::collation, SQLITE_UTF8, collator, compareRussian,
                                         deleteCollator);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(sqlite, "upper", 1, flags, nullptr, unicodeUpper, nullptr, nullptr,
                                        nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(sqlite, "like", 2, flags, nullptr, unicodeLike, nullptr, nullptr,
                                        nullptr);
    if (rc != SQLITE_OK && error)
        *error = QString::fromUtf8(sqlite3_errstr(rc));
    return rc == SQLITE_OK;
}

// A server connection works in the kitchen's schema and tells the server who it is.
bool setUpSession(QSqlDatabase& db, const QString& schemaName, QString* error)
{
    // The server's notices (a schema dropped with its tables, ...) would go to the terminal.
    return execSql(
        db,
        u"SELECT set_config('search_path', ?, false), set_config('client_min_messages', ?, false), "
        "set_config('application_name', ?, false)"_s,
        {schemaName, u"warning"_s, KitchenPresence::applicationName(schemaName)}, error);
}

} // namespace

QCollator Database::russianCollator()
{
    QCollator collator(QLocale(QLocale::Russian, QLocale::Russia));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

sqlite3* Database::sqliteHandle(const QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    return handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
               ? *static_cast<sqlite3* const*>(handle.data())
               : nullptr;
}

QString Database::programConnection()
{
    return u"kuhnemer"_s;
}

QString Database::filePath(const QString& dataDir)
{
    return QDir(dataDir).filePath(QString::fromLatin1(fileName));
}

bool Database::configure(QSqlDatabase& db, QString* error)
{
    if (!registerFunctions(db, error))
        return false;
    // WAL with FULL sync: a committed row survives a crash or a kill right after the commit.
    for (const char* pragma :
         {"PRAGMA journal_mode = WAL", "PRAGMA synchronous = FULL", "PRAGMA foreign_keys = OFF"}) {
        QSqlQuery query(db);
        if (!query.exec(QString::fromLatin1(pragma))) {
            if (error)
                *error = sqlErrorText(query.lastError());
            return false;
        }
    }
    return true;
}

QString Database::notOurs(const QString& file)
{
    // SQLite's own header: 100 bytes starting with this mark. A kitchen whose whole content is still
    // in the write-ahead log has an empty main file and a log beside it.
    QFile data(file);
    if (!data.open(QIODevice::ReadOnly))
        return u"Файл базы данных \"%1\" не читается: %2"_s.arg(QDir::toNativeSeparators(file),
                                                                data.errorString());
    const QByteArray header = data.read(100);
    if (header.isEmpty() && QFileInfo(file + u"-wal"_s).size() > 0)
        return {};
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return u"Файл \"%1\" не является базой данных Кухнемера (он пуст или повреждён). "
               "Файл не изменён; восстановите базу из резервной копии в папке backup."_s.arg(
                   QDir::toNativeSeparators(file));
    return {};
}

QString Database::kitchenProblem(const QSqlDatabase& db, Shape shape, const QString& what,
                                 const QString& commandArguments)
{
    if (shape == Shape::AnyVersion)
        return {};
    // Only read so far: the version decides before the connection's settings write anything.
    QString versionError;
    const int version = schema::storedVersion(db, &versionError);
    if (version < 0)
        return u"%1 не открывается: %2"_s.arg(what, versionError);
    if (version > schemaVersion)
        return u"%1 имеет версию %2, а программа работает с версией %3: базу обновила более новая "
               "программа. Откройте её программой той версии или новее."_s.arg(what)
                   .arg(version)
                   .arg(schemaVersion);
    if (version != schemaVersion)
        return u"%1 имеет версию %2, а программа работает с версией %3. Обновите базу командой "
               "\"kuhnemer-data upgrade %4\" (она сначала сохраняет копию) или откройте её программой "
               "той версии, которой она создана."_s.arg(what)
                   .arg(version)
                   .arg(schemaVersion)
                   .arg(commandArguments);
    if (shape == Shape::MustBeWhole) {
        if (const QStringList missing = schema::differences(db, true); !missing.isEmpty()) {
            constexpr qsizetype named = 3;
            QString which = missing.first(std::min(missing.size(), named)).join(u"; "_s);
            if (missing.size() > named)
                which += u" и ещё %1"_s.arg(missing.size() - named);
            return u"%1 неполная: %2. Её таблицы изменила другая программа. Восстановите базу из "
                   "резервной копии в папке backup; подробности покажет команда \"kuhnemer-data check "
                   "%3\"."_s.arg(what, which, commandArguments);
        }
    }
    return {};
}

std::optional<Database> Database::openFile(const QString& file, bool mustExist, QString* error,
                                           const QString& connectionName, Shape shape)
{
    auto refuse = [error](const QString& text) -> std::optional<Database> {
        if (error)
            *error = text;
        return std::nullopt;
    };
    if (!QSqlDatabase::isDriverAvailable(u"QSQLITE"_s))
        return refuse(u"Не установлен драйвер SQLite для Qt (пакет libqt6sql6-sqlite)."_s);
    if (mustExist) {
        if (!QFileInfo(file).isFile())
            return refuse(u"Не найдена база данных \"%1\"."_s.arg(QDir::toNativeSeparators(file)));
        // Checked before anything is written: opening a file that is not ours would enlarge it.
        if (const QString reason = notOurs(file); !reason.isEmpty())
            return refuse(reason);
        const QFileInfo folder(QFileInfo(file).absolutePath());
        if (!QFileInfo(file).isWritable() || !folder.isWritable())
            return refuse(u"База данных \"%1\" доступна только для чтения. Программе нужно право "
                          "записи в файл и в его каталог \"%2\"; попросите администратора "
                          "компьютера дать это право."_s.arg(QDir::toNativeSeparators(file),
                                                             QDir::toNativeSeparators(folder.filePath())));
    }
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::removeDatabase(connectionName);
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connectionName);
    db.setDatabaseName(file);
    // A locked database waits a little for the other program instead of failing at once.
    db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=3000"_s);
    auto fail = [&](const QString& text) -> std::optional<Database> {
        if (error)
            *error = text;
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        return std::nullopt;
    };
    if (!db.open())
        return fail(u"Не удалось открыть базу данных \"%1\": %2"_s.arg(QDir::toNativeSeparators(file),
                                                                       sqlErrorText(db.lastError())));
    if (mustExist) {
        const QString dir = QDir::toNativeSeparators(QFileInfo(file).absolutePath());
        if (const QString problem =
                kitchenProblem(db, shape, u"База данных \"%1\""_s.arg(QDir::toNativeSeparators(file)), dir);
            !problem.isEmpty())
            return fail(problem);
    }
    QString configureError;
    if (!configure(db, &configureError))
        return fail(u"Не удалось открыть базу данных \"%1\": %2"_s.arg(QDir::toNativeSeparators(file),
                                                                       configureError));
    return Database(connectionName);
}

std::optional<Database> Database::open(const QString& dataDir, QString* error, const QString& connectionName,
                                       Shape shape)
{
    if (!QFileInfo(dataDir).isDir()) {
        if (error)
            *error = u"Не найден каталог данных \"%1\"."_s.arg(QDir::toNativeSeparators(dataDir));
        return std::nullopt;
    }
    return openFile(filePath(dataDir), true, error, connectionName, shape);
}

std::optional<Database> Database::openServer(const QString& server, const QString& kitchen, QString* error,
                                             const QString& connectionName, Shape shape, Creation creation)
{
    auto refuse = [error](const QString& text) -> std::optional<Database> {
        if (error)
            *error = text;
        return std::nullopt;
    };
    if (!QSqlDatabase::isDriverAvailable(u"QPSQL"_s))
        return refuse(u"Не установлен драйвер PostgreSQL для Qt (пакет libqt6sql6-psql)."_s);
    QString reason;
    const QString options = Engine::postgresConnectOptions(server, &reason);
    const QString schemaName = options.isEmpty() ? QString() : Engine::kitchenSchema(kitchen, &reason);
    if (schemaName.isEmpty())
        return refuse(reason);
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::removeDatabase(connectionName);
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, connectionName);
    db.setConnectOptions(options);
    auto fail = [&](const QString& text) -> std::optional<Database> {
        if (error)
            *error = text;
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        return std::nullopt;
    };
    if (!db.open())
        return fail(Engine::connectionErrorText(server, db.lastError().text()));
    const QString what = u"Кухня \"%1\" на сервере \"%2\""_s.arg(schemaName, server);
    QString sqlError;
    if (!setUpSession(db, schemaName, &sqlError))
        return fail(u"%1 не открывается: %2"_s.arg(what, sqlError));
    QSqlQuery query(db);
    if (!runQuery(query, u"SELECT 1 FROM pg_namespace WHERE nspname = ?"_s, {schemaName}, &sqlError))
        return fail(u"%1 не открывается: %2"_s.arg(what, sqlError));
    const bool exists = query.next();
    query.finish();
    if (creation == Creation::New) {
        if (exists)
            return fail(u"%1 уже есть; новая кухня создаётся только на месте, где её нет."_s.arg(what));
        bool made = false;
        {
            // The schema is a checked plain name: it can stand in the statement unquoted.
            Transaction transaction(db);
            made = execSql(db, u"CREATE SCHEMA "_s + schemaName, {}, &sqlError) &&
                   schema::create(db, &sqlError) && transaction.commit();
        }
        if (!made)
            return fail(u"%1 не создана: %2"_s.arg(what, sqlError.isEmpty() ? sqlErrorText(db.lastError())
                                                                            : sqlError));
    } else {
        if (!exists)
            return fail(u"%1 не найдена."_s.arg(what));
        if (const QString problem =
                kitchenProblem(db, shape, what, u"--server \"%1\" --kitchen %2"_s.arg(server, schemaName));
            !problem.isEmpty())
            return fail(problem);
    }
    return Database(connectionName);
}

Database::Address Database::addressOf(const QSqlDatabase& owner)
{
    if (owner.driverName() != u"QPSQL"_s)
        return {QFileInfo(owner.databaseName()).absolutePath(), QString(), QString()};
    QSqlQuery query(owner);
    QString kitchen;
    if (runQuery(query, u"SELECT current_schema()"_s, {}, nullptr) && query.next())
        kitchen = query.value(0).toString();
    query.finish();
    return {QString(), owner.connectOptions(), kitchen};
}

std::optional<Database> Database::openSibling(const Address& address, QString* error,
                                              const QString& connectionName)
{
    if (address.serverOptions.isEmpty())
        return open(address.dataDir, error, connectionName, Shape::AsFound);
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::removeDatabase(connectionName);
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, connectionName);
    db.setConnectOptions(address.serverOptions);
    QString sqlError;
    const bool opened = db.open() && setUpSession(db, address.kitchen, &sqlError);
    if (opened)
        return Database(connectionName);
    if (error)
        *error = u"Кухня \"%1\" на сервере не открывается: %2"_s.arg(
            address.kitchen, sqlError.isEmpty() ? db.lastError().text() : sqlError);
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName);
    return std::nullopt;
}

std::optional<Database> Database::create(const QString& file, QString* error, const QString& connectionName)
{
    return openFile(file, false, error, connectionName);
}

void Database::close(Registration registration, Checkpoint checkpoint)
{
    {
        QSqlDatabase db = connection();
        if (db.isOpen()) {
            // A server keeps its own log. Its session ends only some time after the connection closes:
            // the kitchen is let go of at once, so that an operation that runs alone need not wait.
            const bool file = Engine::of(db) == Engine::Sqlite;
            if (!file) {
                QSqlQuery(db).exec(u"SELECT pg_advisory_unlock_all()"_s);
            } else if (checkpoint == Checkpoint::Run) {
                QSqlQuery query(db);
                query.exec(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
                query.finish();
            } else if (sqlite3* handle = sqliteHandle(db)) {
                // SQLite would otherwise copy the log back as the last connection closes.
                sqlite3_db_config(handle, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
            }
            db.close();
        }
    }
    if (registration == Registration::Remove)
        QSqlDatabase::removeDatabase(m_connectionName);
}

QString sqliteErrorText(int code, const QString& engineText)
{
    QString reason;
    // The low byte is the primary code.
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        reason = u"база данных занята другой программой, повторите позже"_s;
        break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        reason = u"база данных доступна только для чтения"_s;
        break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        reason = u"файл базы данных повреждён"_s;
        break;
    case SQLITE_FULL:
        reason = u"на диске нет места, освободите место и повторите"_s;
        break;
    case SQLITE_IOERR:
        reason = u"ошибка чтения или записи диска"_s;
        break;
    case SQLITE_CANTOPEN:
        reason = u"файл базы данных не открывается"_s;
        break;
    case SQLITE_CONSTRAINT:
        reason = u"значение не допускается таблицей"_s;
        break;
    default:
        break;
    }
    const QString engine = engineText.trimmed();
    if (reason.isEmpty())
        return engine;
    return engine.isEmpty() ? reason : u"%1 (%2)"_s.arg(reason, engine);
}

namespace {

// A server's error class (SQLSTATE) in the words sqliteErrorText uses for the same situations.
QString serverReason(const QString& state)
{
    if (state == u"42501"_s)
        return u"у пользователя сервера нет прав на это действие; попросите администратора сервера дать их"_s;
    if (state == u"25006"_s)
        return u"база данных доступна только для чтения"_s;
    if (state == u"53100"_s)
        return u"на диске сервера нет места; сообщите администратору сервера"_s;
    if (state == u"40P01"_s || state == u"55P03"_s || state == u"40001"_s)
        return u"база данных занята другой программой, повторите позже"_s;
    // Integrity violations, and a text or number too large for its field.
    if (state.startsWith(u"23"_s) || state == u"22001"_s || state == u"22003"_s)
        return u"значение не допускается таблицей"_s;
    if (state.startsWith(u"08"_s) || state.startsWith(u"57P"_s))
        return u"соединение с сервером прервано"_s;
    if (state.startsWith(u"XX"_s))
        return u"база данных на сервере повреждена; сообщите администратору сервера"_s;
    if (state.startsWith(u"58"_s))
        return u"ошибка чтения или записи диска сервера"_s;
    return {};
}

} // namespace

QString sqlErrorText(const QSqlError& error)
{
    Isolation::noteError(error);
    const QString native = error.nativeErrorCode();
    // A server reports its five-character SQLSTATE; SQLite's (extended) result codes are shorter.
    if (native.size() == 5) {
        const QString reason = serverReason(native);
        const QString engine = error.text().trimmed();
        if (reason.isEmpty())
            return engine;
        return engine.isEmpty() ? reason : u"%1 (%2)"_s.arg(reason, engine);
    }
    bool numeric = false;
    const int code = native.toInt(&numeric);
    return sqliteErrorText(numeric ? code : SQLITE_OK, error.text());
}

bool runQuery(QSqlQuery& query, const QString& sql, const QVariantList& values, QString* error)
{
    query.setForwardOnly(true);
    // A server prepares only queries and data changes: a statement with nothing to bind (a table's or
    // schema's definition, among others) runs as it is.
    bool ok = false;
    if (values.isEmpty()) {
        ok = query.exec(sql);
    } else if (query.prepare(sql)) {
        for (const QVariant& value : values)
            query.addBindValue(value);
        ok = query.exec();
    }
    if (!ok) {
        Transaction::statementFailed(query);
        if (error)
            *error = sqlErrorText(query.lastError());
    }
    return ok;
}

bool execSql(QSqlDatabase db, const QString& sql, const QVariantList& values, QString* error)
{
    QSqlQuery query(db);
    return runQuery(query, sql, values, error);
}

bool lockTablesForWriting(QSqlDatabase db, const QStringList& tables, QString* error)
{
    if (Engine::of(db) != Engine::Postgres)
        return true;
    QSqlQuery query(db);
    if (query.exec(u"LOCK TABLE %1 IN EXCLUSIVE MODE"_s.arg(tables.join(u", "_s))))
        return true;
    Transaction::statementFailed(query);
    *error = sqlErrorText(query.lastError());
    return false;
}
