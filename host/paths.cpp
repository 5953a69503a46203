// The data folder search, asset names in the data-path scheme, and the
// per-user state folder (XDG base directories, or KESTREL_QUILLONS_HOME for
// tests and portable installs).
#include "host/paths.h"

#include "host/game.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#ifndef KQ_INSTALL_DATA_DIR
#define KQ_INSTALL_DATA_DIR "/usr/local/share/kestrel-quillons/data"
#endif

const char* const BB_STATE_NAME = ".zorbelstate";
const char* const BB_LEGACY_STATE_FILE = "./.zorbelstate";
int bbStartWindowMode = -1;

namespace {

const char* const kAppFolder = "kestrel-quillons";
// The framework's default font: every data folder of the game has it.
const char* const kDataMarker = "vexa_font.png";

std::string g_dataFolder = "./data";

std::string Env(const char* name) {
    const char* v = getenv(name);
    return v ? v : "";
}

std::string HomeFolder() {
    std::string home = Env("HOME");
    if (!home.empty()) return home;
    const struct passwd* pw = getpwuid(getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "";
}

// The folder of the running executable ("" when it cannot be told).
std::string ExecutableFolder() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "";
    std::string exe(buf, static_cast<size_t>(n));
    size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "" : exe.substr(0, slash);
}

}  // namespace

std::string bbStateFolder() {
    std::string own = Env("KESTREL_QUILLONS_HOME");
    if (!own.empty()) return own;
    std::string xdg = Env("XDG_DATA_HOME");
    if (!xdg.empty() && xdg[0] == '/') return xdg + "/" + kAppFolder;
    std::string home = HomeFolder();
    if (!home.empty()) return home + "/.local/share/" + kAppFolder;
    return ".";
}

std::string bbStateFilePath() { return bbStateFolder() + "/" + BB_STATE_NAME; }

const std::string& bbDataFolder() { return g_dataFolder; }
void bbSetDataFolder(const std::string& folder) { g_dataFolder = folder; }

std::vector<std::string> bbDataFolderCandidates() {
    std::vector<std::string> out;
    std::string exeDir = ExecutableFolder();
    if (!exeDir.empty()) {
        out.push_back(exeDir + "/data");
        out.push_back(exeDir + "/../share/" + kAppFolder + "/data");
    }
    out.push_back(KQ_INSTALL_DATA_DIR);
    out.push_back("./data");
    return out;
}

std::string bbFindDataFolder() {
    for (const std::string& dir : bbDataFolderCandidates()) {
        struct stat st;
        if (stat((dir + "/" + kDataMarker).c_str(), &st) == 0 && S_ISREG(st.st_mode)) return dir;
    }
    return "";
}

String bb_data_FixDataPath(String path) {
    int i = path.Find(String(":/"));
    if (i != -1 && path.Find(String("/")) == i + 1) return path;
    if (path.StartsWith(String("./")) || path.StartsWith(String("/"))) return path;
    return String("zorbel://data/") + path;
}

String bb_data_FileName(String path) {
    String file = bb_data_FixDataPath(path);
    if (BBGame::Game()) file = BBGame::Game()->PathToFilePath(file);
    if (file.StartsWith(String("./"))) file = file.Slice(2);
    return file;
}

bool bb_data_FileExists(String path) {
    FILE* f = BBGame::Game() ? BBGame::Game()->OpenFile(bb_data_FixDataPath(path), String("rb")) : nullptr;
    if (f) fclose(f);
    return f != nullptr;
}
