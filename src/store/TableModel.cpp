#include "TableModel.h"

#include "Schema.h"

#include "Database.h"
#include "ViewSql.h"

#include <QCollator>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

// The same ordering as the database's RU collation.
QCollator& russianCollator()
{
    static QCollator collator = Database::russianCollator();
    return collator;
}

} // namespace

TableModel::TableModel(QSqlDatabase db, ViewDef def, QObject* parent)
    : QAbstractTableModel(parent), m_db(std::move(db)), m_def(std::move(def))
{
    for (const Lookup& lookup : m_def.lookups)
        m_lookupNames << lookup.name;
}

void TableModel::setColumns(const QList<Column>& columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void TableModel::addCalculated(const QString& name, Calculation calculation)
{
    m_calculations.append({name, std::move(calculation)});
}

bool TableModel::loadFields()
{
    if (!m_fields.isEmpty())
        return true;
    // From the schema file, not the engine: a server names its own types and folds the names.
    for (const schema::DeclaredField& field : schema::declaredFields(m_def.table)) {
        const FieldInfo info = FieldInfo::fromDeclaration(field.name, field.type, field.key);
        if (info.type == FieldType::Key)
            m_keyField = info.name;
        m_fields << info;
    }
    if (m_fields.isEmpty()) {
        fail(u"Таблица \"%1\" не найдена в базе данных."_s.arg(m_def.table));
        return false;
    }
    return true;
}

bool TableModel::open()
{
    if (m_open)
        return true;
    if (!m_db.isOpen()) {
        fail(u"База данных не открыта."_s);
        return false;
    }
    if (!loadFields())
        return false;
    m_open = true;
    if (m_master)
        m_linkValue = m_master->isOpen() ? m_master->currentValue(m_masterField) : QVariant();
    if (!reload({})) {
        m_open = false;
        return false;
    }
    return true;
}

void TableModel::close()
{
    if (!m_open)
        return;
    postIfPending();
    if (m_state != State::Browse)
        cancel();
    beginResetModel();
    m_rows.clear();
    m_open = false;
    endResetModel();
    setCurrentInternal(-1);
}

bool TableModel::refresh()
{
    if (!m_open)
        return false;
    if (!postIfPending())
        return false;
    return reload(currentKey());
}

bool TableModel::reload(const QVariant& keepKey)
{
    QList<QVector<QVariant>> rows;
    const bool unlinked = !m_def.linkField.isEmpty() && m_master && m_linkValue.isNull();
    if (!unlinked) {
        const bool linked = !m_def.linkField.isEmpty() && (m_master || !m_linkValue.isNull());
        const QString sql = viewsql::select(m_def, m_fields, m_keyField, linked, m_filterOn);
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        query.prepare(sql);
        if (linked)
            query.addBindValue(m_linkValue);
        if (!query.exec()) {
            fail(u"Не удалось прочитать таблицу \"%1\": %2"_s.arg(m_def.table,
                                                                  sqlErrorText(query.lastError())));
            return false;
        }
        const int width = int(m_fields.size() + m_def.lookups.size());
        while (query.next()) {
            QVector<QVariant> row(width);
            for (int i = 0; i < width; ++i)
                row[i] = query.value(i);
            rows.append(std::move(row));
        }
    }
    beginResetModel();
    m_rows = std::move(rows);
    m_state = State::Browse;
    m_modified = false;
    endResetModel();
    int row = keepKey.isNull() ? -1 : rowOfKey(keepKey);
    if (row < 0 && !m_rows.isEmpty())
        row = 0;
    // Always notify: the rows behind the index changed, and followers re-read the current row.
    m_current = -2;
    setCurrentInternal(row);
    return true;
}

void TableModel::setMaster(TableModel* master, const QString& masterField)
{
    if (m_master)
        disconnect(m_master, nullptr, this, nullptr);
    m_master = master;
    m_masterField = masterField;
    if (!master)
        return;
    connect(master, &TableModel::currentChanged, this, &TableModel::onMasterMoved);
    connect(master, &TableModel::posted, this, &TableModel::onMasterMoved);
}

void TableModel::onMasterMoved()
{
    const QVariant value =
        m_master && m_master->isOpen() ? m_master->currentValue(m_masterField) : QVariant();
    if (!m_open) {
        m_linkValue = value;
        return;
    }
    if (value == m_linkValue && value.isNull() == m_linkValue.isNull())
        return;
    postIfPending();
    m_linkValue = value;
    reload({});
}

void TableModel::setLinkValue(const QVariant& value)
{
    m_linkValue = value;
    if (m_open)
        reload({});
}

void TableModel::setOrder(const QStringList& order)
{
    m_def.order = order;
    if (m_open)
        reload(currentKey());
}

void TableModel::setFilterEnabled(bool on)
{
    if (m_filterOn == on)
        return;
    m_filterOn = on;
    if (m_open) {
        postIfPending();
        reload(currentKey());
    }
}

void TableModel::setColumnReadOnly(const QString& field, bool readOnly)
{
    m_readOnlyFields.removeAll(field);
    if (readOnly)
        m_readOnlyFields << field;
}

int TableModel::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    const qsizetype lookup = m_lookupNames.indexOf(name);
    return lookup < 0 ? -1 : int(m_fields.size() + lookup);
}

