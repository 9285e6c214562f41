#include "DocumentPrintCommands.h"

#include "CommandLookups.h"
#include "CommandSupport.h"
#include "KitchenCommands.h"
#include "reports/Workbook.h"
#include "sales/ConsumptionCalculator.h"
#include "sales/CrossTablePrint.h"
#include "sales/SalesDocumentPrint.h"
#include "sales/SalesDocuments.h"
#include "sales/SalesSummary.h"
#include "warehouse/InventoryActPrint.h"
#include "warehouse/InventoryFormsPrint.h"
#include "warehouse/TurnoverStatement.h"

#include <QSqlQuery>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace commands {

namespace {

QString dayText(const QDate& date)
{
    return date.toString(u"dd.MM.yyyy"_s);
}

struct SalesDocument
{
    qlonglong key = 0;
    QDate date;
    bool open = false;
};

// The document of "--document KEY" or "--date D" (the only one of that day); the exit code when there
// is none to print.
int chooseSalesDocument(const QSqlDatabase& db, Options& options, SalesDocument* document, QTextStream& err)
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
    QString error;
    QList<qlonglong> found;
    bool number = true;
    const QVariant wanted = key ? QVariant(key->toLongLong(&number)) : QVariant(day->toString(Qt::ISODate));
    if (!number) {
        err << u"Номер документа \"%1\" не является числом."_s.arg(*key) << Qt::endl;
        return usageError;
    }
    if (!forEachRow(
            db,
            u"SELECT Kod, DateR, Status FROM Realdoc WHERE %1 = ? ORDER BY Kod"_s.arg(key ? u"Kod"_s
                                                                                          : u"DateR"_s),
            {wanted},
            [&](const QSqlQuery& query) {
                found.append(query.value(0).toLongLong());
                document->date = QDate::fromString(query.value(1).toString(), Qt::ISODate);
                document->open = SalesDocuments::isOpen(query.value(2));
            },
            &error)) {
        err << error << Qt::endl;
        return failed;
    }
    if (found.isEmpty()) {
        err << (key ? u"Документ реализации %1 не найден."_s.arg(*key)
                    : u"Документов реализации за %1 нет."_s.arg(dayText(*day)))
            << Qt::endl;
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
    document->key = found.first();
    return done;
}

// The page's "Печать": the consumption is calculated first; a posted document, which the calculation
// refuses, prints from its stored rows, an open one that it refuses does not print.
int printSalesDocument(Kitchen& kitchen, Options& options, bool cross, std::unique_ptr<Workbook>& workbook,
                       QString* title, QTextStream& err)
{
    const QSqlDatabase db = kitchen.db->connection();
    SalesDocument document;
    if (const int code = chooseSalesDocument(db, options, &document, err); code != done)
        return code;
    const ConsumptionRun run =
        ConsumptionCalculator(db).run(document.key, cross ? SalesLines::All : SalesLines::Sold);
    if (!run.ok) {
        err << run.caption << u": "_s << run.message << Qt::endl;
        if (document.open)
            return failed;
    } else if (!run.notice().isEmpty()) {
        err << run.notice() << Qt::endl;
    }
    SalesPrintResult result =
        cross ? CrossTablePrint(db).run(document.key, terminalProgress(u"Печать"_s, err))
              : SalesDocumentPrint(db).run(document.key, terminalProgress(u"Печать"_s, err));
    if (!result.workbook) {
        err << (cross ? u"Печать перекрёстной таблицы: "_s : u"Печать таблиц: "_s) << result.error
            << Qt::endl;
        return failed;
    }
    if (result.posted && !cross)
        err << u"Документ проведён. Печать технологических карт не производится !!!"_s << Qt::endl;
    if (!document.open && !result.notice().isEmpty())
        err << result.notice() << Qt::endl;
    workbook = std::move(result.workbook);
    *title = (cross ? u"Раскладка ингредиентов "_s : u"Реализация "_s) + dayText(document.date);
    return done;
}

} // namespace

