#include "DataGrid.h"

#include "store/TableModel.h"
#include "store/UserPrompts.h"
#include "store/ValueWarnings.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Editors stand where the value stands: numbers to the right, texts to the left.
class AlignedEditorDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        const auto alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setAlignment(alignment);
        else if (auto* spin = qobject_cast<QAbstractSpinBox*>(editor))
            spin->setAlignment(alignment);
        return editor;
    }
};

// A drop-down cell found by what is typed, as a combo box's completion finds: the keys of one edit make
// a prefix, so "кг" stays кг rather than jumping to the first unit of each letter. The plain combo box
// would also report every jump as a choice, which ends the edit after the first key.
class PrefixComboBox : public QComboBox
{
public:
    using QComboBox::QComboBox;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const QString text = event->text();
        const bool modified = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (event->key() == Qt::Key_Backspace && !m_prefix.isEmpty()) {
            m_prefix.chop(1);
            if (!m_prefix.isEmpty())
                find(m_prefix);
            return;
        }
        if (modified || text.isEmpty() || !text.at(0).isPrint()) {
            QComboBox::keyPressEvent(event);
            return;
        }
        // A key that extends no item starts a new prefix, so a typing slip is not a dead end.
        if (find(m_prefix + text))
            m_prefix += text;
        else if (find(text))
            m_prefix = text;
    }

private:
    bool find(const QString& prefix)
    {
        const int index = findText(prefix, Qt::MatchStartsWith);
        if (index < 0)
            return false;
        setCurrentIndex(index);
        return true;
    }

    QString m_prefix;
};

class ChoiceDelegate : public QStyledItemDelegate
{
public:
    ChoiceDelegate(DataGrid::Choices choices, QObject* parent)
        : QStyledItemDelegate(parent), m_choices(std::move(choices))
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* combo = new PrefixComboBox(parent);
        for (const auto& [value, text] : m_choices())
            combo->addItem(text, value);
        // A choice made in the list is the end of the edit, as with Enter.
        auto* self = const_cast<ChoiceDelegate*>(this);
        connect(combo, &QComboBox::activated, self, [self, combo] {
            Q_EMIT self->commitData(combo);
            Q_EMIT self->closeEditor(combo, QAbstractItemDelegate::SubmitModelCache);
        });
        return combo;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* combo = static_cast<QComboBox*>(editor);
        combo->setCurrentIndex(combo->findText(index.data(Qt::DisplayRole).toString()));
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* combo = static_cast<QComboBox*>(editor);
        if (combo->currentIndex() >= 0 && combo->currentText() != index.data(Qt::DisplayRole).toString())
            model->setData(index, combo->currentData(), Qt::EditRole);
    }

private:
    DataGrid::Choices m_choices;
};

} // namespace

DataGrid::DataGrid(UserPrompts* prompts, QWidget* parent) : QTableView(parent), m_prompts(prompts)
{
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setItemDelegate(new AlignedEditorDelegate(this));
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(u"99"_s) + 6);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(fontMetrics().horizontalAdvance(u"V"_s) + 12);
    connect(qApp, &QApplication::focusChanged, this, &DataGrid::onFocusChanged);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &DataGrid::keepUserWidth);
}

DataGrid::~DataGrid()
{
    // Focus changes while a window is torn down must not reach a grid that is half destroyed.
    disconnect(qApp, nullptr, this, nullptr);
}

void DataGrid::setTableModel(TableModel* model)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    setModel(model);
    if (!model)
        return;
    connect(model, &TableModel::currentChanged, this, &DataGrid::followModel);
    connect(model, &TableModel::errorOccurred, this, &DataGrid::showError);
    connect(model, &QAbstractItemModel::modelReset, this, &DataGrid::fitColumns);
    // The accessibility layer keeps the cells it handed out; when rows come and go it is told to start
    // over, so a screen reader never holds cells of rows that moved or are gone.
    connect(model, &QAbstractItemModel::modelReset, this, &DataGrid::tellAccessibility);
    connect(model, &QAbstractItemModel::layoutChanged, this, &DataGrid::tellAccessibility);
    connect(model, &QAbstractItemModel::rowsInserted, this, &DataGrid::tellAccessibility);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &DataGrid::tellAccessibility);
    followModel(model->currentRow());
    fitColumns();
}

