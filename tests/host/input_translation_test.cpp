// Translation of GLFW 3 keys, characters, mouse buttons and window close
// into the framework's key codes and host events.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "framework/input_device.h"
#include "host/glfw_game.h"

namespace {

TEST(KeyTable, KeysHaveTheirFrameworkCodesAndUnmappedKeysNone) {
    const std::pair<int, int> keys[] = {
        // clang-format off
        {GLFW_KEY_0, 48},          {GLFW_KEY_9, 57},           {GLFW_KEY_A, 65},           {GLFW_KEY_Z, 90},
        {GLFW_KEY_SPACE, 32},      {GLFW_KEY_ESCAPE, 27},      {GLFW_KEY_TAB, 9},          {GLFW_KEY_BACKSPACE, 8},
        {GLFW_KEY_LEFT, 37},       {GLFW_KEY_UP, 38},          {GLFW_KEY_RIGHT, 39},       {GLFW_KEY_DOWN, 40},
        {GLFW_KEY_LEFT_CONTROL, 17}, {GLFW_KEY_RIGHT_CONTROL, 17}, {GLFW_KEY_F1, 112},     {GLFW_KEY_F2, 113},
        {GLFW_KEY_F4, 115},        {GLFW_KEY_F11, 122},        {GLFW_KEY_F12, 123},        {GLFW_KEY_KP_0, 96},
        {GLFW_KEY_KP_9, 105},      {GLFW_KEY_KP_ADD, 107},     {GLFW_KEY_HOME, 36},        {GLFW_KEY_PAGE_DOWN, 34},
        {GLFW_KEY_COMMA, 188},     {GLFW_KEY_SLASH, 191},      {GLFW_KEY_GRAVE_ACCENT, 192},
        // Dropped on purpose.
        {GLFW_KEY_KP_EQUAL, 0},    {GLFW_KEY_LEFT_ALT, 0},     {GLFW_KEY_F13, 0},          {GLFW_KEY_CAPS_LOCK, 0},
        {GLFW_KEY_LEFT_SUPER, 0},  {GLFW_KEY_WORLD_1, 0},      {GLFW_KEY_UNKNOWN, 0},
    };
    // clang-format on
    for (auto& k : keys) EXPECT_EQ(TransKey(k.first), k.second) << "GLFW key " << k.first;
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

// Held keys repeat their character but count as one hit; editing and
// arrow keys type characters (arrows marked above 0xFFFF), others come as
// typed text only; both Shift keys are one key.
TEST_F(HostInput, KeysAndTheCharactersTheyType) {
    host->OnKey(GLFW_KEY_BACKSPACE, GLFW_PRESS);
    host->OnKey(GLFW_KEY_BACKSPACE, GLFW_REPEAT);
    EXPECT_EQ(rec->input->p_KeyHit(8), 1);
    host->OnKey(GLFW_KEY_BACKSPACE, GLFW_RELEASE);
    EXPECT_FALSE(rec->input->p_KeyDown(8));
    for (int i = 0; i < 2; ++i) EXPECT_EQ(rec->input->p_GetChar(), 8);
    rec->keys.clear();
    host->OnKey(GLFW_KEY_LEFT, GLFW_PRESS);
    host->OnKey(GLFW_KEY_DELETE, GLFW_PRESS);
    host->OnKey(GLFW_KEY_ENTER, GLFW_PRESS);
    host->OnKey(GLFW_KEY_KP_EQUAL, GLFW_PRESS);
    host->OnKey(GLFW_KEY_A, GLFW_PRESS);
    host->OnChar(0x20AC);
    host->OnKey(GLFW_KEY_LEFT_SHIFT, GLFW_PRESS);
    host->OnKey(GLFW_KEY_RIGHT_SHIFT, GLFW_PRESS);
    host->OnKey(GLFW_KEY_RIGHT_SHIFT, GLFW_RELEASE);
    // clang-format off
    EXPECT_EQ(rec->keys, (Events{{1, 37}, {3, 0x10025}, {1, 46}, {3, 127}, {1, 13}, {3, 13}, {1, 65}, {3, 0x20AC},
                                 {1, 16}, {1, 16}, {2, 16}}));
    // clang-format on
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
