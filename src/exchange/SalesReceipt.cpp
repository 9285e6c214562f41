#include "SalesReceipt.h"

#include "sales/SalesDocuments.h"
#include "SalesSummaryFile.h"
#include "store/Database.h"
#include "store/Isolation.h"
#include "store/UserPrompts.h"
#include "TorgSalesTable.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

const QString SalesReceipt::damaged =
    u"Выбранный файл повреждён или не является итоговым файлом модуля \"Буфетон\". Обработка завершена."_s;

namespace {

const QString caption = u"Приём реализации"_s;
const QString missingDishes =
    u"В принимаемом файле имеются блюда, которые отсутствуют в Вашей базе. Операция производиться не будет."_s;
constexpr qsizetype nameLength = 50; // Realdoc.NameR

} // namespace

void SalesReceipt::warn(const QString& text)
{
    m_prompts.warn(caption, text);
}

void SalesReceipt::reportCutName(const QString& name)
{
    if (name.size() <= nameLength)
        return;
    m_prompts.inform(caption, u"Наименование документа длиннее %1 знаков и сокращено до \"%2\". Если нужно, "
                              "исправьте его на странице \"Реализация\"."_s.arg(nameLength)
                                  .arg(name.left(nameLength)));
}

std::optional<QList<qlonglong>> SalesReceipt::groupsOf(const QList<qlonglong>& dishes, qsizetype* missing,
                                                       QString* error)
{
    QList<qlonglong> groups;
    QSqlQuery query(m_db);
    for (qsizetype i = 0; i < dishes.size(); ++i) {
        if (!runQuery(query, u"SELECT Kod FROM Bludo WHERE Kod1 = ?"_s, {dishes[i]}, error))
            return std::nullopt;
        if (!query.next()) {
            *missing = i;
            return std::nullopt;
        }
        groups << query.value(0).toLongLong();
        query.finish();
    }
    return groups;
}

std::optional<qlonglong> SalesReceipt::store(const SalesDocuments::ReceivedDocument& document,
                                             const QList<Line>& lines,
                                             const std::function<QString(qsizetype)>& missingDish,
                                             QString* error)
{
    QList<qlonglong> dishes;
    for (const Line& line : lines)
        dishes << line.dish;
    std::optional<qlonglong> key;
    // The groups are read where the lines are written: a dish deleted at another workstation meanwhile
    // stores nothing.
    if (!Isolation::run(m_db, error, [&] {
            qsizetype missing = -1;
            const std::optional<QList<qlonglong>> groups = groupsOf(dishes, &missing, error);
            if (!groups) {
                if (missing >= 0)
                    *error = missingDish(missing);
                return false;
            }
            std::vector<SalesDocuments::ReceivedLine> received;
            received.reserve(lines.size());
            for (qsizetype i = 0; i < lines.size(); ++i)
                received.push_back({(*groups)[i], lines[i].dish, lines[i].portions, lines[i].price});
            return (key = SalesDocuments::addReceived(m_db, document, received, error)).has_value();
        }))
        return std::nullopt;
    return key;
}

