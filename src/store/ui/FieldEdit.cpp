#include "FieldEdit.h"

#include "store/TableModel.h"

FieldEdit::FieldEdit(TableModel* model, QString field, QWidget* parent)
    : QLineEdit(parent), m_model(model), m_field(std::move(field))
{
    connect(model, &TableModel::currentChanged, this, &FieldEdit::showCurrent);
    connect(model, &TableModel::dataChanged, this, [this] {
        if (!hasFocus())
            showCurrent();
    });
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!m_model->setFieldValue(m_field, text))
            showCurrent();
    });
    showCurrent();
}

void FieldEdit::showCurrent()
{
    if (const FieldInfo* info = m_model->field(m_field); info && info->type == FieldType::String)
        setMaxLength(info->size);
    setEnabled(m_model->isOpen() && m_model->currentRow() >= 0);
    const QString text = m_model->currentValue(m_field).toString();
    if (text != this->text())
        setText(text);
}

void FieldEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    m_model->postIfPending();
}
