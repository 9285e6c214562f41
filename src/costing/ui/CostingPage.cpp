#include "CostingPage.h"

#include "CalculationCardDialog.h"
#include "CopyDishDialog.h"
#include "costing/CalculationCardPrintJob.h"
#include "costing/CostingCardPrintJob.h"
#include "costing/DishCatalog.h"
#include "costing/DishCostCalculator.h"
#include "costing/DishViews.h"
#include "costing/RecipePrintJob.h"
#include "costing/TechnologicalCardPrintJob.h"
#include "CostingCardPrintDialog.h"
#include "DishRequirementsDialog.h"
#include "EnterpriseChoiceDialog.h"
#include "IngredientChooserDialog.h"
#include "RecipeDialog.h"
#include "reports/ui/PrintJobRun.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/FieldEdit.h"
#include "store/ui/WorkerRun.h"
#include "store/UserPrompts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QStringList frozenDishFields = {u"Name"_s, u"Nporc"_s, u"Proc"_s, u"Vixod"_s};

} // namespace

CostingPage::CostingPage(UserPrompts* prompts, QWidget* parent)
    : Page(parent), m_prompts(prompts), m_groupGrid(new DataGrid(prompts, this)),
      m_dishGrid(new DataGrid(prompts, this)), m_cardGrid(new DataGrid(prompts, this)),
      m_extraBox(new QWidget(this)), m_copy(new QPushButton(u"Копировать блюдо"_s, this)),
      m_recipe(new QPushButton(u"Рецепт"_s, this)), m_ingredients(new QPushButton(u"Ингредиенты"_s, this)),
      m_price(new QPushButton(u"Расчёт цен блюд"_s, this)),
      m_deleteGroup(new QPushButton(u"Удаление группы блюд"_s, this)),
      m_finish(new QPushButton(u"Окончание разработки блюда"_s, this)),
      m_deleteDish(new QPushButton(u"Удаление блюда"_s, this)),
      m_deleteLine(new QPushButton(u"Удаление ингредиента"_s, this)),
      m_print(new QPushButton(u"Печать калькуляционных карт"_s, this)),
      m_calculationCard(new QPushButton(u"Печать ОП-1"_s, this)),
      m_technologicalCard(new QPushButton(u"Печать ТК"_s, this)),
      m_technicalCard(new QPushButton(u"Печать ТТК"_s, this)),
      m_requirements(new QPushButton(u"Подача и хранение"_s, this)),

      m_cardPrintDialog(new CostingCardPrintDialog(this)),
      m_calculationCardDialog(new CalculationCardDialog(this))
{
    // Groups, dishes and card lines go only through the buttons that check the menus and frozen cards.
    m_groupGrid->setCtrlDeleteBlocked(true);
    m_dishGrid->setCtrlDeleteBlocked(true);
    m_cardGrid->setCtrlDeleteBlocked(true);
    // Card lines come only from the ingredient chooser.
    m_cardGrid->setInsertBlocked(true);
    m_recipe->setToolTip(u"Рецепт текущего блюда и его печать"_s);
    m_ingredients->setToolTip(u"Добавить ингредиенты в карту текущего блюда"_s);

    // A splitter, so that on a small screen the user gives the room to the grid being worked on.
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(m_groupGrid);
    splitter->addWidget(buildDishPanel());
    splitter->addWidget(buildCardPanel());
    for (const auto& [index, stretch] : {std::pair{0, 2}, std::pair{1, 4}, std::pair{2, 3}})
        splitter->setStretchFactor(index, stretch);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);

    connect(m_copy, &QPushButton::clicked, this, &CostingPage::copyDish);
    connect(m_recipe, &QPushButton::clicked, this, &CostingPage::showRecipe);
    connect(m_ingredients, &QPushButton::clicked, this, &CostingPage::chooseIngredients);
    connect(m_price, &QPushButton::clicked, this, &CostingPage::calculatePrices);
    connect(m_deleteGroup, &QPushButton::clicked, this, &CostingPage::deleteGroup);
    connect(m_finish, &QPushButton::clicked, this, &CostingPage::finishDish);
    connect(m_deleteDish, &QPushButton::clicked, this, &CostingPage::deleteDish);
    connect(m_deleteLine, &QPushButton::clicked, this, &CostingPage::deleteCardLine);
    connect(m_print, &QPushButton::clicked, this, &CostingPage::printCards);
    connect(m_calculationCard, &QPushButton::clicked, this, &CostingPage::printCalculationCards);
    connect(m_technologicalCard, &QPushButton::clicked, this,
            [this] { printTechnologicalCard(TechnologicalCard::Technological); });
    connect(m_technicalCard, &QPushButton::clicked, this,
            [this] { printTechnologicalCard(TechnologicalCard::TechnicalTechnological); });
    connect(m_requirements, &QPushButton::clicked, this, &CostingPage::showRequirements);
    setEnabled(false);
}

