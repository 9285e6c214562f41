#include "KitchenCommands.h"

#include "ChainCommands.h"
#include "CommandSupport.h"
#include "costing/DishCostCalculator.h"
#include "DemoKitchen.h"
#include "ExchangeCommands.h"
#include "PrintCommands.h"
#include "SalesCommands.h"
#include "store/Database.h"
#include "store/KitchenLock.h"
#include "store/KitchenMove.h"
#include "store/Maintenance.h"
#include "store/Schema.h"
#include "store/SchemaUpgrade.h"
#include "store/ValueWarnings.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace commands {

namespace {

// One rule of the check: rows (their name) whose stored value a calculation would stop on. The words
// are shared with the card files, which refuse such values.
struct ValueRule
{
    const char* sql;
    const QString& problem;
};

// The divisors of the price, consumption and print calculations, as the grids mark them.
const ValueRule divisorRules[] = {
    {"SELECT Name FROM Edinica WHERE NOT COALESCE(Gramm, 0) > 0", valuewarnings::unitGramsNotPositive},
    {"SELECT Name FROM Bludo WHERE NOT COALESCE(Nporc, 0) > 0", valuewarnings::dishPortionsNotPositive},
    {"SELECT Name FROM Ing WHERE COALESCE(Pf, 0) = 0 AND NOT COALESCE(Vih, 0) > 0",
     valuewarnings::ingredientYieldNotPositive},
    {"SELECT b.Name || ' / ' || i.Name FROM Karta k JOIN Bludo b ON b.Kod1 = k.Kod JOIN Ing i ON i.Kod1 = "
     "k.Name "
     "WHERE COALESCE(i.Pf, 0) = 0 AND NOT COALESCE(k.Vihod, 0) > 0",
     valuewarnings::cardYieldNotPositive},
};

int checkOpen(const QSqlDatabase& db, QTextStream& out, QTextStream& err)
{
    int problems = 0;
    QStringList damage;
    QString error;
    // Refused (a server without the check or the right to run it), the rest is checked all the same.
    const bool pagesChecked = schema::integrityFindings(db, &damage, &error);
    if (!pagesChecked)
        err << u"Проверка целостности не выполнена: %1"_s.arg(error) << Qt::endl;
    for (const QString& verdict : damage)
        out << u"Целостность: %1"_s.arg(verdict) << Qt::endl;
    problems += int(damage.size());
    out << u"Версия схемы: %1"_s.arg(Database::schemaVersion) << Qt::endl;
    // The two places of the version must agree; the opening trusts the larger one.
    if (const QString disagreement = schema::versionDisagreement(db); !disagreement.isEmpty()) {
        out << u"Схема: %1"_s.arg(disagreement) << Qt::endl;
        ++problems;
    }
    QSqlQuery query(db);
    const QStringList shape = schema::differences(db);
    for (const QString& finding : shape)
        out << u"Схема: %1"_s.arg(finding) << Qt::endl;
    problems += int(shape.size());
    // The value checks below read every table and field: a kitchen missing one stops here.
    if (!schema::differences(db, true).isEmpty()) {
        out << u"Найдено ошибок: %1. Проверка значений невозможна, пока в базе не хватает таблиц или полей."_s
                   .arg(problems)
            << Qt::endl;
        return failed;
    }
    for (const ValueRule& rule : divisorRules) {
        if (!query.exec(QString::fromUtf8(rule.sql))) {
            err << sqlErrorText(query.lastError()) << Qt::endl;
            return failed;
        }
        while (query.next()) {
            out << u"Остановит расчёт — %1: \"%2\""_s.arg(rule.problem, query.value(0).toString())
                << Qt::endl;
            ++problems;
        }
    }
    // A reference names a row only as a whole number; the operations that meet another value refuse it.
    // The names are the schema's plain identifiers, unquoted, as a server folded them at creation.
    for (const schema::Reference& reference : schema::references()) {
        const QString table = QString::fromLatin1(reference.table);
        const QString field = QString::fromLatin1(reference.field);
        if (!query.exec(u"SELECT %1, %2 FROM %3 WHERE %2 <> CAST(%2 AS BIGINT) ORDER BY 1"_s.arg(
                QString::fromLatin1(reference.key), field, table))) {
            err << sqlErrorText(query.lastError()) << Qt::endl;
            return failed;
        }
        while (query.next()) {
            out << u"Ссылка не целым кодом: %1.%2 = %3 (строка %4)"_s.arg(
                       table, field,
                       QLocale::c().toString(query.value(1).toDouble(), 'g', QLocale::FloatingPointShortest),
                       query.value(0).toString())
                << Qt::endl;
            ++problems;
        }
    }
    // Infinities compare beyond the largest double; SQLite keeps a NaN as an empty value. Unquoted, as
    // the references above.
    for (const auto& [table, column] : schema::fieldsOfType(db, u"REAL"_s)) {
        if (!query.exec(
                u"SELECT count(*) FROM %1 WHERE abs(%2) > 1.7976931348623157e308"_s.arg(table, column)) ||
            !query.next()) {
            err << sqlErrorText(query.lastError()) << Qt::endl;
            return failed;
        }
        if (const int count = query.value(0).toInt(); count > 0) {
            out << u"Бесконечное число: %1.%2, строк: %3"_s.arg(table, column).arg(count) << Qt::endl;
            ++problems;
        }
    }
    if (problems == 0) {
        out << (pagesChecked ? u"Ошибок не найдено."_s : u"Других ошибок не найдено."_s) << Qt::endl;
        return pagesChecked ? done : failed;
    }
    out << u"Найдено ошибок: %1."_s.arg(problems) << Qt::endl;
    return failed;
}

} // namespace

