#include "IngredientsPage.h"

#include "CompositionChooserDialog.h"
#include "ContextSearchBar.h"
#include "GroupChoiceDialog.h"
#include "PriceRecalculationDialog.h"
#include "reference/ReferenceViews.h"

#include "reference/IngredientCatalog.h"
#include "reference/PriceRecalculation.h"
#include "store/TableModel.h"
#include "store/ui/WorkerRun.h"
#include "store/UserPrompts.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

IngredientsPage::IngredientsPage(UserPrompts* prompts, QWidget* parent)
    : Page(parent), m_prompts(prompts), m_groupGrid(new DataGrid(prompts, this)),
      m_ingredientGrid(new DataGrid(prompts, this)), m_compositionGrid(new DataGrid(prompts, this)),
      m_semiFinished(new QCheckBox(u"Полуфабрикат"_s, this)), m_search(new ContextSearchBar(this)),
      m_compositionButton(new QPushButton(u"Ингредиенты"_s, this)),
      m_moveButton(new QPushButton(u"Перенести ингридиент в другую группу"_s, this)),
      m_deleteGroup(new QPushButton(u"Удаление группы ингредиентов"_s, this)),
      m_deleteIngredient(new QPushButton(u"Удаление ингредиента"_s, this)),
      m_deleteComponent(new QPushButton(u"Удаление составляющей"_s, this)),
      m_recalculate(new QPushButton(u"Пересчёт цен"_s, this)),
      m_priceDialog(new PriceRecalculationDialog(this))
{
    // Rows of these grids are deleted only through the buttons that check their use.
    for (DataGrid* grid : {m_groupGrid, m_ingredientGrid, m_compositionGrid})
        grid->setCtrlDeleteBlocked(true);
    // Components are added only through the chooser.
    m_compositionGrid->setInsertBlocked(true);
    m_compositionButton->setToolTip(u"Составляющие текущего полуфабриката"_s);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u"Новые записи во всех таблицах вносятся при помощи клавиши \"Insert\" на "
                                 "клавиатуре компьютера.!!!"_s,
                                 this));
    auto* grids = new QGridLayout;
    grids->addWidget(m_groupGrid, 0, 0, 3, 1);
    grids->addWidget(m_search, 0, 1);
    grids->addWidget(m_ingredientGrid, 1, 1);
    auto* flagRow = new QHBoxLayout;
    flagRow->addWidget(m_semiFinished);
    flagRow->addWidget(m_compositionButton);
    flagRow->addStretch();
    flagRow->addWidget(m_moveButton);
    grids->addLayout(flagRow, 2, 1);
    grids->addWidget(m_compositionGrid, 0, 2, 3, 1);
    grids->setColumnStretch(0, 2);
    grids->setColumnStretch(1, 4);
    grids->setColumnStretch(2, 2);
    grids->setRowStretch(1, 1);
    layout->addLayout(grids, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_deleteGroup, m_deleteIngredient, m_deleteComponent, m_recalculate})
        buttons->addWidget(button);
    buttons->addStretch();
    layout->addLayout(buttons);

    m_semiFinished->installEventFilter(this);
    // toggled, not clicked: a keyboard or a screen reader's toggle action sets the flag as a click does.
    connect(m_semiFinished, &QCheckBox::toggled, this, [this](bool checked) {
        if (!m_ingredients || m_ingredients->currentRow() < 0 ||
            !m_ingredients->setFieldValue(u"Pf"_s, checked)) {
            showIngredientKind();
            return;
        }
        if (m_semiFinished->hasFocus())
            m_ingredientGrid->setFocus(Qt::MouseFocusReason); // the flag rule runs as the focus leaves
        else
            flagLeft();
    });
    connect(m_search, &ContextSearchBar::toggled, this, &IngredientsPage::setContextSearch);
    connect(m_search, &ContextSearchBar::searchTyped, this, [this](const QString& text) {
        if (m_ingredients && m_ingredients->isOpen())
            m_ingredients->locateNearest(text);
    });
    connect(m_compositionButton, &QPushButton::clicked, this, &IngredientsPage::editComposition);
    connect(m_moveButton, &QPushButton::clicked, this, &IngredientsPage::moveIngredient);
    connect(m_deleteGroup, &QPushButton::clicked, this, &IngredientsPage::deleteGroup);
    connect(m_deleteIngredient, &QPushButton::clicked, this, &IngredientsPage::deleteIngredient);
    connect(m_deleteComponent, &QPushButton::clicked, this, &IngredientsPage::deleteComponent);
    connect(m_recalculate, &QPushButton::clicked, this, &IngredientsPage::recalculatePrices);
    setEnabled(false);
}

DataGrid::Choices IngredientsPage::unitChoices(QSqlDatabase db)
{
    return [db] {
        QList<QPair<QVariant, QString>> units;
        TableModel list(db, {u"Edinica"_s, {u"Shorthame"_s}});
        if (list.open()) {
            for (int row = 0; row < list.rowCount(); ++row)
                units.append({list.value(row, u"Kod"_s), list.value(row, u"Shorthame"_s).toString()});
        }
        return units;
    };
}

