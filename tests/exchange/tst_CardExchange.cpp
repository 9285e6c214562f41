#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "exchange/CardExchange.h"
#include "store/CodePage.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Associates from a script: each offer takes the next key; nothing queued refuses the import.
class ScriptedMatcher : public IngredientMatcher
{
public:
    void startDish(const QString& dishName) override
    {
        started << dishName;
        protocol.clear();
    }
    void addProtocolLine(const QString& line) override { protocol << line; }
    std::optional<qlonglong> associate(const QString& offered, const QString& unit) override
    {
        offers << offered + u" ("_s + unit + u")"_s;
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }
    QList<qlonglong> answers;
    QStringList started, protocol, offers;
};

struct Kitchen
{
    TestDataDir data;
    ScriptedPrompts prompts;
    qlonglong kg = data.insert(u"Edinica"_s,
                               {{u"Name"_s, u"Килограмм"_s}, {u"Shorthame"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
    qlonglong beet = data.insert(u"Ing"_s, {{u"Name"_s, u"Свёкла"_s}, {u"Edinica"_s, kg}, {u"Cena"_s, 40}});
    qlonglong broth = data.insert(u"Ing"_s, {{u"Name"_s, u"Бульон"_s}, {u"Edinica"_s, kg}, {u"Pf"_s, 1}});
    qlonglong salt = data.insert(u"Ing"_s, {{u"Name"_s, u"Соль"_s}});
    qlonglong soups = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}});
    qlonglong other = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Разное"_s}});
    qlonglong borscht = data.insert(u"Bludo"_s, {{u"Kod"_s, soups},
                                                 {u"Name"_s, u"Борщ"_s},
                                                 {u"Nporc"_s, 10},
                                                 {u"Vixod"_s, u"250"_s},
                                                 {u"Cena"_s, 55.5},
                                                 {u"Proc"_s, 20},
                                                 {u"Status"_s, 1},
                                                 {u"Recept"_s, u"Натереть.\nВарить."_s}});
    Kitchen()
    {
        line(beet, 12.5, 80);
        line(broth, 2000, 100);
        line(salt, 10, 100);
    }
    void line(qlonglong ingredient, double grams, double yield)
    {
        data.insert(u"Karta"_s,
                    {{u"Kod"_s, borscht}, {u"Name"_s, ingredient}, {u"Kolvo"_s, grams}, {u"Vihod"_s, yield}});
    }
    CardExchange exchange() { return CardExchange(data.db(), prompts); }
    QString card(qlonglong dish)
    {
        QStringList rows;
        QSqlQuery query(data.db());
        query.prepare(u"SELECT Name, Kolvo, Vihod FROM Karta WHERE Kod = ? ORDER BY NNN"_s);
        query.addBindValue(dish);
        query.exec();
        while (query.next())
            rows << u"%1:%2:%3"_s.arg(query.value(0).toLongLong())
                        .arg(query.value(1).toDouble())
                        .arg(query.value(2).toDouble());
        return rows.join(u' ');
    }
};

QBuffer* reading(const QByteArray& bytes, QObject* parent)
{
    auto* buffer = new QBuffer(parent);
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

} // namespace

class tst_CardExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileNames_data();
    void fileNames();
    void exportThenImportGivesTheSameDishAndCard();
    void exportRefusesADishWithoutRecipe();
    void exportRefusesWhatTheImportWouldRefuse_data();
    void exportRefusesWhatTheImportWouldRefuse();
    void semiFinishedYieldCountsOnlyForAPlainIngredient();
    void tooLargeAFileNamesTheLimit();
    void importLeavesNothing_data();
    void importLeavesNothing();
};

void tst_CardExchange::fileNames_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("typed without extension") << u"/tmp/borsch"_s << u"/tmp/borsch.fck"_s;
    QTest::newRow("existing file") << u"/tmp/borsch.fck"_s << u"/tmp/borsch.fck"_s;
    QTest::newRow("upper case") << u"/tmp/BORSCH.FCK"_s << u"/tmp/BORSCH.FCK"_s;
    QTest::newRow("other extension") << u"/tmp/borsch.txt"_s << u"/tmp/borsch.txt.fck"_s;
}

void tst_CardExchange::fileNames()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QCOMPARE(CardExchange::cardFileName(chosen), written);
}

