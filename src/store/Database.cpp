#include "Database.h"

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
    if (mustExist && shape != Shape::AnyVersion) {
        // Only read so far: the version decides before the settings below write to the file.
        QString versionError;
        const int version = schema::storedVersion(db, &versionError);
        if (version < 0)
            return fail(u"Не удалось открыть базу данных \"%1\": %2"_s.arg(QDir::toNativeSeparators(file),
                                                                           versionError));
        const QString dir = QDir::toNativeSeparators(QFileInfo(file).absolutePath());
        if (version > schemaVersion)
            return fail(u"База данных \"%1\" имеет версию %2, а программа работает с версией %3: базу "
                        "обновила более новая программа. Откройте её программой той версии или новее."_s
                            .arg(QDir::toNativeSeparators(file))
                            .arg(version)
                            .arg(schemaVersion));
        if (version != schemaVersion)
            return fail(u"База данных \"%1\" имеет версию %2, а программа работает с версией %3. "
                        "Обновите базу командой \"kuhnemer-data upgrade %4\" (она сначала "
                        "сохраняет копию) или откройте её программой той версии, которой она "
                        "создана."_s.arg(QDir::toNativeSeparators(file))
                            .arg(version)
                            .arg(schemaVersion)
                            .arg(dir));
    }
    if (mustExist && shape == Shape::MustBeWhole) {
        if (const QStringList missing = schema::differences(db, true); !missing.isEmpty()) {
            constexpr qsizetype named = 3;
            QString which = missing.first(std::min(missing.size(), named)).join(u"; "_s);
            if (missing.size() > named)
                which += u" и ещё %1"_s.arg(missing.size() - named);
            return fail(
                u"База данных \"%1\" неполная: %2. Её таблицы изменила другая программа. Восстановите "
                "базу из резервной копии в папке backup; подробности покажет команда "
                "\"kuhnemer-data check %3\"."_s.arg(
                    QDir::toNativeSeparators(file), which,
                    QDir::toNativeSeparators(QFileInfo(file).absolutePath())));
        }
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

std::optional<Database> Database::create(const QString& file, QString* error, const QString& connectionName)
{
    return openFile(file, false, error, connectionName);
}

void Database::close(Registration registration, Checkpoint checkpoint)
{
    {
        QSqlDatabase db = connection();
        if (db.isOpen()) {
            if (checkpoint == Checkpoint::Run) {
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

Transaction::Transaction(QSqlDatabase db) : m_db(std::move(db))
{
    // Inside another operation's transaction this one is a savepoint of it: a failure undoes only the
    // inner work, and nothing is stored before the outer commit.
    sqlite3* handle = Database::sqliteHandle(m_db);
    if (handle && !sqlite3_get_autocommit(handle)) {
        m_nested = true;
        m_active = QSqlQuery(m_db).exec(u"SAVEPOINT inner_operation"_s);
        return;
    }
    m_active = m_db.transaction();
}

Transaction::~Transaction()
{
    if (!m_active)
        return;
    if (m_nested) {
        QSqlQuery(m_db).exec(u"ROLLBACK TO inner_operation"_s);
        QSqlQuery(m_db).exec(u"RELEASE inner_operation"_s);
    } else {
        m_db.rollback();
    }
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    if (m_nested)
        return QSqlQuery(m_db).exec(u"RELEASE inner_operation"_s);
    return m_db.commit();
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

QString sqlErrorText(const QSqlError& error)
{
    bool numeric = false;
    // The driver reports SQLite's result code.
    const int code = error.nativeErrorCode().toInt(&numeric);
    return sqliteErrorText(numeric ? code : SQLITE_OK, error.text());
}

bool runQuery(QSqlQuery& query, const QString& sql, const QVariantList& values, QString* error)
{
    query.setForwardOnly(true);
    bool ok = query.prepare(sql);
    if (ok) {
        for (const QVariant& value : values)
            query.addBindValue(value);
        ok = query.exec();
    }
    if (!ok && error)
        *error = sqlErrorText(query.lastError());
    return ok;
}

bool execSql(QSqlDatabase db, const QString& sql, const QVariantList& values, QString* error)
{
    QSqlQuery query(db);
    return runQuery(query, sql, values, error);
}
