#include "MenuCopyDialog.h"

#include "menus/MenuViews.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

MenuCopyDialog::MenuCopyDialog(QSqlDatabase db, UserPrompts* prompts, QWidget* parent)
    : QDialog(parent), m_menus(new TableModel(db, menuviews::menus(), this)),
      m_entries(new TableModel(db, menuviews::entriesToCopy(), this)),
      m_menuGrid(new DataGrid(prompts, this)), m_entryGrid(new DataGrid(prompts, this))
{
    setWindowTitle(u"Выбор меню для копирования"_s);
    m_menus->setColumns({{u"Name"_s, u"Наименование меню"_s}, {u"Date"_s, u"Дата"_s}});
    m_menus->setReadOnly(true);
    m_entries->setColumns(
        {{u"Name1"_s, u"Наименование блюда"_s, QString(), true}, {u"Cena1"_s, u"Цена"_s, u"0.00"_s, true}});
    m_entries->setReadOnly(true);
    m_entries->setMaster(m_menus, u"Kod"_s);
    for (DataGrid* grid : {m_menuGrid, m_entryGrid}) {
        grid->setCtrlDeleteBlocked(true);
        grid->setInsertBlocked(true);
    }
    // Double click or Enter on a menu takes it.
    connect(m_menuGrid, &DataGrid::rowChosen, this, &QDialog::accept);

    auto* grids = new QHBoxLayout;
    grids->addWidget(m_menuGrid, 1);
    grids->addWidget(m_entryGrid, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grids, 1);
    layout->addWidget(okCancelButtons(this));
    resize(820, 480);
}

bool MenuCopyDialog::openViews()
{
    for (TableModel* model : {m_menus, m_entries}) {
        if (!model->open()) {
            m_lastError = model->lastError();
            return false;
        }
    }
    m_menuGrid->setTableModel(m_menus);
    m_entryGrid->setTableModel(m_entries);
    return true;
}

void MenuCopyDialog::closeViews()
{
    m_entries->close();
    m_menus->close();
}

QVariant MenuCopyDialog::chosenMenu() const
{
    return m_menus->currentKey();
}
