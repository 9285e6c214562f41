#include "RepricingPreviewDialog.h"

#include "store/ui/WorkerRun.h"
#include "store/UserPrompts.h"

#include <QBrush>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

enum Column
{
    KindColumn,
    NameColumn,
    GroupColumn,
    OldCostColumn,
    NewCostColumn,
    PriceColumn,
    OldShareColumn,
    NewShareColumn,
    MarkColumn,
    ColumnCount
};

std::optional<double> percent(const std::optional<double>& share)
{
    return share ? std::optional<double>(*share * 100) : std::nullopt;
}

// Table items sort by their number, not by their text.
class NumberItem : public QTableWidgetItem
{
public:
    bool operator<(const QTableWidgetItem& other) const override
    {
        return data(Qt::EditRole).toDouble() < other.data(Qt::EditRole).toDouble();
    }
};

} // namespace

RepricingPreviewDialog::RepricingPreviewDialog(RepricingPreviewResult preview, QWidget* parent)
    : QDialog(parent), m_preview(std::move(preview)), m_summary(new QLabel(this)),
      m_threshold(new QSpinBox(this)), m_table(new QTableWidget(this)),
      m_apply(new QPushButton(u"Применить"_s, this))
{
    setWindowTitle(u"Пересчёт цен: что изменится"_s);
    m_summary->setWordWrap(true);
    m_threshold->setRange(1, 100);
    m_threshold->setSuffix(u" %"_s);
    m_threshold->setValue(qRound(RepricingPreview::defaultThreshold * 100));
    m_threshold->setToolTip(u"Доля себестоимости в цене порции, выше которой блюдо отмечается"_s);
    m_apply->setToolTip(u"Пересчитать цены ингредиентов, как показано"_s);
    auto* cancel = new QPushButton(u"Отмена"_s, this);
    cancel->setDefault(true);

    m_table->setColumnCount(ColumnCount);
    m_table->setHorizontalHeaderLabels({u"Вид"_s, u"Наименование"_s, u"Группа"_s, u"Себестоимость, было"_s,
                                        u"Себестоимость, станет"_s, u"Цена порции"_s, u"Доля, было %"_s,
                                        u"Доля, станет %"_s, u"Порог"_s});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->setRowCount(int(m_preview.rows.size()));
    for (int r = 0; r < int(m_preview.rows.size()); ++r) {
        const RepricingRow& row = m_preview.rows[std::size_t(r)];
        const bool dish = row.kind == RepricingRow::Kind::Dish;
        auto* kind = new QTableWidgetItem(dish ? u"Блюдо"_s : u"Полуфабрикат"_s);
        kind->setData(Qt::UserRole, r); // the row of the preview, whatever the sorting
        m_table->setItem(r, KindColumn, kind);
        m_table->setItem(r, NameColumn, new QTableWidgetItem(row.name));
        m_table->setItem(r, GroupColumn, new QTableWidgetItem(row.group));
        const std::pair<int, std::optional<double>> numbers[] = {{OldCostColumn, row.oldCost},
                                                                 {NewCostColumn, row.newCost},
                                                                 {PriceColumn, row.sellingPrice},
                                                                 {OldShareColumn, percent(row.oldShare)},
                                                                 {NewShareColumn, percent(row.newShare)}};
        for (const auto& [column, value] : numbers) {
            auto* item = new NumberItem;
            if (value) {
                item->setData(Qt::EditRole, *value);
                item->setText(QLocale().toString(*value, 'f', column >= OldShareColumn ? 1 : 2));
            }
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(r, column, item);
        }
        m_table->setItem(r, MarkColumn, new QTableWidgetItem);
    }
    m_table->setSortingEnabled(true);
    m_table->resizeColumnsToContents();

    auto* thresholdRow = new QHBoxLayout;
    thresholdRow->addWidget(new QLabel(u"Порог доли себестоимости:"_s, this));
    thresholdRow->addWidget(m_threshold);
    thresholdRow->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_apply);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addLayout(thresholdRow);
    layout->addWidget(m_table);
    layout->addLayout(buttons);
    resize(900, 500);

    connect(m_apply, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_threshold, &QSpinBox::valueChanged, this, &RepricingPreviewDialog::markCrossings);
    markCrossings();
}

int RepricingPreviewDialog::crossingCount() const
{
    int count = 0;
    for (int r = 0; r < m_table->rowCount(); ++r)
        count += m_table->item(r, MarkColumn)->text().isEmpty() ? 0 : 1;
    return count;
}

void RepricingPreviewDialog::markCrossings()
{
    const double threshold = m_threshold->value() / 100.0;
    int products = 0;
    int dishes = 0;
    int crossing = 0;
    const QBrush marked(QColor(255, 220, 200));
    for (int r = 0; r < m_table->rowCount(); ++r) {
        const RepricingRow& row =
            m_preview.rows[std::size_t(m_table->item(r, KindColumn)->data(Qt::UserRole).toInt())];
        (row.kind == RepricingRow::Kind::Dish ? dishes : products) += 1;
        const bool crosses = RepricingPreview::crosses(row, threshold);
        crossing += crosses ? 1 : 0;
        m_table->item(r, MarkColumn)
            ->setText(!crosses                                           ? QString()
                      : RepricingPreview::over(*row.newShare, threshold) ? u"выше порога"_s
                                                                         : u"ниже порога"_s);
        for (int c = 0; c < ColumnCount; ++c)
            m_table->item(r, c)->setBackground(crosses ? marked : QBrush());
    }
    QString summary =
        m_preview.rows.empty()
            ? u"Себестоимость полуфабрикатов и блюд не изменится."_s
            : u"Изменится себестоимость: полуфабрикатов %1, блюд %2. Пересекают порог: %3."_s.arg(products)
                  .arg(dishes)
                  .arg(crossing);
    if (m_preview.dishesNotComputed > 0)
        summary += u"\nНе рассчитано блюд: %1 (первое: %2)."_s.arg(m_preview.dishesNotComputed)
                       .arg(m_preview.firstFault);
    summary += u"\nНичего не сохранено; «Применить» пересчитает цены ингредиентов."_s;
    m_summary->setText(summary);
}

bool previewRepricing(QWidget* parent, UserPrompts& prompts, const QSqlDatabase& db,
                      const PriceRecalculation::Settings& settings, const QVariant& ingredientKey,
                      const QVariant& groupKey)
{
    RepricingPreviewResult preview;
    const Worker::Outcome outcome = runInWorker(
        parent, prompts, u"Пересчёт цен: что изменится"_s, db, [&](const QSqlDatabase& own, Worker&) {
            preview = RepricingPreview::ofRepricing(own, settings, ingredientKey, groupKey);
        });
    if (outcome != Worker::Outcome::Finished)
        return false;
    if (!preview.ok) {
        prompts.warn(u"Пересчёт цен"_s, preview.error);
        return false;
    }
    RepricingPreviewDialog dialog(std::move(preview), parent);
    return dialog.exec() == QDialog::Accepted;
}
