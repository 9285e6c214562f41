#include "IngredientPickerDialog.h"

#include "IngredientsPage.h"
#include "reference/ReferenceViews.h"

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

using namespace Qt::StringLiterals;

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
        const bool ok = IngredientRowCheck::check(model->value(row, u"Cena"_s), model->value(row, u"Pf"_s),
                                                  model->value(row, u"Edinica"_s), *prompts);
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
      m_ingredients(new TableModel(db, referenceviews::ingredients(), this)),
      m_groupGrid(new DataGrid(prompts, this)), m_ingredientGrid(new CheckedIngredientGrid(prompts, this)),
      m_choose(new QPushButton(u"Выбор"_s, this))
{
    setWindowTitle(u"Ингредиенты  (можно вносить новые ингредиенты, за исключением полуфабрикатов)"_s);
    static_cast<CheckedIngredientGrid*>(m_ingredientGrid)->prompts = prompts;
    m_groupGrid->setCtrlDeleteBlocked(true);
    m_groupGrid->setTableModel(groups);
    m_ingredients->setMaster(groups, u"Kod"_s);
    m_ingredients->setColumns({{u"Name"_s, u"Наименование"_s},
                               {u"Edinica1"_s, u"Ед.Изм."_s},
                               {u"Cena"_s, u"Цена"_s, u"0.00"_s},
                               {u"Proc"_s, u"% Надб."_s},
                               {u"Vih"_s, u"% Вых"_s}});
    // Ingredients made here are ordinary ones: the flag is not offered.
    m_ingredients->addPostCheck([](TableModel& model, QString*) {
        if (model.state() == TableModel::State::Insert && model.currentValue(u"Pf"_s).isNull())
            model.setFieldValue(u"Pf"_s, false);
        return true;
    });

    auto* refuse = new QPushButton(u"Отказ"_s, this);
    m_choose->setToolTip(u"Взять текущий ингредиент (или Enter, двойной щелчок)"_s);
    refuse->setToolTip(u"Закрыть окно, ничего не выбирая (Escape)"_s);
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
    m_ingredientGrid->setChoices(u"Edinica1"_s, IngredientsPage::unitChoices(m_db));
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
    m_chosen = m_ingredients->currentValue(u"Name"_s).toString();
    accept();
}

void IngredientPickerDialog::done(int result)
{
    if (result != Accepted)
        m_chosen.clear();
    m_ingredientGrid->postPending();
    QDialog::done(result);
}
