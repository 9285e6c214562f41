#include "exchange/CardFile.h"
#include "exchange/ExchangeNumbers.h"
#include "store/CodePage.h"

#include <QBuffer>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

CardFileContent borscht()
{
    CardFileContent card;
    card.name = u"Борщ"_s;
    card.extra = QString();
    card.portions = 10;
    card.yield = u"250/10"_s;
    card.rows = {{u"Свёкла"_s, u"кг"_s, 12.5, 80}, {u"Бульон --> Полуфабрикат"_s, QString(), 2000, 100}};
    card.recipe = {u"Свёклу натереть."_s, QString(), u"Варить 20 минут."_s};
    return card;
}

QByteArray cp1251(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += *codepage::encode(line, codepage::Page::Windows1251) + "\r\n";
    return bytes;
}

const QString S = u"#!# НАЧАЛО ОПИСАНИЯ КАЛЬКУЛЯЦИОННОЙ КАРТЫ #!#"_s;
const QString R = u"#!# НАЧАЛО ОПИСАНИЯ РЕЦЕПТА #!#"_s;
const QString E = u"#!# КОНЕЦ ОПИСАНИЯ КАЛЬКУЛЯЦИОННОЙ КАРТЫ #!#"_s;

} // namespace

class tst_CardFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesTheBytesOfTheFormat();
    void roundTripWithEitherSeparator_data();
    void roundTripWithEitherSeparator();
    void generalNumberFormat_data();
    void generalNumberFormat();
    void refusesBrokenStructure_data();
    void refusesBrokenStructure();
    void refusesALine_data();
    void refusesALine();
    void refusesBeyondTheSizeLimit();
    void refusesBeforeWriting_data();
    void refusesBeforeWriting();
};

void tst_CardFile::writesTheBytesOfTheFormat()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    QVERIFY(CardFile::write(buffer, borscht(), u',', &error));
    const QByteArray expected =
        cp1251({S, u"Борщ"_s, QString(), u"10"_s, u"250/10"_s, u"Свёкла"_s, u"кг"_s, u"12,5"_s, u"80"_s,
                u"Бульон --> Полуфабрикат"_s, QString(), u"2000"_s, u"100"_s, R, u"Свёклу натереть."_s,
                QString(), u"Варить 20 минут."_s, E});
    QCOMPARE(buffer.data(), expected);
    // Windows-1251 itself: "Б" is 0xC1, "ё" is 0xB8, and every line ends in CR LF.
    QVERIFY(buffer.data().contains("\r\n\xC1\xF3\xEB\xFC\xEE\xED"));
    QVERIFY(buffer.data().contains("\xD1\xE2\xB8\xEA\xEB\xE0"));
    QVERIFY(buffer.data().endsWith("\xCA\xC0\xD0\xD2\xDB #!#\r\n"));
}

void tst_CardFile::roundTripWithEitherSeparator_data()
{
    QTest::addColumn<QChar>("separator");
    QTest::newRow("comma") << QChar(u',');
    QTest::newRow("point") << QChar(u'.');
}

void tst_CardFile::roundTripWithEitherSeparator()
{
    QFETCH(QChar, separator);
    QString error;
    CardFileContent written = borscht();
    written.rows << CardFileRow{u"Шафран"_s, u"г"_s, 1.5e-7, 100};
    const std::optional<QByteArray> bytes = CardFile::encode(written, separator, &error);
    QVERIFY(bytes);
    // No exponent: a reader converting with the locale alone takes the quantity too.
    QVERIFY(bytes->contains((u"\r\n0"_s + separator + u"00000015\r\n"_s).toLatin1()));
    // Lines before the start and after the end marker are ignored.
    const CardFile::ReadResult read = CardFile::parse("junk\r\n" + *bytes + "trailer\r\n", separator);
    QVERIFY(read.content);
    const CardFileContent& card = *read.content;
    QCOMPARE(card.name, u"Борщ"_s);
    QCOMPARE(card.extra, QString());
    QCOMPARE(card.portions, 10);
    QCOMPARE(card.yield, u"250/10"_s);
    QCOMPARE(card.rows.size(), 3);
    QCOMPARE(card.rows[0].netGrams, 12.5);
    QCOMPARE(card.rows[2].netGrams, 1.5e-7);
    QCOMPARE(card.rows[1].ingredient, u"Бульон --> Полуфабрикат"_s);
    QCOMPARE(card.rows[1].yieldPercent, 100);
    QCOMPARE(card.recipe, borscht().recipe);

    CardFileContent empty = borscht();
    empty.rows.clear();
    const CardFile::ReadResult bare = CardFile::parse(*CardFile::encode(empty, separator, &error), separator);
    QVERIFY(bare.content);
    QVERIFY(bare.content->rows.isEmpty());
}