bool IngredientsPage::openViews(QSqlDatabase db, QString* error)
{
    if (m_groups && m_groups->isOpen())
        return true;
    m_db = db;
    if (!m_groups) {
        // Both views carry the link field "Kod": context search swaps which one is the master.
        m_groups = new TableModel(db, referenceviews::ingredientGroups(u"Kod"_s), this);
        m_groups->setColumns({{u"Name"_s, u"Наименование группы"_s}});
        m_ingredients = new TableModel(db, referenceviews::ingredients(), this);
        m_ingredients->setColumns({{u"Name"_s, u"Наименование"_s},
                                   {u"Edinica1"_s, u"Ед.Изм."_s},
                                   {u"Cena"_s, u"Цена"_s, u"0.00"_s},
                                   {u"Proc"_s, u"% Надб."_s},
                                   {u"Vih"_s, u"% Вых"_s},
                                   // Nutrition per 100 g for the technological cards; empty is not given.
                                   {u"Protein"_s, u"Белки"_s},
                                   {u"Fat"_s, u"Жиры"_s},
                                   {u"Carbs"_s, u"Углев."_s},
                                   {u"Energy"_s, u"Ккал"_s}});
        m_ingredients->setMaster(m_groups, u"Kod"_s);
        m_composition = new TableModel(db, referenceviews::composition(), this);
        m_composition->setColumns(
            {{u"Name1"_s, u"Наименование"_s, {}, true}, {u"Kolvo"_s, u"Кол-во (гр)"_s, u"0.00"_s}});
        m_composition->setInsertAllowed(false);
        m_composition->setMaster(m_ingredients, u"Kod1"_s);
        connect(m_ingredients, &TableModel::currentChanged, this, &IngredientsPage::showIngredientKind);
        // Compositions show an ingredient's new name at once.
        connect(m_ingredients, &TableModel::posted, m_composition, [this] { m_composition->refresh(); });
        m_chooser = new CompositionChooserDialog(m_prompts, db, this);
        m_groupGrid->setTableModel(m_groups);
        m_ingredientGrid->setTableModel(m_ingredients);
        m_ingredientGrid->markValueWarnings(u"Pf"_s);
        m_ingredientGrid->setChoices(u"Edinica1"_s, unitChoices(db));
        m_compositionGrid->setTableModel(m_composition);
    }
    for (TableModel* model : {m_groups, m_ingredients, m_composition}) {
        if (!model->open()) {
            *error = model->lastError();
            return false;
        }
    }
    setEnabled(true);
    showIngredientKind();
    return true;
}

void IngredientsPage::closeViews()
{
    if (!m_groups)
        return;
    m_search->switchOff();
    postPending();
    for (TableModel* model : {m_composition, m_ingredients, m_groups})
        model->close();
    setEnabled(false);
}

void IngredientsPage::pageHidden()
{
    m_search->switchOff();
}

void IngredientsPage::postPending()
{
    postAll();
}

bool IngredientsPage::postAll()
{
    return m_compositionGrid->postPending() && m_ingredientGrid->postPending() && m_groupGrid->postPending();
}

QList<TableModel*> IngredientsPage::views() const
{
    // The master first: a vanished current group moves the ingredients to the next one.
    if (m_search->isOn())
        return {m_ingredients, m_groups, m_composition};
    return {m_groups, m_ingredients, m_composition};
}

void IngredientsPage::showIngredientKind()
{
    const bool open = m_ingredients && m_ingredients->isOpen();
    const bool semi = open && m_ingredients->currentValue(u"Pf"_s).toBool();
    m_compositionGrid->setEnabled(semi);
    ContextSearchBar::paintSilver(m_compositionGrid, !semi);
    if (m_ingredients) {
        // A semi-finished product's price comes from its composition and its yield is always 100.
        m_ingredients->setColumnReadOnly(u"Cena"_s, semi);
        m_ingredients->setColumnReadOnly(u"Vih"_s, semi);
    }
    m_compositionButton->setEnabled(semi);
    m_deleteComponent->setEnabled(semi);
    const QSignalBlocker blocker(m_semiFinished);
    m_semiFinished->setChecked(semi);
    m_semiFinished->setEnabled(open && m_ingredients->currentRow() >= 0);
}

bool IngredientsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_semiFinished && event->type() == QEvent::FocusOut)
        flagLeft();
    return Page::eventFilter(watched, event);
}

void IngredientsPage::flagLeft()
{
    if (!m_ingredients || !m_ingredients->isOpen() || m_ingredients->currentRow() < 0)
        return;
    const bool hadChanges = m_ingredients->isModified();
    const QVariant key = m_ingredients->currentKey();
    if (!m_ingredients->postIfPending())
        return;
    QString error;
    if (hadChanges && !IngredientCatalog(m_db).applyFlagChange(key, true, &error) && !error.isEmpty())
        m_prompts->warn(u"Ошибка"_s, error);
    refreshViews();
    showIngredientKind();
}

