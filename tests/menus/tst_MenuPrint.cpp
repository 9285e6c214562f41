#include "MenuKitchen.h"

#include "menus/MenuPrint.h"
#include "menus/MenuPrintSettings.h"
#include "reports/Workbook.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The filled cells of columns A, B, G, H and I of the body rows from row 4 as "A=… G=…", "-" for an
// empty row. A heading is merged into column A.
QStringList bodyRows(const Sheet& sheet, int last)
{
    QStringList rows;
    for (int row = 4; row <= last; ++row) {
        QStringList cells;
        for (int column : {1, 2, 7, 8, 9}) {
            const QVariant v = sheet.value(row, column);
            if (!v.isNull())
                cells << QString(QChar(u'A' + column - 1)) + u'=' + v.toString();
        }
        rows << (cells.isEmpty() ? u"-"_s : cells.join(u' '));
    }
    return rows;
}

// The five default texts as the file holds them.
QByteArray defaultFile()
{
    return QByteArray(
        "\xF0\r\n\xEA\r\n\xCD\xE0\xE8\xEC\xE5\xED\xEE\xE2\xE0\xED\xE8\xE5 \xE1\xEB\xFE\xE4\xE0\r\n"
        "\xC2\xFB\xF5\xEE\xE4\r\n\xD6\xE5\xED\xE0\r\n");
}

} // namespace

