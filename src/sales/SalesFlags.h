#pragma once

// The two process-wide flags that connect the sales page with code that makes documents and lines
// without the user (the receipt of sales from point-of-sale programs, the filling from a menu). Both
// are false at start. Everything runs on the user-interface thread.
namespace salesflags {

// Set by a caller just before it appends a document: the page's date prompt then clears it and asks
// nothing, since the caller fills and posts the document itself.
void setAutomaticCreation(bool on);
bool automaticCreation();
// Clears the flag and says whether it was set.
bool takeAutomaticCreation();

// Set while the program inserts lines: moving in the lines view then does not cancel an insert.
void setBulkFill(bool on);
bool bulkFill();

// Sets the bulk-fill flag for its lifetime and clears it on every way out.
class BulkFill
{
public:
    BulkFill() { setBulkFill(true); }
    ~BulkFill() { setBulkFill(false); }
    BulkFill(const BulkFill&) = delete;
    BulkFill& operator=(const BulkFill&) = delete;
};

} // namespace salesflags
