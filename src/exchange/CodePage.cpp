#include "CodePage.h"

#include <iconv.h>

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

std::optional<QByteArray> encode(const QString& text, Page page)
{
    return convert(text.toUtf8(), "UTF-8", name(page));
}

std::optional<QString> decode(const QByteArray& bytes, Page page)
{
    const std::optional<QByteArray> utf8 = convert(bytes, name(page), "UTF-8");
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(*utf8);
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