bool TableModel::isStoredField(const QString& name) const
{
    const int index = fieldIndex(name);
    return index >= 0 && index < m_fields.size();
}

const FieldInfo* TableModel::field(const QString& name) const
{
    const int index = fieldIndex(name);
    return index >= 0 && index < m_fields.size() ? &m_fields[index] : nullptr;
}

QVariant TableModel::value(int row, const QString& name) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    const int index = fieldIndex(name);
    if (index >= 0)
        return m_rows[row][index];
    for (const auto& [calcName, calculation] : m_calculations) {
        if (calcName == name)
            return calculation(*this, row);
    }
    return {};
}

QVariant TableModel::currentKey() const
{
    return m_current >= 0 && !m_keyField.isEmpty() ? value(m_current, m_keyField) : QVariant();
}

int TableModel::rowOfKey(const QVariant& key) const
{
    const int index = fieldIndex(m_keyField);
    if (index < 0 || key.isNull())
        return -1;
    const qlonglong wanted = key.toLongLong();
    for (int row = 0; row < m_rows.size(); ++row) {
        if (!m_rows[row][index].isNull() && m_rows[row][index].toLongLong() == wanted)
            return row;
    }
    return -1;
}

void TableModel::setCurrentInternal(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    Q_EMIT currentChanged(row);
}

bool TableModel::setCurrentRow(int row)
{
    if (row < -1 || row >= m_rows.size())
        return false;
    if (row == m_current)
        return true;
    // Posting re-reads the rows in their order; the row asked for is found again by its key.
    const QVariant targetKey = row >= 0 ? value(row, m_keyField) : QVariant();
    const bool targetIsNew = m_state == State::Insert && row == m_current;
    if (!postIfPending())
        return false;
    const int found = targetKey.isNull() || targetIsNew ? -1 : rowOfKey(targetKey);
    setCurrentInternal(found >= 0 ? found : std::min(row, int(m_rows.size()) - 1));
    return true;
}

void TableModel::fail(const QString& message)
{
    m_lastError = message;
    Q_EMIT errorOccurred(message);
}

bool TableModel::edit()
{
    if (m_current < 0 || !m_open)
        return false;
    if (m_readOnly) {
        fail(u"Таблица доступна только для чтения."_s);
        return false;
    }
    if (m_state == State::Browse) {
        m_original = m_rows[m_current];
        m_state = State::Edit;
        Q_EMIT stateChanged();
    }
    return true;
}

bool TableModel::setFieldValue(const QString& name, const QVariant& input)
{
    const int position = fieldIndex(name);
    const bool isLookup = position >= m_fields.size();
    const Lookup* lookup = isLookup ? &m_def.lookups[position - m_fields.size()] : nullptr;
    const int target = lookup ? fieldIndex(lookup->source) : position;
    if (target < 0 || target >= m_fields.size()) {
        fail(u"Поле \"%1\" не редактируется."_s.arg(name));
        return false;
    }
    if (m_current < 0) {
        fail(u"Нет текущей записи."_s);
        return false;
    }
    QVariant stored;
    QString error;
    if (!m_fields[target].fromInput(input, &stored, &error)) {
        fail(error);
        return false;
    }
    if (!edit())
        return false;
    auto& row = m_rows[m_current];
    row[target] = stored;
    for (int i = 0; i < m_def.lookups.size(); ++i) {
        if (m_def.lookups[i].source.compare(m_fields[target].name, Qt::CaseInsensitive) == 0)
            row[m_fields.size() + i] = lookupValue(m_def.lookups[i], stored);
    }
    m_modified = true;
    Q_EMIT dataChanged(index(m_current, 0), index(m_current, columnCount() - 1));
    return true;
}

