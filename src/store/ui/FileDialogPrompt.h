#pragma once

#include "store/UserPrompts.h"

class QWidget;

// The save question of a window: Qt's file dialog.
class FileDialogPrompt : public SaveFilePrompt
{
public:
    explicit FileDialogPrompt(QWidget* parent = nullptr) : m_parent(parent) {}

    QString askSaveFile(const QString& caption, const QString& suggested,
                        const QStringList& filters) override;

private:
    QWidget* m_parent;
};
