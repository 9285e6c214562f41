#include "MenuChoiceDialog.h"

#include "menus/MenuViews.h"
#include "store/ui/DateEdit.h"

#include "menus/ui/MenuEntryColours.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/DialogButtons.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

MenuChoiceDialog::MenuChoiceDialog(QSqlDatabase db, UserPrompts* prompts, QWidget* parent)
    : QDialog(parent), m_menus(new TableModel(db, menuviews::releasedMenus(), this)),
      m_items(new TableModel(db, menuviews::includedEntries(), this)),
      m_menuGrid(new DataGrid(prompts, this)), m_itemGrid(new DataGrid(prompts, this)),
      m_date(new DateEdit(this)), m_showExcluded(new QCheckBox(u"Показывать исключённые"_s, this))
{
    setWindowTitle(u"Выбор меню для использования в докменте реализации"_s);
    m_menus->setColumns({{u"Name"_s, u"Наименование меню"_s}, {u"Date"_s, u"Дата"_s}});
    m_menus->setReadOnly(true);
    m_menus->setFilterEnabled(true); // released menus only
    m_items->setColumns({{u"Name1"_s, u"Наименование блюда"_s},
                         {u"X"_s, u"Доп. характеристика"_s},
                         {u"CenaProd"_s, u"Цена"_s, u"0.00"_s},
                         {u"Cena1"_s, u"Цена расч."_s, u"0.00"_s}});
    m_items->setReadOnly(true);
    m_items->setMaster(m_menus, u"Kod"_s);
    m_items->setRoleProvider([](const TableModel& model, int row, int, int role) -> QVariant {
        return switchedOffEntryRole(model, row, role);
    });
    for (DataGrid* grid : {m_menuGrid, m_itemGrid}) {
        grid->setCtrlDeleteBlocked(true);
        grid->setInsertBlocked(true);
    }
    m_showExcluded->setChecked(true);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(u"dd.MM.yyyy"_s);

    auto* dateRow = new QHBoxLayout;
    auto* dateLabel = new QLabel(u"Выбо по дате"_s, this);
    dateLabel->setBuddy(m_date);
    dateRow->addWidget(dateLabel);
    dateRow->addWidget(m_date);
    dateRow->addStretch();
    dateRow->addWidget(m_showExcluded);
    auto* grids = new QHBoxLayout;
    grids->addWidget(m_menuGrid, 2);
    grids->addWidget(m_itemGrid, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dateRow);
    layout->addLayout(grids, 1);
    layout->addWidget(okCancelButtons(this));
    resize(960, 520);

    // A changed date, or a click into the editor, finds the first menu on or after it.
    const auto locate = [this] { m_menus->locateNearest(m_date->date()); };
    connect(m_date, &QDateEdit::dateChanged, this, locate);
    connect(m_date, &QDateEdit::editingFinished, this, locate);
    connect(m_showExcluded, &QCheckBox::toggled, this, &MenuChoiceDialog::applyExcludedFilter);
    connect(m_menuGrid, &DataGrid::rowChosen, this, &QDialog::accept);
}

void MenuChoiceDialog::applyExcludedFilter()
{
    m_items->setFilterEnabled(!m_showExcluded->isChecked());
    m_items->refresh();
}

QVariant MenuChoiceDialog::choose(const QVariant& currentMenu)
{
    m_lastError.clear();
    if (!m_menus->open() || !m_items->open()) {
        m_lastError = m_menus->lastError().isEmpty() ? m_items->lastError() : m_menus->lastError();
        m_items->close();
        m_menus->close();
        return {};
    }
    applyExcludedFilter();
    m_menuGrid->setTableModel(m_menus);
    m_itemGrid->setTableModel(m_items);
    m_menus->locateKey(currentMenu);
    m_menuGrid->setFocus();
    const bool chosen = exec() == QDialog::Accepted && !m_menus->currentKey().isNull();
    const QVariant menu = chosen ? m_menus->currentKey() : QVariant();
    // Whatever the answer: the items filter off and the views closed.
    m_items->setFilterEnabled(false);
    m_items->close();
    m_menus->close();
    return menu;
}