QString usage()
{
    return u"Использование: kuhnemer-data КОМАНДА КАТАЛОГ [ПАРАМЕТРЫ]\n"
           "  create КАТАЛОГ [--demo]  создать пустую кухню (или образец столовой) в каталоге данных\n"
           "  check КАТАЛОГ            проверить целостность, версию, ссылки и значения, на которых "
           "остановятся расчёты\n"
           "  upgrade КАТАЛОГ          обновить кухню старой версии (сначала сохраняется копия)\n"
           "  backup КАТАЛОГ [ФАЙЛ]    копия базы, целая или никакой, и при открытой программе\n"
           "                           (по умолчанию в КАТАЛОГ/backup)\n"
           "  reprice КАТАЛОГ          \"Расчёт цен блюд\": цены полуфабрикатов и порций всех блюд\n"_s +
           salesUsage() + printUsage() + exchangeUsage() + chainUsage() +
           u"  move ОТКУДА КУДА [--kitchen ИМЯ]  перенести кухню из каталога на сервер или обратно;\n"
           "                           сервер — строка соединения или postgresql://..., КУДА должно\n"
           "                           быть пустым, кухня там появляется целой или не появляется\n"
           "  --server АДРЕС [--kitchen ИМЯ]  после команды: кухня на сервере PostgreSQL (строка\n"
           "                           соединения или postgresql://..., пароль — в ~/.pgpass или "
           "PGPASSWORD),\n"
           "                           схема ИМЯ (по умолчанию kuhnemer); КАТАЛОГ тогда можно не указывать,\n"
           "                           в нём лежат только файлы обмена и печати\n"
           "  --help                   эта справка\n"
           "Код выхода: 0 выполнено, 1 отказ или ошибка, 2 неверный вызов.\n"_s;
}

namespace {

// What a command that works on the file alone says for a server kitchen.
int refusedOnServer(const QString& what, QTextStream& err)
{
    err << u"%1 кухни на сервере эта команда не делает: %2"_s.arg(what.left(1).toUpper() + what.mid(1),
                                                                  serverInUse())
        << Qt::endl;
    return failed;
}

} // namespace

int backup(const QString& dataDir, const QString& file, QTextStream& out, QTextStream& err)
{
    QString error;
    const QString copy = serverInUse().isEmpty() ? Maintenance::backup(dataDir, &error, {}, file)
                                                 : backupServerKitchen(dataDir, file, &error);
    if (copy.isEmpty()) {
        err << u"Резервная копия не создана: %1"_s.arg(error) << Qt::endl;
        return failed;
    }
    out << u"Резервная копия: %1"_s.arg(QDir::toNativeSeparators(copy)) << Qt::endl;
    return done;
}

