#include "DishChooserDialog.h"

#include "costing/DishViews.h"
#include "MenuCopyDialog.h"
#include "MenuEntryColours.h"
#include "menus/MenuBook.h"
#include "menus/MenuViews.h"
#include "reference/ui/ContextSearchBar.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/UserPrompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

TableModel* groupView(QSqlDatabase db, const QString& linkField, QObject* parent)
{
    auto* groups = new TableModel(db, dishviews::dishGroups(linkField), parent);
    groups->setColumns({{u"Name"_s, u"Наименование группы блюд"_s}});
    groups->setReadOnly(true);
    return groups;
}

QWidget* titled(const QString& title, QWidget* content, QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(title, box));
    layout->addWidget(content, 1);
    return box;
}

} // namespace

DishChooserDialog::DishChooserDialog(QSqlDatabase db, UserPrompts* prompts, QVariant menu, QWidget* parent)
    : QDialog(parent), m_db(db), m_prompts(prompts), m_menu(std::move(menu)),
      m_groups(groupView(db, QString(), this)), m_dishGroup(groupView(db, u"Kod"_s, this)),
      m_dishes(new TableModel(db, dishviews::finishedDishes(), this)),
      m_card(new TableModel(db, dishviews::cardLines(), this)),
      m_chosen(new TableModel(db, menuviews::chosenEntries(), this)),
      m_groupGrid(new DataGrid(prompts, this)), m_dishGrid(new DataGrid(prompts, this)),
      m_cardGrid(new DataGrid(prompts, this)), m_chosenGrid(new DataGrid(prompts, this)),
      m_search(new ContextSearchBar(this)), m_remove(new QPushButton(u"Удалить блюдо из меню"_s, this)),
      m_copy(new QPushButton(u"Копировать и другого меню"_s, this)), m_ok(new QPushButton(u"OK"_s, this))
{
    setWindowTitle(u"Выбор блюд в меню (блюд с незавершенной разработкой в таблице нет)"_s);
    m_ok->setToolTip(u"Закончить выбор блюд и закрыть окно"_s);
    m_dishes->setColumns({{u"Name"_s, u"Наименование блюда (Выбор - двойной щелчёк мышкой)"_s},
                          {u"X"_s, u"Доп. характеристика"_s}});
    m_dishes->setReadOnly(true);
    m_dishes->setFilterEnabled(true);
    m_dishes->setMaster(m_groups, u"Kod"_s);
    m_dishGroup->setMaster(m_dishes, u"Kod"_s);
    m_card->setColumns(
        {{u"Name1"_s, u"Наименование"_s, QString(), true}, {u"Kolvo"_s, u"Кол-во"_s, u"0.00"_s, true}});
    m_card->setReadOnly(true);
    m_card->setMaster(m_dishes, u"Kod1"_s);
    m_chosen->setColumns({{u"Name1"_s, u"Наименование блюда"_s, QString(), true},
                          {u"X"_s, u"Доп. характеристика"_s, QString(), true}});
    m_chosen->setReadOnly(true);
    m_chosen->setInsertAllowed(false);
    m_chosen->setLinkValue(m_menu);
    m_chosen->setRoleProvider([](const TableModel& model, int row, int, int role) {
        return switchedOffEntryRole(model, row, role);
    });
    for (DataGrid* grid : {m_groupGrid, m_dishGrid, m_cardGrid, m_chosenGrid}) {
        grid->setCtrlDeleteBlocked(true);
        grid->setInsertBlocked(true);
    }
    // Enter belongs to the grids (it chooses a dish): no button of the dialog is its default.
    for (QPushButton* button : {m_remove, m_copy, m_ok})
        button->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_search, 0, 0, 1, 2);
    layout->addWidget(m_groupGrid, 1, 0, 3, 1);
    layout->addWidget(m_dishGrid, 1, 1);
    layout->addWidget(titled(u"Список ингредиентов блюда"_s, m_cardGrid, this), 2, 1);
    layout->addWidget(titled(u"Список выбранных блюд текущего меню"_s, m_chosenGrid, this), 1, 2, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_remove);
    buttons->addWidget(m_copy);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    layout->addLayout(buttons, 3, 1, 1, 2);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 5);
    layout->setColumnStretch(2, 3);
    layout->setRowStretch(1, 3);
    layout->setRowStretch(2, 2);
    resize(1340, 640);

    // Enter and Space in the chosen list take the dish current in the dish list too.
    connect(m_dishGrid, &DataGrid::rowChosen, this, &DishChooserDialog::chooseCurrentDish);
    connect(m_chosenGrid, &DataGrid::rowChosen, this, &DishChooserDialog::chooseCurrentDish);
    connect(m_search, &ContextSearchBar::toggled, this, &DishChooserDialog::setContextSearch);
    connect(m_search, &ContextSearchBar::searchTyped, this,
            [this](const QString& text) { m_dishes->locateNearest(text); });
    connect(m_remove, &QPushButton::clicked, this, &DishChooserDialog::removeChosenDish);
    connect(m_copy, &QPushButton::clicked, this, &DishChooserDialog::copyFromMenu);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

