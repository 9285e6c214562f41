#pragma once

#include <QWidget>

class QTextBrowser;

// The program's own help: one short page for each page of the main window, kept as HTML in the
// program's resources (and installed beside the documentation). F1 shows the page being worked on.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The help file of a page, named after the page's class: "IngredientsPage" reads IngredientsPage.html.
    static QString topicOf(const QWidget* page);
    // Shows the topic, in front of a dialog that is open, so that it can be read and scrolled there.
    void showTopic(const QString& topic);
    // The heading of the help page shown.
    QString heading() const;

private:
    QWidget* m_home; // whose window it is while no dialog is open
    QTextBrowser* m_text;
};
