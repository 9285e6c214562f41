#pragma once

#include <QDialog>

class QPlainTextEdit;
class TableModel;

// "Подача и хранение": the requirements for serving and for storage of the dish current in the view,
// as the technological cards print them; stored when the window closes.
class DishRequirementsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DishRequirementsDialog(TableModel* dishes, QWidget* parent = nullptr);

    QPlainTextEdit* servingBox() const { return m_serving; }
    QPlainTextEdit* storageBox() const { return m_storage; }

    void done(int result) override;

private:
    TableModel* m_dishes;
    QPlainTextEdit* m_serving;
    QPlainTextEdit* m_storage;
};
