// Data paths, file opening and the state store: where the state file lives,
// atomic replacement, the file of older versions taken over, links, leftovers,
// things in the way that are not a state file, and oversized files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "host/glfw_game.h"
#include "host/paths.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Sets or (with null) unsets an environment variable for a scope.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : m_name(name), m_had(getenv(name) != nullptr) {
        if (m_had) m_old = getenv(name);
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~EnvVar() {
        if (m_had) setenv(m_name.c_str(), m_old.c_str(), 1);
        else unsetenv(m_name.c_str());
    }

private:
    std::string m_name, m_old;
    bool m_had;
};

// Each test runs in a fresh temporary working directory, which is also the
// state folder unless the test says otherwise.
struct InTempDir : public ::testing::Test {
    std::string old, dir;
    BBGlfwGame* host = nullptr;
    EnvVar home{"KESTREL_QUILLONS_HOME", "."};
    void SetUp() override {
        char buf[4096];
        old = getcwd(buf, sizeof buf);
        char tmpl[] = "/tmp/kq-state-XXXXXX";
        dir = mkdtemp(tmpl);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        host = new BBGlfwGame;
    }
    void TearDown() override {
        delete host;
        ASSERT_EQ(chdir(old.c_str()), 0);
        ASSERT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
    }
};

}  // namespace

TEST(DataPaths, SchemeMapping) {
    BBGlfwGame host;
    EXPECT_EQ(host.PathToFilePath(String("zorbel://data/a.png")).ToUtf8(), "./data/a.png");
    EXPECT_EQ(host.PathToFilePath(String("zorbel://internal/x")).ToUtf8(), "./internal/x");
    EXPECT_EQ(host.PathToFilePath(String("zorbel://cache/a")).Length(), 0);
    EXPECT_EQ(host.OpenFile(String("zorbel://cache/a"), String("rb")), nullptr);
    EXPECT_EQ(bb_data_FixDataPath(String("c:/x")).ToUtf8(), "c:/x");
    EXPECT_EQ(bb_data_FixDataPath(String("a:b/c")).ToUtf8(), "zorbel://data/a:b/c");
    EXPECT_EQ(bb_data_FixDataPath(String("./here")).ToUtf8(), "./here");
    EXPECT_EQ(bb_data_FixDataPath(String("/abs")).ToUtf8(), "/abs");
    EXPECT_EQ(bb_data_FixDataPath(String("graphics/logo.png")).ToUtf8(), "zorbel://data/graphics/logo.png");
}

TEST(StatePaths, ThePlayersFolderFollowsTheEnvironment) {
    EnvVar home("HOME", "/home/pat");
    {
        EnvVar own("KESTREL_QUILLONS_HOME", "/portable/kq");
        EnvVar xdg("XDG_DATA_HOME", "/xdg");
        EXPECT_EQ(bbStateFilePath(), "/portable/kq/.zorbelstate");
    }
    EnvVar own("KESTREL_QUILLONS_HOME", nullptr);
    {
        EnvVar xdg("XDG_DATA_HOME", "/xdg");
        EXPECT_EQ(bbStateFolder(), "/xdg/kestrel-quillons");
    }
    EnvVar xdg("XDG_DATA_HOME", "relative/is/ignored");
    EXPECT_EQ(bbStateFilePath(), "/home/pat/.local/share/kestrel-quillons/.zorbelstate");
}

