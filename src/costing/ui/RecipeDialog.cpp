#include "RecipeDialog.h"

#include "store/TableModel.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

RecipeDialog::RecipeDialog(TableModel* dishes, QWidget* parent)
    : QDialog(parent), m_dishes(dishes), m_text(new QPlainTextEdit(this)),
      m_print(new QPushButton(u"Печать рецепта"_s, this)), m_exit(new QPushButton(u"Выход"_s, this))
{
    setWindowTitle(u"Рецепт блюда"_s);
    m_text->setPlainText(m_dishes->currentValue(u"Recept"_s).toString());
    m_text->installEventFilter(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_print);
    buttons->addStretch();
    buttons->addWidget(m_exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_print, &QPushButton::clicked, this, [this] {
        save();
        Q_EMIT printRequested(shownLines());
    });
    resize(600, 450);
}

bool RecipeDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text && event->type() == QEvent::FocusOut)
        save();
    return QDialog::eventFilter(watched, event);
}

void RecipeDialog::save()
{
    const QString text = m_text->toPlainText();
    if (m_dishes->currentRow() < 0 || text == m_dishes->currentValue(u"Recept"_s).toString())
        return;
    if (m_dishes->setFieldValue(u"Recept"_s, text))
        m_dishes->post();
}

void RecipeDialog::done(int result)
{
    save();
    QDialog::done(result);
}

QStringList RecipeDialog::shownLines() const
{
    QStringList lines;
    QTextDocument* document = m_text->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        // The text box lays out only what it has shown; asking for a block's size lays it out.
        document->documentLayout()->blockBoundingRect(block);
        const QTextLayout* layout = block.layout();
        if (!layout || layout->lineCount() == 0) {
            lines << block.text();
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines << block.text().mid(line.textStart(), line.textLength());
        }
    }
    return lines;
}
