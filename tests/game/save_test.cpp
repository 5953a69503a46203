// The save text through the real game: a fresh start's text, a round trip
// with wrapping checksums and the option limits, short and truncated stores,
// a checksum failure costing only its own block, a store that did not load
// whole kept aside, and a state folder that cannot be written.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "testing/scenario.h"

namespace {

using Fields = std::vector<std::string>;

std::string Join(const Fields& fields, size_t count = 182) {
    std::string out;
    for (size_t i = 0; i < count; ++i) out += fields[i] + "|";
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// What a start with a given store ended up with.
struct Loaded {
    std::vector<int> options, scores;
    int badges = 0;  // how many are earned
};

Loaded Boot(const std::string& state) {
    Scenario s(640, 480, state, true);
    c_MyApp* app = s.App();
    Loaded l;
    l.options.assign(app->m_options.Data(), app->m_options.Data() + 25);
    l.scores.assign(app->m_scoreTable.Data(), app->m_scoreTable.Data() + 140);
    l.badges = static_cast<int>(std::count(app->m_badges.Data(), app->m_badges.Data() + 256, true));
    return l;
}

// The fields of a store whose every block holds something: options that
// the limits change, badges 0, 31 and 255, and a score whose term wraps.
Fields RichStore() {
    Scenario s;
    c_MyApp* app = s.App();
    const int options[25] = {0, 0, 0, 7, 0, 2, 0, 0, 0, 0, 10, 100, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -9};
    std::copy(options, options + 25, app->m_options.Data());
    app->m_badges[0] = app->m_badges[31] = app->m_badges[255] = true;
    for (int i = 0; i < 70; ++i) {
        app->m_scoreTable[i] = (i / 10 + 1) * 1000 - i % 10 * 37;  // best of game i / 10
        app->m_scoreTable[70 + i] = i + i / 10;                    // recent
    }
    app->m_scoreTable[0] = 2000000000;
    app->p_Save();
    Fields fields;
    std::stringstream in(s.StateText());
    for (std::string f; std::getline(in, f, '|');) fields.push_back(f);
    return fields;
}

}  // namespace

TEST(Save, AFreshStartSavesItsDefaultsEveryBlockRoundTripsAndAShortStoreLosesOnlyWhatIsMissing) {
    std::string text;
    {
        Scenario s;
        s.App()->p_Save();
        text = s.StateText();
    }
    // Sound on, the limits' pad placement, overscan 1 off the console, the
    // checksum 5 + 10 * 64 + 11 * 64 + 12 * 10 + 14; zero badges and scores.
    std::string zeros;
    for (int i = 0; i < 9 + 7 * 21; ++i) zeros += "0|";
    EXPECT_EQ(text, "0|0|0|0|0|1|0|0|0|0|64|64|10|0|1|0|0|0|0|0|0|0|0|0|0|1483|" + zeros);

    const Fields f = RichStore();
    ASSERT_EQ(f.size(), 182u);
    EXPECT_EQ((Fields{f[26], f[33], f[35], f[36]}), (Fields{"-2147483647", "-2147483648", "2000000000", "0"}));
    Loaded l = Boot(Join(f));
    // Options 10 and 12 below their limits come back as 64 and 10, 14 as 1.
    EXPECT_EQ((std::vector<int>{l.options[3], l.options[5], l.options[10], l.options[11], l.options[12], l.options[14],
                                l.options[24], l.badges}),
              (std::vector<int>{7, 2, 64, 100, 10, 1, -9, 3}));
    EXPECT_EQ((std::vector<int>{l.scores[0], l.scores[69], l.scores[139]}), (std::vector<int>{2000000000, 6667, 75}));

    l = Boot(Join(f, 26));  // the settings alone
    EXPECT_EQ((std::vector<int>{l.options[3], l.badges, l.scores[0]}), (std::vector<int>{7, 0, 0}));
    l = Boot(Join(f, 100));  // cut inside game 3's block
    EXPECT_EQ((std::vector<int>{l.badges, l.scores[20], l.scores[90], l.scores[30]}),
              (std::vector<int>{3, 3000, 22, 0}));
}

TEST(Save, AFailedChecksumCostsOnlyItsBlockAndAStoreThatDidNotLoadWholeIsKeptAsideOnce) {
    const Fields whole = RichStore();
    Fields f = whole;
    f[3] = "8";               // an option
    f[30] = "4";              // a badge word
    f[35 + 3 * 21] = "4001";  // game 3's best score
    const std::string damaged = Join(f);
    Loaded l = Boot(damaged);
    // Options reset with sound on and the limits, no badges, game 3 zeroed.
    EXPECT_EQ((std::vector<int>{l.options[3], l.options[5], l.options[12], l.options[24], l.badges}),
              (std::vector<int>{0, 1, 10, 0, 0}));
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(l.scores[30 + r] + l.scores[100 + r], 0) << r;
        EXPECT_EQ((std::vector<int>{l.scores[20 + r], l.scores[90 + r]}), (std::vector<int>{3000 - r * 37, 22 + r}));
    }
    std::string saved;
    {
        testing::internal::CaptureStderr();
        Scenario s(640, 480, damaged, true);
        s.ToMenu();
        s.App()->p_Save();
        s.Suspend();  // saves again
        std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Count(told, "did not load whole (a checksum does not match); it is kept as "), 1) << told;
        EXPECT_EQ(ReadFile(s.WorkDir() + "/.zorbelstate.bad"), damaged);
        saved = s.StateText();
    }
    EXPECT_EQ(Boot(saved).scores, l.scores) << "the new save is whole";
    // One that lacks only its last game is kept too; a whole one is just replaced.
    for (size_t fields : {182 - 21, 182}) {
        Scenario s(640, 480, Join(whole, fields), true);
        s.App()->p_Save();
        EXPECT_EQ(ReadFile(s.WorkDir() + "/.zorbelstate.bad") != "", fields < 182) << fields;
    }
}

TEST(Save, AReadOnlyStateFolderIsToldOnceAndTheGamePlaysOn) {
    Scenario s;
    s.ToMenu();
    const std::string folder = s.WorkDir() + "/locked";
    ASSERT_EQ(chmod(s.WorkDir().c_str(), 0755) + mkdir(folder.c_str(), 0755), 0);
    std::ofstream(folder + "/.zorbelstate", std::ios::binary) << "previous|";
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    setenv("KESTREL_QUILLONS_HOME", folder.c_str(), 1);
    const bool root = geteuid() == 0;  // root writes anywhere: save as nobody
    ASSERT_EQ(root ? seteuid(65534) : 0, 0);
    testing::internal::CaptureStderr();
    s.App()->p_Save();
    s.Suspend();
    s.Resume();
    s.Press(GLFW_KEY_SPACE);  // start the selected game
    s.Step(30);
    std::string told = testing::internal::GetCapturedStderr();
    ASSERT_EQ(root ? seteuid(0) : 0, 0);
    EXPECT_EQ(Count(told, "cannot save the scores to " + folder + "/.zorbelstate: Permission denied"), 1) << told;
    EXPECT_EQ(ReadFile(folder + "/.zorbelstate"), "previous|");
    EXPECT_NE(s.App()->m_mode, MODE_MENU) << "the game goes on";
    chmod(folder.c_str(), 0755);
}
