#pragma once

#include <QDate>

class UserPrompts;

// What the dialog "Удаление документов" returns: the current document or every document of a period
// (both end dates included), and for warehouse documents whether balances are rolled back.
struct DeletionChoice
{
    bool period = false;
    QDate from;
    QDate to;
    bool rollBack = false;

    // The checks and confirmations every deletion asks before it deletes: a reversed period is refused,
    // then the current document or the period is confirmed. False: nothing is to be deleted.
    bool confirm(UserPrompts& prompts) const;
};