int reprice(const QString& dataDir, QTextStream& out, QTextStream& err)
{
    Kitchen kitchen;
    if (!openKitchen(dataDir, true, kitchen, err))
        return failed;
    const DishCostRun run = DishCostCalculator(kitchen.db->connection()).run();
    if (!run.ok) {
        err << run.message << Qt::endl;
        return failed;
    }
    out << u"Расчёт цен блюд: рассчитано блюд %1, изменено цен %2, полуфабрикатов %3"_s.arg(run.dishesPriced)
               .arg(run.dishPricesChanged)
               .arg(run.semiFinishedPriced);
    if (run.dishesSkipped > 0)
        out << u", пропущено блюд без группы %1"_s.arg(run.dishesSkipped);
    out << '.' << Qt::endl;
    return done;
}

int create(const QString& dataDir, bool demo, QTextStream& out, QTextStream& err)
{
    QString error;
    const QString server = serverInUse();
    if (!server.isEmpty() ? !createServerKitchen(&error) : !schema::createDataDirectory(dataDir, &error)) {
        err << error << Qt::endl;
        return failed;
    }
    if (demo) {
        Kitchen kitchen;
        if (!openKitchen(dataDir, true, kitchen, err))
            return failed;
        QSqlDatabase sql = kitchen.db->connection();
        if (!demo::fill(sql, &error)) {
            err << error << Qt::endl;
            return failed;
        }
    }
    out << u"Создана %1: %2"_s.arg(demo ? u"кухня-образец"_s : u"пустая кухня"_s,
                                   server.isEmpty() ? QDir::toNativeSeparators(dataDir) : server)
        << Qt::endl;
    return done;
}

int check(const QString& dataDir, QTextStream& out, QTextStream& err)
{
    // Opened as found: the check is where a kitchen missing a field is told which and where.
    if (!serverInUse().isEmpty()) {
        Kitchen kitchen;
        if (!openKitchen(dataDir, false, kitchen, err, Database::Shape::AsFound))
            return failed;
        return checkOpen(kitchen.db->connection(), out, err);
    }
    QString error;
    std::optional<Database> db =
        Database::open(dataDir, &error, u"kuhnemer-data"_s, Database::Shape::AsFound);
    if (!db) {
        err << error << Qt::endl;
        return failed;
    }
    const int result = checkOpen(db->connection(), out, err);
    db->close();
    return result;
}

int upgrade(const QString& dataDir, QTextStream& out, QTextStream& err)
{
    if (!serverInUse().isEmpty())
        return refusedOnServer(u"обновление"_s, err);
    const QString file = Database::filePath(dataDir);
    if (!QFileInfo(file).isFile()) {
        err << u"Не найдена база данных \"%1\"."_s.arg(QDir::toNativeSeparators(file)) << Qt::endl;
        return failed;
    }
    KitchenLock lock(dataDir);
    QString error;
    if (!lock.acquire(&error)) {
        err << error << Qt::endl;
        return failed;
    }
    const schema::UpgradeResult result = schema::upgradeDataDirectory(dataDir);
    (result.ok ? out : err) << result.message << Qt::endl;
    return result.ok ? done : failed;
}