class tst_MenuPrint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void priceText_data()
    {
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 12.0 << u"12р"_s;
        QTest::newRow("half") << 12.5 << u"12р 50к"_s;
        QTest::newRow("five kopecks") << 12.05 << u"12р 5к"_s;
        QTest::newRow("no roubles") << 0.99 << u"0р 99к"_s;
        QTest::newRow("zero") << 0.0 << u"0р"_s;
        // Taken to the kopeck first: never "12р 100к" or "12р 0к".
        QTest::newRow("kopecks round to a rouble") << 12.996 << u"13р"_s;
        QTest::newRow("a tenth of a kopeck") << 12.001 << u"12р"_s;
        QTest::newRow("half a kopeck to even") << 12.125 << u"12р 12к"_s;
        QTest::newRow("float noise") << 0.29 << u"0р 29к"_s;
    }

    void priceText()
    {
        QFETCH(double, price);
        QFETCH(QString, text);
        QCOMPARE(MenuPrint::priceText(price, u"р"_s, u"к"_s), text);
    }

    void layout_data()
    {
        QTest::addColumn<QStringList>("entries"); // "dish,on,description"
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("firstSignature");

        QTest::newRow("groups A, A, B")
            << QStringList({u"borscht,1,"_s, u"shchi,1,"_s, u"cutlet,1,"_s})
            << QStringList({u"A=Супы"_s, u"A=Борщ G=250 H=55р 50к"_s, u"A=Щи G=250 H=40р"_s, u"A=Горячее"_s,
                            u"A=Котлета G=100/150 H=120р 25к"_s, u"-"_s,
                            u"A=Директор G=Иванов Иван Иванович"_s, u"A=Повар G=Петрова Анна "_s})
            << 10;
        QTest::newRow("descriptions take a row")
            << QStringList({u"borscht,1,со сметаной"_s, u"cutlet,1,"_s, u"tea,1,с лимоном"_s})
            << QStringList({u"A=Супы"_s, u"A=Борщ G=250 H=55р 50к"_s, u"B=со сметаной"_s, u"A=Горячее"_s,
                            u"A=Котлета G=100/150 H=120р 25к"_s, u"A=Напитки"_s, u"A=Чай G=200 H=13р"_s,
                            u"B=с лимоном"_s, u"-"_s, u"A=Директор G=Иванов Иван Иванович"_s})
            << 13;
        QTest::newRow("switched-off entries are left out")
            << QStringList({u"borscht,0,"_s, u"cutlet,1,"_s, u"shchi,0,"_s})
            << QStringList({u"A=Горячее"_s, u"A=Котлета G=100/150 H=120р 25к"_s, u"-"_s,
                            u"A=Директор G=Иванов Иван Иванович"_s})
            << 7;
        QTest::newRow("nothing switched on")
            << QStringList({u"borscht,0,"_s})
            << QStringList({u"-"_s, u"A=Директор G=Иванов Иван Иванович"_s, u"A=Повар G=Петрова Анна "_s})
            << 5;
    }

    void layout()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, rows);
        QFETCH(int, firstSignature);

        MenuKitchen kitchen;
        kitchen.data.insert(
            u"Podpis"_s,
            {{u"Dol"_s, u"Повар"_s}, {u"Fam"_s, u"Петрова"_s}, {u"Nam"_s, u"Анна"_s}, {u"Poradok"_s, 2}});
        kitchen.data.insert(u"Podpis"_s, {{u"Dol"_s, u"Директор"_s},
                                          {u"Fam"_s, u"Иванов"_s},
                                          {u"Nam"_s, u"Иван"_s},
                                          {u"Ot"_s, u"Иванович"_s},
                                          {u"Poradok"_s, 1}});
        const QHash<QString, QPair<qlonglong, qlonglong>> dishes{
            {u"borscht"_s, {kitchen.borscht, kitchen.soups}},
            {u"shchi"_s, {kitchen.shchi, kitchen.soups}},
            {u"cutlet"_s, {kitchen.cutlet, kitchen.mains}},
            {u"tea"_s, {kitchen.tea, kitchen.drinks}}};
        const QHash<qlonglong, double> order{{kitchen.soups, 1}, {kitchen.mains, 2}, {kitchen.drinks, 3}};
        for (const QString& line : entries) {
            const QStringList parts = line.split(u',');
            const auto [dish, group] = dishes.value(parts[0]);
            kitchen.entry(kitchen.menu, dish, group, order.value(group), parts[1] == u"1"_s,
                          kitchen.data.scalar(u"SELECT Cena FROM Bludo WHERE Kod1 = ?"_s, {dish}).toDouble(),
                          parts[2]);
        }

        Workbook workbook;
        QString error;
        QList<int> progress;
        QVERIFY(MenuPrint(kitchen.db())
                    .fill(workbook, kitchen.menu, {QDate(2024, 3, 16), MenuPrintSettings::defaults(), true},
                          &error, [&](int percent) {
                              progress << percent;
                              return true;
                          }));
        const Sheet& sheet = workbook.sheet(1);
        QCOMPARE(bodyRows(sheet, 3 + int(rows.size())), rows);
        QCOMPARE(sheet.value(firstSignature, 1).toString(), u"Директор"_s);
        if (!progress.isEmpty())
            QCOMPARE(progress.last(), 100);
        QVERIFY(workbook.problems().isEmpty());

        // Headings span A to I, centred; dish rows are underlined A to H only.
        for (int row = 4; row < firstSignature - 1; ++row) {
            const bool heading = std::find(sheet.merges().begin(), sheet.merges().end(),
                                           CellArea::parse(u"A%1:I%1"_s.arg(row))) != sheet.merges().end();
            if (heading) {
                QCOMPARE(sheet.format(row, 1).horizontalAlignment, std::optional<HAlign>(HAlign::Center));
                QCOMPARE(sheet.format(row, 1).fontSize, std::optional<double>(18));
                QCOMPARE(sheet.format(row, 1).bold, std::optional<bool>(true));
            } else if (!sheet.value(row, 8).isNull()) {
                QCOMPARE(sheet.format(row, 1).fontSize, std::optional<double>(16));
                QCOMPARE(sheet.format(row, 8).border(Edge::Bottom).colorIndex,
                         std::optional<int>(ColorIndex::Black));
                QCOMPARE(sheet.format(row, 8).border(Edge::Top).colorIndex, std::optional<int>(XlNone));
                QVERIFY(!sheet.format(row, 9).border(Edge::Bottom).colorIndex);
            }
        }
    }

    void titleBlockAndAdjacentGroupsOfOneName()
    {
        MenuKitchen kitchen;
        // Two groups called "Супы" that follow each other get one heading.
        const qlonglong moreSoups = kitchen.group(u"Супы"_s, 1);
        const qlonglong solyanka = kitchen.dish(moreSoups, u"Солянка"_s, u"300"_s, 90);
        kitchen.entry(kitchen.menu, kitchen.borscht, kitchen.soups, 1, true, 55.5);
        kitchen.entry(kitchen.menu, solyanka, moreSoups, 1, true, 90);

        Workbook workbook;
        QString error;
        QStringList texts = MenuPrintSettings::defaults();
        texts[MenuPrintSettings::WholeWord] = u" руб."_s;
        QVERIFY(
            MenuPrint(kitchen.db()).fill(workbook, kitchen.menu, {QDate(2024, 3, 16), texts, false}, &error));
        const Sheet& sheet = workbook.sheet(1);
        QCOMPARE(bodyRows(sheet, 7), QStringList({u"A=Супы"_s, u"A=Борщ G=250 H=55 руб. 50к"_s,
                                                  u"A=Солянка G=300 H=90 руб."_s, u"-"_s}));
        QVERIFY(!sheet.format(5, 1).border(Edge::Bottom).colorIndex);

        QCOMPARE(sheet.name(), u"Меню на 16.03.2024 г."_s);
        QCOMPARE(sheet.value(1, 1).toString(), u"Меню"_s);
        QCOMPARE(sheet.format(1, 1).fontSize, std::optional<double>(26));
        QCOMPARE(sheet.format(1, 1).fontName, std::optional<QString>(u"Times New Roman"_s));
        QCOMPARE(sheet.format(1, 1).horizontalAlignment, std::optional<HAlign>(HAlign::Center));
        QCOMPARE(sheet.value(2, 1).toString(), u"16.03.2024 г."_s);
        QCOMPARE(sheet.value(3, 1).toString(), u"Наименование блюда"_s);
        QCOMPARE(sheet.value(3, 7).toString(), u"Выход"_s);
        QCOMPARE(sheet.value(3, 8).toString(), u"Цена"_s);
        QCOMPARE(sheet.format(3, 8).horizontalAlignment, std::optional<HAlign>(HAlign::Right));
        QCOMPARE(sheet.format(3, 1).bold, std::optional<bool>(true));
        QCOMPARE(sheet.pageSetup().printTitleRows, CellArea::parse(u"$3:$3"_s));
        QCOMPARE(sheet.columnWidth(1), std::optional<double>(8.3));
        QCOMPARE(sheet.columnWidth(6), std::optional<double>(9));
        QCOMPARE(sheet.columnWidth(7), std::optional<double>(12.5));
        QCOMPARE(sheet.format(5, 7).horizontalAlignment, std::optional<HAlign>(HAlign::Left));
        QCOMPARE(sheet.format(5, 8).numberFormat, std::optional<QString>(u"0.00"_s));
        // The price is text, not a number.
        QCOMPARE(sheet.value(6, 8).typeId(), QMetaType::QString);
    }

    // An entry whose dish was deleted is left out and counted, never printed as an empty heading
    // and a bare price.
    void entryWhoseDishIsGoneIsLeftOut()
    {
        MenuKitchen kitchen;
        kitchen.entry(kitchen.menu, kitchen.borscht, kitchen.soups, 1, true, 55.5);
        kitchen.entry(kitchen.menu, kitchen.shchi, kitchen.soups, 1, true, 7);
        kitchen.entry(kitchen.menu, kitchen.cutlet, kitchen.mains, 2, true, 120.25);
        kitchen.data.scalar(u"DELETE FROM Bludo WHERE Kod1 = ?"_s, {kitchen.shchi});

        Workbook workbook;
        QString error;
        int skipped = -1;
        QVERIFY(MenuPrint(kitchen.db())
                    .fill(workbook, kitchen.menu, {QDate(2024, 3, 16), MenuPrintSettings::defaults(), false},
                          &error, {}, &skipped));
        QCOMPARE(bodyRows(workbook.sheet(1), 8),
                 QStringList({u"A=Супы"_s, u"A=Борщ G=250 H=55р 50к"_s, u"A=Горячее"_s,
                              u"A=Котлета G=100/150 H=120р 25к"_s, u"-"_s}));
        QCOMPARE(skipped, 1);
        QVERIFY(MenuPrint::skippedNotice(skipped).contains(u"1"_s));
        QVERIFY(MenuPrint::skippedNotice(0).isEmpty());
    }

    void settingsFile()
    {
        TestDataDir data(false);
        const MenuPrintSettings settings(data.dataDir());
        QFile file(settings.filePath());
        QString error;

        // First run: created with the defaults, in Windows-1251 with CR LF.
        QVERIFY(!file.exists());
        QCOMPARE(settings.load(&error), std::optional<QStringList>(MenuPrintSettings::defaults()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), defaultFile());
        file.close();

        // Unchanged: untouched.
        QVERIFY(file.setPermissions(QFile::ReadOwner));
        bool written = true;
        QVERIFY(settings.save(MenuPrintSettings::defaults(), &error, &written));
        QVERIFY(!written);
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));

        // One text changed (only in case): all five lines rewritten.
        QStringList texts = MenuPrintSettings::defaults();
        texts[MenuPrintSettings::FractionWord] = u"К"_s;
        QVERIFY(settings.save(texts, &error, &written));
        QVERIFY(written);
        QCOMPARE(settings.load(&error), std::optional<QStringList>(texts));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().split('\n').size(), 6);
        file.close();

        // A text the code page cannot hold is refused and the file keeps its texts.
        QStringList foreign = texts;
        foreign[MenuPrintSettings::PriceHeading] = u"Цена ₿"_s;
        QVERIFY(!settings.save(foreign, &error));
        QVERIFY(error.contains(u"Windows-1251"_s));
        QCOMPARE(settings.load(&error), std::optional<QStringList>(texts));

        // Missing lines read as empty.
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xF0\r\n\xEA");
        file.close();
        QCOMPARE(settings.load(&error),
                 std::optional<QStringList>({u"р"_s, u"к"_s, QString(), QString(), QString()}));

        // No data directory: the reason, nothing else.
        const MenuPrintSettings nowhere(data.root() + u"/missing"_s);
        error.clear();
        QCOMPARE(nowhere.load(&error), std::nullopt);
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(tst_MenuPrint)
#include "tst_MenuPrint.moc"
