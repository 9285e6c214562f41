#pragma once

#include "store/ui/Page.h"

// "Информация": what the program does and where its data lives.
class InfoPage : public Page
{
    Q_OBJECT
public:
    explicit InfoPage(QWidget* parent = nullptr);
};
