// Where the game's files are: the data folder chosen at start, asset names
// in the data-path scheme, the per-user folder and path of the state file,
// and the window mode the command line asked for.
#pragma once
#include <string>
#include <vector>

#include "runtime/string.h"

// Name of the state file, in the state folder and, as older versions kept
// it, in the working directory.
extern const char* const BB_STATE_NAME;
extern const char* const BB_LEGACY_STATE_FILE;

// The folder of the state file: $KESTREL_QUILLONS_HOME when set, else
// $XDG_DATA_HOME/kestrel-quillons (an absolute XDG_DATA_HOME only), else
// ~/.local/share/kestrel-quillons; "." when there is no home at all.
// Worked out on every call, so a changed environment takes effect at once.
std::string bbStateFolder();
std::string bbStateFilePath();

// The data folder "zorbel://data/" maps to: "./data" until set.
const std::string& bbDataFolder();
void bbSetDataFolder(const std::string& folder);
// The folders the data is looked for in, in order: beside the executable,
// the installed share folder relative to it, the one compiled in, ./data.
std::vector<std::string> bbDataFolderCandidates();
// The first candidate that holds the game's files, or "" when none does.
std::string bbFindDataFolder();

// Asset names without a scheme or an explicit relative/absolute start are
// taken from the data folder: "graphics/logo.png" becomes
// "zorbel://data/graphics/logo.png". The loaders apply this before the host
// maps a path to a file.
String bb_data_FixDataPath(String path);

// The file an asset name stands for, as the player finds it on disk
// ("data/sfx/001.wav"), and whether that file can be opened at all.
String bb_data_FileName(String path);
bool bb_data_FileExists(String path);

// The window mode asked for on the command line for this run: -1 none,
// 0 windowed (--windowed), 1 full screen (--fullscreen).
extern int bbStartWindowMode;
