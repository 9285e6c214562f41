#include "ContextSearchBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>

using namespace Qt::StringLiterals;

ContextSearchBar::ContextSearchBar(QWidget* parent)
    : QWidget(parent), m_check(new QCheckBox(u"Контекстный поиск"_s, this)), m_box(new QLineEdit(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_check);
    layout->addWidget(m_box, 1);
    m_box->setEnabled(false);
    paintSilver(m_box, true);
    m_box->installEventFilter(this);
    connect(m_check, &QCheckBox::toggled, this, [this](bool on) {
        m_box->setEnabled(on);
        paintSilver(m_box, !on);
        Q_EMIT toggled(on);
    });
}

bool ContextSearchBar::isOn() const
{
    return m_check->isChecked();
}

void ContextSearchBar::switchOff()
{
    m_check->setChecked(false);
}

void ContextSearchBar::paintSilver(QWidget* widget, bool silver)
{
    QPalette palette = widget->palette();
    const QColor base =
        silver ? QColor(0xC0, 0xC0, 0xC0) : QApplication::palette().color(QPalette::Active, QPalette::Base);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, base);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

bool ContextSearchBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_box && event->type() == QEvent::KeyRelease && m_check->isChecked())
        Q_EMIT searchTyped(m_box->text());
    return QWidget::eventFilter(watched, event);
}
