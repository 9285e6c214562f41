#include "CodePage.h"

#include <iconv.h>

#include <array>

namespace codepage {

namespace {

const char* name(Page page)
{
    return page == Page::Windows1251 ? "CP1251" : "CP866";
}

std::optional<QByteArray> convert(const QByteArray& input, const char* from, const char* to)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    QByteArray source = input;
    // UTF-8 never takes more than four bytes a character; one-byte pages take one.
    QByteArray output(input.size() * 4 + 4, '\0');
    char* in = source.data();
    size_t inLeft = size_t(source.size());
    char* out = output.data();
    size_t outLeft = size_t(output.size());
    const size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    if (result == size_t(-1) || inLeft != 0)
        return std::nullopt;
    output.truncate(output.size() - qsizetype(outLeft));
    return output;
}

} // namespace

std::optional<QByteArray> encodeLines(const QStringList& lines, Page page, qsizetype* badLine)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const std::optional<QByteArray> encoded =
            line.contains(u'\r') || line.contains(u'\n') ? std::nullopt : encode(line, page);
        if (!encoded) {
            *badLine = i;
            return std::nullopt;
        }
        bytes += *encoded + "\r\n";
    }
    return bytes;
}

std::optional<QByteArray> encode(const QString& text, Page page)
{
    return convert(text.toUtf8(), "UTF-8", name(page));
}

namespace {

// Both pages are single-byte: each byte has one character or none (null), so the table is built
// once and decoding costs a lookup a byte instead of a converter a call.
struct ByteTable
{
    std::array<char16_t, 256> characters{};
    std::array<bool, 256> defined{};
};

ByteTable buildTable(Page page)
{
    ByteTable table;
    for (int byte = 0; byte < 256; ++byte) {
        const std::optional<QByteArray> utf8 = convert(QByteArray(1, char(byte)), name(page), "UTF-8");
        if (!utf8)
            continue;
        const QString text = QString::fromUtf8(*utf8);
        if (text.size() == 1) {
            table.characters[size_t(byte)] = text.at(0).unicode();
            table.defined[size_t(byte)] = true;
        }
    }
    return table;
}

const ByteTable& tableOf(Page page)
{
    static const ByteTable windows1251 = buildTable(Page::Windows1251);
    static const ByteTable dos866 = buildTable(Page::Dos866);
    return page == Page::Windows1251 ? windows1251 : dos866;
}

} // namespace

std::optional<QString> decode(const QByteArray& bytes, Page page)
{
    const ByteTable& table = tableOf(page);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = size_t(quint8(bytes[i]));
        if (!table.defined[byte])
            return std::nullopt;
        out[i] = QChar(table.characters[byte]);
    }
    return text;
}

QChar firstUnencodable(const QString& text, Page page)
{
    if (encode(text, page))
        return {};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        if (!encode(text.mid(i, length), page))
            return text.at(i);
        i += length - 1;
    }
    return {};
}

} // namespace codepage
