// The save text through the real game: a fresh start's text, a round trip
// with wrapping checksums and the option limits, a checksum failure costing
// only its own block, short, foreign and truncated stores, and a store that
// did not load whole or cannot be saved.
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

std::string Join(const std::vector<std::string>& fields, size_t count = 182) {
    std::string out;
    for (size_t i = 0; i < count && i < fields.size(); ++i) out += fields[i] + "|";
    return out;
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    while (n-- > 0) out += s;
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// What a start with a given store printed and ended up with.
struct Loaded {
    std::string said;  // the load messages (the audio device may print too)
    std::vector<int> options, scores;
    int badges = 0;  // how many are earned
};

Loaded Boot(const std::string& state) {
    testing::internal::CaptureStdout();
    Scenario s(640, 480, state, true);
    std::stringstream printed(testing::internal::GetCapturedStdout());
    Loaded l;
    for (std::string line; std::getline(printed, line);)
        if (line.rfind("Settings", 0) == 0 || line.rfind("Badge", 0) == 0 || line.rfind("Highscore", 0) == 0)
            l.said += line + "\n";
    c_MyApp* app = s.App();
    l.options.assign(app->m_options.Data(), app->m_options.Data() + 25);
    l.scores.assign(app->m_scoreTable.Data(), app->m_scoreTable.Data() + 140);
    for (int i = 0; i < 256; ++i) l.badges += app->m_badges[i];
    return l;
}

// The load messages of the settings, the badges and the first n games.
std::string Said(const char* settings, const char* badges, int games, int failedGame = -1) {
    std::string out = std::string("Settings ") + settings + "\n" + badges + "\n";
    for (int g = 0; g < games; ++g)
        out += "Highscore " + std::to_string(g) + (g == failedGame ? " Checksum Invalid\n" : " Loaded\n");
    return out;
}

// The fields of a store whose every block holds something: options that
// the limits change, badges 0, 31 and 255, and a score whose term wraps.
std::vector<std::string> RichStore() {
    Scenario s;
    c_MyApp* app = s.App();
    const int options[25] = {0, 0, 0, 7, 0, 2, 0, 0, 0, 0, 10, 100, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -9};
    std::copy(options, options + 25, app->m_options.Data());
    app->m_badges[0] = app->m_badges[31] = app->m_badges[255] = true;
    for (int g = 0; g < 7; ++g) {
        for (int r = 0; r < 10; ++r) {
            app->m_scoreTable[10 * g + r] = (g + 1) * 1000 - r * 37;
            app->m_scoreTable[70 + 10 * g + r] = g * 11 + r;
        }
    }
    app->m_scoreTable[0] = 2000000000;
    app->p_Save();
    std::vector<std::string> fields;
    std::stringstream in(s.StateText());
    for (std::string f; std::getline(in, f, '|');) fields.push_back(f);
    return fields;
}

}  // namespace

TEST(Save, AFreshStartSavesItsDefaultsIn182FieldsAndEveryBlockRoundTrips) {
    std::string text;
    {
        testing::internal::CaptureStdout();
        Scenario s;
        EXPECT_EQ(Count(testing::internal::GetCapturedStdout(), "Loaded"), 0) << "no store: no message";
        s.App()->p_Save();
        text = s.StateText();
    }
    // Sound on, the limits' pad placement, overscan 1 off the console, the
    // checksum 5 + 10 * 64 + 11 * 64 + 12 * 10 + 14; zero badges and scores.
    EXPECT_EQ(text, "0|0|0|0|0|1|0|0|0|0|64|64|10|0|1|0|0|0|0|0|0|0|0|0|0|1483|" + Repeat("0|", 9 + 7 * 21));
    EXPECT_EQ(Boot(text).said, Said("Loaded", "Badges Loaded", 7));

    const std::vector<std::string> f = RichStore();
    ASSERT_EQ(f.size(), 182u);
    EXPECT_EQ((std::vector<std::string>{f[26], f[33], f[35], f[36]}),
              (std::vector<std::string>{"-2147483647", "-2147483648", "2000000000", "0"}));
    Loaded l = Boot(Join(f));
    EXPECT_EQ(l.said, Said("Loaded", "Badges Loaded", 7));
    // Options 10 and 12 below their limits come back as 64 and 10, 14 as 1.
    EXPECT_EQ((std::vector<int>{l.options[3], l.options[5], l.options[10], l.options[11], l.options[12],
                                l.options[14], l.options[24]}),
              (std::vector<int>{7, 2, 64, 100, 10, 1, -9}));
    EXPECT_EQ(l.badges, 3);
    EXPECT_EQ((std::vector<int>{l.scores[0], l.scores[69], l.scores[139]}),
              (std::vector<int>{2000000000, 7000 - 9 * 37, 6 * 11 + 9}));
}

