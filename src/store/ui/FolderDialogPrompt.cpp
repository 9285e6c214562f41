#include "FolderDialogPrompt.h"

#include <QFileDialog>

QString FolderDialogPrompt::askFolder(const QString& caption, const QString& start)
{
    return QFileDialog::getExistingDirectory(m_parent, caption, start);
}
