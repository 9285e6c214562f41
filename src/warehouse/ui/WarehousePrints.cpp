#include "WarehousePrints.h"

#include "reports/ReportOutput.h"
#include "reports/Workbook.h"
#include "store/TableModel.h"
#include "TurnoverDialog.h"
#include "warehouse/InventoryActPrint.h"
#include "warehouse/InventoryFormsPrint.h"
#include "warehouse/TurnoverStatement.h"
#include "WarehousePage.h"

#include <QApplication>

using namespace Qt::StringLiterals;

void installWarehousePrints(WarehousePage& page, UserPrompts& prompts, SpreadsheetLauncher& launcher,
                            const Clock& clock)
{
    auto* dialog = new TurnoverDialog(&page);
    page.setTurnoverPrint([&page, &prompts, &launcher, &clock, dialog](QSqlDatabase db, QWidget*) {
        dialog->setDates(clock.today());
        if (dialog->exec() != QDialog::Accepted)
            return;
        TurnoverOptions options = dialog->options();
        options.group = page.groups()->currentKey().toLongLong();
        options.ingredient = page.ingredients()->currentKey().toLongLong();
        if (options.scope == TurnoverScope::Ingredient && page.ingredients()->currentKey().isNull()) {
            prompts.warn(u"Печать оборотной ведомости"_s, u"Не выбран ингредиент."_s);
            return;
        }
        Workbook workbook;
        QString error;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool filled = TurnoverStatement(db).fill(workbook, options, &error);
        QApplication::restoreOverrideCursor();
        if (!filled) {
            prompts.warn(u"Печать оборотной ведомости"_s, error);
            return;
        }
        ReportOutput(launcher, prompts)
            .show(workbook, u"Оборотная ведомость %1-%2"_s.arg(options.start.toString(u"dd.MM.yyyy"_s),
                                                               options.end.toString(u"dd.MM.yyyy"_s)));
    });
    page.setInventoryActPrint([&page, &prompts, &launcher](qlonglong inventory, QWidget*) {
        Workbook workbook;
        QString error;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool filled = InventoryActPrint(page.database()).fill(workbook, inventory, &error);
        QApplication::restoreOverrideCursor();
        if (!filled) {
            prompts.warn(u"Печать акта инвентаризации"_s, error);
            return;
        }
        ReportOutput(launcher, prompts).show(workbook, u"Акт инвентаризации"_s);
    });
    page.setInventoryFormPrint(
        [&page, &prompts, &launcher](qlonglong inventory, InventoryForm form, QWidget*) {
            Workbook workbook;
            QString error;
            QApplication::setOverrideCursor(Qt::WaitCursor);
            const bool filled = InventoryFormsPrint(page.database()).fill(workbook, inventory, form, &error);
            QApplication::restoreOverrideCursor();
            if (!filled) {
                prompts.warn(InventoryFormsPrint::title(form, QDate()), error);
                return;
            }
            ReportOutput(launcher, prompts).show(workbook, InventoryFormsPrint::title(form, QDate()));
        });
}
