#include "GroupChoiceDialog.h"

#include "reference/ReferenceViews.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

GroupChoiceDialog::GroupChoiceDialog(UserPrompts* prompts, QSqlDatabase db, QWidget* parent)
    : QDialog(parent), m_groups(new TableModel(db, referenceviews::ingredientGroups(), this)),
      m_grid(new DataGrid(prompts, this))
{
    setWindowTitle(u"Выбор новой группы для ингредиента"_s);
    m_groups->setColumns({{u"Name"_s, u"Наименование группы ингредиентов"_s}});
    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addWidget(buttons);
    resize(420, 420);
}

bool GroupChoiceDialog::openViews(QString* error)
{
    if (!m_groups->open()) {
        *error = m_groups->lastError();
        return false;
    }
    m_grid->setTableModel(m_groups);
    return true;
}

void GroupChoiceDialog::done(int result)
{
    m_chosen = QVariant();
    if (m_groups->isOpen()) {
        // A group just typed in is stored before it can be chosen.
        const bool posted = m_grid->postPending();
        if (result == Accepted && posted)
            m_chosen = m_groups->currentKey();
        m_groups->close();
    }
    QDialog::done(result);
}
