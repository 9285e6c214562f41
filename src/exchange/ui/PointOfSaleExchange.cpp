#include "PointOfSaleExchange.h"
#include "store/WholeFile.h"

#include "exchange/MenuTransfer.h"
#include "exchange/SalesReceipt.h"
#include "store/UserPrompts.h"
#include "TargetChoiceDialog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace pointofsale {

namespace {

QString askFile(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter, const QString& suffix,
                const QString& preset = {})
{
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    if (!preset.isEmpty())
        dialog.selectFile(preset);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void transferMenu(QWidget* parent, QSqlDatabase db, UserPrompts& prompts, const QVariant& menu)
{
    if (menu.isNull())
        return;
    const auto target = TargetChoiceDialog::ask(TargetChoiceDialog::exportCaption, parent);
    if (!target)
        return;
    MenuTransfer transfer(db, prompts);
    const bool bufeton = *target == PointOfSale::Bufeton;
    if (bufeton && !transfer.mayWriteMenuFile(menu))
        return;
    const QString file =
        bufeton ? askFile(parent, QFileDialog::AcceptSave, u"Файлы меню (*.mnu)"_s, menuFileSuffix(*target))
                : askFile(parent, QFileDialog::AcceptSave, u"Таблицы *.dbf (*.dbf)"_s,
                          menuFileSuffix(*target), u"Products.dbf"_s);
    if (!file.isEmpty())
        transfer.write(*target, menu, file, QDateTime::currentDateTime(), QLocale().decimalPoint().at(0));
}

std::optional<qlonglong> receiveSales(QWidget* parent, QSqlDatabase db, UserPrompts& prompts)
{
    const auto target = TargetChoiceDialog::ask(TargetChoiceDialog::importCaption, parent);
    if (!target)
        return std::nullopt;
    const QString path = askFile(parent, QFileDialog::AcceptOpen,
                                 *target == PointOfSale::TorgService ? u"Таблицы dbf (*.dbf)"_s
                                                                     : u"Файлы реализации (*.rea)"_s,
                                 salesFileSuffix(*target));
    if (path.isEmpty())
        return std::nullopt;
    // The chosen file is only read: no copy or temporary file is made beside it.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        prompts.warn(u"Приём реализации"_s, u"Не удалось открыть файл \"%1\": %2"_s.arg(
                                                QDir::toNativeSeparators(path), readErrorText(path)));
        return std::nullopt;
    }
    return SalesReceipt(db, prompts).receive(*target, file);
}

} // namespace pointofsale
