#include "EnterpriseChoiceDialog.h"

#include "reference/ReferenceViews.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

EnterpriseChoiceDialog::EnterpriseChoiceDialog(QSqlDatabase db, UserPrompts* prompts, QWidget* parent)
    : QDialog(parent), m_partners(new TableModel(db, referenceviews::partners(), this)),
      m_grid(new DataGrid(prompts, this)), m_cost(new QRadioButton(u"Цены склада по себестоимости"_s)),
      m_selling(new QRadioButton(u"Цены склада отпускные"_s))
{
    setWindowTitle(u"Выбор названия предприятия"_s);
    m_partners->setColumns({{u"Name"_s, u"Наименование"_s}});
    // Only a choice: partners are edited on their own page.
    m_partners->setReadOnly(true);
    m_grid->setCtrlDeleteBlocked(true);
    m_grid->setInsertBlocked(true);

    auto* prices = new QGroupBox(u"Выбор цен склада для печати"_s, this);
    auto* pricesLayout = new QVBoxLayout(prices);
    pricesLayout->addWidget(m_cost);
    pricesLayout->addWidget(m_selling);
    m_selling->setChecked(true);

    QDialogButtonBox* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(prices);
    layout->addWidget(buttons);
    resize(420, 420);
}

bool EnterpriseChoiceDialog::openViews()
{
    if (!m_partners->open()) {
        m_lastError = m_partners->lastError();
        return false;
    }
    m_grid->setTableModel(m_partners);
    return true;
}

void EnterpriseChoiceDialog::closeViews()
{
    m_partners->close();
}

QString EnterpriseChoiceDialog::enterpriseName() const
{
    return m_partners->currentValue(u"Name"_s).toString();
}

CardPrices EnterpriseChoiceDialog::prices() const
{
    return m_cost->isChecked() ? CardPrices::Cost : CardPrices::Selling;
}
