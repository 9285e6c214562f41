#include "CostingCardPrintDialog.h"

#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CostingCardPrintDialog::CostingCardPrintDialog(QWidget* parent)
    : QDialog(parent), m_allGroups(new QRadioButton(QStringLiteral("Печать всех групп"))),
      m_chosenGroup(new QRadioButton(QStringLiteral("Печать выбранной группы"))),
      m_marked(new QRadioButton(QStringLiteral("Печать отмеченных")))
{
    setWindowTitle(QStringLiteral("Печать калькуляционных карт"));
    auto* choices = new QGroupBox(this);
    auto* choiceLayout = new QVBoxLayout(choices);
    for (QRadioButton* button : {m_allGroups, m_chosenGroup, m_marked})
        choiceLayout->addWidget(button);
    m_chosenGroup->setChecked(true);

    QDialogButtonBox* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(choices);
    layout->addWidget(
        new QLabel(QStringLiteral("Для того чтобы отметить калькуляционную карту для печати только\n"
                                  "отмеченых, поставьте любой символ в поле \"V\" калькуляционной "
                                  "карты"),
                   this));
    layout->addWidget(buttons);
}

CardPrintScope CostingCardPrintDialog::scope() const
{
    if (m_allGroups->isChecked())
        return CardPrintScope::AllGroups;
    return m_marked->isChecked() ? CardPrintScope::MarkedDishes : CardPrintScope::ChosenGroup;
}
