#include "FormStyle.h"

#include "Sheet.h"

using namespace Qt::StringLiterals;

namespace formstyle {

// Print-outs set these on every printed line: each as one patch, built once.

void setRowFont(Sheet& sheet, int row, double size, std::optional<bool> bold)
{
    CellFormat font;
    font.fontName = u"Times New Roman"_s;
    font.fontSize = size;
    font.bold = bold;
    font.fontColor = 0;
    sheet.row(row).apply(font);
}

void bottomRule(Range range, int weight)
{
    Q_ASSERT(weight == BorderWeight::Thin || weight == 3);
    static const auto rule = [](int lineWeight) {
        CellFormat patch;
        for (Edge edge : {Edge::Left, Edge::Right, Edge::Top, Edge::Bottom}) {
            BorderLine& line = patch.border(edge);
            line.lineStyle = LineStyle::Continuous;
            line.weight = lineWeight;
            line.colorIndex = edge == Edge::Bottom ? ColorIndex::Black : XlNone;
        }
        return patch;
    };
    // Weight 3, which the print-outs ask for, is the medium line.
    static const CellFormat thin = rule(BorderWeight::Thin);
    static const CellFormat medium = rule(BorderWeight::Medium);
    range.apply(weight == BorderWeight::Thin ? thin : medium);
}

void centre(Range range)
{
    range.setHorizontalAlignment(HAlign::Center).setVerticalAlignment(VAlign::Center);
}

} // namespace formstyle
