#include "ExchangeCommands.h"
#include "store/WholeFile.h"

#include "CommandLookups.h"
#include "CommandSupport.h"
#include "exchange/CardExchange.h"
#include "exchange/CardFile.h"
#include "exchange/MenuTransfer.h"
#include "exchange/SalesReceipt.h"
#include "KitchenCommands.h"
#include "store/UserPrompts.h"
#include "StreamPrompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QSqlQuery>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace commands {

namespace {

QString yesHint()
{
    return u"Вопрос остался без ответа: согласие даёт параметр --yes. Ничего не сохранено."_s;
}

// Numbers in the card files take the separator of this computer, as in the window.
QChar decimalSeparator()
{
    return QLocale().decimalPoint().at(0);
}

// The file dialogs add their default suffix to a name without one.
QString withDefaultSuffix(const QString& file, const QString& suffix)
{
    return QFileInfo(file).suffix().isEmpty() ? file + u'.' + suffix : file;
}

// A dish name as a file name in a folder: no separators or characters a file system refuses.
QString fileNameOf(const QString& dishName)
{
    QString name = dishName.trimmed();
    for (QChar& c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' ||
            c == u'>' || c == u'|' || c.unicode() < 32)
            c = u'_';
    }
    if (name.isEmpty() || name.startsWith(u'.'))
        name.prepend(u'_');
    return name;
}

std::optional<PointOfSale> parseTarget(Options& options, QTextStream& err)
{
    bool missing = false;
    const std::optional<QString> target = options.value(u"--target"_s, &missing);
    if (const std::optional<PointOfSale> program = pointOfSaleNamed(target.value_or(QString())))
        return program;
    err << u"Укажите программу: --target buffeton или --target torg."_s << Qt::endl;
    return std::nullopt;
}

// The association of an imported card's ingredients from the options: an explicit pair for an
// offered name, else (with --by-name) the own ingredient of the same name and kind; anything else
// stops the import with the option that would answer it.
class CommandMatcher : public IngredientMatcher
{
public:
    CommandMatcher(QSqlDatabase db, QHash<QString, QString> pairs, bool byName, QTextStream& out,
                   QTextStream& err)
        : m_db(std::move(db)), m_pairs(std::move(pairs)), m_byName(byName), m_out(out), m_err(err)
    {
    }

    void startDish(const QString& dishName) override
    {
        m_out << u"Принимается блюдо \"%1\""_s.arg(dishName) << Qt::endl;
    }
    void addProtocolLine(const QString& line) override { m_out << line << Qt::endl; }