QWidget* CostingPage::buildDishPanel()
{
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_dishGrid, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_copy, m_recipe, m_ingredients, m_price})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    auto* extraLabel = new QLabel(u"Дополнительная характеристика, для идентификации блюда в меню"_s, panel);
    extraLabel->setWordWrap(true);
    layout->addWidget(extraLabel);
    new QVBoxLayout(m_extraBox);
    m_extraBox->layout()->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_extraBox);
    return panel;
}

QWidget* CostingPage::buildCardPanel()
{
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(u"Список ингредиентов блюда"_s, panel));
    layout->addWidget(m_cardGrid, 1);
    for (QPushButton* button : {m_deleteGroup, m_finish, m_deleteDish, m_deleteLine, m_print})
        layout->addWidget(button);
    // The state's forms beside the kitchen's own card print, two to a row to keep the pane narrow.
    auto* forms = new QGridLayout;
    QPushButton* const formButtons[] = {m_requirements, m_calculationCard, m_technologicalCard,
                                        m_technicalCard};
    for (int k = 0; k < 4; ++k)
        forms->addWidget(formButtons[k], k / 2, k % 2);
    layout->addLayout(forms);
    return panel;
}

void CostingPage::createViews(QSqlDatabase db)
{
    m_groups = new TableModel(db, dishviews::dishGroups(), this);
    m_groups->setColumns({{u"Name"_s, u"Наименование группы блюд"_s}, {u"N"_s, u"Порядок"_s}});
    m_groups->addPostCheck(
        [this](TableModel& groups, QString* error) { return rewriteMenuOrder(groups, error); });

    m_dishes = new TableModel(db, dishviews::dishes(), this);
    m_dishes->setColumns({{u"Name"_s, u"Наименование блюда"_s},
                          {u"Nporc"_s, u"Порций"_s},
                          {u"Proc"_s, u"% Надб."_s},
                          {u"Vixod"_s, u"Выход"_s},
                          {u"Cena"_s, u"Цена 1 пор."_s, u"0.00"_s, true},
                          {u"Print"_s, u"V"_s}});
    m_dishes->setMaster(m_groups, u"Kod"_s);

    m_card = new TableModel(db, dishviews::editedCardLines(), this);
    m_card->setColumns({{u"Name1"_s, u"Наименование ингредиента"_s, QString(), true},
                        {u"Kolvo"_s, u"Кол-во (гр.)"_s, u"0.00"_s},
                        {u"Vihod"_s, u"% Вых"_s}});
    m_card->setInsertAllowed(false);
    m_card->setMaster(m_dishes, u"Kod1"_s);

    connect(m_groups, &TableModel::currentChanged, this,
            [this] { m_rememberedOrder = m_groups->currentValue(u"N"_s).toDouble(); });
    connect(m_dishes, &TableModel::currentChanged, this, &CostingPage::applyDishState);
    connect(m_card, &TableModel::currentChanged, this, &CostingPage::applyCardLineState);
}

bool CostingPage::openViews(QSqlDatabase db, QString* error)
{
    if (m_groups && m_groups->isOpen())
        return true;
    m_db = db;
    if (!m_groups)
        createViews(db);
    for (TableModel* model : {m_groups, m_dishes, m_card}) {
        if (!model->open()) {
            *error = model->lastError();
            return false;
        }
    }
    m_groupGrid->setTableModel(m_groups);
    m_dishGrid->setTableModel(m_dishes);
    m_dishGrid->markValueWarnings();
    m_cardGrid->setTableModel(m_card);
    m_cardGrid->markValueWarnings(u"IngPf"_s);
    if (!m_extra) {
        m_extra = new FieldEdit(m_dishes, u"X"_s, m_extraBox);
        m_extraBox->layout()->addWidget(m_extra);
    }
    m_rememberedOrder = m_groups->currentValue(u"N"_s).toDouble();
    applyDishState();
    applyCardLineState();
    setEnabled(true);
    return true;
}