QVariant TableModel::lookupValue(const Lookup& lookup, const QVariant& source) const
{
    if (source.isNull())
        return {};
    QSqlQuery query(m_db);
    query.prepare(viewsql::lookup(lookup));
    query.addBindValue(source);
    return query.exec() && query.next() ? query.value(0) : QVariant();
}

bool TableModel::append()
{
    if (!m_open || m_readOnly || !m_insertAllowed)
        return false;
    if (!postIfPending())
        return false;
    QVector<QVariant> row(m_fields.size() + m_def.lookups.size());
    if (!m_def.linkField.isEmpty()) {
        if (m_master && m_linkValue.isNull())
            return false; // a detail row needs its master
        row[fieldIndex(m_def.linkField)] = m_linkValue;
    }
    const int position = int(m_rows.size());
    beginInsertRows({}, position, position);
    m_rows.append(row);
    endInsertRows();
    m_state = State::Insert;
    m_modified = false;
    setCurrentInternal(position);
    Q_EMIT stateChanged();
    return true;
}

bool TableModel::postIfPending()
{
    return m_state == State::Browse || post();
}

bool TableModel::post()
{
    if (m_state == State::Browse)
        return true;
    if (m_state == State::Insert && !m_modified) {
        cancel();
        return true;
    }
    for (const PostCheck& check : m_postChecks) {
        QString error;
        if (!check(*this, &error)) {
            if (!error.isEmpty())
                fail(error);
            return false;
        }
    }
    if (!writeRow())
        return false;
    const QVariant key = currentKey();
    m_state = State::Browse;
    m_modified = false;
    reload(key);
    Q_EMIT stateChanged();
    Q_EMIT posted();
    return true;
}

bool TableModel::writeRow()
{
    auto& row = m_rows[m_current];
    QStringList names;
    QVariantList values;
    QVariantList oldValues;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].type == FieldType::Key)
            continue;
        const bool changed = m_state == State::Insert
                                 ? !row[i].isNull()
                                 : (row[i] != m_original[i] || row[i].isNull() != m_original[i].isNull());
        if (changed) {
            names << m_fields[i].name;
            values << row[i];
            if (m_state == State::Edit)
                oldValues << m_original[i];
        }
    }
    if (m_state == State::Edit && names.isEmpty())
        return true;
    const bool inserting = m_state == State::Insert;
    const QVariant key = inserting ? QVariant() : m_original[fieldIndex(m_keyField)];
    if (!inserting)
        values << key << oldValues;
    // An edit is written only over the values it started from: another program (or a copy of this
    // one) may have changed or deleted the row since it was read.
    const QString sql = inserting ? viewsql::insert(m_def.table, names)
                                  : viewsql::update(m_def.table, names, m_keyField, names);
    Transaction transaction(m_db);
    QSqlQuery query(m_db);
    query.prepare(sql);
    for (const QVariant& v : values)
        query.addBindValue(v);
    if (!query.exec()) {
        Transaction::statementFailed(query);
        fail(u"Запись не сохранена: %1"_s.arg(sqlErrorText(query.lastError())));
        return false;
    }
    if (!inserting && query.numRowsAffected() == 0) {
        QSqlQuery exists(m_db);
        const bool gone = runQuery(exists, viewsql::lookup({{}, {}, m_def.table, m_keyField, m_keyField}),
                                   {key}, nullptr) &&
                          !exists.next();
        exists.finish();
        query.finish();
        transaction.commit();
        reload(key);
        Q_EMIT stateChanged();
        fail(gone ? u"Запись удалена другой программой, пока вы её редактировали. Ваши изменения "
                    "не сохранены; таблица прочитана заново."_s
                  : u"Запись изменена другой программой, пока вы её редактировали. Ваши изменения "
                    "не сохранены; таблица прочитана заново."_s);
        return false;
    }
    const QVariant writtenKey = inserting ? query.lastInsertId() : key;
    query.finish();
    if (m_def.afterWrite) {
        RowWrite write{writtenKey, inserting, {}, {}};
        for (qsizetype i = 0; i < names.size(); ++i) {
            write.after.insert(names[i], values[i]);
            if (!inserting)
                write.before.insert(names[i], oldValues[i]);
        }
        QString error;
        if (!m_def.afterWrite(m_db, write, &error)) {
            fail(u"Запись не сохранена: %1"_s.arg(error));
            return false;
        }
    }
    if (!transaction.commit()) {
        fail(u"Запись не сохранена: %1"_s.arg(sqlErrorText(m_db.lastError())));
        return false;
    }
    if (inserting)
        row[fieldIndex(m_keyField)] = writtenKey;
    return true;
}

