#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;

// "Контекстный поиск": a check box that switches a window into search mode and a search box that is
// usable (normal colour) only while the check box is set. Every key released in the box asks the
// window to move to the nearest name.
class ContextSearchBar : public QWidget
{
    Q_OBJECT
public:
    explicit ContextSearchBar(QWidget* parent = nullptr);

    QCheckBox* checkBox() const { return m_check; }
    QLineEdit* searchBox() const { return m_box; }
    bool isOn() const;
    // Clears the check box; the window is told through toggled().
    void switchOff();

    // Paints a disabled editor silver, an enabled one with the normal window colour.
    static void paintSilver(QWidget* widget, bool silver);

Q_SIGNALS:
    void toggled(bool on);
    void searchTyped(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QCheckBox* m_check;
    QLineEdit* m_box;
};