void CostingPage::closeViews()
{
    postPending();
    for (TableModel* model : {m_card, m_dishes, m_groups}) {
        if (model)
            model->close();
    }
    setEnabled(false);
}

void CostingPage::pageHidden()
{
    if (m_recipeDialog)
        m_recipeDialog->close();
}

void CostingPage::postPending()
{
    postAll();
}

bool CostingPage::postAll()
{
    if (!m_groups)
        return false;
    // The card first: posting a dish or a group reloads its details.
    return m_cardGrid->postPending() && m_dishGrid->postPending() && m_groupGrid->postPending();
}

bool CostingPage::rewriteMenuOrder(TableModel& groups, QString* error)
{
    Q_UNUSED(error);
    const double newOrder = groups.currentValue(u"N"_s).toDouble();
    if (groups.state() == TableModel::State::Edit &&
        DishCatalog::groupOrderChanged(m_rememberedOrder, newOrder))
        DishCatalog(m_db, *m_prompts).rewriteMenuGroupOrder(groups.currentKey(), m_rememberedOrder, newOrder);
    return true;
}

void CostingPage::applyDishState()
{
    const bool hasDish = m_dishes && m_dishes->currentRow() >= 0;
    const bool finished = hasDish && m_dishes->currentValue(u"Status"_s).toBool();
    m_finish->setEnabled(!finished);
    m_ingredients->setEnabled(!finished);
    m_deleteLine->setEnabled(!finished);
    if (m_card)
        m_card->setReadOnly(finished);
    for (const QString& field : frozenDishFields) {
        if (m_dishes)
            m_dishes->setColumnReadOnly(field, finished);
    }
    m_dishGrid->viewport()->update();
    m_cardGrid->viewport()->update();
}

void CostingPage::applyCardLineState()
{
    // A semi-finished product's yield is part of its composition, not of the line.
    const bool semiFinished = m_card && m_card->currentValue(u"IngPf"_s).toBool();
    if (m_card)
        m_card->setColumnReadOnly(u"Vihod"_s, semiFinished);
}

void CostingPage::chooseIngredients()
{
    if (!m_dishes || !postAll() || m_dishes->currentKey().isNull() ||
        m_dishes->currentValue(u"Status"_s).toBool())
        return;
    IngredientChooserDialog chooser(m_db, m_prompts, m_dishes->currentKey(),
                                    m_dishes->currentValue(u"Name"_s).toString(), this);
    if (!chooser.openViews()) {
        m_prompts->warn(u"Ошибка"_s, chooser.lastError());
        return;
    }
    chooser.exec();
    refreshViews();
}

