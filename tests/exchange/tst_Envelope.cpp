#include "exchange/Envelope.h"
#include "exchange/MenuFile.h"
#include "store/CodePage.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The generator written out the plain way, as the description gives it: a register that shifts up.
QByteArray unscramble(const QByteArray& stored)
{
    int r[128];
    for (int k = 0; k < 128; ++k)
        r[k] = k < 15 ? static_cast<unsigned char>(stored[k]) : k + 1;
    auto step = [&r] {
        const int t =
            (r[0] + r[2] + r[4] + r[6] + r[10] + r[12] + r[16] + r[18] + r[22] + r[28] + r[35] + r[126]) %
            255;
        for (int k = 127; k > 0; --k)
            r[k] = r[k - 1];
        r[0] = t;
        return t;
    };
    for (int i = 0; i < 128; ++i)
        step();
    QByteArray plain;
    for (qsizetype i = 25; i < stored.size(); ++i)
        plain += char(static_cast<unsigned char>(stored[i]) ^ step());
    return plain;
}

QByteArray cp1251(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += *codepage::encode(line, codepage::Page::Windows1251) + "\r\n";
    return bytes;
}

MenuFileEntry entry(qlonglong dish, const QString& name, double price, qlonglong group,
                    const QString& groupName, bool on = true)
{
    return {dish, name, price, u"250"_s, QString(), on, group, groupName, 3};
}

} // namespace

class tst_Envelope : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wrapsAndUnwraps();
    void seedCarriesNoDay();
    void checksumOfTenDigits();
    void unwrapRefusesDamage_data();
    void unwrapRefusesDamage();
    void menuFileBlocks();
    void emptyMenuAndRefusedText();
};

void tst_Envelope::wrapsAndUnwraps()
{
    const QByteArray seed = "202403101520123";
    const QByteArray plain =
        cp1251({u"<<<< МЕНЮ ПРОГРАММЫ КУХНЕМЕР >>>>"_s, u"7"_s}) + QByteArray(300, '\xFF');
    const std::optional<QByteArray> stored = Envelope::wrap(plain, seed);
    QVERIFY(stored);
    QCOMPARE(stored->left(15), seed);
    QCOMPARE(stored->mid(15, 10).toLongLong(), Envelope::checksum(plain));
    QCOMPARE(stored->size(), plain.size() + 25);
    QVERIFY(stored->mid(25) != plain);
    QCOMPARE(unscramble(*stored), plain);
    const Envelope::Unwrapped back = Envelope::unwrap(*stored);
    QCOMPARE(back.problem, Envelope::Problem::None);
    QCOMPARE(back.plain, plain);
}

void tst_Envelope::seedCarriesNoDay()
{
    const QTime time(9, 5, 7, 42);
    QCOMPARE(Envelope::seedOf(QDateTime(QDate(2024, 3, 1), time)), QByteArray("202403090507042"));
    QCOMPARE(Envelope::seedOf(QDateTime(QDate(2024, 3, 28), time)), QByteArray("202403090507042"));
}

void tst_Envelope::checksumOfTenDigits()
{
    // 484 bytes of 255 and one of 36 add up to 123456.
    const QByteArray plain = QByteArray(484, '\xFF') + char(36);
    QCOMPARE(Envelope::checksum(plain), 123456);
    QCOMPARE(Envelope::wrap(plain, "000000000000000")->mid(15, 10), QByteArray("0000123456"));
}

