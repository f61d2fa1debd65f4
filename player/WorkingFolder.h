// The per-run folder that receives every file the player unpacks. It lives
// under the user's temporary directory, is named by a fresh GUID, and is
// removed with everything in it when the player exits.
#pragma once

#include <string>

namespace lumbra {

// Creates the folder and returns its path, ending in a backslash.
// Throws PlayerException when the folder cannot be made.
std::string createWorkingFolder();

// The temporary directory the folder is made in: TMP, else TEMP (each only
// when set, non-empty and shorter than MAX_PATH), else the Windows directory;
// always ending in a backslash.
std::string temporaryRoot();

// Deletes the folder's files and subfolders depth first, then the folder.
// What cannot be deleted is left silently.
void deleteFolderTree(const std::string& folder);

} // namespace lumbra