void tst_CardFile::generalNumberFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("positional"); // the card's quantities: empty where it equals text
    QTest::newRow("half") << 12.5 << u"12,5"_s << QString();
    QTest::newRow("whole") << 100.0 << u"100"_s << QString();
    QTest::newRow("fifteen digits") << 0.1 + 0.2 << u"0,3"_s << QString();
    QTest::newRow("small") << 0.00001 << u"0,00001"_s << QString();
    QTest::newRow("below 1E15") << 999999999999999.0 << u"999999999999999"_s << QString();
    QTest::newRow("tiny") << 1.5e-7 << u"1,5E-7"_s << u"0,00000015"_s;
    QTest::newRow("huge") << 1e20 << u"1E20"_s << u"100000000000000000000"_s;
    QTest::newRow("long mantissa") << 123456789012345678.0 << u"1,23456789012346E17"_s
                                   << u"123456789012346000"_s;
    QTest::newRow("negative tiny") << -1.25e-9 << u"-1,25E-9"_s << u"-0,00000000125"_s;
    QTest::newRow("negative") << -3.25 << u"-3,25"_s << QString();
    QTest::newRow("very large") << 1.25e300 << u"1,25E300"_s << u"125"_s + QString(298, u'0');
    QTest::newRow("smallest") << std::numeric_limits<double>::denorm_min() << u"4,94065645841247E-324"_s
                              << u"0,"_s + QString(323, u'0') + u"494065645841247"_s;
}

void tst_CardFile::generalNumberFormat()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(QString, positional);
    QCOMPARE(exchangenumbers::general(value, u','), text);
    if (positional.isEmpty())
        positional = text;
    QCOMPARE(exchangenumbers::positional(value, u','), positional);
    // Fifteen significant digits read back as the number the user sees, in either form.
    const double expected = QString(text).replace(u',', u'.').toDouble();
    for (const QString& written : {text, positional}) {
        const std::optional<double> back = exchangenumbers::parseWithSeparator(written, u',');
        QVERIFY(back);
        QCOMPARE(*back, expected);
    }
}

void tst_CardFile::refusesBrokenStructure_data()
{
    QTest::addColumn<QStringList>("lines");
    const QStringList head{u"Борщ"_s, QString(), u"10"_s, u"250"_s};
    const QStringList block{u"Свёкла"_s, u"кг"_s, u"12,5"_s, u"80"_s};
    QTest::newRow("empty") << QStringList();
    QTest::newRow("no end marker") << (QStringList{S} + head + QStringList{R, u"x"_s});
    QTest::newRow("markers out of order") << (QStringList{S} + head + QStringList{E, u"x"_s, R});
    QTest::newRow("marker inside the recipe") << (QStringList{S} + head + QStringList{R, R, E});
    QTest::newRow("second start marker") << (QStringList{S, S} + head + QStringList{R, E});
    QTest::newRow("recipe marker for a header line") << QStringList{S, u"Борщ"_s, QString(), R, E};
    QTest::newRow("block cut short") << (QStringList{S} + head + block.mid(0, 3) + QStringList{R, E});
    QTest::newRow("block too long") << (QStringList{S} + head + block + QStringList{u"x"_s, R, E});
}

void tst_CardFile::refusesBrokenStructure()
{
    QFETCH(QStringList, lines);
    const CardFile::ReadResult read = CardFile::parse(cp1251(lines), u',');
    QVERIFY(!read.content);
    QCOMPARE(read.problem, CardFile::Problem::Format);
}

