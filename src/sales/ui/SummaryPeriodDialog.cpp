#include "SummaryPeriodDialog.h"

#include "store/ui/DateEdit.h"

#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SummaryPeriodDialog::SummaryPeriodDialog(QWidget* parent)
    : QDialog(parent), m_start(new DateEdit(this)), m_end(new DateEdit(this))
{
    setWindowTitle(u"Печать сводного отчёта"_s);
    auto* grid = new QGridLayout;
    int column = 0;
    for (const auto& [text, edit] : {std::pair{u"Начало расчётного\nпериода"_s, m_start},
                                     std::pair{u"Конец расчётного\nпериода"_s, m_end}}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(u"dd.MM.yyyy"_s);
        auto* label = new QLabel(text, this);
        label->setBuddy(edit);
        grid->addWidget(label, 0, column);
        grid->addWidget(edit, 1, column++);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(okCancelButtons(this));
}

void SummaryPeriodDialog::setDates(const QDate& day)
{
    m_start->setDate(day);
    m_end->setDate(day);
    m_start->setFocus();
}

QDate SummaryPeriodDialog::start() const
{
    return m_start->date();
}

QDate SummaryPeriodDialog::end() const
{
    return m_end->date();
}
