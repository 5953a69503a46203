// The save text through the real game: a fresh start's text, round trips of
// options, badges and scores (with wrapping checksums), per-block checksum
// failures, short, truncated and foreign stores, the option limits, and a
// store that cannot be loaded whole or saved.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "testing/scenario.h"

namespace {

std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t i = text.find('|'); i != std::string::npos; i = text.find('|', start)) {
        out.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    return out;
}

std::string Join(const std::vector<std::string>& fields, size_t count) {
    std::string out;
    for (size_t i = 0; i < count && i < fields.size(); ++i) out += fields[i] + "|";
    return out;
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// The load messages among what was printed (the audio device may report
// that it has no sound card on the same stream).
std::string LoadMessages(const std::string& printed) {
    std::string out;
    size_t start = 0;
    while (start < printed.size()) {
        size_t end = printed.find('\n', start);
        if (end == std::string::npos) end = printed.size();
        std::string line = printed.substr(start, end - start);
        if (line.rfind("Settings", 0) == 0 || line.rfind("Badge", 0) == 0 || line.rfind("Highscore", 0) == 0)
            out += line + "\n";
        start = end + 1;
    }
    return out;
}

// Boots with the given store and returns the load messages it printed.
std::string BootPrinting(const std::string& state, bool have, std::vector<int>* options = nullptr,
                         std::vector<int>* scores = nullptr, std::vector<bool>* badges = nullptr) {
    testing::internal::CaptureStdout();
    Scenario s(640, 480, state, have);
    std::string printed = LoadMessages(testing::internal::GetCapturedStdout());
    c_MyApp* app = s.App();
    if (options)
        for (int i = 0; i < 25; ++i) options->push_back(app->m_options[i]);
    if (scores)
        for (int i = 0; i < 140; ++i) scores->push_back(app->m_scoreTable[i]);
    if (badges)
        for (int i = 0; i < 256; ++i) badges->push_back(app->m_badges[i]);
    return printed;
}

const char* kAllLoaded =
    "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\nHighscore 2 Loaded\n"
    "Highscore 3 Loaded\nHighscore 4 Loaded\nHighscore 5 Loaded\nHighscore 6 Loaded\n";

// A store with options, badges and scores that exercise every block.
std::string RichStore() {
    Scenario s;
    c_MyApp* app = s.App();
    app->m_options[3] = 7;
    app->m_options[5] = 2;
    app->m_options[12] = 25;
    app->m_options[24] = -9;
    app->m_badges[0] = true;
    app->m_badges[31] = true;  // bit 31: word 0 becomes negative
    app->m_badges[255] = true;
    for (int g = 0; g < 7; ++g) {
        for (int r = 0; r < 10; ++r) {
            app->m_scoreTable[10 * g + r] = (g + 1) * 1000 - r * 37;
            app->m_scoreTable[70 + 10 * g + r] = g * 11 + r;
        }
    }
    app->m_scoreTable[0] = 2000000000;  // its checksum term wraps
    app->p_Save();
    return s.StateText();
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

}  // namespace

TEST(Save, AFreshStartSavesTheDefaultsIn182FieldsThatLoadBackWithAllMessages) {
    std::string text;
    {
        testing::internal::CaptureStdout();
        Scenario s;
        std::string printed = LoadMessages(testing::internal::GetCapturedStdout());
        EXPECT_EQ(printed, "");  // no store: no message
        EXPECT_FALSE(s.HaveStateFile());
        c_MyApp* app = s.App();
        EXPECT_EQ(app->m_options[5], 1);
        EXPECT_EQ(app->m_options[10], 64);
        EXPECT_EQ(app->m_options[11], 64);
        EXPECT_EQ(app->m_options[12], 10);
        EXPECT_EQ(app->m_options[14], 1);
        EXPECT_EQ(bb_Game_overscan, 0);
        app->p_Save();
        text = s.StateText();
    }
    // Options, their checksum 5 + 10*64 + 11*64 + 12*10 + 14*1, eight zero
    // badge words and their sum, seven zero score blocks.
    std::string expected = "0|0|0|0|0|1|0|0|0|0|64|64|10|0|1|0|0|0|0|0|0|0|0|0|0|1483|" + Repeat("0|", 9) +
                           Repeat(Repeat("0|", 21), 7);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(Fields(text).size(), 182u);
    EXPECT_EQ(BootPrinting(text, true), kAllLoaded);
}

TEST(Save, OptionsBadgesAndScoresRoundTripIncludingANegativeBadgeWord) {
    std::string text = RichStore();
    std::vector<std::string> f = Fields(text);
    ASSERT_EQ(f.size(), 182u);
    EXPECT_EQ(f[26], "-2147483647");  // badges 0 and 31
    EXPECT_EQ(f[33], "-2147483648");  // badge 255
    EXPECT_EQ(f[35], "2000000000");   // game 0 best[0]
    EXPECT_EQ(f[36], "0");            // game 0 recent[0]

    std::vector<int> options, scores;
    std::vector<bool> badges;
    EXPECT_EQ(BootPrinting(text, true, &options, &scores, &badges), kAllLoaded);
    EXPECT_EQ(options[3], 7);
    EXPECT_EQ(options[5], 2);
    EXPECT_EQ(options[12], 25);
    EXPECT_EQ(options[24], -9);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(badges[i], i == 0 || i == 31 || i == 255) << i;
    EXPECT_EQ(scores[0], 2000000000);
    EXPECT_EQ(scores[10 * 6 + 9], 7000 - 9 * 37);
    EXPECT_EQ(scores[70 + 10 * 6 + 9], 6 * 11 + 9);
}

TEST(Save, OneChangedDigitFailsOnlyItsOwnBlock) {
    std::vector<std::string> f = Fields(RichStore());
    ASSERT_EQ(f.size(), 182u);

    // Game 3's best[0] is field 35 + 3 * 21.
    std::vector<std::string> bad = f;
    bad[35 + 3 * 21] = "4001";
    std::vector<int> scores;
    std::string printed = BootPrinting(Join(bad, 182), true, nullptr, &scores);
    EXPECT_EQ(printed,
              "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\nHighscore 2 Loaded\n"
              "Highscore 3 Checksum Invalid\nHighscore 4 Loaded\nHighscore 5 Loaded\nHighscore 6 Loaded\n");
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(scores[30 + r], 0);
        EXPECT_EQ(scores[70 + 30 + r], 0);
        EXPECT_EQ(scores[20 + r], 3000 - r * 37);
        EXPECT_EQ(scores[40 + r], 5000 - r * 37);
    }

    // A changed option: options reset, the limits still apply, badges load.
    bad = f;
    bad[3] = "8";
    std::vector<int> options;
    std::vector<bool> badges;
    printed = BootPrinting(Join(bad, 182), true, &options, nullptr, &badges);
    EXPECT_EQ(printed.substr(0, printed.find('\n')), "Settings Checksum Invalid");
    EXPECT_NE(printed.find("Badges Loaded"), std::string::npos);
    EXPECT_EQ(options[3], 0);
    EXPECT_EQ(options[5], 1);
    EXPECT_EQ(options[12], 10);
    EXPECT_EQ(options[24], 0);
    EXPECT_TRUE(badges[31]);

    // A changed badge word clears every badge, and only the badges.
    bad = f;
    bad[30] = "4";
    badges.clear();
    printed = BootPrinting(Join(bad, 182), true, nullptr, nullptr, &badges);
    EXPECT_NE(printed.find("Badge Checksum Invalid"), std::string::npos);
    EXPECT_NE(printed.find("Highscore 6 Loaded"), std::string::npos);
    for (bool b : badges) EXPECT_FALSE(b);
}

