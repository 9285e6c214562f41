#include "PriceRuleDialog.h"

#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The choice lives as long as the program.
PriceRule rememberedRule = PriceRule::Average;

} // namespace

PriceRuleDialog::PriceRuleDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u"Расчёт цен"_s);
    auto* group = new QGroupBox(this);
    auto* choices = new QVBoxLayout(group);
    const QString texts[] = {u"Расчитать среднюю цену"_s, u"Поставить новую цену"_s,
                             u"Оставить старую цену"_s};
    for (int i = 0; i < 3; ++i) {
        m_buttons[i] = new QRadioButton(texts[i], group);
        choices->addWidget(m_buttons[i]);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(okCancelButtons(this));
}

QRadioButton* PriceRuleDialog::button(PriceRule rule) const
{
    return m_buttons[int(rule)];
}

std::optional<PriceRule> PriceRuleDialog::choose()
{
    button(rememberedRule)->setChecked(true);
    button(rememberedRule)->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    for (const PriceRule rule : {PriceRule::Average, PriceRule::New, PriceRule::Keep}) {
        if (button(rule)->isChecked())
            rememberedRule = rule;
    }
    return rememberedRule;
}
