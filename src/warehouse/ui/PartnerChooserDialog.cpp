#include "PartnerChooserDialog.h"

#include "store/ui/DialogButtons.h"
#include "store/UserPrompts.h"
#include "warehouse/StockDocuments.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PartnerChooserDialog::PartnerChooserDialog(QSqlDatabase db, UserPrompts* prompts, QWidget* parent)
    : QDialog(parent), m_db(std::move(db)), m_prompts(prompts), m_list(new QTableWidget(0, 1, this)),
      m_search(new QLineEdit(this))
{
    setWindowTitle(u"Выбор партнёра"_s);
    m_list->setHorizontalHeaderLabels({u"Наименование"_s});
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->verticalHeader()->hide();
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* label = new QLabel(u"Поиск по контексту"_s, this);
    label->setBuddy(m_search);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(label);
    layout->addWidget(m_search);
    layout->addWidget(okCancelButtons(this));
    resize(420, 480);
    connect(m_search, &QLineEdit::textChanged, this, &PartnerChooserDialog::search);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
}

void PartnerChooserDialog::search()
{
    QString error;
    const QList<PartnerRow> rows = StockDocuments(m_db, *m_prompts).partners(m_search->text(), &error);
    if (!error.isEmpty())
        m_prompts->warn(u"Ошибка"_s, error);
    m_list->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        auto* item = new QTableWidgetItem(rows[i].name);
        item->setData(Qt::UserRole, rows[i].key);
        m_list->setItem(i, 0, item);
    }
    if (!rows.isEmpty())
        m_list->setCurrentCell(0, 0);
}

std::optional<qlonglong> PartnerChooserDialog::choose()
{
    m_search->clear();
    search();
    m_list->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    // A search that matched nothing still answers OK: with no partner at all.
    const QTableWidgetItem* item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toLongLong() : 0;
}