void tst_CardExchange::exportThenImportGivesTheSameDishAndCard()
{
    Kitchen kitchen;
    const QString chosen = kitchen.data.root() + u"/borsch"_s;
    QFile old(chosen + u".fck"_s);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x'));
    old.close();
    QVERIFY(kitchen.exchange().exportDish(kitchen.borscht, chosen, u','));
    QCOMPARE(kitchen.prompts.last(), u"Экспорт блюда|Экспорт закончен успешно!!!"_s);
    QFile file(chosen + u".fck"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith(
        *codepage::encode(u"#!# НАЧАЛО ОПИСАНИЯ КАЛЬКУЛЯЦИОННОЙ КАРТЫ #!#\r\nБорщ\r\n\r\n10\r\n250\r\n"
                          u"Свёкла\r\nкг\r\n12,5\r\n80\r\nБульон --> Полуфабрикат\r\nкг\r\n"_s,
                          codepage::Page::Windows1251)));
    QVERIFY(!bytes.contains("55"));

    file.seek(0);
    ScriptedMatcher matcher;
    matcher.answers = {kitchen.beet, kitchen.broth, kitchen.salt};
    const std::optional<qlonglong> dish = kitchen.exchange().importCard(file, kitchen.other, matcher, u',');
    QVERIFY(dish);
    QCOMPARE(kitchen.prompts.questions.size(), 1);
    QVERIFY(kitchen.prompts.questions[0].startsWith(
        u"?|Новое блюдо с наименованием \"Борщ\" будет помещено в группу \"Разное\". Если"_s));
    QCOMPARE(matcher.offers,
             (QStringList{u"Свёкла (кг)"_s, u"Бульон --> Полуфабрикат (кг)"_s, u"Соль ()"_s}));
    QCOMPARE(matcher.protocol.value(5), u"\"Бульон --> Полуфабрикат\"    асоциирован с    \"Бульон\""_s);
    QVERIFY(kitchen.prompts.last().startsWith(u"Импрот блюда|Импорт закончен успешно!!!"_s));
    QCOMPARE(kitchen.card(*dish), kitchen.card(kitchen.borscht));
    QSqlQuery query(kitchen.data.db());
    query.exec(
        u"SELECT Kod, Name, X, Nporc, Vixod, Recept, Cena, Proc, Status, Print FROM Bludo WHERE Kod1 = %1"_s
            .arg(*dish));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toLongLong(), kitchen.other);
    QCOMPARE(query.value(1).toString(), u"Борщ"_s);
    QCOMPARE(query.value(2).toString(), QString());
    QCOMPARE(query.value(3).toDouble(), 10.0);
    QCOMPARE(query.value(4).toString(), u"250"_s);
    QCOMPARE(query.value(5).toString(), u"Натереть.\nВарить."_s);
    for (int i = 6; i <= 9; ++i)
        QVERIFY(query.value(i).isNull()); // in development, no price or markup
}

void tst_CardExchange::exportRefusesADishWithoutRecipe()
{
    Kitchen kitchen;
    kitchen.data.scalar(u"UPDATE Bludo SET Recept = '' WHERE Kod1 = ?"_s, {kitchen.borscht});
    const QString chosen = kitchen.data.root() + u"/borsch"_s;
    QVERIFY(!kitchen.exchange().exportDish(kitchen.borscht, chosen, u','));
    QVERIFY(
        kitchen.prompts.last().startsWith(u"Рецепт???|Блюдо без описания рецепта экспортировать нельзя."_s));
    QVERIFY(!QFile::exists(chosen + u".fck"_s));

    kitchen.data.scalar(u"UPDATE Bludo SET Recept = 'Подать ♥' WHERE Kod1 = ?"_s, {kitchen.borscht});
    QVERIFY(!kitchen.exchange().exportDish(kitchen.borscht, chosen, u','));
    QVERIFY(kitchen.prompts.last().contains(u"Windows-1251"_s));
    QVERIFY(!QFile::exists(chosen + u".fck"_s));
}

void tst_CardExchange::exportRefusesWhatTheImportWouldRefuse_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    QTest::newRow("recipe line equal to a marker")
        << u"UPDATE Bludo SET Recept = 'Натереть.\n#!# НАЧАЛО ОПИСАНИЯ РЕЦЕПТА #!#'"_s
        << u"Экспорт блюда|Строка 2 рецепта совпадает со служебной строкой файла карточки"_s;
    // A row just added on the card page has no quantity yet.
    QTest::newRow("row without quantity")
        << u"UPDATE Karta SET Kolvo = NULL WHERE Name = (SELECT Kod1 FROM Ing WHERE Name = 'Соль')"_s
        << u"Экспорт блюда|Карточку нельзя экспортировать — строка карты: "
           "количество не больше нуля: \"Борщ / Соль\" (0)"_s;
}

void tst_CardExchange::exportRefusesWhatTheImportWouldRefuse()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    Kitchen kitchen;
    kitchen.data.scalar(change);
    const QString chosen = kitchen.data.root() + u"/borsch.fck"_s;
    QVERIFY(!kitchen.exchange().exportDish(kitchen.borscht, chosen, u','));
    QVERIFY2(kitchen.prompts.last().startsWith(message), qPrintable(kitchen.prompts.last()));
    QVERIFY(!QFile::exists(chosen));
}

