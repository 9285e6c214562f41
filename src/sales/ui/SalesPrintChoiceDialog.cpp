#include "SalesPrintChoiceDialog.h"

#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SalesPrintChoiceDialog::SalesPrintChoiceDialog(QWidget* parent)
    : QDialog(parent), m_tables(new QRadioButton(u"Печать в виде таблиц"_s)),
      m_cross(new QRadioButton(u"Печать перекрёстной таблицы"_s))
{
    setWindowTitle(u"Печать таблиц"_s);
    auto* choices = new QGroupBox(this);
    auto* choiceLayout = new QVBoxLayout(choices);
    choiceLayout->addWidget(m_tables);
    choiceLayout->addWidget(m_cross);
    m_tables->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(choices);
    layout->addWidget(okCancelButtons(this));
}

bool SalesPrintChoiceDialog::crossTable() const
{
    return m_cross->isChecked();
}
