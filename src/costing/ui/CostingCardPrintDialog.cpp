#include "CostingCardPrintDialog.h"

#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

CostingCardPrintDialog::CostingCardPrintDialog(QWidget* parent)
    : QDialog(parent), m_allGroups(new QRadioButton(u"Печать всех групп"_s)),
      m_chosenGroup(new QRadioButton(u"Печать выбранной группы"_s)),
      m_marked(new QRadioButton(u"Печать отмеченных"_s))
{
    setWindowTitle(u"Печать калькуляционных карт"_s);
    auto* choices = new QGroupBox(this);
    auto* choiceLayout = new QVBoxLayout(choices);
    for (QRadioButton* button : {m_allGroups, m_chosenGroup, m_marked})
        choiceLayout->addWidget(button);
    m_chosenGroup->setChecked(true);

    QDialogButtonBox* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(choices);
    layout->addWidget(new QLabel(u"Для того чтобы отметить калькуляционную карту для печати только\n"
                                 "отмеченых, поставьте любой символ в поле \"V\" калькуляционной "
                                 "карты"_s,
                                 this));
    layout->addWidget(buttons);
}

CardPrintScope CostingCardPrintDialog::scope() const
{
    if (m_allGroups->isChecked())
        return CardPrintScope::AllGroups;
    return m_marked->isChecked() ? CardPrintScope::MarkedDishes : CardPrintScope::ChosenGroup;
}
