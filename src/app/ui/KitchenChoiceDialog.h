#pragma once

#include "RecentKitchens.h"

#include <QDialog>

#include <optional>

class QListWidget;

// "Выбор кухни" at start: the kitchen found as usual first, then the last kitchens opened. Enter opens
// the one chosen (at first the last one opened); "Отмена" the one found as usual.
class KitchenChoiceDialog : public QDialog
{
    Q_OBJECT
public:
    KitchenChoiceDialog(const RecentKitchen& found, const QList<RecentKitchen>& recent,
                        QWidget* parent = nullptr);

    // Whether there is a choice at all: a kitchen opened before besides the one found.
    static bool worthAsking(const RecentKitchen& found, const QList<RecentKitchen>& recent);

    // The kitchen chosen on OK.
    std::optional<RecentKitchen> chosen() const;
    QListWidget* list() const { return m_list; }

private:
    QList<RecentKitchen> m_kitchens;
    QListWidget* m_list;
};
