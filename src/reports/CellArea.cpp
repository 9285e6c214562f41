#include "CellArea.h"

#include <utility>

namespace {

// One side of an address: a cell ("$B$3"), a column ("B") or a row ("3").
struct AddressPart
{
    int row = 0;    // 0 when the part names no row
    int column = 0; // 0 when the part names no column
};

bool isLatinLetter(QChar ch)
{
    return (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z');
}

std::optional<AddressPart> parsePart(QStringView text)
{
    qsizetype pos = 0;
    const auto skipDollar = [&] {
        if (pos < text.size() && text[pos] == u'$')
            ++pos;
    };
    skipDollar();
    const qsizetype lettersStart = pos;
    while (pos < text.size() && isLatinLetter(text[pos]))
        ++pos;
    const QStringView letters = text.sliced(lettersStart, pos - lettersStart);
    if (!letters.isEmpty())
        skipDollar();
    const qsizetype digitsStart = pos;
    while (pos < text.size() && text[pos].isDigit() && text[pos].unicode() < 128)
        ++pos;
    const QStringView digits = text.sliced(digitsStart, pos - digitsStart);
    if (pos != text.size() || (letters.isEmpty() && digits.isEmpty()))
        return std::nullopt;

    AddressPart part;
    if (!letters.isEmpty()) {
        part.column = CellArea::columnNumber(letters);
        if (part.column == 0)
            return std::nullopt;
    }
    if (!digits.isEmpty()) {
        // Longer digit strings would overflow and are outside the sheet anyway.
        if (digits.size() > 7)
            return std::nullopt;
        part.row = digits.toInt();
        if (part.row < 1 || part.row > CellArea::MaxRow)
            return std::nullopt;
    }
    return part;
}

} // namespace

std::optional<CellArea> CellArea::cells(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    if (firstRow > lastRow)
        std::swap(firstRow, lastRow);
    if (firstColumn > lastColumn)
        std::swap(firstColumn, lastColumn);
    if (firstRow < 1 || lastRow > MaxRow || firstColumn < 1 || lastColumn > MaxColumn)
        return std::nullopt;
    return CellArea{Kind::Cells, firstRow, firstColumn, lastRow, lastColumn};
}

std::optional<CellArea> CellArea::rows(int first, int last)
{
    auto area = cells(first, 1, last, MaxColumn);
    if (area)
        area->kind = Kind::Rows;
    return area;
}

std::optional<CellArea> CellArea::columns(int first, int last)
{
    auto area = cells(1, first, MaxRow, last);
    if (area)
        area->kind = Kind::Columns;
    return area;
}

std::optional<CellArea> CellArea::parse(QStringView address)
{
    const qsizetype colon = address.indexOf(u':');
    const auto first = parsePart(colon < 0 ? address : address.first(colon));
    if (!first)
        return std::nullopt;
    if (colon < 0) {
        if (first->row == 0 || first->column == 0)
            return std::nullopt;
        return cells(first->row, first->column, first->row, first->column);
    }
    const auto last = parsePart(address.sliced(colon + 1));
    if (!last || (first->row == 0) != (last->row == 0) || (first->column == 0) != (last->column == 0))
        return std::nullopt;
    if (first->column == 0)
        return rows(first->row, last->row);
    if (first->row == 0)
        return columns(first->column, last->column);
    return cells(first->row, first->column, last->row, last->column);
}

QString CellArea::columnLetters(int column)
{
    if (column < 1 || column > MaxColumn)
        return {};
    // Bijective base 26: there is no zero digit, Z is followed by AA.
    QString letters;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        letters.prepend(QChar(u'A' + digit));
        column = (column - 1) / 26;
    }
    return letters;
}

int CellArea::columnNumber(QStringView letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int column = 0;
    for (const QChar ch : letters) {
        if (!isLatinLetter(ch))
            return 0;
        column = column * 26 + (ch.toUpper().unicode() - u'A' + 1);
    }
    return column <= MaxColumn ? column : 0;
}

QString CellArea::toString() const
{
    const auto cell = [](int row, int column) { return columnLetters(column) + QString::number(row); };
    switch (kind) {
    case Kind::Rows:
        return QString::number(firstRow) + u':' + QString::number(lastRow);
    case Kind::Columns:
        return columnLetters(firstColumn) + u':' + columnLetters(lastColumn);
    case Kind::Cells:
        break;
    }
    if (firstRow == lastRow && firstColumn == lastColumn)
        return cell(firstRow, firstColumn);
    return cell(firstRow, firstColumn) + u':' + cell(lastRow, lastColumn);
}