int moveKitchen(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    Options options(arguments);
    bool missing = false;
    const QString kitchenName =
        options.value(u"--kitchen"_s, &missing).value_or(QString::fromLatin1(Database::defaultKitchen));
    const QStringList places = options.rest();
    if (missing || places.size() != 2 || places.at(0).startsWith(u'-') || places.at(1).startsWith(u'-')) {
        err << usage();
        return usageError;
    }
    // A libpq connection string has "key=value" pairs; a URI its scheme. Anything else is a folder.
    auto place = [&](const QString& text) {
        const bool server =
            text.startsWith(u"postgresql://"_s) || text.startsWith(u"postgres://"_s) || text.contains(u'=');
        return server ? kitchenmove::Place{{}, text, kitchenName}
                      : kitchenmove::Place{QFileInfo(text).absoluteFilePath(), {}, {}};
    };
    const kitchenmove::Place source = place(places.at(0));
    const kitchenmove::Place target = place(places.at(1));
    // The program must not write to a kitchen file while it is being read.
    std::unique_ptr<KitchenLock> lock;
    QString error;
    if (source.server.isEmpty() && QFileInfo(source.dataDir).isDir()) {
        lock = std::make_unique<KitchenLock>(source.dataDir);
        if (!lock->acquire(&error)) {
            err << error << Qt::endl;
            return failed;
        }
    }
    qlonglong rows = 0;
    if (!kitchenmove::move(source, target, &rows, &error)) {
        err << error << Qt::endl;
        return failed;
    }
    out << u"Кухня перенесена: %1 → %2, строк: %3."_s.arg(source.describe(), target.describe()).arg(rows)
        << Qt::endl;
    return done;
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.contains(u"--help"_s) || arguments.contains(u"-h"_s)) {
        out << usage();
        return done;
    }
    auto usageFailure = [&] {
        err << usage();
        return usageError;
    };
    if (arguments.value(0) == QLatin1String("move"))
        return moveKitchen(arguments.mid(1), out, err);
    // The chain's commands need no directory: every kitchen is on the server.
    const bool chain = arguments.value(0) == QLatin1String("chain-report") ||
                       arguments.value(0) == QLatin1String("copy-cards");
    QStringList given = arguments;
    // With a server the directory may be left out: the current one holds the workstation's files.
    if (given.size() >= 2 && given.at(1).startsWith(u"--"_s) && (chain || given.contains(u"--server"_s)))
        given.insert(1, QDir::currentPath());
    if (given.size() < 2 || given.at(1).startsWith(u'-'))
        return usageFailure();
    const QString command = given.at(0);
    const QString dataDir = given.at(1);
    QStringList options = given.mid(2);
    // A server kitchen: the directory then holds only the workstation's files.
    Options where(options);
    bool missing = false;
    const QString server = where.value(u"--server"_s, &missing).value_or(QString());
    const std::optional<QString> kitchenName = where.value(u"--kitchen"_s, &missing);
    if (missing || (kitchenName && server.isEmpty()))
        return usageFailure();
    options = where.rest();
    useServer(server, kitchenName.value_or(QString::fromLatin1(Database::defaultKitchen)));
    // The choice is this command line's only; a caller running commands one by one starts afresh.
    const auto forget = qScopeGuard([] { useServer({}, {}); });
    if (command == QLatin1String("print"))
        return print(dataDir, options, out, err);
    if (command == QLatin1String("chain-report"))
        return chainReport(options, out, err);
    if (command == QLatin1String("copy-cards"))
        return copyCards(dataDir, options, out, err);
    if (command == QLatin1String("post-sales"))
        return postSales(dataDir, options, out, err);
    if (command == QLatin1String("export-cards"))
        return exportCards(dataDir, options, out, err);
    if (command == QLatin1String("import-cards"))
        return importCards(dataDir, options, out, err);
    if (command == QLatin1String("send-menu"))
        return sendMenu(dataDir, options, out, err);
    if (command == QLatin1String("receive-sales"))
        return receiveSales(dataDir, options, out, err);
    if (command == QLatin1String("backup")) {
        if (options.size() > 1 || (options.size() == 1 && options.first().startsWith(u'-')))
            return usageFailure();
        return backup(dataDir, options.value(0), out, err);
    }
    if (command == QLatin1String("create")) {
        if (options.size() > 1 || (options.size() == 1 && options.first() != QLatin1String("--demo")))
            return usageFailure();
        return create(dataDir, !options.isEmpty(), out, err);
    }
    if (!options.isEmpty())
        return usageFailure();
    if (command == QLatin1String("check"))
        return check(dataDir, out, err);
    if (command == QLatin1String("upgrade"))
        return upgrade(dataDir, out, err);
    if (command == QLatin1String("reprice"))
        return reprice(dataDir, out, err);
    return usageFailure();
}

} // namespace commands
