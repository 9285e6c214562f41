#include "GuiScript.h"

#include "reports/Workbook.h"
#include "reports/XlsxFileWriter.h"

#include <QHash>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cstdio>
#include <locale.h>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// What the tests read back from a written file: values, the resolved look of cells, merges, columns
// and the page set-up, taken from the package's XML parts.
struct FileBorder
{
    QString style; // empty for no line
    QString color; // ARGB, empty when automatic
};

struct FileStyle
{
    QString numberFormat;
    QString fontName;
    double fontSize = 0;
    bool bold = false;
    QString fontColor;
    QString horizontal;
    QString vertical;
    bool wrap = false;
    int rotation = 0;
    QHash<QString, FileBorder> borders; // "left", "right", "top", "bottom"
};

struct FileCell
{
    QString value;
    bool isText = false;
    int style = 0;
};

struct FileSheet
{
    QString name;
    QHash<QString, FileCell> cells;
    QStringList merges;
    QHash<int, int> rowStyles;  // by row number
    QHash<int, double> heights; // by row number, rows of the default height missing
    QHash<int, double> widths;  // by column number
    QString orientation;
    QString paperSize;
    QList<int> rowBreaks; // the file's "brk" ids: the last row of each page but the last
    QString leftMargin;
    QString rightMargin;
    bool fitToPage = false;
};

// Built-in number formats that the file names by number only.
QString builtInFormat(int id)
{
    static const QHash<int, QString> formats{
        {0, u"General"_s}, {1, u"0"_s}, {2, u"0.00"_s}, {3, u"#,##0"_s}, {4, u"#,##0.00"_s}};
    return formats.value(id, u"#%1"_s.arg(id));
}

class XlsxContent
{
public:
    explicit XlsxContent(const QString& file)
    {
        readStrings(xlsxPart(file, u"xl/sharedStrings.xml"_s));
        readStyles(xlsxPart(file, u"xl/styles.xml"_s));
        readWorkbook(xlsxPart(file, u"xl/workbook.xml"_s));
        for (int i = 0; i < sheets.size(); ++i)
            readSheet(sheets[i], xlsxPart(file, u"xl/worksheets/sheet%1.xml"_s.arg(i + 1)));
    }

    const FileStyle& styleOf(const FileSheet& sheet, const QString& cell) const
    {
        return styles.at(sheet.cells.value(cell).style);
    }

