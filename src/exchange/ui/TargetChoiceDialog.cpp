#include "TargetChoiceDialog.h"

#include "store/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
PointOfSale rememberedTarget = PointOfSale::Bufeton;
} // namespace

const QString TargetChoiceDialog::exportCaption = u"Выбор программы, в которую осуществляется экспорт."_s;
const QString TargetChoiceDialog::importCaption = u"Выбор программы, из которой осуществляется импорт."_s;

TargetChoiceDialog::TargetChoiceDialog(const QString& caption, QWidget* parent)
    : QDialog(parent), m_bufeton(new QRadioButton(u"Буфетон"_s, this)),
      m_torg(new QRadioButton(u"Torg Service"_s, this))
{
    setWindowTitle(caption);
    auto* box = new QGroupBox(this);
    auto* choices = new QVBoxLayout(box);
    choices->addWidget(m_bufeton);
    choices->addWidget(m_torg);
    (rememberedTarget == PointOfSale::Bufeton ? m_bufeton : m_torg)->setChecked(true);

    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(buttons);
    setMinimumWidth(440);
}

PointOfSale TargetChoiceDialog::target() const
{
    return m_torg->isChecked() ? PointOfSale::TorgService : PointOfSale::Bufeton;
}

void TargetChoiceDialog::accept()
{
    rememberedTarget = target();
    QDialog::accept();
}

std::optional<PointOfSale> TargetChoiceDialog::ask(const QString& caption, QWidget* parent)
{
    TargetChoiceDialog dialog(caption, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.target();
}
