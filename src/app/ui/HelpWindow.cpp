#include "HelpWindow.h"

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_home(parent), m_text(new QTextBrowser(this))
{
    // The resource lives in a static library: nothing would pull it into the program otherwise.
    Q_INIT_RESOURCE(help);
    setWindowTitle(u"Справка"_s);
    m_text->setOpenExternalLinks(false);
    m_text->setSearchPaths({u":/help"_s});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    resize(640, 560);
}

QString HelpWindow::topicOf(const QWidget* page)
{
    return page ? QString::fromLatin1(page->metaObject()->className()) : u"index"_s;
}

void HelpWindow::showTopic(const QString& topic)
{
    // A window outside an open modal dialog takes no input; as the dialog's own window it does.
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* owner = modal && modal != this ? modal : m_home;
    if (owner != parentWidget()) {
        const QRect placed = geometry();
        setParent(owner, Qt::Window);
        setGeometry(placed);
    }
    m_text->setSource(QUrl(u"qrc:/help/%1.html"_s.arg(topic)));
    show();
    raise();
    activateWindow();
}

QString HelpWindow::heading() const
{
    return m_text->documentTitle();
}
