#pragma once

#include "ViewDef.h"

#include <QAbstractTableModel>
#include <QSqlDatabase>
#include <QStringList>

#include <functional>

// A view of one table, the way every grid and every page of the program sees its data: an order, an
// optional link to a master view, a filter that can be switched on and off, looked-up and calculated
// fields, "find the first row at or after a value", and a row buffer that is posted as a whole.
//
// Posting writes the row in its own transaction and commits at once, so a posted row is on disk when
// post() returns. A new row that nothing was typed into is never stored.

class TableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class State
    {
        Browse,
        Edit,
        Insert
    };
    using Calculation = std::function<QVariant(const TableModel&, int row)>;
    using RoleProvider = std::function<QVariant(const TableModel&, int row, int column, int role)>;
    using PostCheck = std::function<bool(TableModel&, QString* error)>;

    TableModel(QSqlDatabase db, ViewDef def, QObject* parent = nullptr);

    const ViewDef& definition() const { return m_def; }
    void setColumns(const QList<Column>& columns);
    // Numbers (stored numbers, keys, formatted columns) are right-aligned, texts left-aligned.
    bool isNumberColumn(int column) const;
    // A stored text field (names, notes), the kind of column that can give up width.
    bool isTextColumn(int column) const;
    const QList<Column>& columns() const { return m_columns; }
    void addCalculated(const QString& name, Calculation calculation);
    void setRoleProvider(RoleProvider provider) { m_roleProvider = std::move(provider); }
    // Runs before every post; returning false refuses the post with the given message.
    void addPostCheck(PostCheck check) { m_postChecks.push_back(std::move(check)); }

    bool open();
    void close();
    bool isOpen() const { return m_open; }
    bool refresh();
    QString lastError() const { return m_lastError; }

    void setMaster(TableModel* master, const QString& masterField);
    TableModel* master() const { return m_master; }
    void setLinkValue(const QVariant& value);
    void setOrder(const QStringList& order);
    void setFilterEnabled(bool on);
    bool filterEnabled() const { return m_filterOn; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }
    void setColumnReadOnly(const QString& field, bool readOnly);
    void setInsertAllowed(bool allowed) { m_insertAllowed = allowed; }

    int currentRow() const { return m_current; }
    bool isEmpty() const { return m_rows.isEmpty(); }
    // Moves to another row, posting the pending edit first; false if that post failed.
    bool setCurrentRow(int row);
    bool first() { return setCurrentRow(m_rows.isEmpty() ? -1 : 0); }
    bool last() { return setCurrentRow(int(m_rows.size()) - 1); }

    QVariant value(int row, const QString& field) const;
    QVariant currentValue(const QString& field) const { return value(m_current, field); }
    double number(int row, const QString& field) const { return value(row, field).toDouble(); }
    QVariant currentKey() const;
    QString keyField() const { return m_keyField; }
    const QList<FieldInfo>& fields() const { return m_fields; }
    const FieldInfo* field(const QString& name) const;

    State state() const { return m_state; }
    bool isModified() const { return m_modified; }
    // Sets a field of the current row into the row buffer; refuses values that do not fit the field.
    bool setFieldValue(const QString& field, const QVariant& value);
    bool edit();
    bool append();
    bool post();
    void cancel();
    // Posts only when there is something to post (a modified row or an edit in progress).
    bool postIfPending();
    bool deleteCurrent();

    // Moves to the first row whose first order field is at or after the value (Russian order for text).
    void locateNearest(const QVariant& value);
    // Moves to the row with this key; false when the view does not hold it.
    bool locateKey(const QVariant& key);
    int rowOfKey(const QVariant& key) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    void currentChanged(int row);
    void stateChanged();
    void posted();
    void errorOccurred(const QString& message);

private:
    bool loadFields();
    bool reload(const QVariant& keepKey);
    int fieldIndex(const QString& name) const;
    bool isStoredField(const QString& name) const;
    void setCurrentInternal(int row);
    void dropCurrentRow();
    void fail(const QString& message);
    bool writeRow();
    QVariant lookupValue(const Lookup& lookup, const QVariant& source) const;
    void onMasterMoved();

    QSqlDatabase m_db;
    ViewDef m_def;
    QList<FieldInfo> m_fields;
    QStringList m_lookupNames;
    QList<QPair<QString, Calculation>> m_calculations;
    QList<Column> m_columns;
    QStringList m_readOnlyFields;
    RoleProvider m_roleProvider;
    QList<PostCheck> m_postChecks;
    QString m_keyField;
    QList<QVector<QVariant>> m_rows; // stored fields, then lookups
    QVector<QVariant> m_original;    // the current row as read, while it is being edited
    int m_current = -1;
    State m_state = State::Browse;
    bool m_modified = false;
    bool m_open = false;
    bool m_filterOn = false;
    bool m_readOnly = false;
    bool m_insertAllowed = true;
    TableModel* m_master = nullptr;
    QString m_masterField;
    QVariant m_linkValue;
    QString m_lastError;
};
