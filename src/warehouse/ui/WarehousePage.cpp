#include "WarehousePage.h"

#include "GridLook.h"
#include "InventoryDialog.h"
#include "reference/ReferenceViews.h"
#include "reports/ui/PrintJobRun.h"
#include "StockMovementDialog.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/DatePromptDialog.h"
#include "TurnoverDialog.h"
#include "warehouse/StockDocuments.h"
#include "warehouse/StockViews.h"
#include "warehouse/TurnoverPrintJob.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Only posted lines move the balance: an unposted one shows in neither column.
QVariant ledger(const TableModel& model, int row, bool receipt)
{
    if (model.value(row, u"Provodka"_s).toInt() != 1)
        return {};
    const bool isReceipt = model.value(row, u"Oper"_s).toString() == QLatin1String(StockDocuments::receipt);
    return isReceipt == receipt ? model.value(row, u"Kolvo"_s) : QVariant();
}

} // namespace

WarehousePage::WarehousePage(UserPrompts* prompts, DatePrompt* dates, QWidget* parent)
    : Page(parent), m_prompts(prompts), m_ownDates(dates ? nullptr : new DialogDatePrompt(this)),
      m_dates(dates ? dates : m_ownDates.get()), m_groupGrid(new DataGrid(prompts, this)),
      m_ingredientGrid(new DataGrid(prompts, this)), m_movementGrid(new DataGrid(prompts, this)),
      m_turnoverDialog(new TurnoverDialog(this))
{
    for (DataGrid* grid : {m_groupGrid, m_ingredientGrid, m_movementGrid}) {
        grid->setCtrlDeleteBlocked(true);
        grid->setInsertBlocked(true);
    }
    auto* buttons = new QVBoxLayout;
    for (const QString& caption :
         {u"Движение по складу"_s, u"Инвентаризация"_s, u"Оборотка"_s, u"Остатки"_s, u"Статистика"_s}) {
        auto* button = new QPushButton(caption, this);
        m_buttons.append(button);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    // Present, but nothing behind them.
    button(u"Остатки"_s)->setEnabled(false);
    button(u"Статистика"_s)->setEnabled(false);
    button(u"Оборотка"_s)->setToolTip(u"Оборотная ведомость склада за период"_s);
    connect(button(u"Движение по складу"_s), &QPushButton::clicked, this, &WarehousePage::openStockMovement);
    connect(button(u"Инвентаризация"_s), &QPushButton::clicked, this, &WarehousePage::openInventory);
    connect(button(u"Оборотка"_s), &QPushButton::clicked, this, &WarehousePage::printTurnover);

    auto* right = new QVBoxLayout;
    right->addWidget(m_ingredientGrid, 1);
    right->addWidget(m_movementGrid, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_groupGrid, 1);
    layout->addLayout(right, 3);
    layout->addLayout(buttons);
    setEnabled(false);
}

WarehousePage::~WarehousePage() = default;

QPushButton* WarehousePage::button(const QString& caption) const
{
    for (QPushButton* b : m_buttons) {
        if (b->text() == caption)
            return b;
    }
    return nullptr;
}

void WarehousePage::createViews(QSqlDatabase db)
{
    m_groups = new TableModel(db, referenceviews::ingredientGroups(), this);
    m_groups->setColumns({{u"Name"_s, u"Наименование группы"_s}});
    m_groups->setReadOnly(true);

    m_ingredients = new TableModel(db, referenceviews::stockIngredients(), this);
    m_ingredients->setColumns({{u"Name"_s, u"Наименование"_s},
                               {u"Edinica1"_s, u"Ед.Изм."_s},
                               {u"Cena"_s, u"Цена"_s, u"0.00"_s},
                               {u"Kolvo"_s, u"Кол-во"_s, u"0.000"_s}});
    m_ingredients->setReadOnly(true);
    m_ingredients->setFilterEnabled(true);
    m_ingredients->setMaster(m_groups, u"Kod"_s);
    m_ingredients->setRoleProvider([](const TableModel& model, int row, int, int role) -> QVariant {
        const double balance = model.number(row, u"Kolvo"_s);
        if (role == Qt::ForegroundRole && balance < 0)
            return QColor(Qt::red);
        if (role == Qt::FontRole && balance < 0)
            return gridlook::bold();
        if (role == Qt::BackgroundRole && balance == 0)
            return gridlook::silver();
        return QVariant();
    });

    m_movements = new TableModel(db, stockviews::movements(), this);
    m_movements->addCalculated(u"Prihod"_s,
                               [](const TableModel& model, int row) { return ledger(model, row, true); });
    m_movements->addCalculated(u"Rashod"_s,
                               [](const TableModel& model, int row) { return ledger(model, row, false); });
    m_movements->setColumns({{u"Date"_s, u"Дата"_s},
                             {u"Nomer"_s, u"Номер"_s},
                             {u"Partner1"_s, u"Партнёр"_s},
                             {u"Cena"_s, u"Цена"_s, u"0.00"_s},
                             {u"Prihod"_s, u"Приход"_s, u"0.000"_s},
                             {u"Rashod"_s, u"Расход"_s, u"0.000"_s}});
    m_movements->setReadOnly(true);
    m_movements->setMaster(m_ingredients, u"Kod1"_s);
    m_movements->setRoleProvider([](const TableModel& model, int row, int, int role) -> QVariant {
        if (role == Qt::BackgroundRole && model.value(row, u"Provodka"_s).toInt() != 1)
            return gridlook::silver();
        return QVariant();
    });
}

bool WarehousePage::openViews(QSqlDatabase db, QString*)
{
    m_db = db;
    if (!m_groups)
        createViews(db);
    return true;
}

void WarehousePage::pageShown()
{
    if (!m_groups || m_groups->isOpen())
        return;
    for (TableModel* model : {m_groups, m_ingredients, m_movements}) {
        if (!model->open()) {
            m_prompts->warn(u"Ошибка"_s, model->lastError());
            return;
        }
    }
    m_groupGrid->setTableModel(m_groups);
    m_ingredientGrid->setTableModel(m_ingredients);
    m_movementGrid->setTableModel(m_movements);
    m_groups->first();
    setEnabled(true);
}

void WarehousePage::pageHidden()
{
    closeViews();
}

void WarehousePage::closeViews()
{
    for (TableModel* model : {m_movements, m_ingredients, m_groups}) {
        if (model)
            model->close();
    }
    setEnabled(false);
}

void WarehousePage::openStockMovement()
{
    StockMovementDialog window(m_db, m_prompts, m_dates, m_clock, this);
    QString error;
    if (!window.openViews(&error)) {
        m_prompts->warn(u"Ошибка"_s, error);
        return;
    }
    Q_EMIT windowOpened(&window);
    window.exec();
    window.closeViews();
    refreshViews();
}

void WarehousePage::openInventory()
{
    InventoryDialog window(m_db, m_prompts, m_dates, m_clock, *m_launcher, this);
    QString error;
    if (!window.openViews(&error)) {
        m_prompts->warn(u"Ошибка"_s, error);
        return;
    }
    Q_EMIT windowOpened(&window);
    window.exec();
    window.closeViews();
    refreshViews();
}

void WarehousePage::printTurnover()
{
    if (!m_groups)
        return;
    m_turnoverDialog->setDates(m_clock->today());
    if (m_turnoverDialog->exec() != QDialog::Accepted)
        return;
    TurnoverOptions options = m_turnoverDialog->options();
    options.group = m_groups->currentKey().toLongLong();
    options.ingredient = m_ingredients->currentKey().toLongLong();
    runPrintJob(
        this, u"Оборотная ведомость"_s, m_db,
        [&options](const QSqlDatabase& db) { return std::make_unique<TurnoverPrintJob>(db, options); },
        *m_prompts, *m_launcher);
}