// The text goes out as UTF-8 and comes back the same; an absent or empty
// file is an empty state, and a byte-order mark is skipped. Data files are
// read through the same mapping.
TEST_F(InTempDir, TextRoundTripsAndFilesAreReadThroughTheMapping) {
    EXPECT_EQ(host->LoadState().Length(), 0);
    EXPECT_EQ(host->SaveState(String()), 0);
    EXPECT_EQ(ReadFile(".zorbelstate"), "");
    Char units[] = {'1', '|', 0x20AC, 0xE9, '|'};
    String state(units, 5);
    EXPECT_EQ(host->SaveState(state), 0);
    EXPECT_EQ(ReadFile(".zorbelstate"), "1|\xE2\x82\xAC\xC3\xA9|");
    EXPECT_TRUE(host->LoadState() == state);
    std::ofstream(".zorbelstate", std::ios::binary) << "\xEF\xBB\xBF"
                                                       "5|";
    EXPECT_EQ(host->LoadState().ToUtf8(), "5|");

    ASSERT_EQ(mkdir("data", 0755), 0);
    std::ofstream("data/t.txt", std::ios::binary) << "h\xC3\xA9";
    EXPECT_EQ(host->LoadString(String("zorbel://data/t.txt")).ToUtf8(), "h\xC3\xA9");
    int len = 0;
    unsigned char* raw = host->LoadData(String("zorbel://data/t.txt"), &len);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(len, 3);
    free(raw);
    EXPECT_EQ(host->LoadData(String("zorbel://data/none"), &len), nullptr);
}