    QList<FileSheet> sheets;
    QList<FileStyle> styles;
    QHash<QString, QString> definedNames; // "name@sheet index" => value

private:
    void readStrings(const QByteArray& xml)
    {
        QXmlStreamReader reader(xml);
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement() && reader.name() == u"si")
                m_strings << collectText(reader, u"si");
        }
    }

    static QString collectText(QXmlStreamReader& reader, QStringView end)
    {
        QString text;
        while (!(reader.isEndElement() && reader.name() == end) && !reader.atEnd()) {
            reader.readNext();
            if (reader.isCharacters())
                text += reader.text();
        }
        return text;
    }

    void readStyles(const QByteArray& xml)
    {
        QHash<int, QString> formats;
        QList<FileStyle> fonts;
        QList<QHash<QString, FileBorder>> borders;
        QString section;
        QString edge;
        QXmlStreamReader reader(xml);
        while (!reader.atEnd()) {
            reader.readNext();
            if (!reader.isStartElement())
                continue;
            const auto name = reader.name();
            const auto attributes = reader.attributes();
            if (name == u"numFmt") {
                formats[attributes.value(QLatin1String("numFmtId")).toInt()] =
                    attributes.value(QLatin1String("formatCode")).toString();
            } else if (name == u"fonts" || name == u"borders" || name == u"cellXfs" ||
                       name == u"cellStyleXfs") {
                section = name.toString();
            } else if (section == u"fonts") {
                if (name == u"font")
                    fonts.append(FileStyle{});
                else if (name == u"name")
                    fonts.last().fontName = attributes.value(QLatin1String("val")).toString();
                else if (name == u"sz")
                    fonts.last().fontSize = attributes.value(QLatin1String("val")).toDouble();
                else if (name == u"b")
                    fonts.last().bold = true;
                else if (name == u"color")
                    fonts.last().fontColor = attributes.value(QLatin1String("rgb")).toString();
            } else if (section == u"borders") {
                if (name == u"border") {
                    borders.append(QHash<QString, FileBorder>{});
                } else if (name == u"left" || name == u"right" || name == u"top" || name == u"bottom") {
                    edge = name.toString();
                    borders.last()[edge].style = attributes.value(QLatin1String("style")).toString();
                } else if (name == u"color") {
                    borders.last()[edge].color = attributes.value(QLatin1String("rgb")).toString();
                }
            } else if (section == u"cellXfs") {
                if (name == u"xf") {
                    const int format = attributes.value(QLatin1String("numFmtId")).toInt();
                    FileStyle style = fonts.at(attributes.value(QLatin1String("fontId")).toInt());
                    style.numberFormat = formats.value(format, builtInFormat(format));
                    style.borders = borders.at(attributes.value(QLatin1String("borderId")).toInt());
                    styles.append(style);
                } else if (name == u"alignment") {
                    styles.last().horizontal = attributes.value(QLatin1String("horizontal")).toString();
                    styles.last().vertical = attributes.value(QLatin1String("vertical")).toString();
                    styles.last().wrap = attributes.value(QLatin1String("wrapText")) == u"1";
                    styles.last().rotation = attributes.value(QLatin1String("textRotation")).toInt();
                }
            }
        }
    }

    void readWorkbook(const QByteArray& xml)
    {
        QXmlStreamReader reader(xml);
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement() && reader.name() == u"sheet") {
                sheets.append(FileSheet{});
                sheets.last().name = reader.attributes().value(QLatin1String("name")).toString();
            } else if (reader.isStartElement() && reader.name() == u"definedName") {
                const QString key = reader.attributes().value(QLatin1String("name")).toString() + u'@' +
                                    reader.attributes().value(QLatin1String("localSheetId")).toString();
                definedNames[key] = reader.readElementText();
            }
        }
    }

    void readSheet(FileSheet& sheet, const QByteArray& xml)
    {
        QXmlStreamReader reader(xml);
        QString cell;
        while (!reader.atEnd()) {
            reader.readNext();
            if (!reader.isStartElement())
                continue;
            const auto name = reader.name();
            const auto attributes = reader.attributes();
            if (name == u"col") {
                for (int column = attributes.value(QLatin1String("min")).toInt();
                     column <= attributes.value(QLatin1String("max")).toInt(); ++column)
                    sheet.widths[column] = attributes.value(QLatin1String("width")).toDouble();
            } else if (name == u"row") {
                const int row = attributes.value(QLatin1String("r")).toInt();
                if (attributes.hasAttribute(QLatin1String("s")))
                    sheet.rowStyles[row] = attributes.value(QLatin1String("s")).toInt();
                if (attributes.hasAttribute(QLatin1String("ht")))
                    sheet.heights[row] = attributes.value(QLatin1String("ht")).toDouble();
            } else if (name == u"c") {
                cell = attributes.value(QLatin1String("r")).toString();
                sheet.cells[cell].style = attributes.value(QLatin1String("s")).toInt();
                sheet.cells[cell].isText = attributes.value(QLatin1String("t")) == u"s";
            } else if (name == u"v") {
                const QString value = reader.readElementText();
                sheet.cells[cell].value = sheet.cells[cell].isText ? m_strings.at(value.toInt()) : value;
            } else if (name == u"mergeCell") {
                sheet.merges << attributes.value(QLatin1String("ref")).toString();
            } else if (name == u"pageSetup") {
                sheet.orientation = attributes.value(QLatin1String("orientation")).toString();
                sheet.paperSize = attributes.value(QLatin1String("paperSize")).toString();
            } else if (name == u"brk" && attributes.value(QLatin1String("man")) == u"1") {
                sheet.rowBreaks << attributes.value(QLatin1String("id")).toInt();
            } else if (name == u"pageSetUpPr") {
                sheet.fitToPage = attributes.value(QLatin1String("fitToPage")) == u"1";
            } else if (name == u"pageMargins") {
                sheet.leftMargin = attributes.value(QLatin1String("left")).toString();
                sheet.rightMargin = attributes.value(QLatin1String("right")).toString();
            }
        }
    }

    QStringList m_strings;
};

