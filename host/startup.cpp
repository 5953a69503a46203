// The process entry proper, BBZorbelGame::Main: command-line options, the
// data folder, the windowing library's start with its errors on stderr,
// extra gamepad mappings, then the program start and the main loop. Every
// start-up failure says what failed and exits non-zero.
#include <GLFW/glfw3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "host/glfw_game.h"
#include "host/paths.h"

#ifndef KQ_VERSION
#define KQ_VERSION "0"
#endif

int argc = 0;
const char** argv = nullptr;

namespace {

const char* const kUsage =
    "Usage: kestrel-quillons [--fullscreen | --windowed]\n"
    "       kestrel-quillons --help | --version\n";

const char* const kHelp =
    "Kestrel Quillons 1986: seven short arcade games on a home computer of 1986.\n"
    "\n"
    "  --fullscreen  start in full screen\n"
    "  --windowed    start in a window\n"
    "  --help        show this text and exit\n"
    "  --version     show the version and exit\n"
    "\n"
    "Scores and options are kept in $XDG_DATA_HOME/kestrel-quillons (by default\n"
    "~/.local/share/kestrel-quillons), or in $KESTREL_QUILLONS_HOME when it is set.\n"
    "Gamepad mappings are read from $SDL_GAMECONTROLLERCONFIG and from a\n"
    "gamecontrollerdb.txt in that folder.\n";

// The community mapping database is about half a megabyte.
const off_t kMaxMappingBytes = 4 << 20;

std::string g_glfwErrorContext;  // what the game was doing, when it helps

void ReportGlfwError(int, const char* description) {
    fprintf(stderr, "kestrel-quillons: %s%s\n", g_glfwErrorContext.c_str(), description ? description : "");
}

void ReadOptions(int argc, const char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help") {
            printf("%s\n%s", kUsage, kHelp);
            exit(0);
        }
        if (option == "--version") {
            printf("kestrel-quillons %s\n", KQ_VERSION);
            exit(0);
        }
        if (option == "--fullscreen") {
            bbStartWindowMode = 1;
        } else if (option == "--windowed") {
            bbStartWindowMode = 0;
        } else {
            fprintf(stderr, "kestrel-quillons: unknown option %s\n%s", option.c_str(), kUsage);
            exit(2);
        }
    }
}

void UseDataFolder() {
    std::string found = bbFindDataFolder();
    if (!found.empty()) {
        bbSetDataFolder(found);
        return;
    }
    std::string searched;
    for (const std::string& dir : bbDataFolderCandidates()) searched += (searched.empty() ? "" : ", ") + dir;
    fprintf(stderr, "kestrel-quillons: the game's data folder is missing (looked in %s); reinstall the game\n",
            searched.c_str());
    exit(1);
}

bool InitGlfw() {
    std::string error;
    if (bbInitGlfw(&error)) return true;
    fprintf(stderr, "kestrel-quillons: the windowing library cannot start: %s (start the game on a desktop)\n",
            error.empty() ? "no reason given" : error.c_str());
    return false;
}

std::string ReadSmallFile(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxMappingBytes) return "";
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Mappings for gamepads GLFW does not know, on top of its own: the state
// folder's gamecontrollerdb.txt, then SDL_GAMECONTROLLERCONFIG.
void AddGamepadMappings() {
    std::string path = bbStateFolder() + "/gamecontrollerdb.txt";
    std::string db = ReadSmallFile(path);
    g_glfwErrorContext = "gamepad mappings in " + path + ": ";
    if (!db.empty()) glfwUpdateGamepadMappings(db.c_str());
    const char* env = getenv("SDL_GAMECONTROLLERCONFIG");
    g_glfwErrorContext = "gamepad mappings in SDL_GAMECONTROLLERCONFIG: ";
    if (env && *env) glfwUpdateGamepadMappings(env);
    g_glfwErrorContext.clear();
}

}  // namespace

void BBZorbelGame::Main(int argc, const char** argv) {
    ReadOptions(argc, argv);
    UseDataFolder();
    glfwSetErrorCallback(ReportGlfwError);
    if (!InitGlfw()) {
        puts("glfwInit failed");
        fflush(stdout);
        exit(-1);
    }
    AddGamepadMappings();
    BBZorbelGame* game = new BBZorbelGame();
    try {
        bb_std_main(argc, argv);
    } catch (ThrowableObject* ex) {
        glfwTerminate();
        game->Die(ex);
        return;
    }
    if (game->Delegate()) {
        game->Run();
        if (!game->Window()) {
            fprintf(stderr,
                    "kestrel-quillons: cannot open the game window with an OpenGL context; check that the "
                    "graphics driver supports OpenGL\n");
            glfwTerminate();
            exit(1);
        }
    }
    glfwTerminate();
}

int bb_std_main(int argc_, const char** argv_) {
    argc = argc_;
    argv = argv_;
    signal(SIGSEGV, sighandler);
    signal(SIGILL, sighandler);
    signal(SIGFPE, sighandler);
    gc_init1();
    bbInit();
    gc_init2();
    bbMain();
    return 0;
}