TEST_F(InTempDir, AFailedSaveLeavesThePreviousStoreIntactAndNoTemporaryFile) {
    ASSERT_EQ(host->SaveState(String("previous|")), 0);
    // A child whose file-size limit stops the write half-way.
    pid_t pid = fork();
    if (pid == 0) {
        struct rlimit rl = {16, 16};
        setrlimit(RLIMIT_FSIZE, &rl);
        BBGlfwGame child;
        _exit(child.SaveState(String(std::string(1000, '7').c_str())) == -2 ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a short write reports -2";
    EXPECT_EQ(ReadFile(".zorbelstate"), "previous|");
    EXPECT_EQ(system("ls -A | grep -v '^.zorbelstate$' | grep -q . && exit 1 || exit 0"), 0);

    // A folder that is gone cannot be written at all.
    ASSERT_EQ(mkdir("gone", 0755), 0);
    ASSERT_EQ(chdir("gone"), 0);
    ASSERT_EQ(rmdir("../gone"), 0);
    EXPECT_EQ(host->SaveState(String("x|")), -1);
    ASSERT_EQ(chdir(dir.c_str()), 0);
}

TEST_F(InTempDir, TheFirstSaveMakesThePlayersFolderAndTakesOverTheOldFile) {
    std::ofstream(".zorbelstate", std::ios::binary) << "old|";
    EnvVar players("KESTREL_QUILLONS_HOME", (dir + "/share/kq").c_str());
    mode_t oldMask = umask(027);
    EXPECT_EQ(host->LoadState().ToUtf8(), "old|");
    EXPECT_EQ(host->SaveState(String("new|")), 0);
    umask(oldMask);
    EXPECT_EQ(ReadFile("share/kq/.zorbelstate"), "new|");
    EXPECT_EQ(ReadFile(".zorbelstate"), "old|") << "the old file is left as it was";
    struct stat st;
    ASSERT_EQ(stat("share/kq/.zorbelstate", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the umask is respected";
    ASSERT_EQ(stat("share", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(host->LoadState().ToUtf8(), "new|");
}

TEST_F(InTempDir, ALinkedStateFileHasItsTargetReplacedAndLeftoverTemporaryFilesGo) {
    ASSERT_EQ(mkdir("real", 0755), 0);
    std::ofstream("real/scores", std::ios::binary) << "a|";
    ASSERT_EQ(chmod("real/scores", 0600), 0);
    ASSERT_EQ(symlink("real/scores", ".zorbelstate"), 0);
    // An interrupted save's file, one that a running save holds, and the
    // copy of a damaged file.
    std::ofstream("real/.zorbelstate.Ab12Cd") << "leftover";
    std::ofstream("real/.zorbelstate.bad") << "kept";
    int busy = open("real/.zorbelstate.Zz99Yy", O_CREAT | O_RDWR, 0600);
    ASSERT_EQ(flock(busy, LOCK_EX), 0);

    EXPECT_EQ(host->LoadState().ToUtf8(), "a|");
    EXPECT_NE(access("real/.zorbelstate.Ab12Cd", F_OK), 0);
    EXPECT_EQ(access("real/.zorbelstate.Zz99Yy", F_OK), 0);
    EXPECT_EQ(ReadFile("real/.zorbelstate.bad"), "kept");
    close(busy);

    EXPECT_EQ(host->SaveState(String("b|")), 0);
    struct stat st;
    ASSERT_EQ(lstat(".zorbelstate", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    EXPECT_EQ(ReadFile("real/scores"), "b|");
    ASSERT_EQ(stat("real/scores", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "a replaced file keeps its mode";
}

TEST_F(InTempDir, OnlyARegularFileIsReadAndAFolderInTheWayIsToldUntilASaveWorks) {
    ASSERT_EQ(mkdir(".zorbelstate", 0755), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(host->LoadState().Length(), 0);
    EXPECT_EQ(host->SaveState(String("1|")), -1);
    EXPECT_EQ(host->SaveState(String("2|")), -1);
    std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Count(told, "\n"), 1) << told;
    EXPECT_EQ(Count(told, "is a folder"), 1) << told;

    ASSERT_EQ(rmdir(".zorbelstate"), 0);
    EXPECT_EQ(host->SaveState(String("3|")), 0);
    ASSERT_EQ(unlink(".zorbelstate"), 0);
    ASSERT_EQ(mkdir(".zorbelstate", 0755), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(host->SaveState(String("4|")), -1);
    EXPECT_EQ(host->SaveState(String("5|")), -1);
    told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Count(told, "cannot save the scores to ./.zorbelstate: it is a folder"), 1)
        << "told again, once, after a save has worked: " << told;
    ASSERT_EQ(rmdir(".zorbelstate"), 0);

    // A FIFO would block a reader, /dev/zero never ends: neither is read.
    ASSERT_EQ(mkfifo(".zorbelstate", 0600), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(host->LoadState().Length(), 0);
    ASSERT_EQ(unlink(".zorbelstate"), 0);
    ASSERT_EQ(symlink("/dev/zero", ".zorbelstate"), 0);
    EXPECT_EQ(host->LoadState().Length(), 0);
    EXPECT_EQ(Count(testing::internal::GetCapturedStderr(), "not a regular file"), 2);
}

TEST_F(InTempDir, AnOversizedStateIsNotReadAndIsKeptAsideBeforeItIsReplaced) {
    // 64 KiB is the most that is read.
    std::ofstream(".zorbelstate", std::ios::binary) << std::string(64 * 1024, '7');
    EXPECT_EQ(host->LoadState().Length(), 64 * 1024);
    std::ofstream(".zorbelstate", std::ios::binary) << std::string(64 * 1024 + 1, '7');
    EXPECT_EQ(host->LoadState().Length(), 0);

    // A sparse gigabyte: reading it would take seconds and gigabytes.
    const off_t kHuge = 1L << 30;
    ASSERT_EQ(truncate(".zorbelstate", kHuge), 0);
    struct rusage before, after;
    getrusage(RUSAGE_SELF, &before);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(host->LoadState().Length(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes";

    testing::internal::CaptureStderr();
    EXPECT_EQ(host->SaveState(String("fresh|")), 0);
    EXPECT_EQ(host->SaveState(String("again|")), 0);
    std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Count(told,
                    "./.zorbelstate did not load whole (it is larger than 64 KiB); it is kept as "
                    "./.zorbelstate.bad"),
              1)
        << told;
    struct stat st;
    ASSERT_EQ(stat(".zorbelstate.bad", &st), 0);
    EXPECT_EQ(st.st_size, kHuge);
    EXPECT_EQ(ReadFile(".zorbelstate"), "again|");
}