void tst_CardFile::refusesALine_data()
{
    QTest::addColumn<QStringList>("values"); // name, portions, ingredient, quantity, yield
    QTest::addColumn<CardFile::Problem>("problem");
    QTest::addColumn<int>("line");
    const auto number = CardFile::Problem::Number;
    const auto value = CardFile::Problem::Value;
    QTest::newRow("portions not whole")
        << QStringList{u"Борщ"_s, u"2,5"_s, u"Свёкла"_s, u"12,5"_s, u"80"_s} << number << 4;
    QTest::newRow("quantity with a point")
        << QStringList{u"Борщ"_s, u"2"_s, u"Свёкла"_s, u"12.5"_s, u"80"_s} << number << 8;
    QTest::newRow("quantity empty") << QStringList{u"Борщ"_s, u"2"_s, u"Свёкла"_s, QString(), u"80"_s}
                                    << number << 8;
    QTest::newRow("yield a word") << QStringList{u"Борщ"_s, u"2"_s, u"Свёкла"_s, u"12,5"_s, u"много"_s}
                                  << number << 9;
    QTest::newRow("huge portions") << QStringList{u"Борщ"_s, u"99999999999"_s, u"Свёкла"_s, u"1"_s, u"80"_s}
                                   << number << 4;
    QTest::newRow("zero portions") << QStringList{u"Борщ"_s, u"0"_s, u"Свёкла"_s, u"12,5"_s, u"80"_s} << value
                                   << 4;
    QTest::newRow("negative quantity")
        << QStringList{u"Борщ"_s, u"2"_s, u"Свёкла"_s, u"-0,5"_s, u"80"_s} << value << 8;
    QTest::newRow("zero quantity") << QStringList{u"Борщ"_s, u"2"_s, u"Свёкла"_s, u"0"_s, u"80"_s} << value
                                   << 8;
    QTest::newRow("zero yield") << QStringList{u"Борщ"_s, u"2"_s, u"Свёкла"_s, u"12,5"_s, u"0"_s} << value
                                << 9;
    QTest::newRow("semi-finished product's zero yield")
        << QStringList{u"Борщ"_s, u"2"_s, u"Бульон --> Полуфабрикат"_s, u"12,5"_s, u"0"_s}
        << CardFile::Problem::None << 0;
    QTest::newRow("NUL in the name") << QStringList{u"Бо\0рщ"_s, u"2"_s, u"Свёкла"_s, u"12,5"_s, u"80"_s}
                                     << CardFile::Problem::Nul << 2;
}

void tst_CardFile::refusesALine()
{
    QFETCH(QStringList, values);
    QFETCH(CardFile::Problem, problem);
    QFETCH(int, line);
    const QByteArray bytes = cp1251(
        {S, values[0], QString(), values[1], u"250"_s, values[2], u"кг"_s, values[3], values[4], R, E});
    const CardFile::ReadResult read = CardFile::parse(bytes, u',');
    QCOMPARE(read.problem, problem);
    QCOMPARE(read.content.has_value(), problem == CardFile::Problem::None);
    QCOMPARE(read.line, line);
    if (problem == CardFile::Problem::Value) {
        QVERIFY(read.reason.endsWith(u"не больше нуля"_s));
        QVERIFY(read.subject.startsWith(u"Борщ"_s));
    }
}

void tst_CardFile::refusesBeyondTheSizeLimit()
{
    QByteArray bytes(CardFile::largestFile + 1, ' ');
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QCOMPARE(CardFile::read(buffer, u',').problem, CardFile::Problem::TooLarge);
}

void tst_CardFile::refusesBeforeWriting_data()
{
    // What the reader would refuse is never written: field, its new text, words of the reason.
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("outside Windows-1251") << u"recipe"_s << u"Подавать с 🍞"_s << u"Windows-1251"_s;
    QTest::newRow("line break") << u"name"_s << u"Борщ\nукраинский"_s << u"перевод строки"_s;
    QTest::newRow("recipe line equal to a marker") << u"recipe"_s << R << u"Строка 4 рецепта совпадает"_s;
    QTest::newRow("name equal to a marker") << u"name"_s << E << u"Наименование блюда совпадает"_s;
    QTest::newRow("unit equal to a marker")
        << u"unit"_s << S << u"Единица ингредиента в строке 1 карты совпадает"_s;
    QTest::newRow("NUL in the name") << u"name"_s << u"Бо\0рщ"_s << u"Наименование блюда содержит знак NUL"_s;
    QTest::newRow("zero portions") << u"portions"_s << u"0"_s << u"блюдо: выход в порциях не больше нуля"_s;
    QTest::newRow("negative quantity")
        << u"grams"_s << u"-1e-9"_s << u"не больше нуля: \"Борщ / Свёкла\" (-0,000000001)"_s;
    QTest::newRow("zero yield") << u"yield"_s << u"0"_s << u"строка карты: процент выхода не больше нуля"_s;
}

void tst_CardFile::refusesBeforeWriting()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    CardFileContent card = borscht();
    if (field == u"recipe"_s)
        card.recipe << text;
    else if (field == u"name"_s)
        card.name = text;
    else if (field == u"unit"_s)
        card.rows[0].unit = text;
    else if (field == u"portions"_s)
        card.portions = text.toInt();
    else if (field == u"grams"_s)
        card.rows[0].netGrams = text.toDouble();
    else
        card.rows[0].yieldPercent = text.toInt();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    QVERIFY(!CardFile::write(buffer, card, u',', &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(buffer.data().isEmpty());

    // A semi-finished product's yield is no reason: the reader takes it.
    card = borscht();
    card.rows[1].yieldPercent = 0;
    QVERIFY(CardFile::write(buffer, card, u',', &error));
}

QTEST_APPLESS_MAIN(tst_CardFile)
#include "tst_CardFile.moc"
