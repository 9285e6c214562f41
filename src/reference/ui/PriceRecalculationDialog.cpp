#include "PriceRecalculationDialog.h"

#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PriceRecalculationDialog::PriceRecalculationDialog(QWidget* parent)
    : QDialog(parent), m_percent(new QSpinBox(this))
{
    setWindowTitle(u"Пересчет цен"_s);
    auto* scopeGroup = new QGroupBox(u"Область пересчёта"_s, this);
    auto* scopeLayout = new QVBoxLayout(scopeGroup);
    const QStringList scopes = {u"Ингредиент"_s, u"Группа ингредиентов"_s, u"Все ингредиенты"_s};
    for (int i = 0; i < 3; ++i) {
        m_scope[i] = new QRadioButton(scopes[i], scopeGroup);
        scopeLayout->addWidget(m_scope[i]);
    }
    m_scope[0]->setChecked(true);

    auto* actionGroup = new QGroupBox(u"Выбор действия"_s, this);
    auto* actionLayout = new QVBoxLayout(actionGroup);
    const QStringList actions = {u"Повысить цену"_s, u"Понизить цену"_s};
    for (int i = 0; i < 2; ++i) {
        m_action[i] = new QRadioButton(actions[i], actionGroup);
        actionLayout->addWidget(m_action[i]);
    }
    m_action[0]->setChecked(true);

    m_percent->setRange(0, 100);
    m_percent->setSingleStep(1);
    m_percent->setValue(0);
    // The counter shows its value once, as "N%".
    m_percent->setSuffix(u"%"_s);
    QFont bold = m_percent->font();
    bold.setBold(true);
    m_percent->setFont(bold);

    auto* percentLayout = new QHBoxLayout;
    percentLayout->addWidget(m_percent);
    percentLayout->addStretch();

    QDialogButtonBox* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    groups->addWidget(scopeGroup);
    groups->addWidget(actionGroup);
    layout->addLayout(groups);
    layout->addLayout(percentLayout);
    layout->addWidget(buttons);
}

PriceRecalculation::Settings PriceRecalculationDialog::settings() const
{
    PriceRecalculation::Settings settings;
    settings.scope = m_scope[2]->isChecked()   ? PriceRecalculation::Scope::All
                     : m_scope[1]->isChecked() ? PriceRecalculation::Scope::Group
                                               : PriceRecalculation::Scope::Ingredient;
    settings.action =
        m_action[1]->isChecked() ? PriceRecalculation::Action::Lower : PriceRecalculation::Action::Raise;
    settings.percent = m_percent->value();
    return settings;
}