TEST(Save, AFailedChecksumCostsOnlyItsBlockAndTheStoreIsKeptAsideOnceBeforeItIsReplaced) {
    const std::vector<std::string> whole = RichStore();
    std::vector<std::string> f = whole;
    f[3] = "8";               // an option
    f[30] = "4";              // a badge word
    f[35 + 3 * 21] = "4001";  // game 3's best score
    const std::string damaged = Join(f);
    Loaded l = Boot(damaged);
    EXPECT_EQ(l.said, Said("Checksum Invalid", "Badge Checksum Invalid", 7, 3));
    // Options reset with sound on and the limits, no badges, game 3 zeroed.
    EXPECT_EQ((std::vector<int>{l.options[3], l.options[5], l.options[12], l.options[24]}),
              (std::vector<int>{0, 1, 10, 0}));
    EXPECT_EQ(l.badges, 0);
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(l.scores[30 + r] + l.scores[100 + r], 0) << r;
        EXPECT_EQ(l.scores[20 + r], 3000 - r * 37);
        EXPECT_EQ(l.scores[110 + r], 44 + r);
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
    EXPECT_EQ(Boot(saved).said, Said("Loaded", "Badges Loaded", 7)) << "the new save is whole";
    // One that lacks only its last game is kept too; a whole one is just replaced.
    for (size_t fields : {182 - 21, 182}) {
        Scenario s(640, 480, Join(whole, fields), true);
        s.App()->p_Save();
        EXPECT_EQ(ReadFile(s.WorkDir() + "/.zorbelstate.bad") != "", fields < 182) << fields;
    }
}

TEST(Save, ShortForeignAndTruncatedStoresLoseOnlyWhatIsMissing) {
    const std::vector<std::string> f = RichStore();
    Loaded l = Boot(Join(f, 26));  // the settings alone
    EXPECT_EQ(l.said, "Settings Loaded\n");
    EXPECT_EQ(l.options[3], 7);
    EXPECT_EQ(std::count(l.scores.begin(), l.scores.end(), 0), 140);
    EXPECT_EQ(l.badges, 0);
    l = Boot(Join(f, 100));  // cut inside game 3's block
    EXPECT_EQ(l.said, Said("Loaded", "Badges Loaded", 3));
    EXPECT_EQ((std::vector<int>{l.scores[20], l.scores[30]}), (std::vector<int>{3000, 0}));
    // Too short for the settings: later blocks are looked for from the first
    // field, where they are missing or fail; all-zero foreign text sums right.
    l = Boot("hello|world");
    EXPECT_EQ(l.said, "");
    EXPECT_EQ((std::vector<int>{l.options[5], l.options[10]}), (std::vector<int>{1, 64}));
    EXPECT_EQ(Boot(Repeat("x|", 40)).said, Said("Loaded", "Badges Loaded", 0));
    EXPECT_EQ(Boot(Repeat("1|", 60)).said,
              Said("Checksum Invalid", "Badge Checksum Invalid", 1, 0));
}

TEST(Save, AReadOnlyStateFolderIsToldOnceAndTheGamePlaysOn) {
    Scenario s;
    s.ToMenu();
    ASSERT_EQ(chmod(s.WorkDir().c_str(), 0755), 0);
    const std::string folder = s.WorkDir() + "/locked";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    std::ofstream(folder + "/.zorbelstate", std::ios::binary) << "previous|";
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    setenv("KESTREL_QUILLONS_HOME", folder.c_str(), 1);
    const bool root = geteuid() == 0;  // root writes anywhere: save as nobody
    if (root) {
        ASSERT_EQ(seteuid(65534), 0);
    }
    testing::internal::CaptureStderr();
    s.App()->p_Save();
    s.Suspend();
    s.Resume();
    s.Press(GLFW_KEY_SPACE);  // start the selected game
    s.Step(30);
    std::string told = testing::internal::GetCapturedStderr();
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
    EXPECT_EQ(Count(told, "cannot save the scores to " + folder + "/.zorbelstate: Permission denied"), 1) << told;
    EXPECT_EQ(ReadFile(folder + "/.zorbelstate"), "previous|");
    EXPECT_NE(s.App()->m_mode, MODE_MENU) << "the game goes on";
    chmod(folder.c_str(), 0755);
}
