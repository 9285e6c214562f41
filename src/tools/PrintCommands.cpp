#include "PrintCommands.h"

#include "CommandLookups.h"
#include "CommandSupport.h"
#include "costing/CalculationCardPrintJob.h"
#include "costing/CostingCardPrintJob.h"
#include "costing/TechnologicalCardPrintJob.h"
#include "DocumentPrintCommands.h"
#include "KitchenCommands.h"
#include "menus/MenuPrintJob.h"
#include "menus/MenuPrintSettings.h"
#include "store/UserPrompts.h"

#include <QDir>
#include <QSqlQuery>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace commands {

namespace {

int printCards(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err)
{
    bool missing = false;
    CostingCardOptions card;
    const bool all = options.flag(u"--all"_s);
    const bool marked = options.flag(u"--marked"_s);
    const std::optional<QString> group = options.value(u"--group"_s, &missing);
    const bool cost = options.flag(u"--cost"_s);
    const bool selling = options.flag(u"--selling"_s);
    const std::optional<QString> enterprise = options.value(u"--enterprise"_s, &missing);
    if (missing || int(all) + int(marked) + int(group.has_value()) != 1 || (cost && selling)) {
        err << u"Укажите одно из --all, --marked или --group ГРУППА и не более одного из --cost, --selling."_s
            << Qt::endl;
        return usageError;
    }
    if (strayOptions(options, err))
        return usageError;
    QString error;
    card.scope = all      ? CardPrintScope::AllGroups
                 : marked ? CardPrintScope::MarkedDishes
                          : CardPrintScope::ChosenGroup;
    if (group) {
        const auto key =
            keyByName(kitchen.db->connection(), u"Grbludo"_s, u"Kod"_s, u"Name"_s, *group, &error);
        if (!key) {
            err << error << Qt::endl;
            return failed;
        }
        card.group = *key;
    }
    card.prices = cost ? CardPrices::Cost : CardPrices::Selling;
    card.enterprise = enterprise.value_or(QString());
    static const SystemClock clock;
    job = std::make_unique<CostingCardPrintJob>(kitchen.db->connection(), clock, card);
    return done;
}

// ОП-1 of one dish, the marked dishes or a group, a calculation for each --date.
int printCalculationCards(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job,
                          QTextStream& err)
{
    bool missing = false;
    const bool marked = options.flag(u"--marked"_s);
    const std::optional<QString> group = options.value(u"--group"_s, &missing);
    const std::optional<QString> dish = options.value(u"--dish"_s, &missing);
    std::vector<QDate> days;
    while (const std::optional<QString> date = options.value(u"--date"_s, &missing)) {
        days.push_back(QDate::fromString(*date, Qt::ISODate));
        if (!days.back().isValid()) {
            err << u"Дата \"%1\" не распознана; пишите ГГГГ-ММ-ДД."_s.arg(*date) << Qt::endl;
            return usageError;
        }
    }
    if (missing || int(marked) + int(group.has_value()) + int(dish.has_value()) != 1) {
        err << u"Укажите одно из --dish БЛЮДО, --marked или --group ГРУППА."_s << Qt::endl;
        return usageError;
    }
    if (strayOptions(options, err))
        return usageError;
    const QSqlDatabase db = kitchen.db->connection();
    CostingCardOptions cards;
    cards.scope = marked ? CardPrintScope::MarkedDishes
                  : dish ? CardPrintScope::OneDish
                         : CardPrintScope::ChosenGroup;
    QString error;
    std::optional<qlonglong> key = 0;
    if (group)
        key = keyByName(db, u"Grbludo"_s, u"Kod"_s, u"Name"_s, *group, &error);
    if (dish)
        key = keyByName(db, u"Bludo"_s, u"Kod1"_s, u"Name"_s, *dish, &error);
    if (!key) {
        err << error << Qt::endl;
        return failed;
    }
    (dish ? cards.dish : cards.group) = *key;
    static const SystemClock clock;
    job = std::make_unique<CalculationCardPrintJob>(db, clock, cards, days);
    return done;
}

// ТК or ТТК of one dish.
int printTechnologicalCard(Kitchen& kitchen, Options& options, TechnologicalCard kind,
                           std::unique_ptr<PrintJob>& job, QTextStream& err)
{
    bool missing = false;
    const std::optional<QString> dish = options.value(u"--dish"_s, &missing);
    if (missing || !dish) {
        err << u"Укажите блюдо: --dish БЛЮДО."_s << Qt::endl;
        return usageError;
    }
    if (strayOptions(options, err))
        return usageError;
    const QSqlDatabase db = kitchen.db->connection();
    QString error;
    const std::optional<qlonglong> key = keyByName(db, u"Bludo"_s, u"Kod1"_s, u"Name"_s, *dish, &error);
    if (!key) {
        err << error << Qt::endl;
        return failed;
    }
    static const SystemClock clock;
    job = std::make_unique<TechnologicalCardPrintJob>(db, clock, *key, kind);
    return done;
}

int printTk(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err)
{
    return printTechnologicalCard(kitchen, options, TechnologicalCard::Technological, job, err);
}

int printTtk(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err)
{
    return printTechnologicalCard(kitchen, options, TechnologicalCard::TechnicalTechnological, job, err);
}

int printMenu(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err)
{
    bool missing = false;
    const std::optional<QString> menu = options.value(u"--menu"_s, &missing);
    const std::optional<QString> date = options.value(u"--date"_s, &missing);
    const bool plain = options.flag(u"--no-underline"_s);
    if (missing || !menu) {
        err << u"Укажите меню: --menu ИМЯ или --menu НОМЕР."_s << Qt::endl;
        return usageError;
    }
    if (strayOptions(options, err))
        return usageError;
    MenuPrintOptions print;
    print.date = date ? QDate::fromString(*date, Qt::ISODate) : QDate::currentDate();
    if (!print.date.isValid()) {
        err << u"Дата \"%1\" не распознана; пишите ГГГГ-ММ-ДД."_s.arg(*date) << Qt::endl;
        return usageError;
    }
    QString error;
    const auto key = keyByName(kitchen.db->connection(), u"Menu"_s, u"Kod"_s, u"Name"_s, *menu, &error);
    // The texts the menu page would offer: those of the kitchen's settings file.
    const MenuPrintSettings settings(kitchen.dataDir);
    const std::optional<QStringList> texts = key ? settings.load(&error) : std::nullopt;
    if (!texts) {
        err << error << Qt::endl;
        return failed;
    }
    print.texts = *texts;
    print.underline = !plain;
    job = std::make_unique<MenuPrintJob>(kitchen.db->connection(), *key, print);
    return done;
}

} // namespace

