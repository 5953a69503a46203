// Dedu Dezu: enemy entry and steering, crashes, pickups and the end once the
// dead player's trail has faded.
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <set>

#include "support.h"

namespace {

// Puts the game's cell array right behind an unreadable page for its
// lifetime, so that any read before the array stops the test with a fault.
class GuardedCells {
public:
    explicit GuardedCells(Array<float>& cells) : m_cells(cells), m_saved(cells) {
        using Rep = Array<float>::Rep;
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        m_bytes = page + sizeof(Rep) + sizeof(float) * cells.Length();
        m_block = static_cast<char*>(mmap(nullptr, m_bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        mprotect(m_block, page, PROT_NONE);
        Rep* rep = new (m_block + page) Rep(gc_object::static_tag{});  // never collected
        rep->length = cells.Length();
        static_assert(sizeof(Array<float>) == sizeof(Rep*), "an array is its representation pointer");
        memcpy(static_cast<void*>(&cells), &rep, sizeof rep);
    }
    ~GuardedCells() {
        m_cells = m_saved;
        munmap(m_block, m_bytes);
    }

private:
    Array<float>& m_cells;
    Array<float> m_saved;
    char* m_block;
    size_t m_bytes;
};

float& Cell(c_MyApp* app, int cx, int cy) { return app->m_objects[100 * cy + cx]; }

void PutSnake(c_MyApp* app, int s, int cx, int cy, int dir) {
    float* p = &app->m_players[100 * s];
    p[0] = s == 0 ? 1 : 7, p[1] = static_cast<float>(cx), p[2] = static_cast<float>(cy), p[3] = static_cast<float>(dir);
}

TEST(DeduDezu, EntrySteeringCrashPickupFadingEndAndAFlatBoard) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 4);
    Array<float>& p = app->m_players;
    const int w = static_cast<int>(bb_Game_jscrw / 8), h = static_cast<int>((bb_Game_jscrh - 48) / 8);
    // The first enemy enters 121 updates after set-up; the count then
    // restarts at 1, so each later one follows 120 updates after the last.
    for (int entry = 0; entry < 3; ++entry) {
        sc.Update(entry == 0 ? 120 : 119);
        EXPECT_EQ(p[100], 0);
        sc.Update();
        ASSERT_EQ(p[100], 7);
        EXPECT_EQ(p[200], 0) << "one enemy at a time";
        int cx = static_cast<int>(p[101]), cy = static_cast<int>(p[102]), dir = static_cast<int>(p[103]);
        const int back[5][2] = {{0, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 0}};
        if (p[20] == 1) cx += back[dir][0], cy += back[dir][1];  // already one step in
        bool side = (cx == 0 || cx == w - 1) && cy >= 2 && cy <= h - 3;
        bool end = (cy == 0 || cy == h - 1) && cx >= 2 && cx <= w - 3;
        EXPECT_TRUE(side || end) << cx << "," << cy;
        EXPECT_EQ(dir, cx == 0 ? 2 : cy == 0 ? 3 : cx == w - 1 ? 4 : 1);
        p[100] = 0;
    }

    // Where an enemy turns from one place: it is put back before each
    // update, off its step tick, with no other enemy due to enter.
    mg::Start(sc, 4);
    auto headings = [&](int cx, int cy, int dir) {
        std::set<int> seen;
        for (int i = 0; i < 1500; ++i) {
            PutSnake(app, 1, cx, cy, dir);
            p[20] = 2;
            p[23] = 1;
            sc.Update();
            seen.insert(static_cast<int>(p[103]));
        }
        return seen;
    };
    EXPECT_EQ(headings(6, 6, 2), (std::set<int>{2, 3})) << "never toward a wall 6 cells away";
    EXPECT_EQ(headings(w - 7, h - 7, 4), (std::set<int>{1, 4}));
    Cell(app, 19, 10) = Cell(app, 20, 9) = Cell(app, 20, 11) = 7;
    EXPECT_EQ(headings(20, 10, 2), std::set<int>{2}) << "never into a filled cell";

    mg::Start(sc, 4);
    PutSnake(app, 1, 20, 10, 2);
    Cell(app, 19, 10) = Cell(app, 20, 9) = Cell(app, 20, 11) = 7;
    Cell(app, 21, 10) = 1;
    p[20] = 0;  // enemy 1 steps in the next update, into the player's trail
    mg::Sfx crash(app);
    sc.Update();
    EXPECT_EQ(p[100], 0);
    EXPECT_EQ(app->m_score, 5);
    EXPECT_EQ(crash.Played(), (std::vector<int>{1, 3}));
    PutSnake(app, 0, 10, 20, 2);
    Cell(app, 11, 20) = 2;
    app->m_objects[10000 + 2011] = 300;
    p[20] = 7;  // the player steps in the next update, onto the pickup
    sc.Update();
    EXPECT_EQ(app->m_score, 6);
    EXPECT_FLOAT_EQ(p[7], 24.35f);
    EXPECT_FLOAT_EQ(p[21], 7.9f);

    mg::Sfx death(app);
    sc.KeyDown(GLFW_KEY_UP);
    for (int i = 0; i < 300 && p[0] != 0; ++i) sc.Update();
    sc.KeyUp(GLFW_KEY_UP);
    ASSERT_EQ(p[0], 0) << "the player dies in the top wall";
    std::vector<int> played = death.Played();
    EXPECT_EQ(std::vector<int>(played.end() - 2, played.end()), (std::vector<int>{3, 2}));
    int bare = 0;
    for (int i = 0; i < 400 && app->m_gameOver == 0; ++i, sc.Update()) {
        int trail = 0;
        for (int c = 0; c < 100 * h; ++c) trail += app->m_objects[c] == 1;
        bare += trail == 0;
    }
    EXPECT_EQ(app->m_gameOver, 1);
    EXPECT_LE(bare, 1) << "the end follows in the update after the last trail cell fades";

    // A window so wide that the board keeps no rows: the player runs to the
    // end of the cell grid and dies there, and the game ends.
    bb_Game_jscrh = 37.5f;
    mg::Start(sc, 4);
    for (int i = 0; i < 2000 && app->m_gameOver == 0; ++i) sc.Update();
    EXPECT_EQ(app->m_gameOver, 1);
    EXPECT_TRUE(p[1] == 100 && p[2] == 0) << p[1] << "," << p[2];

    // A window so flat (640 x 42) that the player starts on row -1: steering
    // there looks at no cell before the array, and the first step is a crash.
    bb_Game_jscrh = 31.5f;
    GuardedCells guard(app->m_objects);
    mg::Start(sc, 4);
    ASSERT_EQ(p[2], -1);
    sc.KeyDown(GLFW_KEY_LEFT);
    for (int i = 0; i < 20 && app->m_gameOver == 0; ++i) sc.Update();
    sc.KeyUp(GLFW_KEY_LEFT);
    EXPECT_EQ(app->m_gameOver, 1);
}

}  // namespace