std::optional<qlonglong> SalesReceipt::receiveSummary(QIODevice& file)
{
    const SalesSummaryFile::ReadResult read = SalesSummaryFile::read(file);
    switch (read.problem) {
    case SalesSummaryFile::Problem::None:
        break;
    case SalesSummaryFile::Problem::OlderFormat:
        warn(u"Выбранный файл повреждён или скорее всего он из версии \"Буфетон v1.X.X.\", а требуется "
             "v2.X.X. Обработка завершена."_s);
        return std::nullopt;
    case SalesSummaryFile::Problem::Damaged:
        warn(damaged);
        return std::nullopt;
    case SalesSummaryFile::Problem::TooLarge:
        warn(u"Выбранный файл больше %1 МБ, а итоговый файл модуля \"Буфетон\" много меньше: это не итоговый "
             "файл. Обработка завершена: выберите файл .rea, записанный программой \"Буфетон\"."_s.arg(
                 SalesSummaryFile::largestFile / 1024 / 1024));
        return std::nullopt;
    case SalesSummaryFile::Problem::Read:
        warn(u"Не удалось прочитать файл: %1"_s.arg(read.text));
        return std::nullopt;
    }
    const SalesSummary& summary = *read.summary;
    QList<qlonglong> dishes;
    QList<Line> lines;
    for (const SalesSummaryLine& line : summary.lines) {
        dishes << line.dish;
        lines << Line{line.dish, line.price, line.portions};
    }
    QString error;
    qsizetype missing = -1;
    // Asked before the menu, as always; the storing asks again.
    if (!groupsOf(dishes, &missing, &error)) {
        warn(missing >= 0 ? missingDishes : error);
        return std::nullopt;
    }
    QSqlQuery query(m_db);
    if (!runQuery(query, u"SELECT Date FROM Menu WHERE Kod = ?"_s, {summary.menu}, &error)) {
        warn(error);
        return std::nullopt;
    }
    if (!query.next()) {
        warn(u"Меню принимаемого файла отсутствуют в Вашей базе. Операция производиться не будет."_s);
        return std::nullopt;
    }
    const QVariant menuDate = query.value(0);
    query.finish();
    const std::optional<qlonglong> document = store(
        {summary.date.toString(Qt::ISODate), summary.name.left(nameLength), summary.menu, menuDate}, lines,
        [](qsizetype) { return missingDishes; }, &error);
    if (!document)
        warn(error);
    else
        reportCutName(summary.name);
    return document;
}

std::optional<qlonglong> SalesReceipt::receiveTorgTable(QIODevice& file)
{
    const TorgSalesTable::ReadResult read = TorgSalesTable::read(file);
    if (read.tooLarge) {
        warn(u"Выбранная таблица больше %1 МБ: таблицу такого размера программа не читает. Обработка "
             "завершена: выгрузите из Torg Service продажи за меньший срок."_s.arg(DbfTable::largestFile /
                                                                                   1024 / 1024));
        return std::nullopt;
    }
    if (!read.sales) {
        warn(u"Выбранная таблица повреждена или не является таблицей реализации Torg Service (%1). Обработка "
             "завершена."_s.arg(read.problem));
        return std::nullopt;
    }
    const TorgSales& sales = *read.sales;
    if (sales.sales.isEmpty()) {
        warn(u"В выбранной таблице нет ни одной продажи с кодом блюда. Документ не создан."_s);
        return std::nullopt;
    }
    // The document takes the first row's date; a document without one has no place in any period.
    if (!sales.date.isValid()) {
        warn(u"В первой строке таблицы (код \"%1\", товар \"%2\") не указана дата продажи (поле DATEO), а "
             "документ реализации без даты не создаётся. Документ не создан: выгрузите продажи из Torg "
             "Service снова или впишите дату в первую строку таблицы."_s.arg(sales.firstCode,
                                                                             sales.firstName));
        return std::nullopt;
    }
    QList<Line> lines;
    for (const TorgSale& sale : sales.sales)
        lines << Line{sale.dish, sale.price, sale.quantity};
    // Every code is checked before the document is written: an unknown one stores nothing.
    QString error;
    const std::optional<qlonglong> document = store(
        {sales.date.toString(Qt::ISODate), sales.name.left(nameLength), QVariant(), QVariant()}, lines,
        [&sales](qsizetype missing) {
            return u"Во время импорта обнаружено блюдо \""_s + sales.sales[missing].name +
                   u"\" которое отсутствует в базе. Импорт остановлен"_s;
        },
        &error);
    if (!document)
        warn(error);
    else
        reportCutName(sales.name);
    return document;
}

std::optional<qlonglong> SalesReceipt::receive(PointOfSale program, QIODevice& file)
{
    return program == PointOfSale::Bufeton ? receiveSummary(file) : receiveTorgTable(file);
}
