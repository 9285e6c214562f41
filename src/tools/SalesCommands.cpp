#include "SalesCommands.h"

#include "CommandLookups.h"
#include "CommandSupport.h"
#include "KitchenCommands.h"
#include "sales/SalesPosting.h"
#include "StreamPrompts.h"

#include <QSqlQuery>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace commands {

namespace {

// The partner the chooser would return: the one named, or 0 when the kitchen has none (the chooser's
// OK on an empty list). With partners and no --partner there is no answer, and no guess either.
int choosePartner(const QSqlDatabase& db, const std::optional<QString>& wanted, qlonglong* partner,
                  QTextStream& err)
{
    QString error;
    if (wanted) {
        const std::optional<qlonglong> key = namedKey(db, u"Partner"_s, u"Nnn"_s, *wanted, u"Партнёр"_s, err);
        if (!key)
            return failed;
        *partner = *key;
        return done;
    }
    QSqlQuery query(db);
    if (!runQuery(query, u"SELECT count(*) FROM Partner"_s, {}, &error) || !query.next()) {
        err << error << Qt::endl;
        return failed;
    }
    if (query.value(0).toLongLong() > 0) {
        err << u"Укажите партнёра проводки: --partner ИМЯ или --partner НОМЕР."_s << Qt::endl;
        return usageError;
    }
    *partner = 0;
    return done;
}

} // namespace

int postSales(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    Options options(arguments);
    const auto period = periodOptions(options, true, err);
    if (!period)
        return usageError;
    bool missing = false;
    const std::optional<QString> partnerName = options.value(u"--partner"_s, &missing);
    if (missing) {
        err << u"Укажите партнёра после --partner."_s << Qt::endl;
        return usageError;
    }
    if (strayOptions(options, err))
        return usageError;
    Kitchen kitchen;
    if (!openKitchen(dataDir, true, kitchen, err))
        return failed;
    const QSqlDatabase db = kitchen.db->connection();
    qlonglong partner = 0;
    if (const int code = choosePartner(db, partnerName, &partner, err); code != done)
        return code;

    // Each document is its own posting, as on the page: a refusal stops the run, and the documents
    // posted before it stay posted.
    StreamPrompts prompts(out, err);
    const PeriodPosting run = SalesPosting(db, prompts).postPeriod(period->first, period->second, partner);
    if (!run.ok) {
        if (run.failedKey != 0) {
            err << u"Документ %1 \"%2\" от %3 не проведён."_s.arg(run.failedKey)
                       .arg(run.failedName, run.failedDate.toString(u"dd.MM.yyyy"_s))
                << Qt::endl;
            out << u"Проведено документов: %1 из %2, уже проведённых: %3."_s.arg(run.posted)
                       .arg(run.open)
                       .arg(run.alreadyPosted)
                << Qt::endl;
        }
        return failed;
    }
    out << u"Проведено документов: %1, уже проведённых: %2."_s.arg(run.posted).arg(run.alreadyPosted)
        << Qt::endl;
    return done;
}

QString salesUsage()
{
    return u"  post-sales КАТАЛОГ (--date ГГГГ-ММ-ДД | --from ГГГГ-ММ-ДД --to ГГГГ-ММ-ДД) [--partner "
           u"ИМЯ|НОМЕР]\n"
           "                           \"Проводка\" открытых документов реализации дня или периода\n"
           "                           (партнёр обязателен, если в справочнике есть партнёры)\n"_s;
}

} // namespace commands
