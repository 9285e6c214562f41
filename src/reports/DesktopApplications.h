#pragma once

#include <QString>

// The desktop's choice of application for a kind of file, as the freedesktop.org rules give it: the
// default named in a mimeapps.list, else an application that says it handles the type. Read from the
// XDG folders of the environment, so a test sets them.
namespace desktopapps {

// The desktop file of the application that opens files of the MIME type; empty when there is none.
QString defaultApplication(const QString& mimeType);

} // namespace desktopapps
