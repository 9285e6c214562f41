#include "CalculationCardDialog.h"

#include "store/ui/DialogButtons.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

CalculationCardDialog::CalculationCardDialog(QWidget* parent)
    : QDialog(parent), m_dish(new QRadioButton(u"Текущее блюдо"_s)),
      m_marked(new QRadioButton(u"Отмеченные блюда"_s)), m_group(new QRadioButton(u"Выбранная группа"_s)),
      m_day(new QDateEdit), m_addDay(new QPushButton(u"Добавить дату"_s)),
      m_removeDay(new QPushButton(u"Убрать дату"_s)), m_days(new QListWidget)
{
    setWindowTitle(u"Печать калькуляционных карточек (ОП-1)"_s);
    auto* choices = new QGroupBox(this);
    auto* choiceLayout = new QVBoxLayout(choices);
    for (QRadioButton* button : {m_dish, m_marked, m_group})
        choiceLayout->addWidget(button);
    m_dish->setChecked(true);

    auto* dates = new QGroupBox(u"Калькуляции на даты"_s, this);
    auto* dateLayout = new QVBoxLayout(dates);
    auto* note = new QLabel(u"Каждая дата — отдельная калькуляция по ценам ингредиентов на эту дату. "
                            u"Без дат — одна калькуляция на сегодня по нынешним ценам."_s);
    note->setWordWrap(true);
    dateLayout->addWidget(note);
    auto* addRow = new QHBoxLayout;
    m_day->setCalendarPopup(true);
    m_day->setDisplayFormat(u"dd.MM.yyyy"_s);
    addRow->addWidget(m_day);
    addRow->addWidget(m_addDay);
    addRow->addWidget(m_removeDay);
    dateLayout->addLayout(addRow);
    m_days->setMaximumHeight(100);
    dateLayout->addWidget(m_days);
    connect(m_day, &QDateEdit::userDateChanged, this, [this] { m_dayPicked = true; });
    connect(m_addDay, &QPushButton::clicked, this, &CalculationCardDialog::addDay);
    connect(m_removeDay, &QPushButton::clicked, this, [this] { delete m_days->currentItem(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(choices);
    layout->addWidget(dates);
    layout->addWidget(okCancelButtons(this));
}

CardPrintScope CalculationCardDialog::scope() const
{
    if (m_dish->isChecked())
        return CardPrintScope::OneDish;
    return m_marked->isChecked() ? CardPrintScope::MarkedDishes : CardPrintScope::ChosenGroup;
}

std::vector<QDate> CalculationCardDialog::days() const
{
    std::vector<QDate> days;
    for (int row = 0; row < m_days->count(); ++row)
        days.push_back(m_days->item(row)->data(Qt::UserRole).toDate());
    return days;
}

void CalculationCardDialog::offerDay(const QDate& day)
{
    if (!m_dayPicked) {
        const QSignalBlocker quiet(m_day);
        m_day->setDate(day);
    }
}

void CalculationCardDialog::addDay()
{
    const QDate day = m_day->date();
    for (const QDate& listed : days()) {
        if (listed == day)
            return;
    }
    auto* item = new QListWidgetItem(day.toString(u"dd.MM.yyyy"_s), m_days);
    item->setData(Qt::UserRole, day);
    m_days->setCurrentItem(item);
}
