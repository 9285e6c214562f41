#include "DialogButtons.h"

#include "store/ui/DateEdit.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

QDialogButtonBox* okCancelButtons(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(u"OK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"Отмена"_s);
    buttons->button(QDialogButtonBox::Ok)->setToolTip(u"Принять и закрыть окно (Enter)"_s);
    buttons->button(QDialogButtonBox::Cancel)->setToolTip(u"Закрыть окно, ничего не меняя (Escape)"_s);
    // A date typed that names no day keeps the dialog open with the grid's message.
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog] {
        if (DateEdit::datesAccepted(dialog))
            dialog->accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