TEST(Save, ASettingsOnlyStoreLoadsTheSettingsAndKeepsTheOtherDefaults) {
    std::vector<std::string> f = Fields(RichStore());
    std::vector<int> options, scores;
    std::vector<bool> badges;
    EXPECT_EQ(BootPrinting(Join(f, 26), true, &options, &scores, &badges), "Settings Loaded\n");
    EXPECT_EQ(options[3], 7);
    for (int s : scores) EXPECT_EQ(s, 0);
    for (bool b : badges) EXPECT_FALSE(b);
}

TEST(Save, ForeignAndTruncatedStoresLoseOnlyWhatIsMissingOrBroken) {
    std::vector<int> options, scores;
    // Too short for the settings; the other blocks are looked for from the
    // first field and fail their checksums or are missing.
    EXPECT_EQ(BootPrinting("hello|world", true, &options, &scores), "");
    EXPECT_EQ(options[5], 1);
    EXPECT_EQ(options[10], 64);
    EXPECT_EQ(BootPrinting("", true), "");
    std::string foreign = BootPrinting(Repeat("x|", 40), true, &options);
    EXPECT_EQ(foreign, "Settings Loaded\nBadges Loaded\n");  // all zero: the sums match
    EXPECT_EQ(BootPrinting(Repeat("1|", 60), true),
              "Settings Checksum Invalid\nBadge Checksum Invalid\nHighscore 0 Checksum Invalid\n");

    // Cut inside game 3's block: games 0 to 2 load, the rest are skipped.
    std::vector<std::string> f = Fields(RichStore());
    scores.clear();
    EXPECT_EQ(BootPrinting(Join(f, 100), true, nullptr, &scores),
              "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\nHighscore 2 Loaded\n");
    EXPECT_EQ(scores[20], 3000);
    EXPECT_EQ(scores[30], 0);
    EXPECT_EQ(scores[60], 0);
}