void tst_CardExchange::semiFinishedYieldCountsOnlyForAPlainIngredient()
{
    Kitchen kitchen;
    kitchen.data.scalar(u"UPDATE Karta SET Vihod = 0 WHERE Name = ?"_s, {kitchen.broth});
    const QString chosen = kitchen.data.root() + u"/borsch.fck"_s;
    QVERIFY(kitchen.exchange().exportDish(kitchen.borscht, chosen, u','));
    QFile file(chosen);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const int dishes = kitchen.data.count(u"Bludo"_s);

    // Associated with a plain ingredient, the zero yield would stop the calculations.
    ScriptedMatcher matcher;
    matcher.answers = {kitchen.beet, kitchen.salt, kitchen.salt};
    QVERIFY(!kitchen.exchange().importCard(file, kitchen.other, matcher, u','));
    QVERIFY2(kitchen.prompts.last().startsWith(
                 u"Импрот блюда|Импорт остановлен — строка карты: процент выхода не больше нуля: "
                 "\"Борщ / Соль\""_s),
             qPrintable(kitchen.prompts.last()));
    QCOMPARE(kitchen.data.count(u"Bludo"_s), dishes);

    file.seek(0);
    matcher.answers = {kitchen.beet, kitchen.broth, kitchen.salt};
    QVERIFY(kitchen.exchange().importCard(file, kitchen.other, matcher, u','));
}

void tst_CardExchange::tooLargeAFileNamesTheLimit()
{
    Kitchen kitchen;
    ScriptedMatcher matcher;
    QBuffer* buffer = reading(QByteArray(50 * 1024 * 1024, '#'), this);
    QVERIFY(!kitchen.exchange().importCard(*buffer, kitchen.other, matcher, u','));
    QVERIFY2(kitchen.prompts.last().startsWith(u"Импрот блюда|Выбранный файл больше 16 МБ"_s),
             qPrintable(kitchen.prompts.last()));
    delete buffer;
}

void tst_CardExchange::importLeavesNothing_data()
{
    QTest::addColumn<QString>("mutation");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("associations");
    QTest::addColumn<QString>("message");
    QTest::newRow("refused at the third ingredient")
        << QString() << true << 2 << u"Импрот блюда|Импорт прерван пользователем!!!"_s;
    QTest::newRow("not confirmed") << QString() << false << 3 << QString();
    QTest::newRow("quantity with a point")
        << u"12,5>12.5"_s << true << 3 << u"Импрот блюда|В строке 8 файла"_s;
    QTest::newRow("marker in the recipe")
        << u"Варить.>#!# НАЧАЛО ОПИСАНИЯ РЕЦЕПТА #!#"_s << true << 3
        << u"Ошибка формата|Выбранный файл не соответствует формату файла калькуляционной карты"_s;
    QTest::newRow("zero portions") << u"\r\n\r\n10\r\n>\r\n\r\n0\r\n"_s << true << 3
                                   << u"Импрот блюда|В строке 4 файла калькуляционной карты — блюдо: выход в "
                                      "порциях не больше нуля: \"Борщ\" (в файле \"0\")"_s;
    QTest::newRow("NUL in the recipe")
        << u"Варить.>Вар\0ить."_s << true << 3
        << u"Импрот блюда|В строке 20 файла калькуляционной карты есть знак NUL"_s;
    QTest::newRow("name too long") << u"\r\nБорщ\r\n>\r\n%1\r\n"_s.arg(QString(51, u'щ')) << true << 3
                                   << u"Импрот блюда|Наименование блюда в файле длиннее 50 знаков"_s;
}

void tst_CardExchange::importLeavesNothing()
{
    QFETCH(QString, mutation);
    QFETCH(bool, confirm);
    QFETCH(int, associations);
    QFETCH(QString, message);
    Kitchen kitchen;
    const QString chosen = kitchen.data.root() + u"/borsch.fck"_s;
    QVERIFY(kitchen.exchange().exportDish(kitchen.borscht, chosen, u','));
    QFile file(chosen);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString text = *codepage::decode(file.readAll(), codepage::Page::Windows1251);
    if (!mutation.isEmpty())
        text.replace(mutation.section(u'>', 0, 0), mutation.section(u'>', 1));
    QBuffer* buffer = reading(*codepage::encode(text, codepage::Page::Windows1251), this);

    kitchen.prompts.shown.clear();
    kitchen.prompts.queueConfirm(confirm);
    ScriptedMatcher matcher;
    const QList<qlonglong> all{kitchen.beet, kitchen.broth, kitchen.salt};
    matcher.answers = all.mid(0, associations);
    const int dishes = kitchen.data.count(u"Bludo"_s);
    const int rows = kitchen.data.count(u"Karta"_s);
    QVERIFY(!kitchen.exchange().importCard(*buffer, kitchen.other, matcher, u','));
    QCOMPARE(kitchen.data.count(u"Bludo"_s), dishes);
    QCOMPARE(kitchen.data.count(u"Karta"_s), rows);
    if (message.isEmpty())
        QCOMPARE(kitchen.prompts.shown.size(), 1); // the question only
    else
        QVERIFY2(kitchen.prompts.last().startsWith(message), qPrintable(kitchen.prompts.last()));
}

QTEST_GUILESS_MAIN(tst_CardExchange)
#include "tst_CardExchange.moc"
