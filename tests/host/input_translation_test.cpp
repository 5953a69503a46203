// Translation of GLFW 3 keys, characters, mouse buttons and window close
// into the framework's key codes and host events.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "framework/input_device.h"
#include "host/glfw_game.h"

namespace {

// Every GLFW 3 key the framework knows, with its framework code.
std::map<int, int> ExpectedKeys() {
    std::map<int, int> m;
    for (int k = GLFW_KEY_0; k <= GLFW_KEY_9; ++k) m[k] = k;
    for (int k = GLFW_KEY_A; k <= GLFW_KEY_Z; ++k) m[k] = k;
    for (int i = 0; i < 12; ++i) m[GLFW_KEY_F1 + i] = 112 + i;
    for (int i = 0; i < 10; ++i) m[GLFW_KEY_KP_0 + i] = 96 + i;
    const std::pair<int, int> rows[] = {
        {GLFW_KEY_SPACE, 32},         {GLFW_KEY_APOSTROPHE, 222},    {GLFW_KEY_COMMA, 188},
        {GLFW_KEY_MINUS, 189},        {GLFW_KEY_PERIOD, 190},        {GLFW_KEY_SLASH, 191},
        {GLFW_KEY_SEMICOLON, 186},    {GLFW_KEY_EQUAL, 187},         {GLFW_KEY_LEFT_BRACKET, 219},
        {GLFW_KEY_BACKSLASH, 220},    {GLFW_KEY_RIGHT_BRACKET, 221}, {GLFW_KEY_GRAVE_ACCENT, 192},
        {GLFW_KEY_ESCAPE, 27},        {GLFW_KEY_UP, 38},             {GLFW_KEY_DOWN, 40},
        {GLFW_KEY_LEFT, 37},          {GLFW_KEY_RIGHT, 39},          {GLFW_KEY_LEFT_SHIFT, 16},
        {GLFW_KEY_RIGHT_SHIFT, 16},   {GLFW_KEY_LEFT_CONTROL, 17},   {GLFW_KEY_RIGHT_CONTROL, 17},
        {GLFW_KEY_TAB, 9},            {GLFW_KEY_ENTER, 13},          {GLFW_KEY_KP_ENTER, 13},
        {GLFW_KEY_BACKSPACE, 8},
        {GLFW_KEY_INSERT, 45},        {GLFW_KEY_DELETE, 46},         {GLFW_KEY_PAGE_UP, 33},
        {GLFW_KEY_PAGE_DOWN, 34},     {GLFW_KEY_HOME, 36},           {GLFW_KEY_END, 35},
        {GLFW_KEY_KP_DIVIDE, 111},    {GLFW_KEY_KP_MULTIPLY, 106},   {GLFW_KEY_KP_SUBTRACT, 109},
        {GLFW_KEY_KP_ADD, 107},       {GLFW_KEY_KP_DECIMAL, 110},
    };
    for (auto& r : rows) m[r.first] = r.second;
    return m;
}

TEST(KeyTable, EveryKnownKeyHasItsCodeAndEveryOtherKeyNone) {
    std::map<int, int> expected = ExpectedKeys();
    for (int key = GLFW_KEY_UNKNOWN; key <= GLFW_KEY_LAST; ++key) {
        auto it = expected.find(key);
        EXPECT_EQ(TransKey(key), it == expected.end() ? 0 : it->second) << "GLFW key " << key;
    }
    // The keys the framework drops on purpose.
    for (int key : {GLFW_KEY_KP_EQUAL, GLFW_KEY_LEFT_ALT, GLFW_KEY_RIGHT_ALT, GLFW_KEY_F13,
                    GLFW_KEY_CAPS_LOCK, GLFW_KEY_NUM_LOCK, GLFW_KEY_MENU, GLFW_KEY_LEFT_SUPER, GLFW_KEY_WORLD_1})
        EXPECT_EQ(TransKey(key), 0) << key;
}

TEST(KeyTable, KeysThatAlsoTypeACharacter) {
    for (int k : {8, 9, 13, 27}) EXPECT_EQ(KeyToChar(k), k);
    for (int k : {33, 34, 35, 36, 37, 38, 39, 40, 45}) EXPECT_EQ(KeyToChar(k), 0x10000 + k);
    EXPECT_EQ(KeyToChar(46), 127);
    for (int k : {32, 65, 16, 17, 112, 96, 41, 44, 47}) EXPECT_EQ(KeyToChar(k), 0) << k;
}

// A delegate that records what reaches it and feeds an input device, as
// the framework's delegate does.
class Recorder : public BBGameDelegate {
public:
    std::vector<std::pair<int, int>> keys;
    std::vector<std::vector<float>> mouse;
    c_InputDevice* input = (new c_InputDevice)->m_new();
    void mark() override { gc_mark(input); }
    void KeyEvent(int event, int data) override {
        keys.push_back({event, data});
        input->p_KeyEvent(event, data);
    }
    void MouseEvent(int event, int data, float x, float y) override {
        mouse.push_back({static_cast<float>(event), static_cast<float>(data), x, y});
    }
};

class HostInput : public ::testing::Test {
protected:
    void SetUp() override {
        savedGame = BBGame::_game;
        savedGlfw = BBGlfwGame::_glfwGame;
        host = new BBGlfwGame();
        rec = new Recorder();
        host->SetDelegate(rec);
        host->StartGame();
    }
    void TearDown() override {
        BBGame::_game = savedGame;
        BBGlfwGame::_glfwGame = savedGlfw;
        delete host;
    }
    using Events = std::vector<std::pair<int, int>>;
    BBGame* savedGame = nullptr;
    BBGlfwGame* savedGlfw = nullptr;
    BBGlfwGame* host = nullptr;
    Recorder* rec = nullptr;
};

TEST_F(HostInput, HeldKeysRepeatTheirCharacterButNotTheirHit) {
    host->OnKey(GLFW_KEY_BACKSPACE, GLFW_PRESS);
    host->OnKey(GLFW_KEY_BACKSPACE, GLFW_REPEAT);
    host->OnKey(GLFW_KEY_BACKSPACE, GLFW_REPEAT);
    EXPECT_EQ(rec->keys, (Events{{1, 8}, {3, 8}, {1, 8}, {3, 8}, {1, 8}, {3, 8}}));
    EXPECT_TRUE(rec->input->p_KeyDown(8));
    EXPECT_EQ(rec->input->p_KeyHit(8), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(rec->input->p_GetChar(), 8);
    host->OnKey(GLFW_KEY_BACKSPACE, GLFW_RELEASE);
    EXPECT_EQ(rec->keys.back(), std::make_pair(2, 8));
    EXPECT_FALSE(rec->input->p_KeyDown(8));
}

TEST_F(HostInput, ArrowsTypeMarkedCharactersAndUnknownKeysSayNothing) {
    host->OnKey(GLFW_KEY_LEFT, GLFW_PRESS);
    host->OnKey(GLFW_KEY_KP_EQUAL, GLFW_PRESS);
    host->OnKey(GLFW_KEY_LEFT_ALT, GLFW_PRESS);
    host->OnKey(GLFW_KEY_UNKNOWN, GLFW_PRESS);
    host->OnKey(GLFW_KEY_A, GLFW_PRESS);
    host->OnChar('a');
    host->OnChar(0x20AC);
    EXPECT_EQ(rec->keys, (Events{{1, 37}, {3, 0x10025}, {1, 65}, {3, 'a'}, {3, 0x20AC}}));
}

TEST_F(HostInput, BothShiftsAreOneKey) {
    host->OnKey(GLFW_KEY_LEFT_SHIFT, GLFW_PRESS);
    host->OnKey(GLFW_KEY_RIGHT_SHIFT, GLFW_PRESS);
    host->OnKey(GLFW_KEY_RIGHT_SHIFT, GLFW_RELEASE);
    EXPECT_EQ(rec->keys, (Events{{1, 16}, {1, 16}, {2, 16}}));
    EXPECT_EQ(rec->input->p_KeyHit(16), 1);
}

// Alt+Enter on either Enter key reaches the game as F11, down and up, even
// when Alt is let go first; Enter without Alt is Enter again.
TEST_F(HostInput, AltEnterIsTheFullScreenKey) {
    host->OnKey(GLFW_KEY_ENTER, GLFW_PRESS, GLFW_MOD_ALT);
    host->OnKey(GLFW_KEY_ENTER, GLFW_REPEAT, GLFW_MOD_ALT);
    host->OnKey(GLFW_KEY_ENTER, GLFW_RELEASE, 0);
    host->OnKey(GLFW_KEY_KP_ENTER, GLFW_PRESS, GLFW_MOD_ALT | GLFW_MOD_SHIFT);
    host->OnKey(GLFW_KEY_KP_ENTER, GLFW_RELEASE, GLFW_MOD_ALT);
    host->OnKey(GLFW_KEY_KP_ENTER, GLFW_PRESS, 0);
    host->OnKey(GLFW_KEY_KP_ENTER, GLFW_RELEASE, GLFW_MOD_ALT);
    EXPECT_EQ(rec->keys, (Events{{1, 122}, {1, 122}, {2, 122}, {1, 122}, {2, 122}, {1, 13}, {3, 13}, {2, 13}}));
    EXPECT_EQ(rec->input->p_KeyHit(122), 2);
    EXPECT_EQ(rec->input->p_KeyHit(13), 1);
    EXPECT_FALSE(rec->input->p_KeyDown(122));
}

TEST_F(HostInput, MouseButtonsAndPositionAndTheCloseKey) {
    host->OnMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
    host->OnMouseButton(GLFW_MOUSE_BUTTON_MIDDLE, GLFW_RELEASE);
    host->OnMouseButton(GLFW_MOUSE_BUTTON_4, GLFW_PRESS);
    host->OnMousePos(12.5, 40);
    ASSERT_EQ(rec->mouse.size(), 3u);
    EXPECT_EQ(rec->mouse[0], (std::vector<float>{4, 0, 0, 0}));
    EXPECT_EQ(rec->mouse[1], (std::vector<float>{5, 2, 0, 0}));
    EXPECT_EQ(rec->mouse[2], (std::vector<float>{6, -1, 12.5f, 40}));

    host->OnWindowClose();
    EXPECT_EQ(rec->keys, (Events{{1, 432}, {2, 432}}));
}

}  // namespace
