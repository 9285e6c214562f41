#include "IngredientPickerDialog.h"

#include "IngredientsPage.h"

#include "reference/IngredientRowCheck.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/UserPrompts.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The ingredient grid of the picker: checks the row before the cursor leaves it and when the focus
// leaves the grid, and keeps the cursor and the focus on a row that fails.
class CheckedIngredientGrid : public DataGrid
{
public:
    using DataGrid::DataGrid;
    UserPrompts* prompts = nullptr;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override
    {
        TableModel* model = tableModel();
        const bool leavingRow = !m_restoring && model && previous.isValid() && current.isValid() &&
                                current.row() != previous.row() && model->currentRow() == previous.row();
        if (leavingRow && !rowPasses(previous.row())) {
            // The model never moved; put the grid's cursor back on the failing row.
            m_restoring = true;
            QTableView::currentChanged(current, previous);
            setCurrentIndex(model->index(previous.row(), previous.column()));
            m_restoring = false;
            return;
        }
        DataGrid::currentChanged(current, previous);
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        DataGrid::focusOutEvent(event);
        // A message box or a popup of the grid itself takes the focus only for a moment.
        if (m_checking || event->reason() == Qt::PopupFocusReason ||
            event->reason() == Qt::ActiveWindowFocusReason)
            return;
        if (QWidget* now = QApplication::focusWidget(); now && isAncestorOf(now))
            return;
        TableModel* model = tableModel();
        if (model && model->currentRow() >= 0 && !rowPasses(model->currentRow()))
            setFocus();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        // A double click chooses, also on the editable cells.
        const QModelIndex index = indexAt(event->position().toPoint());
        if (tableModel() && index.isValid() && index.row() == tableModel()->currentRow())
            Q_EMIT rowChosen(index.row());
    }

private:
    bool rowPasses(int row)
    {
        TableModel* model = tableModel();
        if (!prompts || !model)
            return true;
        m_checking = true;
        const bool ok = IngredientRowCheck::check(model->value(row, QStringLiteral("Cena")),
                                                  model->value(row, QStringLiteral("Pf")),
                                                  model->value(row, QStringLiteral("Edinica")), *prompts);
        m_checking = false;
        return ok;
    }

    bool m_restoring = false;
    bool m_checking = false;
};

} // namespace

IngredientPickerDialog::IngredientPickerDialog(UserPrompts* prompts, QSqlDatabase db, TableModel* groups,
                                               QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_db(db),
      m_ingredients(
          new TableModel(db,
                         {QStringLiteral("Ing"),
                          {QStringLiteral("Kod")},
                          QStringLiteral("Kod"),
                          {},
                          {{QStringLiteral("Edinica1"), QStringLiteral("Edinica"), QStringLiteral("Edinica"),
                            QStringLiteral("Kod"), QStringLiteral("Shorthame")}}},
                         this)),
      m_groupGrid(new DataGrid(prompts, this)), m_ingredientGrid(new CheckedIngredientGrid(prompts, this)),
      m_choose(new QPushButton(QStringLiteral("Выбор"), this))
{
    setWindowTitle(
        QStringLiteral("Ингредиенты  (можно вносить новые ингредиенты, за исключением полуфабрикатов)"));
    static_cast<CheckedIngredientGrid*>(m_ingredientGrid)->prompts = prompts;
    m_groupGrid->setCtrlDeleteBlocked(true);
    m_groupGrid->setTableModel(groups);
    m_ingredients->setMaster(groups, QStringLiteral("Kod"));
    m_ingredients->setColumns({{QStringLiteral("Name"), QStringLiteral("Наименование")},
                               {QStringLiteral("Edinica1"), QStringLiteral("Ед.Изм.")},
                               {QStringLiteral("Cena"), QStringLiteral("Цена"), QStringLiteral("0.00")},
                               {QStringLiteral("Proc"), QStringLiteral("% Надб.")},
                               {QStringLiteral("Vih"), QStringLiteral("% Вых")}});
    // Ingredients made here are ordinary ones: the flag is not offered.
    m_ingredients->addPostCheck([](TableModel& model, QString*) {
        if (model.state() == TableModel::State::Insert && model.currentValue(QStringLiteral("Pf")).isNull())
            model.setFieldValue(QStringLiteral("Pf"), false);
        return true;
    });

    auto* refuse = new QPushButton(QStringLiteral("Отказ"), this);
    connect(m_choose, &QPushButton::clicked, this, &IngredientPickerDialog::choose);
    connect(refuse, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ingredientGrid, &DataGrid::rowChosen, this, &IngredientPickerDialog::choose);

    auto* layout = new QVBoxLayout(this);
    auto* grids = new QHBoxLayout;
    grids->addWidget(m_groupGrid, 2);
    grids->addWidget(m_ingredientGrid, 5);
    layout->addLayout(grids, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_choose);
    buttons->addWidget(refuse);
    layout->addLayout(buttons);
    resize(900, 500);
}

bool IngredientPickerDialog::openViews(QString* error)
{
    if (!m_ingredients->open()) {
        *error = m_ingredients->lastError();
        return false;
    }
    m_ingredientGrid->setTableModel(m_ingredients);
    m_ingredientGrid->setChoices(QStringLiteral("Edinica1"), IngredientsPage::unitChoices(m_db));
    return true;
}

void IngredientPickerDialog::closeViews()
{
    m_ingredientGrid->postPending();
    m_ingredients->close();
}

void IngredientPickerDialog::choose()
{
    if (m_ingredients->currentRow() < 0 || !m_ingredientGrid->postPending())
        return;
    m_chosen = m_ingredients->currentValue(QStringLiteral("Name")).toString();
    accept();
}

void IngredientPickerDialog::done(int result)
{
    if (result != Accepted)
        m_chosen.clear();
    m_ingredientGrid->postPending();
    QDialog::done(result);
}
