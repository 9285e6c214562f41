#include "DatePromptDialog.h"

#include "store/ui/DateEdit.h"

#include "store/ui/DialogButtons.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

DatePromptDialog::DatePromptDialog(QWidget* parent)
    : QDialog(parent), m_date(new DateEdit(this)), m_panel(new QWidget(this)),
      m_underline(new QCheckBox(u"Подчеркнуть строки в меню"_s, this))
{
    setWindowTitle(u"Дата"_s);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(u"dd.MM.yyyy"_s);
    m_date->setDate(QDate::currentDate());
    auto* dateLabel = new QLabel(u"Введите дату"_s, this);
    dateLabel->setBuddy(m_date);

    for (QLineEdit*& text : m_texts)
        text = new QLineEdit(m_panel);
    const auto labelled = [this](PrintText which, const QString& caption) {
        auto* box = new QWidget(m_panel);
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* label = new QLabel(caption, box);
        label->setBuddy(m_texts[which]);
        layout->addWidget(label);
        layout->addWidget(m_texts[which]);
        return box;
    };
    auto* panelLayout = new QGridLayout(m_panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(labelled(NameHeading, u"Наименование"_s), 0, 0, 1, 2);
    panelLayout->addWidget(labelled(YieldHeading, u"Выход"_s), 1, 0);
    panelLayout->addWidget(labelled(PriceHeading, u"Цена"_s), 1, 1);
    panelLayout->addWidget(labelled(WholeWord, u"Целая часть"_s), 2, 0);
    panelLayout->addWidget(labelled(FractionWord, u"Дробная часть"_s), 2, 1);
    m_texts[NameHeading]->setMinimumWidth(280);
    m_underline->setChecked(true);

    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dateLabel);
    layout->addWidget(m_date);
    layout->addWidget(m_panel);
    layout->addWidget(m_underline);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setPrintOptionsVisible(false);
}

QDate DatePromptDialog::date() const
{
    return m_date->date();
}

void DatePromptDialog::setDate(const QDate& date)
{
    m_date->setDate(date);
}

void DatePromptDialog::setPrintOptionsVisible(bool visible)
{
    m_panel->setVisible(visible);
    m_underline->setVisible(visible);
}

bool DatePromptDialog::printOptionsVisible() const
{
    return !m_panel->isHidden();
}

QStringList DatePromptDialog::printTexts() const
{
    QStringList texts;
    for (const QLineEdit* text : m_texts)
        texts << text->text();
    return texts;
}

void DatePromptDialog::setPrintTexts(const QStringList& texts)
{
    for (int i = 0; i < PrintTextCount; ++i)
        m_texts[i]->setText(texts.value(i));
}

bool DatePromptDialog::underline() const
{
    return m_underline->isChecked();
}

void DatePromptDialog::setUnderline(bool on)
{
    m_underline->setChecked(on);
}

std::optional<QDate> DialogDatePrompt::askDate(const QDate& initial)
{
    DatePromptDialog dialog(m_parent);
    dialog.setDate(initial);
    dialog.dateEdit()->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.date();
}
