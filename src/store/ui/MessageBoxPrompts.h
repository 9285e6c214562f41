#pragma once

#include "store/UserPrompts.h"

class QWidget;

// The prompts of a window: Qt message boxes with the given caption and Russian buttons.
class MessageBoxPrompts : public UserPrompts
{
public:
    explicit MessageBoxPrompts(QWidget* parent = nullptr) : m_parent(parent) {}

    using UserPrompts::confirm;
    bool confirm(const QString& caption, const QString& text, Default byDefault) override;
    void inform(const QString& caption, const QString& text) override;
    void warn(const QString& caption, const QString& text) override;
    int choose(const QString& caption, const QString& text, const QStringList& choices) override;

private:
    QWidget* m_parent;
};