// The file's column width carries a few pixels of padding over the width in characters.
bool widthIs(double fileWidth, double characters)
{
    return std::abs(fileWidth - (characters + 5.0 / 7)) < 0.1;
}

// A costing card's and a cross table's set-up, as the print-outs make them.
void fillPrintOut(Workbook& book)
{
    Sheet& card = book.sheet(1);
    card.setName(u"Калькуляционные карты"_s);
    card.setColumnWidth(1, 4);
    card.range(u"B:I").setColumnWidth(10.2);
    card.column(6).setNumberFormat(u"0"_s);
    card.columns(7, 8).setNumberFormat(u"0.00"_s);
    card.column(1).setHorizontalAlignment(HAlign::Center).setVerticalAlignment(VAlign::Center);
    card.setPrintTitleRows(u"$5:$5");
    card.setOnePageWide(true);
    card.addPageBreakBefore(6);

    card.cell(1, 9).setValue(u"Калькуляционные карты блюд, состояние на 05.03.2024 г."_s);
    card.range(u"A1:I1").merge();
    card.row(1).font().setName(u"Times New Roman"_s).setSize(16).setBold(true).setColor(0);
    card.row(1).setHorizontalAlignment(HAlign::Center).setVerticalAlignment(VAlign::Center);

    card.cell(5, 2).setValue(u"Наименование продуктов"_s);
    card.cell(5, 7).setValue(u"Цена"_s);
    card.range(u"F5:H5").setHorizontalAlignment(HAlign::Right);
    const int row = 5;
    Range rule = card.range(u"A%1:H%1"_s.arg(row));
    rule.borders().setLineStyle(LineStyle::Continuous);
    rule.borders().setWeight(BorderWeight::Thin);
    rule.borders(Edge::Bottom).setColorIndex(ColorIndex::Black);
    for (Edge edge : {Edge::Left, Edge::Right, Edge::Top})
        rule.borders(edge).setColorIndex(XlNone);

    card.cell(6, 1).setValue(1);
    card.cell(6, 2).setValue(u"Картофель \"молодой\" & <лук>"_s);
    card.cell(6, 6).setValue(120.0 * 100 / 70);
    card.cell(6, 7).setValue(50);
    card.cell(6, 8).setValue(7.5);
    card.cell(6, 2).font().setColor(255); // red in the automation's order

    Sheet& cross = book.sheet(2);
    cross.setName(u"Перекрёстная таблица"_s);
    cross.setPageOrientation(PageOrientation::Landscape);
    cross.setLeftMargin(10);
    cross.setRightMargin(10);
    cross.setPrintTitleRows(u"$4:$4");
    cross.setPrintTitleColumns(u"$A:$A");
    cross.range(u"A:II").setColumnWidth(6);
    cross.setColumnWidth(2, 24.5);
    cross.setColumnWidth(5, 2.1);
    cross.rows(2, 4).font().setSize(10);
    cross.rows(2, 4).setHorizontalAlignment(HAlign::Center);
    cross.row(2).setVerticalAlignment(VAlign::Bottom).setOrientation(90);
    cross.range(u"A2:B2").setOrientation(0);
    cross.cell(2, 2).setValue(u"Наименование ингредиенты\\блюда"_s).setWrapText(true);
    cross.cell(2, 5).setValue(u"Супы"_s).font().setBold(true);
    cross.cell(3, 6).setValue(u"4 п."_s);
    cross.column(3).setNumberFormat(u"0.000"_s);
    cross.cell(5, 3).setValue(1234.5);
    cross.cell(5, 6).setValue(0.25);
    cross.cell(5, 6).setNumberFormat(u"0.000"_s);
    Range table = cross.range(u"A2:%1%2"_s.arg(CellArea::columnLetters(6)).arg(5));
    table.borders().setLineStyle(1);
    table.borders().setWeight(2);
    table.borders().setColorIndex(0);
    cross.range(u"A7:B7").borders(Edge::Bottom).setWeight(3);
}

} // namespace

