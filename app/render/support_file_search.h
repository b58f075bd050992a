// Finding the files a drawing names (fonts, linetype files, referenced drawings) along the
// program's search folders: the CAD support folder, the folder of the drawing, the font search
// directories, the program's folder and the current directory.
#pragma once

#include <string>

#include "toolkit/core/output_hook_table.h"

namespace tracemill {

class CDrawingObject;

// The folder of the program (with a trailing '/'), from which support files are also taken.
// Start-up sets it to the folder of the running executable.
void SetProgramFolder(std::string folder);
const std::string& GetProgramFolder();

// The folder of the drawing a draw, export or open is working on (with a trailing '/').
void SetCurrentDrawingFolder(std::string folder);
const std::string& GetCurrentDrawingFolder();

// The process's current directory.
std::string GetCurrentDir();

// Searches `fileName` in the current directory and then in each folder of `dirList`
// (separated by ';'), each name matched through the shared resolver (Windows names, any letter
// case). foundPath gets the absolute path of the first file found, or is emptied. Nothing is
// done unless both texts are non-empty. The environment variable "KirvGlintviewTempEnv" is set
// to the list and keeps it.
void SearchFileOnEnvPath(const std::string& fileName, const std::string& dirList, std::string& foundPath);

// The name's file part (behind the last '\' or '/', and behind a drive prefix); empty when the
// name has none, or when it is one character before a full stop ("a.shx"), which is not
// searched.
std::string SearchableFileName(const std::string& name);

// The toolkit's file finder: a name that names a file is taken as it is; otherwise its file
// part is searched along the CAD support folder, the folder of the host's drawing, the font
// search directories, the program folder and the current directory. outPath gets the file
// found (1), or the name unchanged (0).
int FindSupportFile(const char* name, std::string& outPath, HostWord host);

// The path of "acad.lin" along the CAD support folder, the current drawing folder, the program
// folder and the current directory; false when none holds it.
bool FindAcadLinFile(std::string& outPath);

// ';' and the folder, appended to a search list.
void AppendSearchFolder(std::string& list, const std::string& folder);
// Appends the folder of the drawing object's source (when there is one), the font search
// directories, the program folder and the current directory.
void AppendDrawingSearchFolders(std::string& list, const CDrawingObject* drawingObject);

} // namespace tracemill