int runJob(PrintJob& job, const QString& file, QTextStream& out, QTextStream& err)
{
    const PrintedWorkbook printed = job.run(terminalProgress(u"Печать"_s, err));
    for (const PrintNotice& notice : printed.notices)
        err << (notice.warning ? notice.caption + u": "_s : QString()) << notice.text << Qt::endl;
    if (!printed.workbook) {
        err << printed.caption << u": "_s << printed.error << Qt::endl;
        return failed;
    }
    QString error;
    if (!saveWorkbook(*printed.workbook, file, &error)) {
        err << error << Qt::endl;
        return failed;
    }
    for (const QString& problem : printed.workbook->problems())
        err << problem << Qt::endl;
    out << u"%1 → %2"_s.arg(printed.outcome.isEmpty() ? printed.title : printed.outcome,
                            QDir::toNativeSeparators(file))
        << Qt::endl;
    return done;
}

QString printUsage()
{
    return u"  print КАТАЛОГ cards (--all | --marked | --group ГРУППА) [--cost | --selling] [--enterprise "
           u"ИМЯ] --out ФАЙЛ.xlsx\n"
           "                           калькуляционные карты (по умолчанию по отпускным ценам)\n"
           "  print КАТАЛОГ op1 (--dish БЛЮДО | --marked | --group ГРУППА) [--date ГГГГ-ММ-ДД]... --out "
           "ФАЙЛ.xlsx\n"
           "                           калькуляционные карточки (форма ОП-1): по калькуляции на каждую\n"
           "                           --date по ценам на эту дату (последнее изменение цены не позже\n"
           "                           даты, иначе старая цена первого изменения после неё, иначе\n"
           "                           нынешняя цена); без --date одна калькуляция на сегодня\n"
           "  print КАТАЛОГ tk --dish БЛЮДО --out ФАЙЛ.xlsx\n"
           "                           технологическая карта блюда (ТК)\n"
           "  print КАТАЛОГ ttk --dish БЛЮДО --out ФАЙЛ.xlsx\n"
           "                           технико-технологическая карта блюда (ТТК)\n"
           "  print КАТАЛОГ menu --menu ИМЯ|НОМЕР [--date ГГГГ-ММ-ДД] [--no-underline] --out ФАЙЛ.xlsx\n"
           "                           меню для гостей с текстами из Sm.db\n"_s +
           documentPrintUsage();
}

int print(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.isEmpty()) {
        err << usage();
        return usageError;
    }
    const QString what = arguments.first();
    Options options(arguments.mid(1));
    bool missing = false;
    const std::optional<QString> file = options.value(u"--out"_s, &missing);
    if (!file || missing) {
        err << u"Укажите файл: --out ФАЙЛ.xlsx"_s << Qt::endl;
        return usageError;
    }
    // Each reads its options into a job; the jobs are the pages' own.
    using Printer = int (*)(Kitchen&, Options&, std::unique_ptr<PrintJob>&, QTextStream&);
    // The card print clears the marks of the dishes it passed, so it takes the kitchen like any writer.
    const struct
    {
        const char* name;
        bool writes;
        Printer printer;
    } printers[] = {{"cards", true, printCards},
                    {"menu", false, printMenu},
                    {"op1", false, printCalculationCards},
                    {"tk", false, printTk},
                    {"ttk", false, printTtk},
                    // The sales prints calculate the consumption first, the summary fills its scratch
                    // tables: they write like the window does.
                    {"sales", true, printSalesTables},
                    {"cross", true, printCrossTable},
                    {"summary", true, printSalesSummary},
                    {"inventory", false, printInventoryAct},
                    {"inv3", false, printInventoryList},
                    {"inv19", false, printInventoryComparison},
                    {"turnover", false, printTurnover}};
    for (const auto& entry : printers) {
        if (what != QLatin1String(entry.name))
            continue;
        Kitchen kitchen;
        if (!openKitchen(dataDir, entry.writes, kitchen, err))
            return failed;
        std::unique_ptr<PrintJob> job;
        const int code = entry.printer(kitchen, options, job, err);
        return code == done ? runJob(*job, *file, out, err) : code;
    }
    err << u"Неизвестная печатная форма \"%1\".\n"_s.arg(what) << usage();
    return usageError;
}

} // namespace commands
