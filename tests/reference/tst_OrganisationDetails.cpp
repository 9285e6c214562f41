#include "FaultInjection.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "reference/OrganisationDetails.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

OrganisationDetails sample()
{
    OrganisationDetails details;
    details.name = u"Столовая № 5"_s;
    details.form = u"ООО"_s;
    details.inn = u"7708123450"_s;
    details.kpp = u"770801001"_s;
    details.okpo = u"12345678"_s;
    details.address = u"г. Москва, ул. Садовая, д. 1"_s;
    details.unit = u"Кухня"_s;
    details.head = u"Иванов И.И."_s;
    details.headPosition = u"Директор"_s;
    details.chef = u"Петрова А.А."_s;
    details.calculator = u"Сидорова Е.В."_s;
    details.commission1 = u"Бухгалтер Кузнецова О.П."_s;
    details.commission3 = u"Повар Смирнов Д.С."_s;
    return details;
}

// The stored row; a failed read shows as a name no test stores.
OrganisationDetails stored(const TestDataDir& data)
{
    QString error;
    const std::optional<OrganisationDetails> details = OrganisationDetails::load(data.db(), &error);
    if (details)
        return *details;
    OrganisationDetails failed;
    failed.name = u"не прочитано: "_s + error;
    return failed;
}

} // namespace

class tst_OrganisationDetails : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Check digits computed with the tax service's weights; an empty number is not checked.
    void registrationNumbers_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("sound");
        QTest::newRow("empty INN") << "inn"
                                   << "" << true;
        QTest::newRow("INN 10") << "inn"
                                << "7708123450" << true;
        QTest::newRow("INN 10, sum mod 11 is 10") << "inn"
                                                  << "7708123490" << true;
        QTest::newRow("INN 10 another") << "inn"
                                        << "5001007329" << true;
        QTest::newRow("INN 12") << "inn"
                                << "770708389324" << true;
        QTest::newRow("INN 12 another") << "inn"
                                        << "500100732001" << true;
        QTest::newRow("INN 10 wrong check") << "inn"
                                            << "7708123451" << false;
        QTest::newRow("INN 10 with the raw remainder") << "inn"
                                                       << "770812349X" << false;
        QTest::newRow("INN 12 wrong 11th") << "inn"
                                           << "770708389314" << false;
        QTest::newRow("INN 12 wrong 12th") << "inn"
                                           << "770708389325" << false;
        QTest::newRow("INN 11 digits") << "inn"
                                       << "77080812345" << false;
        QTest::newRow("INN 9 digits") << "inn"
                                      << "770812345" << false;
        QTest::newRow("INN with a letter") << "inn"
                                           << "77081234A0" << false;
        QTest::newRow("INN Arabic-Indic digits") << "inn" << u"٧٧٠٨١٢٣٤٥٠"_s << false;
        QTest::newRow("KPP digits") << "kpp"
                                    << "770801001" << true;
        QTest::newRow("KPP with letters") << "kpp"
                                          << "7708AB001" << true;
        QTest::newRow("KPP lower-case letters") << "kpp"
                                                << "7708ab001" << false;
        QTest::newRow("KPP 8") << "kpp"
                               << "77080100" << false;
        QTest::newRow("KPP letter in the code") << "kpp"
                                                << "77A801001" << false;
        QTest::newRow("OKPO 8") << "okpo"
                                << "12345678" << true;
        QTest::newRow("OKPO 10") << "okpo"
                                 << "1234567890" << true;
        QTest::newRow("OKPO 9") << "okpo"
                                << "123456789" << false;
        QTest::newRow("OKPO letters") << "okpo"
                                      << "1234567A" << false;
    }

    void registrationNumbers()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(bool, sound);
        const QString problem = field == u"inn"_s   ? registrationNumbers::innProblem(value)
                                : field == u"kpp"_s ? registrationNumbers::kppProblem(value)
                                                    : registrationNumbers::okpoProblem(value);
        QCOMPARE(problem.isEmpty(), sound);
    }

    void storedAndReadBackTrimmed()
    {
        TestDataDir data;
        // None stored yet: every detail empty, never a made-up one.
        QCOMPARE(stored(data), OrganisationDetails());
        OrganisationDetails typed = sample();
        typed.name = u"  Столовая № 5 "_s;
        ScriptedPrompts prompts;
        QVERIFY(typed.save(data.db(), prompts));
        QCOMPARE(prompts.shown, QStringList());
        QCOMPARE(stored(data), sample());
        // Saved again with a detail cleared: still one row, the detail empty.
        OrganisationDetails cleared = sample();
        cleared.kpp.clear();
        QVERIFY(cleared.save(data.db(), prompts));
        QCOMPARE(stored(data), cleared);
        QCOMPARE(data.count(u"Org"_s), 1);
    }

    // A refusal names the detail and leaves the stored row as it was.
    void refusalsKeepTheStoredRow_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("INN check digit") << "inn"
                                         << "7708123451"
                                         << "Организация|ИНН: неверные контрольные цифры.";
        QTest::newRow("KPP")
            << "kpp"
            << "7708"
            << "Организация|КПП: должен состоять из 9 знаков: 4 цифры, 2 цифры или заглавные "
               "латинские буквы, 3 цифры.";
        QTest::newRow("OKPO") << "okpo"
                              << "1234"
                              << "Организация|ОКПО: должен состоять из 8 или 10 цифр.";
        QTest::newRow("too long a name")
            << "name" << QString(101, u'я') << "Организация|Наименование организации: не длиннее 100 знаков.";
    }

    void refusalsKeepTheStoredRow()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        TestDataDir data;
        ScriptedPrompts prompts;
        QVERIFY(sample().save(data.db(), prompts));
        OrganisationDetails changed = sample();
        changed.address = u"Другой адрес"_s;
        for (const OrganisationDetails::Field& f : OrganisationDetails::fields())
            if (QString::fromLatin1(f.column).compare(field, Qt::CaseInsensitive) == 0)
                changed.*f.member = value;
        QVERIFY(!changed.save(data.db(), prompts));
        QCOMPARE(prompts.last(), message);
        QCOMPARE(stored(data), sample());
    }

    // A failure of the database is reported as one, not as a saved row.
    void databaseFailureIsReported()
    {
        TestDataDir data;
        refuseWrites(data.db(), u"Org"_s, u"INSERT"_s, u"disk is full"_s);
        ScriptedPrompts prompts;
        QVERIFY(!sample().save(data.db(), prompts));
        QVERIFY2(prompts.last().startsWith(u"Ошибка|Реквизиты организации не сохранены"_s),
                 qPrintable(prompts.last()));
        QCOMPARE(data.count(u"Org"_s), 0);
    }
};

QTEST_GUILESS_MAIN(tst_OrganisationDetails)
#include "tst_OrganisationDetails.moc"
