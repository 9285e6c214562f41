#include "DbfTable.h"

#include "ReadLimit.h"
#include "store/CodePage.h"

#include <QtEndian>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int prefixLength = 32;
constexpr int descriptorLength = 32;
constexpr char endOfHeader = 0x0D;
constexpr char endOfFile = 0x1A;
constexpr quint8 dos866Mark = 0x26;

int recordLength(const QList<DbfField>& fields)
{
    int length = 1; // the deletion flag
    for (const DbfField& field : fields)
        length += field.length;
    return length;
}

// Marks of Windows-1251 tables; every other mark (866, none, unknown) reads as the DOS code page, the
// page of the tables these programs exchange.
codepage::Page pageOfMark(quint8 mark)
{
    return mark == 0xC9 || mark == 0x57 ? codepage::Page::Windows1251 : codepage::Page::Dos866;
}

DbfTable::ReadResult failure(const QString& problem)
{
    DbfTable::ReadResult result;
    result.problem = problem;
    return result;
}

} // namespace

const QList<DbfField>& DbfTable::productsFields()
{
    static const QList<DbfField> fields{
        {"CODE", 'C', 13, 0},      {"NAME", 'C', 60, 0}, {"PRICE", 'N', 19, 4},
        {"SHORTNAME", 'C', 12, 0}, {"ED", 'C', 5, 0},    {"SECTION", 'N', 3, 0},
        {"GROUP", 'C', 10, 0},     {"KOL", 'N', 19, 4},  {"CONTROL", 'C', 1, 0}};
    return fields;
}

const QList<DbfField>& DbfTable::namesFields()
{
    static const QList<DbfField> fields{{"NUM", 'C', 10, 0}, {"NAME", 'C', 60, 0}, {"TYPE", 'N', 1, 0}};
    return fields;
}

QByteArray DbfTable::headerImage(const QList<DbfField>& fields)
{
    const int headerLength = prefixLength + descriptorLength * int(fields.size()) + 1;
    QByteArray image(headerLength + 1, '\0');
    auto* bytes = reinterpret_cast<uchar*>(image.data());
    bytes[0] = 3;
    bytes[1] = 106;
    bytes[2] = 9;
    bytes[3] = 7;
    qToLittleEndian<quint16>(quint16(headerLength), bytes + 8);
    qToLittleEndian<quint16>(quint16(recordLength(fields)), bytes + 10);
    bytes[29] = dos866Mark;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        uchar* descriptor = bytes + prefixLength + descriptorLength * i;
        const DbfField& field = fields[i];
        memcpy(descriptor, field.name.constData(), size_t(qMin<qsizetype>(field.name.size(), 10)));
        descriptor[11] = uchar(field.type);
        descriptor[16] = uchar(field.length);
        descriptor[17] = uchar(field.decimals);
    }
    bytes[headerLength - 1] = endOfHeader;
    bytes[headerLength] = endOfFile;
    return image;
}

std::optional<QByteArray> DbfTable::filled(const QList<DbfField>& fields, const QList<QVariantList>& records,
                                           const QDate& lastChange, QString* error)
{
    QByteArray table = headerImage(fields);
    table.chop(1); // the end-of-file mark follows the records
    for (const QVariantList& values : records) {
        QByteArray record(" ");
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const DbfField& field = fields[i];
            const QVariant value = values.value(i);
            QByteArray text;
            if (field.type == 'N') {
                if (!value.isNull()) {
                    const double number = value.toDouble();
                    text = std::isfinite(number) ? QByteArray::number(number, 'f', field.decimals)
                                                 : QByteArray();
                    if (text.isEmpty() || text.size() > field.length) {
                        *error = u"Число %1 не помещается в поле %2 таблицы dBase."_s.arg(
                            value.toString(), QString::fromLatin1(field.name));
                        return std::nullopt;
                    }
                }
                text = text.rightJustified(field.length, ' ');
            } else {
                const QString string = value.toString();
                const std::optional<QByteArray> encoded = codepage::encode(string, codepage::Page::Dos866);
                if (!encoded) {
                    *error = u"Текст \"%1\" содержит знак \"%2\", которого нет в кодировке DOS (866). "
                             "Таблицы не записаны."_s.arg(
                                 string, codepage::firstUnencodable(string, codepage::Page::Dos866));
                    return std::nullopt;
                }
                if (encoded->size() > field.length) {
                    *error = u"Текст \"%1\" длиннее поля %2 (%3 знаков). Таблицы не записаны."_s
                                 .arg(string, QString::fromLatin1(field.name))
                                 .arg(field.length);
                    return std::nullopt;
                }
                text = encoded->leftJustified(field.length, ' ');
            }
            record += text;
        }
        table += record;
    }
    table += endOfFile;
    auto* bytes = reinterpret_cast<uchar*>(table.data());
    qToLittleEndian<quint32>(quint32(records.size()), bytes + 4);
    if (!records.isEmpty() && lastChange.isValid()) {
        bytes[1] = uchar(qBound(0, lastChange.year() - 1900, 255));
        bytes[2] = uchar(lastChange.month());
        bytes[3] = uchar(lastChange.day());
    }
    return table;
}

