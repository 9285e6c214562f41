#include "LineSearchDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QStandardItem* numberItem(double value, int decimals)
{
    auto* item = new QStandardItem(QLocale().toString(value, 'f', decimals));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

LineSearchDialog::LineSearchDialog(SalesDocuments documents, qlonglong document, QWidget* parent)
    : QDialog(parent), m_documents(std::move(documents)), m_document(document), m_search(new QLineEdit(this)),
      m_list(new QTableView(this)), m_model(new QStandardItemModel(this))
{
    setWindowTitle(u"Контекстный поиск"_s);
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    buttons->button(QDialogButtonBox::Ok)->setToolTip(u"Закрыть поиск"_s);
    connect(m_list, &QTableView::doubleClicked, this, &QDialog::accept);
    // Enter in the field takes the current line, as OK does.
    connect(m_search, &QLineEdit::returnPressed, this, &QDialog::accept);
    // Searched as the text changes, not on every key: the arrows move in the list and must stay there.
    connect(m_search, &QLineEdit::textChanged, this, &LineSearchDialog::search);
    m_search->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_search);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(720, 420);
}

void LineSearchDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    search();
    m_search->setFocus();
}

bool LineSearchDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Up and down in the field move in the list, so the keyboard alone can pick a line.
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QApplication::sendEvent(m_list, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void LineSearchDialog::search()
{
    QString error; // a failed read lists nothing, as a text that matches nothing would
    m_found = m_documents.findLines(m_document, m_search->text(), &error);
    m_model->clear();
    m_model->setHorizontalHeaderLabels(
        {u"Наименование"_s, u"Группа блюд"_s, u"Кол-во"_s, u"Цена одной порции"_s});
    for (const FoundSalesLine& line : std::as_const(m_found)) {
        m_model->appendRow({new QStandardItem(line.dish), new QStandardItem(line.group),
                            numberItem(line.portions, 3), numberItem(line.price, 2)});
    }
    QHeaderView* header = m_list->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    if (!m_found.isEmpty())
        m_list->selectRow(0);
}

qlonglong LineSearchDialog::chosenLine() const
{
    const int row = m_list->currentIndex().isValid() ? m_list->currentIndex().row() : 0;
    return row < m_found.size() ? m_found[row].line : 0;
}
