#include "MessageBoxPrompts.h"

#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

int show(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
         bool withCancel, UserPrompts::Default byDefault = UserPrompts::Default::Ok)
{
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    QPushButton* ok = box.addButton(u"OK"_s, QMessageBox::AcceptRole);
    QPushButton* cancel = withCancel ? box.addButton(u"Отмена"_s, QMessageBox::RejectRole) : nullptr;
    box.setDefaultButton(cancel && byDefault == UserPrompts::Default::Cancel ? cancel : ok);
    box.exec();
    return box.clickedButton() == ok ? 1 : 0;
}

} // namespace

bool MessageBoxPrompts::confirm(const QString& caption, const QString& text, Default byDefault)
{
    return show(m_parent, QMessageBox::Question, caption, text, true, byDefault) == 1;
}

void MessageBoxPrompts::inform(const QString& caption, const QString& text)
{
    show(m_parent, QMessageBox::Information, caption, text, false);
}

int MessageBoxPrompts::choose(const QString& caption, const QString& text, const QStringList& choices)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, m_parent);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices) {
        // Escape and the window's close button answer "Отмена" where it is one of the choices.
        const bool cancel = choice == u"Отмена"_s;
        buttons << box.addButton(choice, cancel ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        if (cancel)
            box.setEscapeButton(buttons.last());
    }
    if (!buttons.isEmpty())
        box.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

void MessageBoxPrompts::warn(const QString& caption, const QString& text)
{
    show(m_parent, QMessageBox::Warning, caption, text, false);
}
