#include "FormStyle.h"

#include "Sheet.h"

using namespace Qt::StringLiterals;

namespace formstyle {

void setRowFont(Sheet& sheet, int row, double size, bool bold)
{
    sheet.row(row).font().setName(u"Times New Roman"_s).setSize(size).setBold(bold).setColor(0);
}

void bottomRule(Range range, int weight)
{
    range.borders().setLineStyle(LineStyle::Continuous).setWeight(weight);
    range.borders(Edge::Bottom).setColorIndex(ColorIndex::Black);
    for (Edge edge : {Edge::Left, Edge::Right, Edge::Top})
        range.borders(edge).setColorIndex(XlNone);
}

void centre(Range range)
{
    range.setHorizontalAlignment(HAlign::Center).setVerticalAlignment(VAlign::Center);
}

} // namespace formstyle
