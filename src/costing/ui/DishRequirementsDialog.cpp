#include "DishRequirementsDialog.h"

#include "store/TableModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

DishRequirementsDialog::DishRequirementsDialog(TableModel* dishes, QWidget* parent)
    : QDialog(parent), m_dishes(dishes), m_serving(new QPlainTextEdit(this)),
      m_storage(new QPlainTextEdit(this))
{
    setWindowTitle(u"Подача и хранение"_s);
    auto* layout = new QVBoxLayout(this);
    for (const auto& [caption, box, field] :
         {std::tuple{u"Требования к оформлению, подаче и реализации"_s, m_serving, u"Serving"_s},
          std::tuple{u"Требования к хранению"_s, m_storage, u"Storage"_s}}) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        box->setPlainText(m_dishes->currentValue(field).toString());
        layout->addWidget(label);
        layout->addWidget(box, 1);
    }
    auto* exit = new QPushButton(u"Выход"_s, this);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(exit);
    layout->addLayout(buttons);
    resize(600, 450);
}

void DishRequirementsDialog::done(int result)
{
    // Both texts in one post; an unchanged text is not written.
    bool changed = false;
    for (const auto& [box, field] :
         {std::pair{m_serving, u"Serving"_s}, std::pair{m_storage, u"Storage"_s}}) {
        const QString text = box->toPlainText();
        if (m_dishes->currentRow() >= 0 && text != m_dishes->currentValue(field).toString())
            changed = m_dishes->setFieldValue(field, text) || changed;
    }
    if (changed)
        m_dishes->post();
    QDialog::done(result);
}
