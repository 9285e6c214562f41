#include "TurnoverDialog.h"

#include "store/ui/DateEdit.h"

#include "store/ui/DialogButtons.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TurnoverDialog::TurnoverDialog(QWidget* parent)
    : QDialog(parent), m_scopes{new QRadioButton(u"За ингредиент"_s),
                                new QRadioButton(u"За группу ингредиентов"_s),
                                new QRadioButton(u"За все группы"_s)},
      m_short(new QCheckBox(u"Сокращенный вариант"_s, this)), m_start(new DateEdit(this)),
      m_end(new DateEdit(this))
{
    setWindowTitle(u"Печать оборотной ведомости"_s);
    auto* scopes = new QGroupBox(this);
    auto* scopeLayout = new QVBoxLayout(scopes);
    for (QRadioButton* button : m_scopes)
        scopeLayout->addWidget(button);
    m_scopes[0]->setChecked(true);
    m_short->setChecked(true);
    auto* dates = new QFormLayout;
    for (QDateEdit* edit : {m_start, m_end}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(u"dd.MM.yyyy"_s);
    }
    dates->addRow(u"Начало периода"_s, m_start);
    dates->addRow(u"Конец периода"_s, m_end);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scopes);
    layout->addWidget(m_short);
    layout->addLayout(dates);
    layout->addWidget(okCancelButtons(this));
}

void TurnoverDialog::setDates(const QDate& day)
{
    m_start->setDate(day);
    m_end->setDate(day);
}

QRadioButton* TurnoverDialog::scopeButton(TurnoverScope scope) const
{
    return m_scopes[static_cast<int>(scope)];
}

TurnoverOptions TurnoverDialog::options() const
{
    TurnoverOptions options;
    for (TurnoverScope scope : {TurnoverScope::Ingredient, TurnoverScope::Group, TurnoverScope::AllGroups}) {
        if (scopeButton(scope)->isChecked())
            options.scope = scope;
    }
    options.shortVariant = m_short->isChecked();
    options.start = m_start->date();
    options.end = m_end->date();
    return options;
}