TEST(Save, OptionLimitsApplyToLoadedValues) {
    // Options 10, 11, 12, 14 at 10, 100, 5, 0: checksum 100 + 1100 + 60.
    std::string text = "0|0|0|0|0|1|0|0|0|0|10|100|5|0|0|0|0|0|0|0|0|0|0|0|0|1265|";
    std::vector<int> options;
    EXPECT_EQ(BootPrinting(text, true, &options), "Settings Loaded\n");
    EXPECT_EQ(options[10], 64);
    EXPECT_EQ(options[11], 100);
    EXPECT_EQ(options[12], 10);
    EXPECT_EQ(options[14], 1);

    // Size 8 is allowed as it is.
    text = "0|0|0|0|0|1|0|0|0|0|64|64|8|0|1|0|0|0|0|0|0|0|0|0|0|1459|";
    options.clear();
    EXPECT_EQ(BootPrinting(text, true, &options), "Settings Loaded\n");
    EXPECT_EQ(options[12], 8);
}

TEST(Save, AStoreThatDidNotLoadWholeIsKeptAsideOnceBeforeItIsReplaced) {
    std::vector<std::string> f = Fields(RichStore());
    std::vector<std::string> bad = f;
    bad[35 + 3 * 21] = "4001";
    std::string damaged = Join(bad, 182);
    std::string saved;
    {
        testing::internal::CaptureStderr();
        Scenario s(640, 480, damaged, true);
        s.ToMenu();
        s.App()->p_Save();
        s.Suspend();  // saves again
        s.Resume();
        s.Step(5);
        std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Count(told, "did not load whole (a checksum does not match); it is kept as "), 1) << told;
        EXPECT_EQ(ReadFile(s.WorkDir() + "/.zorbelstate.bad"), damaged);
        saved = s.StateText();
    }
    EXPECT_EQ(BootPrinting(saved, true), kAllLoaded) << "the new save is whole";
    {
        Scenario s(640, 480, Join(f, 26), true);  // ends after the settings
        s.App()->p_Save();
        EXPECT_EQ(ReadFile(s.WorkDir() + "/.zorbelstate.bad"), Join(f, 26));
    }
    Scenario s(640, 480, Join(f, 182), true);
    s.App()->p_Save();
    EXPECT_NE(access((s.WorkDir() + "/.zorbelstate.bad").c_str(), F_OK), 0) << "a whole store is just replaced";
}

TEST(Save, AReadOnlyStateFolderIsToldOnceAndTheGamePlaysOn) {
    Scenario s;
    s.ToMenu();
    ASSERT_EQ(chmod(s.WorkDir().c_str(), 0755), 0);
    std::string folder = s.WorkDir() + "/locked";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    std::ofstream(folder + "/.zorbelstate", std::ios::binary) << "previous|";
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    setenv("KESTREL_QUILLONS_HOME", folder.c_str(), 1);
    // Root writes anywhere: play as nobody for the saves.
    bool root = geteuid() == 0;
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
