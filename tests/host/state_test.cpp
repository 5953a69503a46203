// Data paths, file opening and the state store (atomic replacement).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "framework/data.h"
#include "host/glfw_game.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// Each test runs in a fresh temporary working directory.
struct InTempDir : public ::testing::Test {
    std::string old, dir;
    BBGlfwGame* host = nullptr;
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
        std::string cmd = "rm -rf '" + dir + "'";
        ASSERT_EQ(system(cmd.c_str()), 0);
    }
};

}  // namespace

TEST(DataPaths, SchemeMapping) {
    BBGlfwGame host;
    EXPECT_EQ(host.PathToFilePath(String("zorbel://data/a.png")).ToUtf8(), "./data/a.png");
    EXPECT_EQ(host.PathToFilePath(String("zorbel://internal/x")).ToUtf8(), "./internal/x");
    EXPECT_EQ(host.PathToFilePath(String("zorbel://external/y/z")).ToUtf8(), "./external/y/z");
    EXPECT_EQ(host.PathToFilePath(String("zorbel://cache/a")).Length(), 0);
    EXPECT_EQ(host.OpenFile(String("zorbel://cache/a"), String("rb")), nullptr);
    EXPECT_EQ(host.PathToFilePath(String("plain/name")).ToUtf8(), "plain/name");

    EXPECT_EQ(bb_data_FixDataPath(String("c:/x")).ToUtf8(), "c:/x");
    EXPECT_EQ(bb_data_FixDataPath(String("a:b/c")).ToUtf8(), "zorbel://data/a:b/c");
    EXPECT_EQ(bb_data_FixDataPath(String("zorbel://data/q")).ToUtf8(), "zorbel://data/q");
    EXPECT_EQ(bb_data_FixDataPath(String("./here")).ToUtf8(), "./here");
    EXPECT_EQ(bb_data_FixDataPath(String("/abs")).ToUtf8(), "/abs");
    EXPECT_EQ(bb_data_FixDataPath(String("graphics/logo.png")).ToUtf8(), "zorbel://data/graphics/logo.png");
}

TEST_F(InTempDir, StateRoundTripWithAThreeByteCharacter) {
    Char units[] = {'1', '|', 0x20AC, 0xE9, '|'};
    String state(units, 5);
    EXPECT_EQ(host->SaveState(state), 0);
    std::string bytes = ReadFile(".zorbelstate");
    EXPECT_EQ(bytes, "1|\xE2\x82\xAC\xC3\xA9|");
    EXPECT_TRUE(host->LoadState() == state);
}

TEST_F(InTempDir, EmptyAndAbsentStates) {
    EXPECT_EQ(host->LoadState().Length(), 0);  // absent
    EXPECT_EQ(host->SaveState(String()), 0);
    struct stat st;
    ASSERT_EQ(stat(".zorbelstate", &st), 0);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(host->LoadState().Length(), 0);
}

TEST_F(InTempDir, AByteOrderMarkIsSkipped) {
    std::ofstream(".zorbelstate", std::ios::binary) << "\xEF\xBB\xBF" "5|";
    EXPECT_EQ(host->LoadState().ToUtf8(), "5|");
}

TEST_F(InTempDir, AFailedSaveLeavesThePreviousStoreIntact) {
    ASSERT_EQ(host->SaveState(String("previous|")), 0);
    // A child whose file-size limit stops the write half-way.
    pid_t pid = fork();
    if (pid == 0) {
        struct rlimit rl = {16, 16};
        setrlimit(RLIMIT_FSIZE, &rl);
        BBGlfwGame child;
        std::string big(1000, '7');
        _exit(child.SaveState(String(big.c_str())) == -2 ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a short write reports -2";
    EXPECT_EQ(ReadFile(".zorbelstate"), "previous|");
    EXPECT_EQ(system("ls -A | grep -v '^.zorbelstate$' | grep -q . && exit 1 || exit 0"), 0)
        << "no temporary file is left behind";
}

TEST_F(InTempDir, ASaveThatCannotBeWrittenAtAllReturnsMinusOne) {
    ASSERT_EQ(mkdir("gone", 0755), 0);
    ASSERT_EQ(chdir("gone"), 0);
    ASSERT_EQ(rmdir("../gone"), 0);
    EXPECT_EQ(host->SaveState(String("x|")), -1);
    ASSERT_EQ(chdir(dir.c_str()), 0);
}

TEST_F(InTempDir, OpenFileAndLoadStringUseTheMapping) {
    ASSERT_EQ(mkdir("data", 0755), 0);
    std::ofstream("data/t.txt", std::ios::binary) << "h\xC3\xA9";
    String s = host->LoadString(String("zorbel://data/t.txt"));
    ASSERT_EQ(s.Length(), 2);
    EXPECT_EQ(s[1], 0xE9);
    int len = 0;
    unsigned char* raw = host->LoadData(String("zorbel://data/t.txt"), &len);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(len, 3);
    free(raw);
    EXPECT_EQ(host->LoadData(String("zorbel://data/none"), &len), nullptr);
}
