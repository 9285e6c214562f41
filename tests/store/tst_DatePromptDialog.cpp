#include "GuiScript.h"

#include "store/Field.h"
#include "store/ui/DateEdit.h"
#include "store/ui/DatePromptDialog.h"

#include "store/ui/DateEdit.h"
#include <QCheckBox>

#include <QDateEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_DatePromptDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void datePromptAnswersOkWithTheDateAndCancelWithNothing()
    {
        DialogDatePrompt prompt;
        const QDate offered(2024, 3, 15);

        std::optional<QDate> hidden;
        onNextDialog<DatePromptDialog>([&](DatePromptDialog* dialog) {
            // The date of a document: no print options.
            hidden = dialog->printOptionsVisible() || dialog->underlineBox()->isVisible()
                         ? std::optional<QDate>()
                         : dialog->date();
            QCOMPARE(dialog->windowTitle(), u"Дата"_s);
            QVERIFY(dialog->dateEdit()->calendarPopup());
            // Keyboard alone: the date editor has the focus on the day, Up takes the next day, Enter
            // confirms.
            QTest::keyClick(dialog->dateEdit(), Qt::Key_Up);
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        QCOMPARE(prompt.askDate(offered), std::optional<QDate>(QDate(2024, 3, 16)));
        QCOMPARE(hidden, std::optional<QDate>(offered));

        onNextDialog<DatePromptDialog>(
            [](DatePromptDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        QCOMPARE(prompt.askDate(offered), std::nullopt);
    }

    // A day that does not exist is refused with the grid's message and the dialog stays open; the
    // editor used to move 31.02 to another day without a word.
    void aDayThatDoesNotExistIsRefused()
    {
        DialogDatePrompt prompt;
        QString refusal;
        bool stayedOpen = false;
        onNextDialog<DatePromptDialog>([&](DatePromptDialog* dialog) {
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            dialog->dateEdit()->setSelectedSection(QDateTimeEdit::DaySection);
            QTest::keyClicks(dialog->dateEdit(), "31022026");
            onNextDialog<QMessageBox>([&](QMessageBox* box) {
                refusal = box->text();
                box->accept();
            });
            QTest::keyClick(dialog->dateEdit(), Qt::Key_Return);
            stayedOpen = dialog->isVisible();
            // Corrected, the date is taken.
            dialog->dateEdit()->setSelectedSection(QDateTimeEdit::DaySection);
            QTest::keyClicks(dialog->dateEdit(), "28022026");
            QTest::keyClick(dialog->dateEdit(), Qt::Key_Return);
        });
        QCOMPARE(prompt.askDate(QDate(2026, 12, 11)), std::optional<QDate>(QDate(2026, 2, 28)));
        QCOMPARE(refusal, missingDateMessage(u"31.02.2026"_s));
        QVERIFY(stayedOpen);
    }

    // A date typed the way it is written, separators and all, whether or not a section moved on by
    // itself before its separator came.
    void aDateTypedWithSeparatorsIsTaken_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("date");
        QTest::newRow("two-digit sections") << u"01.12.2026"_s << QDate(2026, 12, 1);
        QTest::newRow("no separators") << u"01122026"_s << QDate(2026, 12, 1);
        QTest::newRow("sections complete at one digit") << u"5.4.2025"_s << QDate(2025, 4, 5);
        QTest::newRow("sections waiting for a second digit") << u"1.1.2024"_s << QDate(2024, 1, 1);
    }
    void aDateTypedWithSeparatorsIsTaken()
    {
        QFETCH(QString, typed);
        QFETCH(QDate, date);
        DateEdit edit;
        edit.setDate(QDate(2026, 12, 11));
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.setFocus();
        edit.setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.date(), date);
    }

    void printOptionsShowTheirTextsAndKeepTheCheckBox()
    {
        DatePromptDialog dialog;
        QVERIFY(dialog.underline());
        dialog.setPrintOptionsVisible(true);
        dialog.show();
        QVERIFY(dialog.printOptionsVisible());
        QVERIFY(dialog.underlineBox()->isVisible());

        // A missing text reads as empty.
        dialog.setPrintTexts({u"р"_s, u"к"_s, u"Наименование блюда"_s});
        QCOMPARE(dialog.printTexts(),
                 QStringList({u"р"_s, u"к"_s, u"Наименование блюда"_s, QString(), QString()}));
        dialog.textEdit(DatePromptDialog::PriceHeading)->setText(u"Цена"_s);
        QCOMPARE(dialog.printTexts().at(DatePromptDialog::PriceHeading), u"Цена"_s);

        dialog.underlineBox()->click();
        dialog.setPrintOptionsVisible(false);
        dialog.setPrintOptionsVisible(true);
        QVERIFY(!dialog.underline());
    }
};

QTEST_MAIN(tst_DatePromptDialog)
#include "tst_DatePromptDialog.moc"
