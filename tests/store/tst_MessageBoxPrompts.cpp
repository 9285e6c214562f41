#include "GuiScript.h"

#include "store/ui/MessageBoxPrompts.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

// Enter answers a question with its default button: "Отмена" before what cannot be undone.
class tst_MessageBoxPrompts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void enterTakesTheDefaultAnswer_data()
    {
        QTest::addColumn<bool>("irreversible");
        QTest::addColumn<QString>("defaultButton");
        QTest::addColumn<bool>("answer");
        QTest::newRow("ordinary question") << false << u"OK"_s << true;
        QTest::newRow("deletion") << true << u"Отмена"_s << false;
    }
    void enterTakesTheDefaultAnswer()
    {
        QFETCH(bool, irreversible);
        QFETCH(QString, defaultButton);
        QFETCH(bool, answer);
        MessageBoxPrompts prompts;
        QString shownDefault;
        onNextDialog<QMessageBox>([&](QMessageBox* box) {
            shownDefault = box->defaultButton() ? box->defaultButton()->text() : QString();
            QTest::keyClick(box, Qt::Key_Return);
        });
        const bool answered = irreversible ? prompts.confirmIrreversible(u"Удаление"_s, u"Удалить?"_s)
                                           : prompts.confirm(u"Вопрос"_s, u"Продолжить?"_s);
        QCOMPARE(shownDefault, defaultButton);
        QCOMPARE(answered, answer);
    }
};

QTEST_MAIN(tst_MessageBoxPrompts)
#include "tst_MessageBoxPrompts.moc"