    std::optional<qlonglong> associate(const QString& offered, const QString& unit) override
    {
        QString error;
        if (const auto pair = m_pairs.constFind(offered); pair != m_pairs.cend()) {
            const std::optional<qlonglong> own =
                keyByName(m_db, u"Ing"_s, u"Kod1"_s, u"Name"_s, *pair, &error);
            if (!own)
                m_err << u"Ингредиент для \"%1\": %2"_s.arg(offered, error) << Qt::endl;
            return own;
        }
        if (m_byName) {
            const bool semiFinished = offered.endsWith(CardFile::semiFinishedSuffix);
            const QString name =
                semiFinished ? offered.chopped(CardFile::semiFinishedSuffix.size()) : offered;
            const std::optional<qlonglong> own = keyByName(m_db, u"Ing"_s, u"Kod1"_s, u"Name"_s, name, &error,
                                                           u"COALESCE(Pf, 0) = ?"_s, {int(semiFinished)});
            if (own)
                return own;
            m_err << u"Ингредиент \"%1\" (%2) по имени не связан: %3 Укажите --match \"%1=НАШ\"."_s.arg(
                         offered, unit, error)
                  << Qt::endl;
            return std::nullopt;
        }
        m_err << u"Не указано, с каким нашим ингредиентом связать \"%1\" (%2): укажите --match \"%1=НАШ\" "
                 "или --by-name."_s.arg(offered, unit)
              << Qt::endl;
        return std::nullopt;
    }

private:
    QSqlDatabase m_db;
    QHash<QString, QString> m_pairs;
    bool m_byName;
    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace

QString exchangeUsage()
{
    return u"  export-cards КАТАЛОГ --dish БЛЮДО [--group ГРУППА] --out ФАЙЛ.fck\n"
           "  export-cards КАТАЛОГ --group ГРУППА --out ПАПКА\n"
           "                           калькуляционная карточка блюда (или всех блюд группы) в файл .fck\n"
           "  import-cards КАТАЛОГ ФАЙЛ.fck --group ГРУППА [--yes] [--match ИХ=НАШ]... [--by-name]\n"
           "                           новое блюдо из карточки; ингредиенты связываются парами --match\n"
           "                           или (--by-name) с нашими того же имени; без ответа ничего не "
           "сохраняется\n"
           "  send-menu КАТАЛОГ --menu ИМЯ|НОМЕР --target buffeton|torg --out ФАЙЛ\n"
           "                           передача меню: файл .mnu или Products.dbf, Names.dbf и Zimp.zfl\n"
           "  receive-sales КАТАЛОГ ФАЙЛ --target buffeton|torg\n"
           "                           приём реализации (.rea или таблица .dbf) новым документом\n"_s;
}

int exportCards(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    Options options(arguments);
    bool missing = false;
    const std::optional<QString> dish = options.value(u"--dish"_s, &missing);
    const std::optional<QString> group = options.value(u"--group"_s, &missing);
    const std::optional<QString> target = options.value(u"--out"_s, &missing);
    if (missing || !target || (!dish && !group)) {
        err << u"Укажите --dish БЛЮДО --out ФАЙЛ или --group ГРУППА --out ПАПКА."_s << Qt::endl;
        return usageError;
    }
    if (strayOptions(options, err))
        return usageError;
    Kitchen kitchen;
    if (!openKitchen(dataDir, false, kitchen, err))
        return failed;
    const QSqlDatabase db = kitchen.db->connection();
    QString error;
    std::optional<qlonglong> groupKey;
    if (group && !(groupKey = namedKey(db, u"Grbludo"_s, u"Kod"_s, *group, u"Группа"_s, err)))
        return failed;
    StreamPrompts prompts(out, err, false, yesHint());
    CardExchange exchange(db, prompts);
    if (dish) {
        const std::optional<qlonglong> key =
            groupKey ? namedKey(db, u"Bludo"_s, u"Kod1"_s, *dish, u"Блюдо"_s, err, u"Kod = ?"_s, {*groupKey})
                     : namedKey(db, u"Bludo"_s, u"Kod1"_s, *dish, u"Блюдо"_s, err);
        if (!key)
            return failed;
        if (!exchange.exportDish(*key, *target, decimalSeparator()))
            return failed;
        out << QDir::toNativeSeparators(CardExchange::cardFileName(*target)) << Qt::endl;
        return done;
    }

    // A whole group: one file per dish, named after it; names that would share a file refuse the lot.
    QList<std::pair<qlonglong, QString>> dishes;
    QSqlQuery query(db);
    if (!runQuery(query, u"SELECT Kod1, Name FROM Bludo WHERE Kod = ? ORDER BY Kod1"_s, {*groupKey},
                  &error)) {
        err << error << Qt::endl;
        return failed;
    }
    QSet<QString> names;
    while (query.next()) {
        const QString name = fileNameOf(query.value(1).toString());
        if (names.contains(name.toLower())) {
            err << u"Два блюда группы дают один файл \"%1.fck\"; выгрузите их по одному (--dish НОМЕР)."_s
                       .arg(name)
                << Qt::endl;
            return failed;
        }
        names.insert(name.toLower());
        dishes.append({query.value(0).toLongLong(), name});
    }
    query.finish();
    if (dishes.isEmpty()) {
        err << u"В группе \"%1\" нет блюд."_s.arg(*group) << Qt::endl;
        return failed;
    }
    if (!QDir().mkpath(*target)) {
        err << u"Не удалось создать папку \"%1\"."_s.arg(QDir::toNativeSeparators(*target)) << Qt::endl;
        return failed;
    }
    int written = 0;
    for (const auto& [key, name] : dishes) {
        const QString file = QDir(*target).filePath(name + u".fck"_s);
        out << QDir::toNativeSeparators(file) << u": "_s;
        out.flush();
        if (exchange.exportDish(key, file, decimalSeparator()))
            ++written;
        else
            out << u"не выгружено"_s << Qt::endl;
    }
    out << u"Выгружено карточек: %1 из %2."_s.arg(written).arg(dishes.size()) << Qt::endl;
    return written == dishes.size() ? done : failed;
}

int importCards(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.isEmpty() || arguments.first().startsWith(u"--"_s)) {
        err << u"Укажите файл карточки после каталога."_s << Qt::endl;
        return usageError;
    }
    const QString path = arguments.first();
    Options options(arguments.mid(1));
    bool missing = false;
    const bool yes = options.flag(u"--yes"_s);
    const bool byName = options.flag(u"--by-name"_s);
    const std::optional<QString> group = options.value(u"--group"_s, &missing);
    QHash<QString, QString> pairs;
    while (const std::optional<QString> pair = options.value(u"--match"_s, &missing)) {
        const qsizetype at = pair->indexOf(u'=');
        if (at <= 0 || at == pair->size() - 1) {
            err << u"Пара --match пишется ИХ=НАШ: \"%1\"."_s.arg(*pair) << Qt::endl;
            return usageError;
        }
        pairs.insert(pair->left(at), pair->mid(at + 1));
    }
    if (missing || strayOptions(options, err)) {
        if (missing)
            err << u"У параметра нет значения."_s << Qt::endl;
        return usageError;
    }
    if (!group) {
        // The window imports into the group chosen on the page; here nobody chose one.
        err << u"Не указана группа, в которую будет помещено блюдо: --group ГРУППА."_s << Qt::endl;
        return failed;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err << u"Не удалось открыть файл \"%1\": %2"_s.arg(QDir::toNativeSeparators(path),
                                                           readErrorText(path))
            << Qt::endl;
        return failed;
    }
    // A pair naming no ingredient of the card is most likely a typo: refused before anything runs.
    if (!pairs.isEmpty()) {
        const CardFile::ReadResult read = CardFile::read(file, decimalSeparator());
        if (read.content) {
            QSet<QString> offered;
            for (const CardFileRow& row : read.content->rows)
                offered.insert(row.ingredient);
            for (auto pair = pairs.cbegin(); pair != pairs.cend(); ++pair) {
                if (!offered.contains(pair.key())) {
                    err << u"В карточке нет ингредиента \"%1\" (--match)."_s.arg(pair.key()) << Qt::endl;
                    return failed;
                }
            }
        }
        file.seek(0);
    }
    Kitchen kitchen;
    if (!openKitchen(dataDir, true, kitchen, err))
        return failed;
    const QSqlDatabase db = kitchen.db->connection();
    const std::optional<qlonglong> groupKey = namedKey(db, u"Grbludo"_s, u"Kod"_s, *group, u"Группа"_s, err);
    if (!groupKey)
        return failed;
    StreamPrompts prompts(out, err, yes, yesHint());
    CommandMatcher matcher(db, pairs, byName, out, err);
    const std::optional<qlonglong> dish =
        CardExchange(db, prompts).importCard(file, *groupKey, matcher, decimalSeparator());
    if (!dish)
        return failed;
    out << u"Новое блюдо: номер %1."_s.arg(*dish) << Qt::endl;
    return done;
}