void IngredientsPage::setContextSearch(bool on)
{
    if (m_reverting || !m_groups || !m_groups->isOpen())
        return;
    if (!postAll()) {
        // A refused post keeps the current arrangement; the check box follows it.
        m_reverting = true;
        m_search->checkBox()->setChecked(!on);
        m_reverting = false;
        return;
    }
    if (on) {
        // All ingredients by name; the group grid shows only the current ingredient's group.
        const QVariant ingredient = m_ingredients->currentKey();
        m_ingredients->setMaster(nullptr, {});
        m_ingredients->setOrder({u"Name"_s});
        m_ingredients->setLinkValue({});
        m_ingredients->locateKey(ingredient);
        m_groups->setMaster(m_ingredients, u"Kod"_s);
        m_groups->setOrder({u"Kod"_s});
        m_groups->setLinkValue(m_ingredients->currentValue(u"Kod"_s));
    } else {
        const QVariant ingredient = m_ingredients->currentKey();
        const QVariant group = m_groups->currentKey();
        m_groups->setMaster(nullptr, {});
        m_groups->setOrder({u"Name"_s});
        m_groups->setLinkValue({});
        m_groups->locateKey(group);
        m_ingredients->setMaster(m_groups, u"Kod"_s);
        m_ingredients->setOrder({u"Kod"_s});
        m_ingredients->setLinkValue(m_groups->currentValue(u"Kod"_s));
        m_ingredients->locateKey(ingredient);
    }
    m_groups->setReadOnly(on);
    m_ingredients->setColumnReadOnly(u"Name"_s, on);
    m_ingredients->setInsertAllowed(!on);
    m_deleteGroup->setEnabled(!on);
    showIngredientKind();
}

void IngredientsPage::editComposition()
{
    if (!m_ingredients || m_ingredients->currentRow() < 0 || !postAll())
        return;
    m_composition->close();
    QString error;
    if (m_chooser->openViews(m_ingredients, &error))
        m_chooser->exec();
    else
        m_prompts->warn(u"Ошибка"_s, error);
    // The chooser has reset the product's price as it closed.
    m_composition->open();
    refreshViews();
}

void IngredientsPage::moveIngredient()
{
    if (!m_ingredients || m_ingredients->currentRow() < 0 || !postAll())
        return;
    const QVariant ingredient = m_ingredients->currentKey();
    GroupChoiceDialog dialog(m_prompts, m_db, this);
    QString error;
    if (!dialog.openViews(&error)) {
        m_prompts->warn(u"Ошибка"_s, error);
        return;
    }
    if (dialog.exec() == QDialog::Accepted &&
        !IngredientCatalog(m_db).moveToGroup(ingredient, dialog.chosenGroup(), &error) && !error.isEmpty())
        m_prompts->warn(u"Ошибка"_s, error);
    // Group names may have been edited in the dialog as well.
    refreshViews();
}

void IngredientsPage::deleteGroup()
{
    if (!m_groups || !postAll())
        return;
    if (IngredientCatalog(m_db).deleteGroup(m_groups->currentKey(), *m_prompts))
        refreshViews();
}

void IngredientsPage::deleteIngredient()
{
    if (!m_ingredients || !postAll())
        return;
    if (IngredientCatalog(m_db).deleteIngredient(m_ingredients->currentKey(), *m_prompts))
        refreshViews();
}

void IngredientsPage::deleteComponent()
{
    if (!m_composition || !postAll())
        return;
    if (IngredientCatalog(m_db).deleteComponent(m_composition->currentKey(), *m_prompts))
        refreshViews();
}

void IngredientsPage::recalculatePrices()
{
    if (!m_ingredients || !postAll() || m_priceDialog->exec() != QDialog::Accepted)
        return;
    const PriceRecalculation::Settings settings = m_priceDialog->settings();
    if (m_checkRepricing && !m_checkRepricing(this, *m_prompts, m_db, settings, m_ingredients->currentKey(),
                                              m_groups->currentKey()))
        return;
    const QVariant ingredient = m_ingredients->currentKey();
    const QVariant group = m_groups->currentKey();
    if (!PriceRecalculation(m_db).confirm(settings, ingredient, group, *m_prompts))
        return;
    PriceRecalculation::Outcome outcome;
    const Worker::Outcome run =
        runInWorker(this, *m_prompts, u"Пересчёт цен"_s, m_db, [&](const QSqlDatabase& db, Worker& worker) {
            outcome = PriceRecalculation(db).apply(settings, ingredient, group, [&worker](int n, int total) {
                worker.report(u"Цены ингредиентов"_s, n, total);
                return !worker.cancelRequested();
            });
        });
    if (run != Worker::Outcome::Finished || !PriceRecalculation::tell(outcome, *m_prompts))
        return;
    report(this, u"Пересчёт цен: изменено цен ингредиентов %1"_s.arg(outcome.prices));
    refreshViews();
    // Re-pricing every ingredient walks through all groups and stops on the last one.
    if (settings.scope == PriceRecalculation::Scope::All && !m_search->isOn())
        m_groups->last();
}
