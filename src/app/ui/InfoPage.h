#pragma once

#include "store/ui/Page.h"

class QTextBrowser;

// "Информация": what the program does and where its data lives.
class InfoPage : public Page
{
    Q_OBJECT
public:
    explicit InfoPage(QWidget* parent = nullptr);

    // Names the kitchen's data directory, wherever it was found.
    void setDataDirectory(const QString& dataDir);
    QString text() const;

private:
    QTextBrowser* m_text;
};