int sendMenu(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err,
             const QDateTime& now)
{
    Options options(arguments);
    bool missing = false;
    const std::optional<QString> menu = options.value(u"--menu"_s, &missing);
    const std::optional<QString> target = options.value(u"--out"_s, &missing);
    const std::optional<PointOfSale> program = parseTarget(options, err);
    if (!program)
        return usageError;
    if (missing || !menu || !target) {
        err << u"Укажите --menu ИМЯ|НОМЕР и --out ФАЙЛ."_s << Qt::endl;
        return usageError;
    }
    if (strayOptions(options, err))
        return usageError;
    Kitchen kitchen;
    if (!openKitchen(dataDir, false, kitchen, err))
        return failed;
    const QSqlDatabase db = kitchen.db->connection();
    const std::optional<qlonglong> key = namedKey(db, u"Menu"_s, u"Kod"_s, *menu, u"Меню"_s, err);
    if (!key)
        return failed;
    StreamPrompts prompts(out, err, false, yesHint());
    MenuTransfer transfer(db, prompts);
    const bool bufeton = *program == PointOfSale::Bufeton;
    if (bufeton && !transfer.mayWriteMenuFile(*key))
        return failed;
    // The window offers "Products.dbf"; a folder given here takes that name inside it.
    const QString file = !bufeton && QFileInfo(*target).isDir()
                             ? QDir(*target).filePath(u"Products.dbf"_s)
                             : withDefaultSuffix(*target, menuFileSuffix(*program));
    if (!transfer.write(*program, *key, file, now, decimalSeparator()))
        return failed;
    out << (bufeton ? u"Меню передано: %1"_s : u"Меню передано: %1, Names.dbf и Zimp.zfl рядом"_s)
               .arg(QDir::toNativeSeparators(file))
        << Qt::endl;
    return done;
}

int receiveSales(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.isEmpty() || arguments.first().startsWith(u"--"_s)) {
        err << u"Укажите файл реализации после каталога."_s << Qt::endl;
        return usageError;
    }
    const QString path = arguments.first();
    Options options(arguments.mid(1));
    const std::optional<PointOfSale> program = parseTarget(options, err);
    if (!program)
        return usageError;
    if (strayOptions(options, err))
        return usageError;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err << u"Не удалось открыть файл \"%1\": %2"_s.arg(QDir::toNativeSeparators(path),
                                                           readErrorText(path))
            << Qt::endl;
        return failed;
    }
    Kitchen kitchen;
    if (!openKitchen(dataDir, true, kitchen, err))
        return failed;
    const QSqlDatabase db = kitchen.db->connection();
    StreamPrompts prompts(out, err, false, yesHint());
    const std::optional<qlonglong> document = SalesReceipt(db, prompts).receive(*program, file);
    if (!document)
        return failed;
    QSqlQuery query(db);
    QString error;
    if (!runQuery(query,
                  u"SELECT DateR, NameR, (SELECT count(*) FROM Realsum WHERE Kod = Realdoc.Kod) "
                  "FROM Realdoc WHERE Kod = ?"_s,
                  {*document}, &error) ||
        !query.next()) {
        out << u"Принят документ реализации номер %1."_s.arg(*document) << Qt::endl;
        return done;
    }
    out << u"Принят документ реализации номер %1 от %2 \"%3\", строк: %4."_s.arg(*document)
               .arg(query.value(0).toDate().toString(u"dd.MM.yyyy"_s), query.value(1).toString())
               .arg(query.value(2).toInt())
        << Qt::endl;
    return done;
}

} // namespace commands
