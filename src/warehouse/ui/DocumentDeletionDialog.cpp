#include "DocumentDeletionDialog.h"

#include "store/ui/DateEdit.h"

#include "store/ui/DialogButtons.h"
#include "store/UserPrompts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

bool rememberedPeriod = false;

} // namespace

DocumentDeletionDialog::DocumentDeletionDialog(UserPrompts* prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_current(new QRadioButton(u"Удаление текущего документа"_s)),
      m_period(new QRadioButton(u"Удаление документов за период"_s)),
      m_rollBack(new QCheckBox(u"Делать откат остатков на складе"_s, this)),
      m_warning(new QLabel(u"( ОСТОРОЖНО !, остатки на складе будут\nизменены, как-будто этого документа\n"
                           "никогда не существовало в природе !!! )"_s,
                           this)),
      m_dates(new QWidget(this)), m_from(new DateEdit(m_dates)), m_to(new DateEdit(m_dates))
{
    setWindowTitle(u"Удаление документов"_s);
    auto* group = new QGroupBox(this);
    auto* choices = new QVBoxLayout(group);
    choices->addWidget(m_current);
    choices->addWidget(m_period);
    for (QDateEdit* edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(u"dd.MM.yyyy"_s);
    }
    auto* dates = new QFormLayout(m_dates);
    dates->setContentsMargins(0, 0, 0, 0);
    dates->addRow(u"Начало периода"_s, m_from);
    dates->addRow(u"Конец периода"_s, m_to);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(m_rollBack);
    layout->addWidget(m_warning);
    layout->addWidget(m_dates);
    layout->addStretch();
    layout->addWidget(okCancelButtons(this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_period, &QRadioButton::toggled, this, &DocumentDeletionDialog::showPeriod);
    // toggled, not clicked: a keyboard or a screen reader's toggle action is asked the same question.
    connect(m_rollBack, &QCheckBox::toggled, this, [this](bool checked) {
        if (checked &&
            !m_prompts->confirmIrreversible(u"В Н И М А Н И Е !!!"_s,
                                            u"Вы уверены что хотите остатки на складе привести к состоянию "
                                            "предшествующему проводкам выбранных документов !!!"_s))
            m_rollBack->setChecked(false);
    });
}

void DocumentDeletionDialog::showPeriod()
{
    m_dates->setVisible(m_period->isChecked());
}

std::optional<DeletionChoice> DocumentDeletionDialog::choose(RollBack rollBack, const QDate& today)
{
    (rememberedPeriod ? m_period : m_current)->setChecked(true);
    showPeriod();
    m_rollBack->setChecked(false);
    m_rollBack->setVisible(rollBack == RollBack::Offered);
    m_warning->setVisible(rollBack == RollBack::Offered);
    m_from->setDate(today);
    m_to->setDate(today);
    (rememberedPeriod ? m_period : m_current)->setFocus();
    const bool accepted = exec() == QDialog::Accepted;
    rememberedPeriod = m_period->isChecked();
    if (!accepted)
        return std::nullopt;
    return DeletionChoice{m_period->isChecked(), m_from->date(), m_to->date(),
                          rollBack == RollBack::Offered && m_rollBack->isChecked()};
}