class tst_XlsxFileWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void fileHoldsWhatWasSet();
    void rowsAreFittedToWhatTheyShow();
    void numbersKeepTheirPointUnderACommaLocale();
    void failureLeavesNoFile();
    void pageBreaksBeyondTheFormatsLimit();

private:
    QString write(const Workbook& book, const QString& name);

    QTemporaryDir m_dir;
};

void tst_XlsxFileWriter::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable(u"unzip"_s).isEmpty(),
             "the read-back tests need unzip (scripts/debian-packages.txt)");
    QVERIFY(m_dir.isValid());
    // For a look at the files in a spreadsheet application.
    if (qEnvironmentVariableIsSet("KUHNEMER_KEEP_XLSX")) {
        m_dir.setAutoRemove(false);
        qInfo("written files are kept in %s", qPrintable(m_dir.path()));
    }
}

QString tst_XlsxFileWriter::write(const Workbook& book, const QString& name)
{
    const QString path = m_dir.filePath(name);
    XlsxFileWriter writer;
    if (!writer.write(book, path))
        qWarning() << writer.errorString();
    return path;
}

void tst_XlsxFileWriter::fileHoldsWhatWasSet()
{
    Workbook book;
    fillPrintOut(book);
    QVERIFY(book.problems().isEmpty());
    const QString path = write(book, u"print-out.xlsx"_s);
    QCOMPARE(QProcess::execute(u"unzip"_s, {u"-tqq"_s, path}), 0);
    const XlsxContent file(path);

    QCOMPARE(file.sheets.size(), 2);
    const FileSheet& card = file.sheets[0];
    const FileSheet& cross = file.sheets[1];
    QCOMPARE(card.name, u"Калькуляционные карты"_s);
    QCOMPARE(cross.name, u"Перекрёстная таблица"_s);
    QCOMPARE(file.definedNames.value(u"_xlnm.Print_Titles@0"_s), u"'Калькуляционные карты'!$5:$5"_s);
    QCOMPARE(file.definedNames.value(u"_xlnm.Print_Titles@1"_s),
             u"'Перекрёстная таблица'!$A:$A,'Перекрёстная таблица'!$4:$4"_s);
    // What prints is the cells, a merge included: no page for text running on past them.
    QCOMPARE(file.definedNames.value(u"_xlnm.Print_Area@0"_s), u"'Калькуляционные карты'!$A$1:$I$6"_s);
    QCOMPARE(file.definedNames.value(u"_xlnm.Print_Area@1"_s), u"'Перекрёстная таблица'!$A$1:$F$7"_s);
    QVERIFY(card.fitToPage);
    QVERIFY(!cross.fitToPage);
    // Laid out for A4 whatever the application's default paper; a card begins a page.
    QCOMPARE(card.paperSize, u"9"_s);
    QCOMPARE(cross.paperSize, u"9"_s);
    QCOMPARE(card.rowBreaks, QList<int>{5});
    QVERIFY(cross.rowBreaks.isEmpty());

    // The title moved into the merged cell, with the row's font and the row's alignment.
    QCOMPARE(card.merges, QStringList{u"A1:I1"_s});
    QCOMPARE(card.cells.value(u"A1"_s).value, u"Калькуляционные карты блюд, состояние на 05.03.2024 г."_s);
    QVERIFY(card.cells.value(u"I1"_s).value.isEmpty());
    const FileStyle& title = file.styleOf(card, u"A1"_s);
    QCOMPARE(title.fontName, u"Times New Roman"_s);
    QCOMPARE(title.fontSize, 16.0);
    QVERIFY(title.bold);
    QCOMPARE(title.fontColor, u"FF000000"_s);
    QCOMPARE(title.horizontal, u"center"_s);
    QCOMPARE(title.vertical, u"center"_s);
    QVERIFY(card.rowStyles.contains(1));
    QCOMPARE(file.styles.at(card.rowStyles.value(1)).fontSize, 16.0);

    // Numbers with the formats of their columns, in neutral form.
    QCOMPARE(card.cells.value(u"F6"_s).value.toDouble(), 120.0 * 100 / 70);
    QCOMPARE(file.styleOf(card, u"F6"_s).numberFormat, u"0"_s);
    QCOMPARE(file.styleOf(card, u"G6"_s).numberFormat, u"0.00"_s);
    QCOMPARE(card.cells.value(u"H6"_s).value, u"7.5"_s);
    QCOMPARE(file.styleOf(card, u"A6"_s).horizontal, u"center"_s);
    QCOMPARE(card.cells.value(u"B6"_s).value, u"Картофель \"молодой\" & <лук>"_s);
    QCOMPARE(file.styleOf(card, u"B6"_s).fontColor, u"FFFF0000"_s);

    // The bottom rule: a thin black line under every cell A5:H5 and no other line.
    for (const char* cell : {"A5", "B5", "C5", "G5", "H5"}) {
        const FileStyle& style = file.styleOf(card, QString::fromLatin1(cell));
        QCOMPARE(style.borders.value(u"bottom"_s).style, u"thin"_s);
        QCOMPARE(style.borders.value(u"bottom"_s).color, u"FF000000"_s);
        for (const char* edge : {"left", "right", "top"})
            QVERIFY2(style.borders.value(QString::fromLatin1(edge)).style.isEmpty(), cell);
    }
    QCOMPARE(file.styleOf(card, u"G5"_s).horizontal, u"right"_s);
    QVERIFY(!card.cells.contains(u"I5"_s));

    QVERIFY(card.orientation.isEmpty() || card.orientation == u"portrait");
    QVERIFY(widthIs(card.widths.value(1), 4));
    QVERIFY(widthIs(card.widths.value(2), 10.2));
    QVERIFY(widthIs(card.widths.value(9), 10.2));

    // The cross table's page and heading rows.
    QCOMPARE(cross.orientation, u"landscape"_s);
    QCOMPARE(cross.leftMargin.toDouble(), 10.0 / 72);
    QCOMPARE(cross.rightMargin.toDouble(), 10.0 / 72);
    QVERIFY(widthIs(cross.widths.value(1), 6));
    QVERIFY(widthIs(cross.widths.value(2), 24.5));
    QVERIFY(widthIs(cross.widths.value(5), 2.1));
    QVERIFY(widthIs(cross.widths.value(243), 6));
    QVERIFY(!cross.widths.contains(244));

    const FileStyle& dish = file.styleOf(cross, u"E2"_s);
    QCOMPARE(dish.rotation, 90);
    QVERIFY(dish.bold);
    QCOMPARE(dish.fontSize, 10.0);
    QVERIFY(dish.vertical.isEmpty()); // bottom, the file's default
    const FileStyle& heading = file.styleOf(cross, u"B2"_s);
    QCOMPARE(heading.rotation, 0);
    QVERIFY(heading.wrap);
    QCOMPARE(heading.horizontal, u"center"_s);
    QCOMPARE(file.styleOf(cross, u"A2"_s).rotation, 0);
    QCOMPARE(file.styleOf(cross, u"F3"_s).fontSize, 10.0);

    QCOMPARE(cross.cells.value(u"C5"_s).value, u"1234.5"_s);
    QCOMPARE(file.styleOf(cross, u"C5"_s).numberFormat, u"0.000"_s);
    QCOMPARE(file.styleOf(cross, u"F5"_s).numberFormat, u"0.000"_s);
    // Every line of every cell of the table, automatic colour; an empty cell keeps its lines.
    for (const char* cell : {"A2", "D3", "F5", "D5"}) {
        const FileStyle& style = file.styleOf(cross, QString::fromLatin1(cell));
        for (const char* edge : {"left", "right", "top", "bottom"}) {
            QVERIFY2(style.borders.value(QString::fromLatin1(edge)).style == u"thin", cell);
            QVERIFY2(style.borders.value(QString::fromLatin1(edge)).color.isEmpty(), cell);
        }
    }
    QCOMPARE(file.styleOf(cross, u"B7"_s).borders.value(u"bottom"_s).style, u"medium"_s);
}