int DbfTable::Table::field(const QByteArray& name) const
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

DbfTable::ReadResult DbfTable::read(QIODevice& device)
{
    if (!device.isReadable())
        return failure(device.errorString());
    const std::optional<QByteArray> bytes = readLimited(device, largestFile);
    if (!bytes) {
        ReadResult result = failure(u"файл больше %1 МБ"_s.arg(largestFile / 1024 / 1024));
        result.tooLarge = true;
        return result;
    }
    return parse(*bytes);
}

DbfTable::ReadResult DbfTable::parse(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 size = bytes.size();
    if (size < prefixLength + 1)
        return failure(u"файл короче заголовка таблицы dBase"_s);
    const qint64 count = qFromLittleEndian<quint32>(data + 4);
    const qint64 headerLength = qFromLittleEndian<quint16>(data + 8);
    const qint64 length = qFromLittleEndian<quint16>(data + 10);
    if (headerLength < prefixLength + 1 || headerLength > size)
        return failure(u"неверная длина заголовка"_s);

    Table table;
    qint64 offset = prefixLength;
    for (;;) {
        if (offset >= headerLength)
            return failure(u"в заголовке нет признака его конца"_s);
        if (data[offset] == uchar(endOfHeader))
            break;
        if (offset + descriptorLength > headerLength)
            return failure(u"описание поля обрезано"_s);
        const uchar* descriptor = data + offset;
        DbfField field;
        int nameLength = 0;
        while (nameLength < 11 && descriptor[nameLength] != 0)
            ++nameLength;
        field.name = QByteArray(reinterpret_cast<const char*>(descriptor), nameLength).trimmed();
        field.type = char(descriptor[11]);
        field.length = descriptor[16];
        field.decimals = descriptor[17];
        // Long character fields keep the high byte of their length in the decimal count.
        if (field.type == 'C') {
            field.length += field.decimals * 256;
            field.decimals = 0;
        }
        if (field.length == 0)
            return failure(u"поле нулевой длины"_s);
        table.fields << field;
        offset += descriptorLength;
    }
    if (recordLength(table.fields) != length)
        return failure(u"длина записи в заголовке не совпадает с длиной полей"_s);
    if (count > (size - headerLength) / length)
        return failure(u"файл короче, чем указано в заголовке"_s);

    const codepage::Page page = pageOfMark(data[29]);
    for (qint64 r = 0; r < count; ++r) {
        const qint64 start = headerLength + r * length;
        if (data[start] == '*')
            continue;
        QStringList record;
        qint64 position = start + 1;
        for (const DbfField& field : table.fields) {
            const QByteArray raw(reinterpret_cast<const char*>(data + position), field.length);
            const std::optional<QString> text = codepage::decode(raw, page);
            if (!text)
                return failure(u"в записи %1 знаки вне кодовой страницы"_s.arg(r + 1));
            record << *text;
            position += field.length;
        }
        table.records << record;
    }
    ReadResult result;
    result.table = std::move(table);
    return result;
}