void DataGrid::tellAccessibility()
{
    QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
    if (QAccessible::isActive()) {
        QAccessible::updateAccessibility(&event); // drops the table's cells and tells the screen reader
        return;
    }
    // With no assistive technology running nothing is told, yet a table interface made earlier keeps
    // its cells: drop them all the same, so whoever reads the tree next reads the rows as they are.
    if (QAccessibleInterface* table = QAccessible::queryAccessibleInterface(this);
        table && table->tableInterface())
        table->tableInterface()->modelChange(&event);
}

void DataGrid::setChoices(const QString& field, Choices choices)
{
    for (int c = 0; m_model && c < m_model->columns().size(); ++c) {
        if (m_model->columns()[c].field == field)
            setItemDelegateForColumn(c, new ChoiceDelegate(std::move(choices), this));
    }
}

void DataGrid::fitColumns()
{
    if (!m_model || m_fitting)
        return;
    m_fitting = true;
    const int count = m_model->columnCount();
    QList<int> widths(count, 0);
    int stretch = -1;
    int total = 0;
    for (int c = 0; c < count; ++c) {
        if (isColumnHidden(c))
            continue;
        const int chosen = userWidth(c);
        widths[c] = chosen > 0 ? chosen
                               : std::max(horizontalHeader()->sectionSizeHint(c), sizeHintForColumn(c)) +
                                     m_extraWidths.value(c);
        if (stretch < 0 && chosen == 0 && m_model->isTextColumn(c))
            stretch = c;
        total += widths[c];
    }
    if (m_stretchColumn >= 0 && m_stretchColumn < count)
        stretch = m_stretchColumn;
    for (int c = 0; stretch < 0 && c < count; ++c) {
        if (!m_model->isNumberColumn(c) && userWidth(c) == 0)
            stretch = c;
    }
    // A width the user chose stands, even for the column that would take the rest.
    if (stretch >= 0 && userWidth(stretch) > 0)
        stretch = -1;
    int minimum = total;
    if (stretch >= 0) {
        // Long names are elided rather than pushing the other columns out of sight; the header stays whole.
        const int floor =
            std::max(horizontalHeader()->sectionSizeHint(stretch),
                     std::min(widths[stretch], fontMetrics().horizontalAdvance(u"Наименование группы"_s)));
        minimum = total - widths[stretch] + floor;
        widths[stretch] = std::max(floor, viewport()->width() - (total - widths[stretch]));
    }
    for (int c = 0; c < count; ++c) {
        if (!isColumnHidden(c))
            setColumnWidth(c, widths[c]);
    }
    if (minimum != m_minimumColumns) {
        m_minimumColumns = minimum;
        updateGeometry();
    }
    m_fitting = false;
}

void DataGrid::setUserWidths(const QHash<QString, int>& widths)
{
    m_userWidths = widths;
    fitColumns();
}

int DataGrid::userWidth(int column) const
{
    if (!m_model || column < 0 || column >= m_model->columns().size())
        return 0;
    return m_userWidths.value(m_model->columns()[column].field, 0);
}

void DataGrid::keepUserWidth(int column, int oldWidth, int newWidth)
{
    Q_UNUSED(oldWidth);
    // The grid's own fitting and hiding a column are not the user's choice.
    if (m_fitting || !m_model || column >= m_model->columns().size() || isColumnHidden(column) ||
        newWidth <= 0)
        return;
    m_userWidths.insert(m_model->columns()[column].field, newWidth);
}

QSize DataGrid::sizeHint() const
{
    const QSize base = QTableView::sizeHint();
    if (m_minimumColumns <= 0)
        return base;
    // Room for every column at its least width, the row numbers and a vertical scroll bar. Asked as
    // the preferred size, not the least one: on a small screen the grid scrolls sideways instead of
    // pushing the window past the screen's edge.
    const int width = m_minimumColumns + verticalHeader()->width() + 2 * frameWidth() +
                      verticalScrollBar()->sizeHint().width();
    return {std::max(base.width(), width), base.height()};
}

void DataGrid::setStretchColumn(int column)
{
    m_stretchColumn = column;
    fitColumns();
}

void DataGrid::setExtraWidth(int column, int pixels)
{
    m_extraWidths.insert(column, pixels);
    fitColumns();
}

void DataGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    fitColumns();
}

void DataGrid::markValueWarnings(const QString& flagField)
{
    if (!m_model)
        return;
    m_model->setRoleProvider([flagField](const TableModel& model, int row, int column, int role) -> QVariant {
        if (role != Qt::BackgroundRole && role != Qt::ToolTipRole)
            return {};
        const QString field = model.columns().at(column).field;
        const bool semiFinished = !flagField.isEmpty() && model.value(row, flagField).toBool();
        const QString warning =
            valuewarnings::forField(model.definition().table, field, model.value(row, field), semiFinished);
        if (warning.isEmpty())
            return {};
        return role == Qt::ToolTipRole ? QVariant(warning) : QVariant(QColor(255, 205, 205));
    });
}

