#include "GuiScript.h"
#include "PageFixture.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "reference/OrganisationDetails.h"
#include "reference/ui/DirectoriesPage.h"
#include "reference/ui/OrganisationTab.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void type(OrganisationTab* tab, const QString& column, const QString& text)
{
    QLineEdit* edit = tab->edit(column);
    QVERIFY2(edit, qPrintable(column));
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    typeText(edit, text);
}

} // namespace

// The tab "Организация" of "Справочники": typed details are stored by "Сохранить" and shown again by a
// page opened afresh; a refused number leaves the stored details as they were.
class tst_OrganisationTab : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void typedDetailsAreStoredAndShownAgain()
    {
        TestDataDir data;
        ScriptedPrompts prompts;
        const QList<std::pair<QString, QString>> typed = {{u"Name"_s, u"Столовая № 5"_s},
                                                          {u"Form"_s, u"ООО"_s},
                                                          {u"Inn"_s, u"7708123450"_s},
                                                          {u"Kpp"_s, u"770801001"_s},
                                                          {u"Okpo"_s, u"12345678"_s},
                                                          {u"Address"_s, u"г. Москва, ул. Садовая, д. 1"_s},
                                                          {u"Head"_s, u"Иванов И.И."_s},
                                                          {u"Chef"_s, u"Петрова А.А."_s},
                                                          {u"Commission2"_s, u"Повар Смирнов Д.С."_s}};
        {
            DirectoriesPage page(&prompts);
            QCOMPARE(showPage(page, data.db()), QString());
            page.tabs()->setCurrentWidget(page.organisationTab());
            OrganisationTab* tab = page.organisationTab();
            for (const auto& [column, text] : typed)
                type(tab, column, text);
            QTest::mouseClick(tab->saveButton(), Qt::LeftButton);
            QCOMPARE(prompts.shown, QStringList());
        }
        QCOMPARE(data.scalar(u"SELECT Inn FROM Org WHERE Kod = 1"_s).toString(), u"7708123450"_s);
        DirectoriesPage page(&prompts);
        QCOMPARE(showPage(page, data.db()), QString());
        for (const auto& [column, text] : typed)
            QCOMPARE(page.organisationTab()->edit(column)->text(), text);
        // Details never typed stay empty.
        QCOMPARE(page.organisationTab()->edit(u"Unit"_s)->text(), QString());
        QCOMPARE(page.organisationTab()->edit(u"Calculator"_s)->text(), QString());
    }

    // Details typed but not saved are stored when the program exits, as the grids' rows are.
    void typedDetailsAreStoredAtExit()
    {
        TestDataDir data;
        ScriptedPrompts prompts;
        DirectoriesPage page(&prompts);
        QCOMPARE(showPage(page, data.db()), QString());
        page.tabs()->setCurrentWidget(page.organisationTab());
        type(page.organisationTab(), u"Name"_s, u"Кафе"_s);
        page.closeViews();
        QCOMPARE(prompts.shown, QStringList());
        QCOMPARE(data.scalar(u"SELECT Name FROM Org WHERE Kod = 1"_s).toString(), u"Кафе"_s);
    }

    void refusedInnLeavesTheStoredDetails()
    {
        TestDataDir data;
        ScriptedPrompts prompts;
        OrganisationDetails before;
        before.name = u"Кафе"_s;
        before.inn = u"500100732001"_s;
        QVERIFY(before.save(data.db(), prompts));
        DirectoriesPage page(&prompts);
        QCOMPARE(showPage(page, data.db()), QString());
        page.tabs()->setCurrentWidget(page.organisationTab());
        OrganisationTab* tab = page.organisationTab();
        QCOMPARE(tab->edit(u"Inn"_s)->text(), u"500100732001"_s);
        type(tab, u"Name"_s, u"Кафе у моря"_s);
        type(tab, u"Inn"_s, u"500100732002"_s);
        QTest::mouseClick(tab->saveButton(), Qt::LeftButton);
        QCOMPARE(prompts.last(), u"Организация|ИНН: неверные контрольные цифры."_s);
        QString error;
        QCOMPARE(OrganisationDetails::load(data.db(), &error).value_or(OrganisationDetails()), before);
        // What the user typed stays in the boxes to be corrected.
        QCOMPARE(tab->edit(u"Inn"_s)->text(), u"500100732002"_s);
    }
};

QTEST_MAIN(tst_OrganisationTab)
#include "tst_OrganisationTab.moc"
