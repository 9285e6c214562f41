#include "Range.h"

#include "Sheet.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

bool isLineStyle(int value)
{
    switch (value) {
    case LineStyle::Continuous:
    case LineStyle::Dash:
    case LineStyle::Dot:
    case LineStyle::Double:
    case LineStyle::DashDot:
    case LineStyle::DashDotDot:
    case LineStyle::SlantDashDot:
    case XlNone:
        return true;
    default:
        return false;
    }
}

// The print-outs ask for weight 3 where they want a line heavier than thin.
constexpr int printOutMedium = 3;

bool isWeight(int value)
{
    return value == BorderWeight::Hairline || value == BorderWeight::Thin || value == BorderWeight::Medium ||
           value == printOutMedium || value == BorderWeight::Thick;
}

bool isColorIndex(int value)
{
    return (value >= 0 && value <= 56) || value == ColorIndex::Automatic || value == XlNone;
}

} // namespace

Range& Range::setValue(double value)
{
    if (!m_area)
        return *this;
    if (!std::isfinite(value))
        return refuse(
            u"в ячейку %1 записывается не число (%2)"_s.arg(m_area->toString(), QString::number(value)));
    if (m_sheet->holdsCells(*m_area, u"запись значения"_s))
        m_sheet->setNumber(*m_area, value);
    return *this;
}

Range& Range::setValue(const QString& text)
{
    // The longest text a cell of the file can hold.
    constexpr qsizetype maxTextLength = 32767;
    if (!m_area)
        return *this;
    if (text.size() > maxTextLength)
        return refuse(u"текст для ячейки %1 длиннее %2 знаков"_s.arg(m_area->toString()).arg(maxTextLength));
    if (m_sheet->holdsCells(*m_area, u"запись значения"_s))
        m_sheet->setText(*m_area, text);
    return *this;
}

QVariant Range::value() const
{
    if (!m_area || m_area->kind != CellArea::Kind::Cells)
        return {};
    return m_sheet->value(m_area->firstRow, m_area->firstColumn);
}

Range& Range::merge()
{
    if (m_area && m_sheet->holdsCells(*m_area, u"объединение"_s))
        m_sheet->merge(*m_area);
    return *this;
}

RangeFont Range::font()
{
    return RangeFont(*this);
}

RangeBorders Range::borders()
{
    return RangeBorders(*this, std::nullopt);
}

RangeBorders Range::borders(Edge edge)
{
    return RangeBorders(*this, edge);
}

Range& Range::setHorizontalAlignment(HAlign alignment)
{
    return set(&CellFormat::horizontalAlignment, alignment);
}

Range& Range::setVerticalAlignment(VAlign alignment)
{
    return set(&CellFormat::verticalAlignment, alignment);
}

Range& Range::setWrapText(bool wrap)
{
    return set(&CellFormat::wrapText, wrap);
}

Range& Range::setOrientation(int degrees)
{
    if (degrees < -90 || degrees > 90)
        return refuse(u"поворот текста %1° вне пределов от -90° до 90°"_s.arg(degrees));
    return set(&CellFormat::orientation, degrees);
}

Range& Range::setNumberFormat(const QString& neutralFormat)
{
    // The file format's limit, which libxlsxwriter would otherwise cut short.
    constexpr qsizetype maxFormatBytes = 127;
    if (neutralFormat.toUtf8().size() > maxFormatBytes)
        return refuse(u"числовой формат «%1» слишком длинный"_s.arg(neutralFormat));
    return set(&CellFormat::numberFormat, neutralFormat);
}

Range& Range::setColumnWidth(double width)
{
    if (m_area)
        m_sheet->setColumnWidths(m_area->firstColumn, m_area->lastColumn, width);
    return *this;
}

Range& Range::apply(const CellFormat& patch)
{
    if (m_area)
        m_sheet->applyFormat(*m_area, patch);
    return *this;
}

Range& Range::refuse(const QString& problem)
{
    // A range outside the sheet has had its problem recorded already.
    if (m_area)
        m_sheet->fail(problem);
    return *this;
}

RangeFont& RangeFont::setName(const QString& name)
{
    // The longest font name a spreadsheet application keeps.
    constexpr qsizetype maxFontName = 31;
    if (name.isEmpty() || name.size() > maxFontName) {
        m_range.refuse(u"недопустимое имя шрифта «%1»"_s.arg(name));
        return *this;
    }
    return set(&CellFormat::fontName, name);
}

RangeFont& RangeFont::setSize(double points)
{
    // The sizes a spreadsheet application accepts.
    if (!(points >= 1 && points <= 409)) {
        m_range.refuse(u"размер шрифта %1 вне пределов от 1 до 409"_s.arg(points));
        return *this;
    }
    return set(&CellFormat::fontSize, points);
}

RangeFont& RangeFont::setBold(bool bold)
{
    return set(&CellFormat::bold, bold);
}

RangeFont& RangeFont::setColor(int color)
{
    if (color < 0 || color > 0xFFFFFF) {
        m_range.refuse(u"цвет шрифта %1 не является цветом"_s.arg(color));
        return *this;
    }
    return set(&CellFormat::fontColor, color);
}

RangeBorders& RangeBorders::setLineStyle(int lineStyle)
{
    if (!isLineStyle(lineStyle)) {
        m_range.refuse(u"неизвестный тип линии %1"_s.arg(lineStyle));
        return *this;
    }
    return apply(&BorderLine::lineStyle, lineStyle);
}

RangeBorders& RangeBorders::setWeight(int weight)
{
    if (!isWeight(weight)) {
        m_range.refuse(u"неизвестная толщина линии %1"_s.arg(weight));
        return *this;
    }
    return apply(&BorderLine::weight, weight == printOutMedium ? BorderWeight::Medium : weight);
}

RangeBorders& RangeBorders::setColorIndex(int colorIndex)
{
    if (!isColorIndex(colorIndex)) {
        m_range.refuse(u"неизвестный номер цвета линии %1"_s.arg(colorIndex));
        return *this;
    }
    return apply(&BorderLine::colorIndex, colorIndex);
}

RangeBorders& RangeBorders::apply(std::optional<int> BorderLine::*property, int value)
{
    CellFormat patch;
    for (int edge = 1; edge <= 4; ++edge) {
        if (!m_edge || static_cast<int>(*m_edge) == edge)
            patch.border(static_cast<Edge>(edge)).*property = value;
    }
    m_range.apply(patch);
    return *this;
}