void DataGrid::showError(const QString& message)
{
    if (m_prompts && isVisible())
        m_prompts->warn(u"Ошибка"_s, message);
}

bool DataGrid::postPending()
{
    if (!m_model)
        return true;
    closeOpenEditor();
    return m_model->postIfPending();
}

void DataGrid::closeOpenEditor()
{
    // An open cell editor is the index widget of the current cell; its text goes to the row first.
    if (QWidget* editor = indexWidget(currentIndex()); editor && state() == QAbstractItemView::EditingState) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

bool DataGrid::owns(const QWidget* widget) const
{
    // A pop-up (a combo box's list, a calendar, a completer) is a window of its own; it belongs to the
    // grid when its parent chain, or the widget outside it that it stands in for, leads into the grid.
    // Bounded: a chain of stand-ins could in principle lead in a circle.
    constexpr int deepest = 64;
    int depth = 0;
    for (const QWidget* w = widget; w && depth < deepest; ++depth) {
        if (w == this)
            return true;
        const QWidget* proxy = w->isWindow() ? w->focusProxy() : nullptr;
        w = proxy && proxy->window() != w ? proxy : w->parentWidget();
    }
    return false;
}

void DataGrid::onFocusChanged(QWidget* old, QWidget* now)
{
    const bool wasInside = owns(old);
    const bool isInside = owns(now);
    if (!wasInside || isInside || !m_model)
        return;
    closeOpenEditor();
    m_model->postIfPending();
}

void DataGrid::followModel(int row)
{
    // A reset of the rows takes the current cell away: the column it was in stays current.
    const int column = currentIndex().isValid() ? currentIndex().column() : m_column;
    followModelIn(row, m_model ? std::max(0, std::min(column, m_model->columnCount() - 1)) : 0);
}

void DataGrid::followModelIn(int row, int column)
{
    if (m_syncing || !m_model)
        return;
    m_syncing = true;
    if (row >= 0 && m_model->columnCount() > 0) {
        const QModelIndex target = m_model->index(row, column);
        setCurrentIndex(target);
        scrollTo(target);
    } else {
        setCurrentIndex({});
    }
    m_syncing = false;
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        m_column = current.column();
    if (m_syncing || !m_model || !current.isValid() || current.row() == m_model->currentRow())
        return;
    const int column = current.column();
    m_syncing = true;
    const bool moved = m_model->setCurrentRow(current.row());
    m_syncing = false;
    // Posting the row left reads the rows again, which takes the view's current cell away: put it
    // back on the model's row, in the column moved to, so the next key edits it.
    if (!moved || currentIndex().row() != m_model->currentRow() || currentIndex().column() != column)
        followModelIn(m_model->currentRow(), column);
}

void DataGrid::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (m_model && event->key() == Qt::Key_Insert && !ctrl) {
        if (!m_insertBlocked && state() != QAbstractItemView::EditingState && m_model->append()) {
            const QModelIndex target = m_model->index(m_model->currentRow(), 0);
            setCurrentIndex(target);
        }
        return;
    }
    if (m_model && event->key() == Qt::Key_Delete && ctrl) {
        if (!m_ctrlDeleteBlocked && m_model->currentRow() >= 0 && !m_model->isReadOnly() &&
            (!m_prompts || m_prompts->confirmIrreversible(u"Подтверждение"_s, u"Удалить запись?"_s)))
            m_model->deleteCurrent();
        return;
    }
    if (m_model && event->key() == Qt::Key_Escape && state() != QAbstractItemView::EditingState) {
        // Escape undoes a pending edit first; with none it goes on to the window, so a dialog closes.
        if (m_model->state() == TableModel::State::Browse && !m_model->isModified()) {
            event->ignore();
            return;
        }
        m_model->cancel();
        return;
    }
    if (m_model && state() != QAbstractItemView::EditingState &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) &&
        !(m_model->flags(currentIndex()) & Qt::ItemIsEditable)) {
        if (m_model->currentRow() >= 0)
            Q_EMIT rowChosen(m_model->currentRow());
        return;
    }
    QTableView::keyPressEvent(event);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (m_model && index.isValid() && !(m_model->flags(index) & Qt::ItemIsEditable)) {
        if (index.row() != m_model->currentRow())
            m_model->setCurrentRow(index.row());
        Q_EMIT rowChosen(index.row());
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}
