#include "RecordingLauncher.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "app/ui/MaintenanceDialog.h"
#include "app/ui/MainWindow.h"
#include "costing/ui/CopyDishDialog.h"
#include "costing/ui/EnterpriseChoiceDialog.h"
#include "costing/ui/IngredientChooserDialog.h"
#include "exchange/ui/IngredientAssociationDialog.h"
#include "exchange/ui/TargetChoiceDialog.h"
#include "menus/ui/DishChooserDialog.h"
#include "menus/ui/MenuCopyDialog.h"
#include "reference/ui/CompositionChooserDialog.h"
#include "reference/ui/GroupChoiceDialog.h"
#include "reference/ui/IngredientPickerDialog.h"
#include "reference/ui/NewIngredientDialog.h"
#include "sales/ui/LineSearchDialog.h"
#include "sales/ui/MenuChoiceDialog.h"
#include "store/TableModel.h"
#include "store/ui/Page.h"
#include "tools/DemoKitchen.h"
#include "warehouse/ui/DocumentDeletionDialog.h"
#include "warehouse/ui/InventoryDialog.h"
#include "warehouse/ui/PartnerChooserDialog.h"
#include "warehouse/ui/StockChoiceDialog.h"
#include "warehouse/ui/StockMovementDialog.h"

#include <QAbstractButton>
#include <QDialog>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

class tst_Tooltips : public QObject
{
    Q_OBJECT
private:
    // A caption that does not say what the button does: none, an icon, "V", "...", "OK".
    static bool terse(const QString& text)
    {
        return std::count_if(text.cbegin(), text.cend(), [](QChar c) { return c.isLetter(); }) < 4;
    }

    // Where a button is, for the failure message: its window's title or its page's class.
    static QString placeOf(const QAbstractButton* button)
    {
        for (const QObject* o = button; o; o = o->parent()) {
            if (qobject_cast<const Page*>(o))
                return QString::fromLatin1(o->metaObject()->className());
        }
        return button->window()->windowTitle();
    }

    static void check(const QWidget& top, QStringList& missing)
    {
        for (const QAbstractButton* button : top.findChildren<QAbstractButton*>()) {
            // The grid's corner would select every cell; the grids select one at a time.
            if (!button->isVisibleTo(&top) || button->inherits("QTableCornerButton"))
                continue;
            if (terse(button->text()) && button->toolTip().isEmpty())
                missing << u"%1: \"%2\""_s.arg(placeOf(button), button->text());
        }
    }

private Q_SLOTS:
    void terseButtonsSayWhatTheyDo()
    {
        TestDataDir data;
        QSqlDatabase db = data.db();
        QString error;
        QVERIFY2(demo::fill(db, &error), qPrintable(error));
        ScriptedPrompts prompts;
        MainWindow window(DataLocations::resolve(data.arguments(), QString()), &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList missing;
        for (int page = 0; page < window.tabs()->count(); ++page) {
            if (page != MainWindow::Start)
                window.tabs()->setCurrentIndex(page);
            check(*window.tabs()->currentWidget(), missing);
        }
        // The dialogs the pages keep for the whole run.
        for (const QDialog* dialog : window.findChildren<QDialog*>())
            check(*dialog, missing);
        missing.removeDuplicates();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u"; "_s)));
    }

    // The dialogs the pages make when a button asks for them.
    void terseButtonsOfTheDialogsSayWhatTheyDo()
    {
        TestDataDir data;
        QSqlDatabase db = data.db();
        QString error;
        QVERIFY2(demo::fill(db, &error), qPrintable(error));
        ScriptedPrompts prompts;
        ScriptedDatePrompt dates;
        FixedClock clock(QDate(2026, 3, 2));
        RecordingLauncher launcher;
        TableModel groups(db, {u"GrIng"_s, {u"Name"_s}});
        QVERIFY(groups.open());
        const QList<std::function<QDialog*()>> dialogs = {
            [&] { return new MaintenanceDialog(DataLocations::resolve(data.arguments(), QString())); },
            [&] { return new CopyDishDialog(db, &prompts, u"Борщ"_s, 1); },
            [&] { return new EnterpriseChoiceDialog(db, &prompts); },
            [&] { return new IngredientChooserDialog(db, &prompts, 1, u"Борщ"_s); },
            [&] { return new IngredientAssociationDialog(&prompts, db); },
            [&] { return new TargetChoiceDialog(u"Выбор"_s); },
            [&] { return new DishChooserDialog(db, &prompts, 1); },
            [&] { return new MenuCopyDialog(db, &prompts); },
            [&] { return new CompositionChooserDialog(&prompts, db); },
            [&] { return new GroupChoiceDialog(&prompts, db); },
            [&] { return new IngredientPickerDialog(&prompts, db, &groups); },
            [&] { return new NewIngredientDialog(&prompts, db, PriceHistory::Source::NewIngredient); },
            [&] { return new LineSearchDialog(SalesDocuments(db, prompts), 1); },
            [&] { return new MenuChoiceDialog(db, &prompts); },
            [&] { return new DocumentDeletionDialog(&prompts); },
            [&] { return new InventoryDialog(db, &prompts, &dates, &clock, launcher); },
            [&] { return new PartnerChooserDialog(db, &prompts); },
            [&] { return new StockChoiceDialog; },
            [&] { return new StockMovementDialog(db, &prompts, &dates, &clock); },
        };
        QStringList missing;
        for (const auto& make : dialogs) {
            std::unique_ptr<QDialog> dialog(make());
            check(*dialog, missing);
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u"; "_s)));
    }
};

QTEST_MAIN(tst_Tooltips)
#include "tst_Tooltips.moc"
