#include "CopyDishDialog.h"

#include "costing/DishViews.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

CopyDishDialog::CopyDishDialog(QSqlDatabase db, UserPrompts* prompts, const QString& dishName,
                               QVariant currentGroup, QWidget* parent)
    : QDialog(parent), m_currentGroup(std::move(currentGroup)), m_name(new QLineEdit(dishName, this)),
      m_groups(new TableModel(db, dishviews::dishGroups(), this)), m_groupGrid(new DataGrid(prompts, this))
{
    setWindowTitle(u"Копирование блюда"_s);
    m_groups->setColumns({{u"Name"_s, u"Наименование группы блюд"_s}});
    m_groups->setReadOnly(true);
    m_groupGrid->setCtrlDeleteBlocked(true);
    m_groupGrid->setInsertBlocked(true);

    QDialogButtonBox* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u"Введите наименование нового блюда"_s, this));
    layout->addWidget(m_name);
    layout->addWidget(new QLabel(u"Выбор группы блюд для нового блюда"_s, this));
    layout->addWidget(m_groupGrid, 1);
    layout->addWidget(buttons);
    resize(420, 420);
}

bool CopyDishDialog::openViews()
{
    if (!m_groups->open()) {
        m_lastError = m_groups->lastError();
        return false;
    }
    m_groupGrid->setTableModel(m_groups);
    // The copy goes to the dish's own group unless another is chosen.
    m_groups->locateKey(m_currentGroup);
    return true;
}

QString CopyDishDialog::newName() const
{
    return m_name->text();
}

QVariant CopyDishDialog::targetGroup() const
{
    return m_groups->currentKey();
}
