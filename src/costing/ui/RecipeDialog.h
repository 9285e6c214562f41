#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class TableModel;

// The recipe of the dish current in the view: stored when the text box loses the focus and on close.
class RecipeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RecipeDialog(TableModel* dishes, QWidget* parent = nullptr);

    QPlainTextEdit* textBox() const { return m_text; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* exitButton() const { return m_exit; }

    void done(int result) override;

    // The recipe as the text box shows it: each displayed line, wrapped ones included.
    QStringList shownLines() const;

Q_SIGNALS:
    // "Печать рецепта", after the recipe was stored.
    void printRequested(const QStringList& shownLines);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void save();

    TableModel* m_dishes;
    QPlainTextEdit* m_text;
    QPushButton* m_print;
    QPushButton* m_exit;
};
