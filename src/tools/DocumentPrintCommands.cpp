#include "DocumentPrintCommands.h"

#include "CommandLookups.h"
#include "CommandSupport.h"
#include "KitchenCommands.h"
#include "sales/SalesDocumentPrintJob.h"
#include "sales/SalesSummaryPrintJob.h"
#include "warehouse/InventoryActPrintJob.h"
#include "warehouse/InventoryFormPrintJob.h"
#include "warehouse/TurnoverPrintJob.h"

#include <QSqlQuery>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace commands {

namespace {

QString dayText(const QDate& date)
{
    return date.toString(u"dd.MM.yyyy"_s);
}

// The document of "--document KEY" or "--date D" (the only one of that day); the exit code when there
// is none to print. A key is taken as given: the job refuses one that names no document.
int chooseSalesDocument(const QSqlDatabase& db, Options& options, qlonglong* document, QTextStream& err)
{
    bool missing = false;
    bool bad = false;
    const std::optional<QString> key = options.value(u"--document"_s, &missing);
    const std::optional<QDate> day = dateOption(options, u"--date"_s, &bad, err);
    if (bad)
        return usageError;
    if (missing || key.has_value() == day.has_value()) {
        err << u"Укажите документ: --document НОМЕР или --date ГГГГ-ММ-ДД."_s << Qt::endl;
        return usageError;
    }
    if (strayOptions(options, err))
        return usageError;
    if (key) {
        bool number = true;
        *document = key->toLongLong(&number);
        if (!number) {
            err << u"Номер документа \"%1\" не является числом."_s.arg(*key) << Qt::endl;
            return usageError;
        }
        return done;
    }
    QString error;
    QList<qlonglong> found;
    if (!forEachRow(
            db, u"SELECT Kod FROM Realdoc WHERE DateR = ? ORDER BY Kod"_s, {day->toString(Qt::ISODate)},
            [&](const QSqlQuery& query) { found.append(query.value(0).toLongLong()); }, &error)) {
        err << error << Qt::endl;
        return failed;
    }
    if (found.isEmpty()) {
        err << u"Документов реализации за %1 нет."_s.arg(dayText(*day)) << Qt::endl;
        return failed;
    }
    if (found.size() > 1) {
        QStringList keys;
        for (qlonglong each : found)
            keys.append(QString::number(each));
        err << u"Документов реализации за %1 несколько (номера %2): укажите --document НОМЕР."_s.arg(
                   dayText(*day), keys.join(u", "_s))
            << Qt::endl;
        return usageError;
    }
    *document = found.first();
    return done;
}

int printSalesDocument(Kitchen& kitchen, Options& options, SalesDocumentPrintJob::Layout layout,
                       std::unique_ptr<PrintJob>& job, QTextStream& err)
{
    const QSqlDatabase db = kitchen.db->connection();
    qlonglong document = 0;
    if (const int code = chooseSalesDocument(db, options, &document, err); code != done)
        return code;
    job = std::make_unique<SalesDocumentPrintJob>(db, document, layout);
    return done;
}

} // namespace

int printSalesTables(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err)
{
    return printSalesDocument(kitchen, options, SalesDocumentPrintJob::Layout::Tables, job, err);
}

int printCrossTable(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err)
{
    return printSalesDocument(kitchen, options, SalesDocumentPrintJob::Layout::CrossTable, job, err);
}

int printSalesSummary(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err)
{
    const auto period = periodOptions(options, false, err);
    if (!period)
        return usageError;
    if (strayOptions(options, err))
        return usageError;
    job = std::make_unique<SalesSummaryPrintJob>(kitchen.db->connection(), period->first, period->second);
    return done;
}

namespace {

// The inventory of "--inventory N"; the exit code when the options name none.
int chooseInventory(Options& options, qlonglong* inventory, QTextStream& err)
{
    bool missing = false;
    const std::optional<QString> wanted = options.value(u"--inventory"_s, &missing);
    bool number = false;
    *inventory = wanted ? wanted->toLongLong(&number) : 0;
    if (missing || !number) {
        err << u"Укажите инвентаризацию: --inventory НОМЕР."_s << Qt::endl;
        return usageError;
    }
    if (strayOptions(options, err))
        return usageError;
    return done;
}

int printInventoryForm(Kitchen& kitchen, Options& options, InventoryForm form, std::unique_ptr<PrintJob>& job,
                       QTextStream& err)
{
    qlonglong inventory = 0;
    if (const int code = chooseInventory(options, &inventory, err); code != done)
        return code;
    job = std::make_unique<InventoryFormPrintJob>(kitchen.db->connection(), inventory, form);
    return done;
}

} // namespace

