#include "StockChoiceDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

CountedStart rememberedStart = CountedStart::Zero;

} // namespace

StockChoiceDialog::StockChoiceDialog(QWidget* parent)
    : QDialog(parent), m_zero(new QRadioButton(u"В колонку \"фактическое кол-во\" записать 0"_s)),
      m_balance(new QRadioButton(u"В колонку \"фактическое кол-во\" записать кол-во по документам"_s))
{
    setWindowTitle(u"Выбор"_s);
    // No close button in the title: the choice must be made.
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);
    auto* group = new QGroupBox(this);
    auto* choices = new QVBoxLayout(group);
    choices->addWidget(m_zero);
    choices->addWidget(m_balance);
    auto* label = new QLabel(
        u"В документе инвентаризации - 4 колонки,\n"
        "две по документам (остаток и цена на складе при переносе)\n"
        "и две фактические (посчитанное количество и цена, которые станут остатком и ценой).\n"
        "Записать 0 удобно, когда считают весь склад: незаполненные строки удаляет \"Удалить нулевые\".\n"
        "Записать кол-во по документам удобно, когда исправляют лишь несколько строк."_s,
        this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    buttons->button(QDialogButtonBox::Ok)->setToolTip(u"Взять выбранное и закрыть окно (Enter)"_s);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(label);
    layout->addWidget(buttons);
}

CountedStart StockChoiceDialog::choose()
{
    (rememberedStart == CountedStart::Zero ? m_zero : m_balance)->setChecked(true);
    exec();
    rememberedStart = m_balance->isChecked() ? CountedStart::Balance : CountedStart::Zero;
    return rememberedStart;
}