void tst_XlsxFileWriter::rowsAreFittedToWhatTheyShow()
{
    // The spreadsheet application fitted the rows as a print-out wrote them; the file must carry
    // heights, or LibreOffice cuts titles and upright headings.
    Workbook book;
    Sheet& sheet = book.sheet(1);
    const QString dish = u"Салат из свежих овощей с зеленью"_s;
    sheet.row(1).font().setSize(26);
    sheet.cell(2, 9).setValue(u"Калькуляционные карты блюд, состояние на 05.03.2024 г."_s);
    sheet.range(u"A2:I2").merge().font().setSize(16);
    sheet.setColumnWidth(2, 24.5);
    sheet.cell(3, 2).setValue(dish + u' ' + dish).setWrapText(true);
    sheet.cell(4, 5).setValue(dish).setOrientation(90);
    sheet.column(1).font().setSize(14);
    sheet.cell(5, 1).setValue(u"Рецепт"_s);
    sheet.cell(6, 2).setValue(u"Лук"_s).setWrapText(true);
    sheet.cell(7, 3).setValue(12.5);
    const XlsxContent file(write(book, u"heights.xlsx"_s));
    const QHash<int, double>& heights = file.sheets.first().heights;

    const struct
    {
        int row;
        double atLeast;
        double below;
    } cases[] = {
        {1, 26 * 1.2, 26 * 1.6}, // a row's font
        {2, 16 * 1.2, 16 * 1.6}, // a merged title: its font, not its length
        {3, 3 * 15, 5 * 15},     // wrapped into three lines
        {4, 100, 250},           // upright dish name
        {5, 14 * 1.2, 14 * 1.6}, // a column's font
    };
    for (const auto& check : cases) {
        const QByteArray row = QByteArray::number(check.row);
        QVERIFY2(heights.value(check.row) >= check.atLeast, row.constData());
        QVERIFY2(heights.value(check.row) < check.below, row.constData());
    }
    QVERIFY(!heights.contains(6));
    QVERIFY(!heights.contains(7));
}

