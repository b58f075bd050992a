#include "app/shell/browse_for_folder.h"

#include <QFileDialog>

#include "app/services/file_paths.h"

namespace tracemill {

bool BrowseForFolder(QWidget* owner, const std::string& title, std::string& folder) {
    if (!DirectoryExists(folder)) folder.clear();
    QFileDialog dialog(owner, QString::fromStdString(title), QString::fromStdString(folder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    folder = chosen.first().toStdString();
    return true;
}

} // namespace tracemill
