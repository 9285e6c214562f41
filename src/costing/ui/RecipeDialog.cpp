#include "RecipeDialog.h"

#include "store/TableModel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

RecipeDialog::RecipeDialog(TableModel* dishes, QWidget* parent)
    : QDialog(parent), m_dishes(dishes), m_text(new QPlainTextEdit(this)),
      m_print(new QPushButton(QStringLiteral("Печать рецепта"), this)),
      m_exit(new QPushButton(QStringLiteral("Выход"), this))
{
    setWindowTitle(QStringLiteral("Рецепт блюда"));
    m_text->setPlainText(m_dishes->currentValue(QStringLiteral("Recept")).toString());
    m_text->installEventFilter(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_print);
    buttons->addStretch();
    buttons->addWidget(m_exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::accept);
    resize(600, 450);
}

bool RecipeDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text && event->type() == QEvent::FocusOut)
        save();
    return QDialog::eventFilter(watched, event);
}

void RecipeDialog::save()
{
    const QString text = m_text->toPlainText();
    if (m_dishes->currentRow() < 0 || text == m_dishes->currentValue(QStringLiteral("Recept")).toString())
        return;
    if (m_dishes->setFieldValue(QStringLiteral("Recept"), text))
        m_dishes->post();
}

void RecipeDialog::done(int result)
{
    save();
    QDialog::done(result);
}
