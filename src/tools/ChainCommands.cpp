#include "ChainCommands.h"

#include "CommandLookups.h"
#include "CommandSupport.h"
#include "exchange/CardFile.h"
#include "ExchangeCommands.h"
#include "KitchenCommands.h"
#include "PrintCommands.h"
#include "sales/ChainReportPrintJob.h"
#include "store/Engine.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace commands {

namespace {

bool serverGiven(const QString& what, QTextStream& err)
{
    if (!serverAddress().isEmpty())
        return true;
    err << u"%1 работает с кухнями сервера: укажите --server АДРЕС."_s.arg(what) << Qt::endl;
    return false;
}

// The ingredients a card file offers; empty for a file that does not read.
QSet<QString> offeredIngredients(const QString& path)
{
    QSet<QString> offered;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return offered;
    const CardFile::ReadResult read = CardFile::read(file, QLocale().decimalPoint().at(0));
    if (read.content) {
        for (const CardFileRow& row : read.content->rows)
            offered.insert(row.ingredient);
    }
    return offered;
}

} // namespace

QString chainUsage()
{
    return u"  chain-report --server АДРЕС --from ГГГГ-ММ-ДД --to ГГГГ-ММ-ДД --out ФАЙЛ.xlsx\n"
           "                           реализация, стоимость израсходованных ингредиентов, доля\n"
           "                           себестоимости и запасы на конец периода всех кухонь сервера\n"
           "  copy-cards --server АДРЕС --kitchen ОТКУДА --group ГРУППА --to КУХНЯ[,КУХНЯ...]\n"
           "             [--into ГРУППА] [--yes] [--match ИХ=НАШ]... [--by-name]\n"
           "                           карточки блюд группы в другие кухни сервера, как import-cards\n"_s;
}

int chainReport(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (!serverGiven(u"Отчёт по сети кухонь"_s, err))
        return usageError;
    Options options(arguments);
    bool missing = false;
    const std::optional<QString> file = options.value(u"--out"_s, &missing);
    const std::optional<std::pair<QDate, QDate>> period = periodOptions(options, false, err);
    if (!period)
        return usageError;
    if (!file || missing) {
        err << u"Укажите файл: --out ФАЙЛ.xlsx"_s << Qt::endl;
        return usageError;
    }
    if (strayOptions(options, err))
        return usageError;
    QString error;
    const QString connection = Engine::postgresConnectOptions(serverAddress(), &error);
    if (connection.isEmpty()) {
        err << error << Qt::endl;
        return failed;
    }
    ChainReportPrintJob job(connection, period->first, period->second);
    return runJob(job, *file, out, err);
}

int copyCards(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (!serverGiven(u"Копирование карточек между кухнями"_s, err))
        return usageError;
    Options options(arguments);
    bool missing = false;
    const std::optional<QString> group = options.value(u"--group"_s, &missing);
    const std::optional<QString> into = options.value(u"--into"_s, &missing);
    const std::optional<QString> to = options.value(u"--to"_s, &missing);
    // The import's answers go on to every import as they were given.
    QStringList answers;
    for (const QString& flag : {u"--yes"_s, u"--by-name"_s}) {
        if (options.flag(flag))
            answers << flag;
    }
    QHash<QString, QString> pairs;
    while (const std::optional<QString> pair = options.value(u"--match"_s, &missing))
        pairs.insert(pair->section(u'=', 0, 0), *pair);
    if (missing || !group || !to) {
        err << u"Укажите --group ГРУППА и --to КУХНЯ[,КУХНЯ...]."_s << Qt::endl;
        return usageError;
    }
    if (strayOptions(options, err))
        return usageError;
    const QString server = serverAddress();
    const QString source = kitchenName();
    const QStringList targets = to->split(u',', Qt::SkipEmptyParts);

    QTemporaryDir folder;
    QString exported;
    QTextStream exportOut(&exported);
    if (const int code =
            exportCards(dataDir, {u"--group"_s, *group, u"--out"_s, folder.path()}, exportOut, err);
        code != done)
        return code;
    const QDir cards(folder.path());
    const QStringList files = cards.entryList({u"*.fck"_s}, QDir::Files, QDir::Name);
    // A pair that no card of the group offers is most likely a typo: refused before anything is stored.
    QHash<QString, QSet<QString>> offered;
    QSet<QString> anyOffered;
    for (const QString& name : files) {
        offered.insert(name, offeredIngredients(cards.filePath(name)));
        anyOffered.unite(offered.value(name));
    }
    for (auto pair = pairs.cbegin(); pair != pairs.cend(); ++pair) {
        if (!anyOffered.contains(pair.key())) {
            err << u"Ни в одной карточке группы нет ингредиента \"%1\" (--match)."_s.arg(pair.key())
                << Qt::endl;
            return failed;
        }
    }

    int copied = 0;
    QStringList refused;
    for (const QString& target : targets) {
        useServer(server, target);
        for (const QString& name : files) {
            QStringList importing{cards.filePath(name), u"--group"_s, into.value_or(*group)};
            importing += answers;
            for (auto pair = pairs.cbegin(); pair != pairs.cend(); ++pair) {
                if (offered.value(name).contains(pair.key()))
                    importing << u"--match"_s << pair.value();
            }
            out << u"Кухня \"%1\", карточка %2"_s.arg(target, name) << Qt::endl;
            if (importCards(dataDir, importing, out, err) == done)
                ++copied;
            else
                refused << u"%1 → %2"_s.arg(name, target);
        }
    }
    useServer(server, source);
    out << u"Скопировано карточек: %1 из %2."_s.arg(copied).arg(files.size() * targets.size()) << Qt::endl;
    if (refused.isEmpty())
        return done;
    err << u"Не скопированы: %1."_s.arg(refused.join(u", "_s)) << Qt::endl;
    return failed;
}

} // namespace commands