void tst_XlsxFileWriter::numbersKeepTheirPointUnderACommaLocale()
{
    // The program runs under the user's locale, where the decimal separator may be a comma; the
    // thread's locale stands for it here. A locale made for the test is found through LOCPATH, which
    // goes again at once: glibc's newlocale() leaks its copy of LOCPATH.
    QTemporaryDir locales;
    const char* russian = "ru_RU.UTF-8";
    locale_t user = newlocale(LC_NUMERIC_MASK, russian, locale_t{});
    if (!user) {
        QProcess::execute(u"localedef"_s, {u"-i"_s, u"ru_RU"_s, u"-f"_s, u"UTF-8"_s,
                                           locales.filePath(QString::fromLatin1(russian))});
        qputenv("LOCPATH", QFile::encodeName(locales.path()));
#ifdef __SANITIZE_ADDRESS__
        __lsan_disable();
#endif
        user = newlocale(LC_NUMERIC_MASK, russian, locale_t{});
#ifdef __SANITIZE_ADDRESS__
        __lsan_enable();
#endif
        qunsetenv("LOCPATH");
    }
    if (!user)
        QSKIP("no Russian locale and no localedef to make one");
    const locale_t previous = uselocale(user);
    const auto restore = qScopeGuard([&] {
        uselocale(previous);
        freelocale(user);
    });
    char sample[16];
    std::snprintf(sample, sizeof sample, "%.1f", 1.5);
    QCOMPARE(QByteArray(sample), QByteArray("1,5"));

    Workbook book;
    Sheet& sheet = book.sheet(1);
    sheet.cell(1, 1).setValue(1234.5).setNumberFormat(u"0.00"_s);
    sheet.cell(1, 2).setValue(u"текст"_s).font().setSize(10.5);
    sheet.setColumnWidth(1, 10.2);
    sheet.setLeftMargin(10);
    const QString path = write(book, u"comma.xlsx"_s);
    // The C library's numbers are the user's again once the file is written.
    std::snprintf(sample, sizeof sample, "%.1f", 1.5);
    QCOMPARE(QByteArray(sample), QByteArray("1,5"));

    const XlsxContent file(path);
    QCOMPARE(file.sheets.size(), 1);
    const FileSheet& written = file.sheets.first();
    QCOMPARE(written.cells.value(u"A1"_s).value, u"1234.5"_s);
    QCOMPARE(file.styleOf(written, u"A1"_s).numberFormat, u"0.00"_s);
    QCOMPARE(file.styleOf(written, u"B1"_s).fontSize, 10.5);
    QVERIFY(widthIs(written.widths.value(1), 10.2));
    QCOMPARE(written.leftMargin.toDouble(), 10.0 / 72);
}

