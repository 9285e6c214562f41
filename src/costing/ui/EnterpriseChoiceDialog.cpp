#include "EnterpriseChoiceDialog.h"

#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

EnterpriseChoiceDialog::EnterpriseChoiceDialog(QSqlDatabase db, UserPrompts* prompts, QWidget* parent)
    : QDialog(parent),
      m_partners(new TableModel(db, {QStringLiteral("Partner"), {QStringLiteral("Name")}}, this)),
      m_grid(new DataGrid(prompts, this)),
      m_cost(new QRadioButton(QStringLiteral("Цены склада по себестоимости"))),
      m_selling(new QRadioButton(QStringLiteral("Цены склада отпускные")))
{
    setWindowTitle(QStringLiteral("Выбор названия предприятия"));
    m_partners->setColumns({{QStringLiteral("Name"), QStringLiteral("Наименование")}});
    // Only a choice: partners are edited on their own page.
    m_partners->setReadOnly(true);
    m_grid->setCtrlDeleteBlocked(true);
    m_grid->setInsertBlocked(true);

    auto* prices = new QGroupBox(QStringLiteral("Выбор цен склада для печати"), this);
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
    return m_partners->currentValue(QStringLiteral("Name")).toString();
}

CardPrices EnterpriseChoiceDialog::prices() const
{
    return m_cost->isChecked() ? CardPrices::Cost : CardPrices::Selling;
}