void tst_Envelope::unwrapRefusesDamage_data()
{
    const QByteArray good = *Envelope::wrap("plain text\r\n", "202401010101010");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<Envelope::Problem>("problem");
    QByteArray checksumUp = good;
    checksumUp[24] = char(checksumUp[24] + 1);
    QByteArray letter = good;
    letter[3] = 'x';
    QByteArray flipped = good;
    flipped[30] = char(flipped[30] ^ 1);
    QTest::newRow("empty") << QByteArray() << Envelope::Problem::NotDigits;
    QTest::newRow("24 digits") << good.left(24) << Envelope::Problem::NotDigits;
    QTest::newRow("letter in the seed") << letter << Envelope::Problem::NotDigits;
    QTest::newRow("checksum off by one") << checksumUp << Envelope::Problem::Checksum;
    QTest::newRow("content changed") << flipped << Envelope::Problem::Checksum;
    QTest::newRow("content cut") << good.chopped(1) << Envelope::Problem::Checksum;
}

void tst_Envelope::unwrapRefusesDamage()
{
    QFETCH(QByteArray, stored);
    QFETCH(Envelope::Problem, problem);
    const Envelope::Unwrapped back = Envelope::unwrap(stored);
    QCOMPARE(back.problem, problem);
    QVERIFY(back.plain.isEmpty());
}

void tst_Envelope::menuFileBlocks()
{
    MenuFileContent menu{12,
                         QDate(2024, 3, 5),
                         u"Обед"_s,
                         {entry(57, u"Борщ"_s, 12.5, 4, u"Супы"_s), entry(58, u"Щи"_s, 10, 4, u"Супы"_s),
                          entry(60, u"Оливье"_s, 30, 9, u"Салаты"_s, false)}};
    QString error;
    const std::optional<QByteArray> plain = MenuFile::plainContent(menu, u',', &error);
    QVERIFY(plain);
    const QStringList group1{
        u"<<<< НОВАЯ ГРУППА МЕНЮ >>>>"_s, u"4"_s, u"Супы"_s, u"3"_s, u"1"_s, u"Кухнемер"_s};
    const QStringList group2{
        u"<<<< НОВАЯ ГРУППА МЕНЮ >>>>"_s, u"9"_s, u"Салаты"_s, u"3"_s, u"1"_s, u"Кухнемер"_s};
    const QByteArray expected = cp1251(
        QStringList{u"<<<< МЕНЮ ПРОГРАММЫ КУХНЕМЕР >>>>"_s, u"12"_s, u"05"_s, u"03"_s, u"2024"_s, u"Обед"_s} +
        group1 + QStringList{u"57"_s, u"Борщ"_s, u"12,5"_s, u"250"_s, QString(), u"1"_s, u"20"_s} +
        QStringList{u"58"_s, u"Щи"_s, u"10"_s, u"250"_s, QString(), u"1"_s, u"20"_s} + group2 +
        QStringList{u"60"_s, u"Оливье"_s, u"30"_s, u"250"_s, QString(), u"0"_s, u"20"_s,
                    u"<<<< КОНЕЦ ФАЙЛА МЕНЮ ПРОГРАММЫ КУХНЕМЕР >>>>"_s});
    QCOMPARE(*plain, expected);

    // Two groups of one name in a row form one block.
    menu.entries[1].group = 5;
    QCOMPARE(MenuFile::plainContent(menu, u',', &error)->count("<<<<"), 4);
}

void tst_Envelope::emptyMenuAndRefusedText()
{
    MenuFileContent menu{1, QDate(2024, 12, 31), QString(), {}};
    QString error;
    QCOMPARE(*MenuFile::plainContent(menu, u'.', &error),
             cp1251({u"<<<< МЕНЮ ПРОГРАММЫ КУХНЕМЕР >>>>"_s, u"1"_s, u"31"_s, u"12"_s, u"2024"_s, QString(),
                     u"<<<< КОНЕЦ ФАЙЛА МЕНЮ ПРОГРАММЫ КУХНЕМЕР >>>>"_s}));
    menu.entries << entry(1, u"Суп ☺"_s, 1, 1, u"Супы"_s);
    QVERIFY(!MenuFile::plainContent(menu, u'.', &error));
    QVERIFY(error.contains(u"☺"_s));
}

QTEST_APPLESS_MAIN(tst_Envelope)
#include "tst_Envelope.moc"
