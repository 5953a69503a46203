// Dedu Dezu: enemy entry and steering, crashes, pickups, the end once the
// dead player's trail has faded, and boards squeezed to nothing.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
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
        m_block =
            static_cast<char*>(mmap(nullptr, m_bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
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

}  // namespace

TEST(DeduDezu, EntrySteeringCrashPickupFadingEndAndASqueezedBoard) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 4);
    Array<float>& p = app->m_players;
    Array<float>& o = app->m_objects;
    const int w = static_cast<int>(bb_Game_jscrw / 8), h = static_cast<int>((bb_Game_jscrh - 48) / 8);
    sc.Update(120);  // the first enemy enters 121 updates after set-up, alone
    EXPECT_EQ(p[100], 0);
    sc.Update();
    EXPECT_TRUE(p[100] == 7 && p[200] == 0);

    // Where enemy 1 turns from one place: put back before each update, off
    // its step tick, with no other enemy due to enter.
    auto headings = [&](int x, int y, int d) {
        std::set<int> seen;
        for (int i = 0; i < 1500; ++i) {
            p[100] = 7, p[101] = static_cast<float>(x), p[102] = static_cast<float>(y), p[103] = static_cast<float>(d);
            p[20] = 2, p[23] = 1;
            sc.Update();
            seen.insert(static_cast<int>(p[103]));
        }
        return seen;
    };
    EXPECT_EQ(headings(6, 6, 2), (std::set<int>{2, 3})) << "never toward a wall 6 cells away";
    EXPECT_EQ(headings(w - 7, h - 7, 4), (std::set<int>{1, 4}));
    o[1019] = o[920] = o[1120] = 7;
    EXPECT_EQ(headings(20, 10, 2), std::set<int>{2}) << "never into a filled cell";

    // Enemy 1 steps into the player's trail: 5 points; the player eats a pickup.
    o[1021] = 1;
    p[20] = 0;
    sc.Update();
    EXPECT_TRUE(p[100] == 0 && app->m_score == 5 && app->m_sfxPlays[1] == 1 && app->m_sfxPlays[3] == 1);
    p[1] = 10, p[2] = 20, p[3] = 2;
    o[2011] = 2, o[12011] = 300;
    p[20] = 7;  // the player steps in the next update, onto the pickup
    sc.Update();
    EXPECT_EQ(app->m_score, 6);
    EXPECT_FLOAT_EQ(p[7], 24.35f);
    EXPECT_FLOAT_EQ(p[21], 7.9f);

    sc.KeyDown(GLFW_KEY_UP);  // into the top wall; the end waits for the trail to fade
    for (int i = 0; i < 300 && p[0] != 0; ++i) sc.Update();
    sc.KeyUp(GLFW_KEY_UP);
    ASSERT_TRUE(p[0] == 0 && app->m_sfxPlays[2] == 1 && app->m_gameOver == 0);
    for (int i = 0; i < 400 && app->m_gameOver == 0; ++i) sc.Update();
    EXPECT_EQ(std::count(&o[0], &o[100 * h], 1.0f), 0) << "no trail left at the end";

    // A window so wide that the board keeps no rows: the player runs to the
    // end of the cell grid and dies there. So flat that it starts on row -1:
    // steering there reads no cell before the array.
    bb_Game_jscrh = 37.5f;
    mg::Start(sc, 4);
    for (int i = 0; i < 2000 && app->m_gameOver == 0; ++i) sc.Update();
    EXPECT_TRUE(app->m_gameOver == 1 && p[1] == 100 && p[2] == 0) << p[1] << "," << p[2];
    bb_Game_jscrh = 31.5f;
    GuardedCells guard(app->m_objects);
    mg::Start(sc, 4);
    ASSERT_EQ(p[2], -1);
    sc.KeyDown(GLFW_KEY_LEFT);
    for (int i = 0; i < 20 && app->m_gameOver == 0; ++i) sc.Update();
    sc.KeyUp(GLFW_KEY_LEFT);
    EXPECT_EQ(app->m_gameOver, 1);
}
