#include "TorgSalesTable.h"

#include <QHash>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int codeLength = 13;

TorgSalesTable::ReadResult failure(const QString& problem)
{
    TorgSalesTable::ReadResult result;
    result.problem = problem;
    return result;
}

// A dBase numeric field: blanks are empty (0); otherwise a number in C notation.
std::optional<double> number(const QString& raw)
{
    const QString text = raw.trimmed();
    if (text.isEmpty())
        return 0.0;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A character field's text: some programs pad with NUL, which has no place in a stored text.
QString text(const QString& raw)
{
    return QString(raw).remove(QChar(0)).trimmed();
}

bool isCode(const QString& text)
{
    if (text.size() != codeLength)
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

TorgSalesTable::ReadResult TorgSalesTable::read(QIODevice& device)
{
    const DbfTable::ReadResult table = DbfTable::read(device);
    if (!table.table) {
        ReadResult result = failure(table.problem);
        result.tooLarge = table.tooLarge;
        return result;
    }
    return interpret(*table.table);
}

TorgSalesTable::ReadResult TorgSalesTable::interpret(const DbfTable::Table& table)
{
    const int code = table.field("CODE");
    const int name = table.field("NAME");
    const int price = table.field("PRICE");
    const int kol = table.field("KOL");
    const int date = table.field("DATEO");
    if (code < 0 || name < 0 || price < 0 || kol < 0 || date < 0)
        return failure(u"в таблице нет полей CODE, NAME, PRICE, KOL и DATEO"_s);
    const int section = table.field("SECTION");
    const int kassa = table.field("KASSA");
    const int kassir = table.field("KASSIR");

    TorgSales result;
    if (!table.records.isEmpty()) {
        const QStringList& first = table.records.first();
        result.hasRows = true;
        result.firstCode = text(first[code]);
        result.firstName = text(first[name]);
        const QString dateText = text(first[date]);
        if (!dateText.isEmpty()) {
            result.date = QDate::fromString(dateText, u"yyyyMMdd"_s);
            if (!result.date.isValid())
                return failure(u"неверная дата \"%1\" в поле DATEO"_s.arg(dateText));
        }
        QStringList parts;
        for (int field : {section, kassa, kassir}) {
            QString part = field >= 0 ? text(first[field]) : QString();
            if (field >= 0 && table.fields[field].type == 'N' && !part.isEmpty()) {
                const std::optional<double> value = number(part);
                if (!value)
                    return failure(u"неверное число \"%1\" в поле %2"_s.arg(
                        part, QString::fromLatin1(table.fields[field].name)));
                part = QString::number(*value, 'g', 15);
            }
            parts << part;
        }
        result.name = parts.join(u' ');
    }

    QHash<QString, qsizetype> byCode;
    for (const QStringList& record : table.records) {
        // Trailing blanks pad a shorter code; such a code is dropped like one holding a letter.
        QString codeText = record[code];
        while (codeText.endsWith(u' '))
            codeText.chop(1);
        if (!isCode(codeText))
            continue;
        const std::optional<double> quantity = number(record[kol]);
        const std::optional<double> unitPrice = number(record[price]);
        if (!quantity || !unitPrice)
            return failure(u"неверное число в строке товара с кодом %1"_s.arg(codeText));
        const auto found = byCode.constFind(codeText);
        if (found != byCode.constEnd()) {
            result.sales[*found].quantity += *quantity;
            continue;
        }
        TorgSale sale;
        sale.dish = codeText.toLongLong(); // 13 digits always fit
        sale.name = text(record[name]);
        sale.price = *unitPrice;
        sale.quantity = *quantity;
        byCode.insert(codeText, result.sales.size());
        result.sales << sale;
    }
    for (const TorgSale& sale : result.sales) {
        if (!std::isfinite(sale.quantity))
            return failure(u"сумма количества товара \"%1\" не является числом"_s.arg(sale.name));
    }
    ReadResult done;
    done.sales = std::move(result);
    return done;
}