int printInventoryAct(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err)
{
    qlonglong inventory = 0;
    if (const int code = chooseInventory(options, &inventory, err); code != done)
        return code;
    job = std::make_unique<InventoryActPrintJob>(kitchen.db->connection(), inventory);
    return done;
}

int printInventoryList(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err)
{
    return printInventoryForm(kitchen, options, InventoryForm::List, job, err);
}

int printInventoryComparison(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job,
                             QTextStream& err)
{
    return printInventoryForm(kitchen, options, InventoryForm::Comparison, job, err);
}

int printTurnover(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err)
{
    bool missing = false;
    const bool shortVariant = options.flag(u"--short"_s);
    const bool fullVariant = options.flag(u"--full"_s);
    const bool all = options.flag(u"--all"_s);
    const std::optional<QString> group = options.value(u"--group"_s, &missing);
    const std::optional<QString> ingredient = options.value(u"--ingredient"_s, &missing);
    if (missing || int(all) + int(group.has_value()) + int(ingredient.has_value()) != 1) {
        err << u"Укажите одно из --ingredient ИНГРЕДИЕНТ, --group ГРУППА или --all."_s << Qt::endl;
        return usageError;
    }
    // The dialog's check box keeps its last state, so the command has no default to fall back on.
    if (shortVariant == fullVariant) {
        err << u"Укажите вариант: --short (сокращённый) или --full (полный)."_s << Qt::endl;
        return usageError;
    }
    const auto period = periodOptions(options, false, err);
    if (!period)
        return usageError;
    if (strayOptions(options, err))
        return usageError;
    const QSqlDatabase db = kitchen.db->connection();
    TurnoverOptions turnover;
    turnover.shortVariant = shortVariant;
    turnover.start = period->first;
    turnover.end = period->second;
    turnover.scope = all     ? TurnoverScope::AllGroups
                     : group ? TurnoverScope::Group
                             : TurnoverScope::Ingredient;
    QString error;
    std::optional<qlonglong> key = 0;
    if (group)
        key = keyByName(db, u"Gring"_s, u"Kod"_s, u"Name"_s, *group, &error);
    // The stock page lists the stocked ingredients only, not the semi-finished products.
    if (ingredient)
        key = keyByName(db, u"Ing"_s, u"Kod1"_s, u"Name"_s, *ingredient, &error, u"coalesce(Pf, 0) = 0"_s);
    if (!key) {
        err << error << Qt::endl;
        return failed;
    }
    (group ? turnover.group : turnover.ingredient) = *key;
    job = std::make_unique<TurnoverPrintJob>(db, turnover);
    return done;
}

QString documentPrintUsage()
{
    return u"  print КАТАЛОГ sales (--document НОМЕР | --date ГГГГ-ММ-ДД) --out ФАЙЛ.xlsx\n"
           "                           документ реализации в виде таблиц (с рабочими картами открытого "
           "документа)\n"
           "  print КАТАЛОГ cross (--document НОМЕР | --date ГГГГ-ММ-ДД) --out ФАЙЛ.xlsx\n"
           "                           перекрёстная таблица документа реализации\n"
           "  print КАТАЛОГ summary --from ГГГГ-ММ-ДД --to ГГГГ-ММ-ДД --out ФАЙЛ.xlsx\n"
           "                           сводный отчёт о реализации за период\n"
           "  print КАТАЛОГ inventory --inventory НОМЕР --out ФАЙЛ.xlsx\n"
           "                           акт инвентаризации\n"
           "  print КАТАЛОГ inv3 --inventory НОМЕР --out ФАЙЛ.xlsx\n"
           "                           инвентаризационная опись (форма ИНВ-3)\n"
           "  print КАТАЛОГ inv19 --inventory НОМЕР --out ФАЙЛ.xlsx\n"
           "                           сличительная ведомость (форма ИНВ-19)\n"
           "  print КАТАЛОГ turnover (--ingredient ИМЯ | --group ГРУППА | --all) (--short | --full)\n"
           "        --from ГГГГ-ММ-ДД --to ГГГГ-ММ-ДД --out ФАЙЛ.xlsx\n"
           "                           оборотная ведомость склада\n"_s;
}

} // namespace commands