bool DishChooserDialog::openViews()
{
    for (TableModel* model : {m_groups, m_dishes, m_card, m_chosen}) {
        if (!model->open()) {
            m_lastError = model->lastError();
            return false;
        }
    }
    m_groupGrid->setTableModel(m_groups);
    m_dishGrid->setTableModel(m_dishes);
    m_cardGrid->setTableModel(m_card);
    m_chosenGrid->setTableModel(m_chosen);
    const bool released = MenuBook::isReleased(m_db, m_menu);
    m_remove->setEnabled(!released);
    m_copy->setEnabled(!released);
    return true;
}

void DishChooserDialog::chooseCurrentDish()
{
    // A group of unfinished dishes shows no dish: nothing is added then.
    const QVariant dish = m_dishes->currentKey();
    if (dish.isNull())
        return;
    if (const auto entry = MenuBook(m_db, *m_prompts).addDish(m_menu, dish)) {
        m_chosen->refresh();
        m_chosen->locateKey(*entry);
    }
}

void DishChooserDialog::removeChosenDish()
{
    if (MenuBook(m_db, *m_prompts).removeChosenDish(m_chosen->currentKey()))
        m_chosen->refresh();
}

void DishChooserDialog::copyFromMenu()
{
    if (MenuBook::isReleased(m_db, m_menu))
        return;
    MenuCopyDialog dialog(m_db, m_prompts, this);
    if (!dialog.openViews()) {
        m_prompts->warn(u"Ошибка"_s, dialog.lastError());
        return;
    }
    const bool chosen = dialog.exec() == QDialog::Accepted;
    const QVariant source = dialog.chosenMenu();
    dialog.closeViews();
    if (chosen && MenuBook(m_db, *m_prompts).copyEntries(source, m_menu))
        m_chosen->refresh();
}

void DishChooserDialog::setContextSearch(bool on)
{
    if (on) {
        // All finished dishes by name; the group list follows the current dish.
        m_dishes->setMaster(nullptr, QString());
        m_dishes->setOrder({u"Name"_s});
        m_dishes->setLinkValue({});
        m_dishGroup->open();
        m_groupGrid->setTableModel(m_dishGroup);
        m_search->searchBox()->setFocus();
        return;
    }
    m_search->searchBox()->clear();
    const QVariant dish = m_dishes->currentKey();
    const QVariant group = m_dishes->currentValue(u"Kod"_s);
    m_groupGrid->setTableModel(m_groups);
    m_dishGroup->close();
    m_groups->locateKey(group);
    m_dishes->setOrder({u"Kod"_s});
    m_dishes->setMaster(m_groups, u"Kod"_s);
    m_dishes->setLinkValue(m_groups->currentValue(u"Kod"_s));
    m_dishes->locateKey(dish);
}

void DishChooserDialog::done(int result)
{
    if (m_search->isOn())
        m_search->switchOff();
    m_chosenGrid->postPending();
    for (TableModel* model : {m_groups, m_dishes, m_dishGroup, m_card, m_chosen})
        model->close();
    QDialog::done(result);
}