void CostingPage::copyDish()
{
    if (!m_dishes || !postAll() || m_dishes->currentKey().isNull())
        return;
    CopyDishDialog dialog(m_db, m_prompts, m_dishes->currentValue(u"Name"_s).toString(),
                          m_groups->currentKey(), this);
    if (!dialog.openViews()) {
        m_prompts->warn(u"Ошибка"_s, dialog.lastError());
        return;
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (DishCatalog(m_db, *m_prompts)
            .copyDish(m_dishes->currentKey(), dialog.newName(), dialog.targetGroup())) {
        refreshViews();
    }
}

void CostingPage::showRecipe()
{
    if (!m_dishes || !postAll() || m_dishes->currentKey().isNull())
        return;
    RecipeDialog dialog(m_dishes, this);
    m_recipeDialog = &dialog;
    connect(&dialog, &RecipeDialog::printRequested, this, &CostingPage::printRecipe);
    dialog.exec();
    m_dishGrid->postPending();
}

void CostingPage::calculatePrices()
{
    if (!postAll())
        return;
    DishCostRun run;
    const Worker::Outcome outcome = runInWorker(
        this, *m_prompts, u"Расчёт цен блюд"_s, m_db, [&run](const QSqlDatabase& db, Worker& worker) {
            run = DishCostCalculator(db).run(worker.percentProgress(u"Группы блюд"_s));
        });
    refreshViews();
    if (outcome == Worker::Outcome::Finished && !run.ok)
        m_prompts->warn(u"Ошибка"_s, run.message);
}

void CostingPage::finishDish()
{
    if (!postAll())
        return;
    if (DishCatalog(m_db, *m_prompts).finishDish(m_dishes->currentKey()))
        refreshViews();
}

void CostingPage::deleteGroup()
{
    if (!postAll())
        return;
    DishCatalog(m_db, *m_prompts).deleteDishGroup(m_groups->currentKey());
    // Unused dishes may have gone even when the group stays.
    refreshViews();
}

void CostingPage::deleteDish()
{
    if (!postAll())
        return;
    if (DishCatalog(m_db, *m_prompts).deleteDish(m_dishes->currentKey())) {
        refreshViews();
    }
}

void CostingPage::deleteCardLine()
{
    if (!postAll())
        return;
    if (DishCatalog(m_db, *m_prompts).deleteCardLine(m_card->currentKey()))
        refreshViews();
}

void CostingPage::printCards()
{
    if (!m_groups || !postAll())
        return;
    if (m_cardPrintDialog->exec() != QDialog::Accepted)
        return;
    if (!m_enterpriseDialog)
        m_enterpriseDialog = new EnterpriseChoiceDialog(m_db, m_prompts, this);
    if (!m_enterpriseDialog->openViews()) {
        m_prompts->warn(u"Ошибка"_s, m_enterpriseDialog->lastError());
        return;
    }
    const bool chosen = m_enterpriseDialog->exec() == QDialog::Accepted;
    const CostingCardOptions options{m_cardPrintDialog->scope(), m_groups->currentKey().toLongLong(),
                                     m_enterpriseDialog->prices(), m_enterpriseDialog->enterpriseName()};
    m_enterpriseDialog->closeViews();
    if (!chosen)
        return;

    runPrintJob(
        this, u"Печать калькуляционных карт"_s, m_db,
        [clock = m_clock, &options](const QSqlDatabase& db) {
            return std::make_unique<CostingCardPrintJob>(db, *clock, options);
        },
        *m_prompts, *m_launcher);
    // The marks of the printed groups are cleared.
    refreshViews();
}

void CostingPage::printCalculationCards()
{
    if (!m_groups || !postAll())
        return;
    m_calculationCardDialog->offerDay(m_clock->today());
    if (m_calculationCardDialog->exec() != QDialog::Accepted)
        return;
    CostingCardOptions options;
    options.scope = m_calculationCardDialog->scope();
    options.group = m_groups->currentKey().toLongLong();
    options.dish = m_dishes->currentKey().toLongLong();
    const std::vector<QDate> days = m_calculationCardDialog->days();
    runPrintJob(
        this, u"Печать калькуляционных карточек (ОП-1)"_s, m_db,
        [clock = m_clock, &options, &days](const QSqlDatabase& db) {
            return std::make_unique<CalculationCardPrintJob>(db, *clock, options, days);
        },
        *m_prompts, *m_launcher);
}

void CostingPage::showRequirements()
{
    if (!m_dishes || !postAll() || m_dishes->currentKey().isNull())
        return;
    DishRequirementsDialog dialog(m_dishes, this);
    dialog.exec();
}

void CostingPage::printTechnologicalCard(TechnologicalCard kind)
{
    if (!m_dishes || !postAll() || m_dishes->currentKey().isNull())
        return;
    const qlonglong dish = m_dishes->currentKey().toLongLong();
    runPrintJob(
        this, kind == TechnologicalCard::Technological ? u"Печать ТК"_s : u"Печать ТТК"_s, m_db,
        [clock = m_clock, dish, kind](const QSqlDatabase& db) {
            return std::make_unique<TechnologicalCardPrintJob>(db, *clock, dish, kind);
        },
        *m_prompts, *m_launcher);
}

void CostingPage::printRecipe(const QStringList& shownLines)
{
    const qlonglong dish = m_dishes->currentKey().toLongLong();
    runPrintJob(
        this, u"Печать рецептуры"_s, m_db,
        [dish, &shownLines](const QSqlDatabase& db) {
            return std::make_unique<RecipePrintJob>(db, dish, shownLines);
        },
        *m_prompts, *m_launcher);
}