void TableModel::cancel()
{
    if (m_state == State::Browse)
        return;
    if (m_state == State::Insert) {
        dropCurrentRow();
    } else {
        m_rows[m_current] = m_original;
        m_state = State::Browse;
        m_modified = false;
        Q_EMIT dataChanged(index(m_current, 0), index(m_current, columnCount() - 1));
        Q_EMIT currentChanged(m_current);
    }
    Q_EMIT stateChanged();
}

bool TableModel::deleteCurrent()
{
    if (!m_open || m_current < 0)
        return false;
    if (m_state == State::Insert) {
        cancel();
        return true;
    }
    const QVariant key = m_state == State::Edit ? m_original[fieldIndex(m_keyField)] : currentKey();
    Transaction transaction(m_db);
    QString error;
    if (!execSql(m_db, viewsql::remove(m_def.table, m_keyField), {key}, &error) || !transaction.commit()) {
        fail(u"Запись не удалена: %1"_s.arg(error));
        return false;
    }
    dropCurrentRow();
    return true;
}

void TableModel::dropCurrentRow()
{
    // Leave the edit states first: a view that moves its current row while the row goes away must
    // not post (and so cancel or delete) another row.
    const int row = m_current;
    m_state = State::Browse;
    m_modified = false;
    m_current = -2;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    setCurrentInternal(std::min(row, int(m_rows.size()) - 1));
}

void TableModel::locateNearest(const QVariant& wanted)
{
    if (m_def.order.isEmpty() || m_rows.isEmpty())
        return;
    const QString name = m_def.order.first();
    const FieldInfo* f = field(name);
    const bool text = f && f->isText();
    // Dates are kept as yyyy-MM-dd, whose text order is the order of the dates.
    const bool date = f && f->type == FieldType::Date;
    const QString wantedDate =
        wanted.typeId() == QMetaType::QDate ? wanted.toDate().toString(Qt::ISODate) : wanted.toString();
    for (int row = 0; row < m_rows.size(); ++row) {
        const QVariant v = value(row, name);
        const bool atOrAfter = text   ? russianCollator().compare(v.toString(), wanted.toString()) >= 0
                               : date ? v.toString() >= wantedDate
                                      : v.toDouble() >= wanted.toDouble();
        if (atOrAfter) {
            setCurrentRow(row);
            return;
        }
    }
    setCurrentRow(int(m_rows.size()) - 1);
}

bool TableModel::locateKey(const QVariant& key)
{
    const int row = rowOfKey(key);
    return row >= 0 && setCurrentRow(row);
}

int TableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_columns.size())
        return {};
    const Column& column = m_columns[index.column()];
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue((isNumberColumn(index.column()) ? Qt::AlignRight : Qt::AlignLeft) |
                                       Qt::AlignVCenter);
        return m_roleProvider ? m_roleProvider(*this, index.row(), index.column(), role) : QVariant();
    }
    const QVariant v = value(index.row(), column.field);
    if (v.isNull())
        return role == Qt::EditRole ? QVariant(QString()) : QVariant();
    const FieldInfo* f = field(column.field);
    if (!f && !column.format.isEmpty()) {
        // A looked-up number shows with its column's format as a stored one does.
        static const FieldInfo lookedUpNumber = FieldInfo::fromDeclaration(QString(), u"REAL"_s, false);
        f = &lookedUpNumber;
    }
    return f ? f->toText(v, column.format, role == Qt::EditRole) : v;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    if (index.row() != m_current && !setCurrentRow(index.row()))
        return false;
    if (data(index, Qt::EditRole) == value)
        return true;
    return setFieldValue(m_columns[index.column()].field, value);
}

bool TableModel::isNumberColumn(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return false;
    const FieldInfo* f = field(m_columns[column].field);
    return !m_columns[column].format.isEmpty() ||
           (f && (f->type == FieldType::Float || f->type == FieldType::Key));
}

bool TableModel::isTextColumn(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return false;
    const FieldInfo* f = field(m_columns[column].field);
    return f && f->isText();
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.size())
        return m_columns[section].label;
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const Column& column = m_columns[index.column()];
    const int fi = fieldIndex(column.field);
    const bool editableField = fi >= 0 && (fi >= m_fields.size() || m_fields[fi].type != FieldType::Key);
    if (!m_readOnly && !column.readOnly && editableField && !m_readOnlyFields.contains(column.field))
        result |= Qt::ItemIsEditable;
    return result;
}
