#include "KitchenChoiceDialog.h"

#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

KitchenChoiceDialog::KitchenChoiceDialog(const RecentKitchen& found, const QList<RecentKitchen>& recent,
                                         QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(u"Выбор кухни"_s);
    m_kitchens.append(found);
    for (const RecentKitchen& kitchen : recent) {
        if (!m_kitchens.contains(kitchen))
            m_kitchens.append(kitchen);
    }
    for (const RecentKitchen& kitchen : std::as_const(m_kitchens))
        m_list->addItem(kitchen.label());
    m_list->item(0)->setText(m_list->item(0)->text() + u" (по умолчанию)"_s);
    // The last kitchen opened is the likeliest to be wanted again.
    m_list->setCurrentRow(recent.isEmpty() ? 0 : int(m_kitchens.indexOf(recent.first())));
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* label = new QLabel(u"Недавние кухни:"_s, this);
    label->setBuddy(m_list);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(okCancelButtons(this));
    resize(520, 300);
}

bool KitchenChoiceDialog::worthAsking(const RecentKitchen& found, const QList<RecentKitchen>& recent)
{
    return std::any_of(recent.cbegin(), recent.cend(),
                       [&found](const RecentKitchen& k) { return k != found; });
}

std::optional<RecentKitchen> KitchenChoiceDialog::chosen() const
{
    const int row = m_list->currentRow();
    if (row < 0)
        return std::nullopt;
    return m_kitchens[row];
}
