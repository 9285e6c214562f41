#include "CalculationCardDialog.h"

#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

CalculationCardDialog::CalculationCardDialog(QWidget* parent)
    : QDialog(parent), m_dish(new QRadioButton(u"Текущее блюдо"_s)),
      m_marked(new QRadioButton(u"Отмеченные блюда"_s)), m_group(new QRadioButton(u"Выбранная группа"_s))
{
    setWindowTitle(u"Печать калькуляционных карточек (ОП-1)"_s);
    auto* choices = new QGroupBox(this);
    auto* choiceLayout = new QVBoxLayout(choices);
    for (QRadioButton* button : {m_dish, m_marked, m_group})
        choiceLayout->addWidget(button);
    m_dish->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(choices);
    layout->addWidget(okCancelButtons(this));
}

CardPrintScope CalculationCardDialog::scope() const
{
    if (m_dish->isChecked())
        return CardPrintScope::OneDish;
    return m_marked->isChecked() ? CardPrintScope::MarkedDishes : CardPrintScope::ChosenGroup;
}
