#pragma once

#include <QString>

class QWidget;

// The desktop's folder picker.
namespace mBrowseFolder {

// Shows the picker on startFolder (the picker's own default when empty),
// offering only directories. Returns the chosen directory as the system
// gives it (a root keeps its separator, other directories have none), or ""
// when the user cancelled.
QString BrowseFolder(const QString& startFolder, QWidget* owner, const QString& title);

} // namespace mBrowseFolder