int printSalesTables(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
                     QTextStream& err)
{
    return printSalesDocument(kitchen, options, false, workbook, title, err);
}

int printCrossTable(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
                    QTextStream& err)
{
    return printSalesDocument(kitchen, options, true, workbook, title, err);
}

int printSalesSummary(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
                      QTextStream& err)
{
    const auto period = periodOptions(options, false, err);
    if (!period)
        return usageError;
    if (strayOptions(options, err))
        return usageError;
    SalesSummaryResult result = SalesSummary(kitchen.db->connection())
                                    .run(period->first, period->second, terminalProgress(u"Свод"_s, err));
    if (!result.workbook) {
        err << result.caption << u": "_s << result.error << Qt::endl;
        return failed;
    }
    if (!result.notice().isEmpty())
        err << result.notice() << Qt::endl;
    workbook = std::move(result.workbook);
    *title = u"Свод %1-%2, документов: %3"_s.arg(dayText(period->first), dayText(period->second))
                 .arg(result.documents);
    return done;
}

namespace {

// The inventory of "--inventory N" and its date; the exit code when there is none to print.
int chooseInventory(const QSqlDatabase& db, Options& options, qlonglong* inventory, QDate* date,
                    QTextStream& err)
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
    QSqlQuery query(db);
    QString error;
    if (!runQuery(query, u"SELECT Date FROM invdok WHERE Kod = ?"_s, {*inventory}, &error) || !query.next()) {
        err << (error.isEmpty() ? u"Инвентаризация %1 не найдена."_s.arg(*inventory) : error) << Qt::endl;
        return failed;
    }
    *date = QDate::fromString(query.value(0).toString(), Qt::ISODate);
    return done;
}

int printInventoryForm(Kitchen& kitchen, Options& options, InventoryForm form,
                       std::unique_ptr<Workbook>& workbook, QString* title, QTextStream& err)
{
    const QSqlDatabase db = kitchen.db->connection();
    qlonglong inventory = 0;
    QDate date;
    if (const int code = chooseInventory(db, options, &inventory, &date, err); code != done)
        return code;
    workbook = std::make_unique<Workbook>();
    QString error;
    if (!InventoryFormsPrint(db).fill(*workbook, inventory, form, &error)) {
        err << InventoryFormsPrint::title(form, QDate()) << u": "_s << error << Qt::endl;
        return failed;
    }
    *title = InventoryFormsPrint::title(form, date);
    return done;
}

} // namespace

int printInventoryAct(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
                      QTextStream& err)
{
    const QSqlDatabase db = kitchen.db->connection();
    qlonglong inventory = 0;
    QDate date;
    if (const int code = chooseInventory(db, options, &inventory, &date, err); code != done)
        return code;
    QString error;
    workbook = std::make_unique<Workbook>();
    if (!InventoryActPrint(db).fill(*workbook, inventory, &error, terminalProgress(u"Печать"_s, err))) {
        err << u"Печать акта инвентаризации: "_s << error << Qt::endl;
        return failed;
    }
    *title = date.isValid() ? u"Акт инвентаризации от %1"_s.arg(dayText(date)) : u"Акт инвентаризации"_s;
    return done;
}

int printInventoryList(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook,
                       QString* title, QTextStream& err)
{
    return printInventoryForm(kitchen, options, InventoryForm::List, workbook, title, err);
}

int printInventoryComparison(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook,
                             QString* title, QTextStream& err)
{
    return printInventoryForm(kitchen, options, InventoryForm::Comparison, workbook, title, err);
}

int printTurnover(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
                  QTextStream& err)
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
    workbook = std::make_unique<Workbook>();
    if (!TurnoverStatement(db).fill(*workbook, turnover, &error)) {
        err << u"Печать оборотной ведомости: "_s << error << Qt::endl;
        return failed;
    }
    *title = u"Оборотная ведомость %1-%2"_s.arg(dayText(turnover.start), dayText(turnover.end));
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
