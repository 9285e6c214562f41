#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The code pages of the exchange and settings files, through iconv of the C library. A character the target
// code page cannot hold is never replaced: the conversion fails and the caller refuses the whole file.
namespace codepage {

enum class Page
{
    Windows1251,
    Dos866
};

// The text in the code page; nothing when a character has no place in it.
std::optional<QByteArray> encode(const QString& text, Page page);
// Bytes of the code page as text; nothing when a byte has no meaning there.
std::optional<QString> decode(const QByteArray& bytes, Page page);

// The lines in the code page, each ended by CR LF, as the exchange and settings files hold them;
// nothing when a line holds a line break or a character the page cannot hold, its index in *badLine.
std::optional<QByteArray> encodeLines(const QStringList& lines, Page page, qsizetype* badLine);

// The first character of the text that the code page cannot hold; null when every one fits.
QChar firstUnencodable(const QString& text, Page page);

} // namespace codepage
