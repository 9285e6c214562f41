#include "FileDialogPrompt.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

QString FileDialogPrompt::askSaveFile(const QString& caption, const QString& suggested,
                                      const QStringList& filters)
{
    QFileDialog dialog(m_parent, caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString path = dialog.selectedFiles().constFirst();
    // The dialog adds one default suffix at most; the chosen filter's is the one meant.
    const QRegularExpressionMatch suffix =
        QRegularExpression(u"\\*\\.(\\w+)"_s).match(dialog.selectedNameFilter());
    if (QFileInfo(path).suffix().isEmpty() && suffix.hasMatch())
        path += u'.' + suffix.captured(1);
    return path;
}