void tst_XlsxFileWriter::failureLeavesNoFile()
{
    Workbook book;
    book.sheet(1).cell(1, 1).setValue(1);
    const QString path = m_dir.filePath(u"missing folder/table.xlsx"_s);
    XlsxFileWriter writer;
    QVERIFY(!writer.write(book, path));
    QVERIFY(!writer.errorString().isEmpty());
    QVERIFY(!QFile::exists(path));
}

// A file holds at most 1023 manual page breaks a sheet. Past them the sheet goes on in another, which
// begins where the page would and carries the title row on top, so every page prints as laid out.
void tst_XlsxFileWriter::pageBreaksBeyondTheFormatsLimit()
{
    Workbook book;
    Sheet& sheet = book.sheet(1);
    sheet.setName(u"Оборотная ведомость"_s);
    sheet.cell(1, 1).setValue(u"Оборотная ведомость за декабрь"_s);
    sheet.cell(2, 1).setValue(u"Ингредиент"_s);
    sheet.range(2, 1, 2, 3).merge();
    sheet.setPrintTitleRows(u"$2:$2");
    sheet.setOnePageWide(true);
    for (int row = 3; row <= 1602; ++row)
        sheet.cell(row, 1).setValue(row);
    sheet.range(1100, 1, 1100, 2).merge();
    for (int row = 4; row <= 1503; ++row)
        sheet.addPageBreakBefore(row);
    QVERIFY(book.problems().isEmpty());
    const QString path = write(book, u"long.xlsx"_s);
    QCOMPARE(QProcess::execute(u"unzip"_s, {u"-tqq"_s, path}), 0);
    const XlsxContent file(path);

    QCOMPARE(file.sheets.size(), 2);
    const FileSheet& first = file.sheets[0];
    const FileSheet& second = file.sheets[1];
    QCOMPARE(second.name, u"Оборотная ведомость (2)"_s);
    // The first sheet: rows 1 to 1026 and the first 1023 breaks; the 1024th begins the second sheet.
    QCOMPARE(first.rowBreaks.size(), 1023);
    QCOMPARE(first.rowBreaks.front(), 3);
    QCOMPARE(first.rowBreaks.back(), 1025);
    QCOMPARE(first.cells.value(u"A1026"_s).value, u"1026"_s);
    QVERIFY(!first.cells.contains(u"A1027"_s));
    // The second: the title row, then rows 1027 to 1602 with the other 476 breaks.
    QCOMPARE(second.cells.value(u"A1"_s).value, u"Ингредиент"_s);
    QCOMPARE(second.cells.value(u"A2"_s).value, u"1027"_s);
    QCOMPARE(second.cells.value(u"A577"_s).value, u"1602"_s);
    QCOMPARE(second.rowBreaks.size(), 476);
    QCOMPARE(second.rowBreaks.front(), 2);
    QCOMPARE(second.rowBreaks.back(), 477);
    QCOMPARE(second.merges, (QStringList{u"A1:C1"_s, u"A75:B75"_s}));
    QCOMPARE(file.definedNames.value(u"_xlnm.Print_Titles@1"_s), u"'Оборотная ведомость (2)'!$1:$1"_s);
    QCOMPARE(file.definedNames.value(u"_xlnm.Print_Titles@0"_s), u"'Оборотная ведомость'!$2:$2"_s);
    QVERIFY(first.fitToPage && second.fitToPage);
    QCOMPARE(second.paperSize, u"9"_s);
}

QTEST_GUILESS_MAIN(tst_XlsxFileWriter)
#include "tst_XlsxFileWriter.moc"
