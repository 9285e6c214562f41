#include "PrintCommands.h"

#include "CommandLookups.h"
#include "CommandSupport.h"
#include "costing/CalculationCardPrint.h"
#include "costing/CostingCardPrint.h"
#include "costing/TechnologicalCardPrint.h"
#include "DocumentPrintCommands.h"
#include "KitchenCommands.h"
#include "menus/MenuPrint.h"
#include "menus/MenuPrintSettings.h"
#include "reports/Workbook.h"
#include "store/UserPrompts.h"

#include <QDir>
#include <QSqlQuery>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace commands {

namespace {

int printCards(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
               QTextStream& err)
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
    SystemClock clock;
    CostingCardPrintResult result =
        CostingCardPrint(kitchen.db->connection(), clock).run(card, terminalProgress(u"Печать"_s, err));
    if (!result.workbook) {
        err << result.error << Qt::endl;
        return failed;
    }
    workbook = std::move(result.workbook);
    *title = u"Калькуляционные карты: %1"_s.arg(result.cardsPrinted);
    return done;
}

// ОП-1 of one dish, the marked dishes or a group.
int printCalculationCards(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook,
                          QString* title, QTextStream& err)
{
    bool missing = false;
    const bool marked = options.flag(u"--marked"_s);
    const std::optional<QString> group = options.value(u"--group"_s, &missing);
    const std::optional<QString> dish = options.value(u"--dish"_s, &missing);
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
    SystemClock clock;
    CalculationCardResult result = CalculationCardPrint(db, clock).run(cards);
    if (!result.workbook) {
        err << result.error << Qt::endl;
        return failed;
    }
    workbook = std::move(result.workbook);
    *title = u"ОП-1 Калькуляционные карточки: %1"_s.arg(result.cards);
    return done;
}

// ТК or ТТК of one dish.
int printTechnologicalCard(Kitchen& kitchen, Options& options, TechnologicalCard kind,
                           std::unique_ptr<Workbook>& workbook, QString* title, QTextStream& err)
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
    SystemClock clock;
    TechnologicalCardResult result = TechnologicalCardPrint(db, clock).run(*key, kind);
    if (!result.workbook) {
        err << result.error << Qt::endl;
        return failed;
    }
    if (!result.missingNutrition.isEmpty())
        err << u"Пищевая ценность не указана для: "_s << result.missingNutrition.join(u"; "_s) << Qt::endl;
    workbook = std::move(result.workbook);
    *title = (kind == TechnologicalCard::Technological ? u"ТК "_s : u"ТТК "_s) + result.dish;
    return done;
}

int printTk(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
            QTextStream& err)
{
    return printTechnologicalCard(kitchen, options, TechnologicalCard::Technological, workbook, title, err);
}

int printTtk(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
             QTextStream& err)
{
    return printTechnologicalCard(kitchen, options, TechnologicalCard::TechnicalTechnological, workbook,
                                  title, err);
}

int printMenu(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
              QTextStream& err)
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
    const MenuPrintSettings settings(QFileInfo(kitchen.db->connection().databaseName()).absolutePath());
    const std::optional<QStringList> texts = key ? settings.load(&error) : std::nullopt;
    if (!texts) {
        err << error << Qt::endl;
        return failed;
    }
    print.texts = *texts;
    print.underline = !plain;
    workbook = std::make_unique<Workbook>();
    int skipped = 0;
    if (!MenuPrint(kitchen.db->connection())
             .fill(*workbook, *key, print, &error, terminalProgress(u"Печать"_s, err), &skipped)) {
        err << error << Qt::endl;
        return failed;
    }
    if (skipped > 0)
        err << MenuPrint::skippedNotice(skipped) << Qt::endl;
    *title = u"Меню на %1"_s.arg(print.date.toString(u"dd.MM.yyyy"_s));
    return done;
}

} // namespace

QString printUsage()
{
    return u"  print КАТАЛОГ cards (--all | --marked | --group ГРУППА) [--cost | --selling] [--enterprise "
           u"ИМЯ] --out ФАЙЛ.xlsx\n"
           "                           калькуляционные карты (по умолчанию по отпускным ценам)\n"
           "  print КАТАЛОГ op1 (--dish БЛЮДО | --marked | --group ГРУППА) --out ФАЙЛ.xlsx\n"
           "                           калькуляционные карточки (форма ОП-1)\n"
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
    using Printer = int (*)(Kitchen&, Options&, std::unique_ptr<Workbook>&, QString*, QTextStream&);
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
        std::unique_ptr<Workbook> workbook;
        QString title;
        const int code = entry.printer(kitchen, options, workbook, &title, err);
        if (code != done)
            return code;
        QString error;
        if (!saveWorkbook(*workbook, *file, &error)) {
            err << error << Qt::endl;
            return failed;
        }
        for (const QString& problem : workbook->problems())
            err << problem << Qt::endl;
        out << u"%1 → %2"_s.arg(title, QDir::toNativeSeparators(*file)) << Qt::endl;
        return done;
    }
    err << u"Неизвестная печатная форма \"%1\".\n"_s.arg(what) << usage();
    return usageError;
}

} // namespace commands
