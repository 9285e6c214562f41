#pragma once

#include <QLineEdit>

class TableModel;

// An edit box bound to one field of a view's current row: it follows the row, puts what is typed into
// the row buffer and posts the row when the focus leaves it.
class FieldEdit : public QLineEdit
{
    Q_OBJECT
public:
    FieldEdit(TableModel* model, QString field, QWidget* parent = nullptr);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showCurrent();

    TableModel* m_model;
    QString m_field;
};
