#pragma once

#include "store/UserPrompts.h"

class QWidget;

// The folder question of a window: Qt's folder dialog.
class FolderDialogPrompt : public FolderPrompt
{
public:
    explicit FolderDialogPrompt(QWidget* parent = nullptr) : m_parent(parent) {}

    QString askFolder(const QString& caption, const QString& start) override;

private:
    QWidget* m_parent;
};
