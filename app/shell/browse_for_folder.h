// The folder-browse dialog.
#pragma once

#include <string>

class QWidget;

namespace tracemill {

// Lets the user choose a folder, starting at `folder` when it names an existing directory
// (otherwise `folder` is emptied first). True, with the chosen folder in `folder`, when the
// user chose one.
bool BrowseForFolder(QWidget* owner, const std::string& title, std::string& folder);

} // namespace tracemill
