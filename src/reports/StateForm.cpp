#include "StateForm.h"

#include "AmountInWords.h"
#include "FormStyle.h"
#include "reference/OrganisationDetails.h"
#include "Sheet.h"
#include "store/Rounding.h"

#include <QStringList>

#include <cmath>

using namespace Qt::StringLiterals;

namespace stateform {

namespace {

void smallCaption(Range range)
{
    CellFormat patch;
    patch.fontName = u"Times New Roman"_s;
    patch.fontSize = 7;
    patch.horizontalAlignment = HAlign::Center;
    patch.verticalAlignment = VAlign::Top;
    range.apply(patch);
}

} // namespace

int writeApproval(Sheet& sheet, int row, int column, const QString& form, const QString& approval)
{
    for (const QString& text : {form, approval}) {
        sheet.cell(row, column).setValue(text).setHorizontalAlignment(HAlign::Right);
        formstyle::setRowFont(sheet, row, 7);
        ++row;
    }
    return row;
}

void writeCode(Sheet& sheet, int row, int labelColumn, int codeColumn, const QString& label,
               const QString& code)
{
    sheet.cell(row, labelColumn).setValue(label).setHorizontalAlignment(HAlign::Right);
    Range box = sheet.cell(row, codeColumn);
    box.setValue(code).setHorizontalAlignment(HAlign::Center);
    box.borders()
        .setLineStyle(LineStyle::Continuous)
        .setWeight(BorderWeight::Thin)
        .setColorIndex(ColorIndex::Black);
}

int writeCaptionedLine(Sheet& sheet, int row, int firstColumn, int lastColumn, const QString& text,
                       const QString& caption)
{
    sheet.cell(row, firstColumn).setValue(text).setHorizontalAlignment(HAlign::Left);
    Range line = sheet.range(row, firstColumn, row, lastColumn);
    line.merge();
    formstyle::bottomRule(line);
    sheet.cell(row + 1, firstColumn).setValue(caption);
    smallCaption(sheet.range(row + 1, firstColumn, row + 1, lastColumn).merge());
    return row + 2;
}

QString organisationLine(const OrganisationDetails& organisation)
{
    QStringList parts;
    const QString name = (organisation.form + u' ' + organisation.name).trimmed();
    if (!name.isEmpty())
        parts << name;
    if (!organisation.address.isEmpty())
        parts << organisation.address;
    if (!organisation.inn.isEmpty())
        parts << u"ИНН "_s + organisation.inn;
    if (!organisation.kpp.isEmpty())
        parts << u"КПП "_s + organisation.kpp;
    return parts.join(u", "_s);
}

int writeSignature(Sheet& sheet, int row, int roleColumn, int personColumn, int signColumn,
                   const QString& role, const QString& person)
{
    sheet.cell(row, roleColumn).setValue(role).setHorizontalAlignment(HAlign::Left);
    Range name = sheet.range(row, personColumn, row, signColumn - 1);
    sheet.cell(row, personColumn).setValue(person).setHorizontalAlignment(HAlign::Left);
    name.merge();
    formstyle::bottomRule(name);
    formstyle::bottomRule(sheet.cell(row, signColumn));
    sheet.cell(row + 1, personColumn).setValue(u"должность, фамилия, инициалы"_s);
    smallCaption(sheet.range(row + 1, personColumn, row + 1, signColumn - 1).merge());
    sheet.cell(row + 1, signColumn).setValue(u"подпись"_s);
    smallCaption(sheet.cell(row + 1, signColumn));
    return row + 2;
}

QStringList wrappedLines(const QString& text, int width)
{
    QStringList lines;
    for (const QString& paragraph : QString(text).replace(u"\r\n"_s, u"\n"_s).split(u'\n')) {
        QString line;
        for (QString word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
            if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
                lines << line;
                line.clear();
            }
            while (word.size() > width) {
                lines << word.left(width);
                word.remove(0, width);
            }
            line += (line.isEmpty() ? QString() : u" "_s) + word;
        }
        lines << line;
    }
    return lines;
}

QString rublesInWords(double sum)
{
    // toKopeck leaves a whole number of kopecks up to binary noise, which the conversion drops.
    return amountInWords::rubles(std::llround(rounding::toKopeck(sum) * 100));
}

QString quantityInWords(double quantity)
{
    const double whole = rounding::wholeNumber(quantity);
    const double exact = rounding::toDecimals(quantity, 3);
    if (exact == whole && std::abs(whole) < 1e15)
        return amountInWords::number(std::llround(whole));
    QString figures = QString::number(exact, 'f', 3);
    while (figures.endsWith(u'0'))
        figures.chop(1);
    return figures.replace(u'.', u',');
}

} // namespace stateform
