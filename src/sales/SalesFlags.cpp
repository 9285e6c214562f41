#include "SalesFlags.h"

namespace salesflags {

namespace {
bool automaticCreationFlag = false;
bool bulkFillFlag = false;
} // namespace

void setAutomaticCreation(bool on)
{
    automaticCreationFlag = on;
}

bool automaticCreation()
{
    return automaticCreationFlag;
}

bool takeAutomaticCreation()
{
    const bool was = automaticCreationFlag;
    automaticCreationFlag = false;
    return was;
}

void setBulkFill(bool on)
{
    bulkFillFlag = on;
}

bool bulkFill()
{
    return bulkFillFlag;
}

} // namespace salesflags
