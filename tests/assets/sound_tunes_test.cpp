// The generated tune images: the pixel encoding the music player reads, five
// voice lanes of well-formed cells (drum keys, a volume on every note, known
// effects), several patterns per lane without gaps, and one key for all the
// melodic lanes so that patterns combined at random fit together.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "sound_support.h"

using namespace kqsound;

TEST(SoundTunes, EveryTuneHoldsWellFormedPatternsOfFiveVoicesInOneKey) {
    const std::set<int> drumKeys(std::begin(kDrumKeys), std::end(kDrumKeys));
    for (const char* name : {"tune1", "tune2", "tune3"}) {
        SCOPED_TRACE(name);
        TuneImage t = LoadTune(name);
        ASSERT_TRUE(t.ok) << "missing or not 512 x 512";
        size_t badPixels = 0;  // red and green 0, blue a value times 8, opaque
        for (size_t i = 0; i < t.rgba.size(); i += 4)
            badPixels += t.rgba[i] != 0 || t.rgba[i + 1] != 0 || (t.rgba[i + 2] & 7) != 0 || t.rgba[i + 3] != 255;
        EXPECT_EQ(badPixels, 0u);

        std::set<int> pitchClasses;
        for (int lane = 0; lane < 8; ++lane) {
            std::vector<bool> hasNotes(64);
            for (int p = 0; p < 64; ++p) {
                for (int row = 0; row < 64; ++row) {
                    const int note = t.Value(p, lane, row, 0), vol = t.Value(p, lane, row, 1);
                    const int fx = t.Value(p, lane, row, 2), param = t.Value(p, lane, row, 3);
                    const std::string at = "pattern " + std::to_string(p) + " lane " + std::to_string(lane) + " row " +
                                           std::to_string(row);
                    for (int f = lane < 5 && p < 63 ? 4 : 0; f < 8; ++f)
                        ASSERT_EQ(t.Value(p, lane, row, f), 0) << at << " field " << f;
                    if (note) hasNotes[p] = true;
                    EXPECT_TRUE(!note || lane >= 2 || drumKeys.count(note)) << at << ": drum key " << note;
                    if (note && lane >= 2) pitchClasses.insert((note - 13 + 24) % 12);
                    // A voice's volume starts at 0, so a note without one may never sound.
                    EXPECT_TRUE(!note || (vol >= 1 && vol <= 30)) << at << ": note without a volume";
                    EXPECT_TRUE(fx == 0 || (fx >= 1 && fx <= 4 && param > 0) || fx == 8) << at << ": effect " << fx;
                }
            }
            // Any pattern from 0 to a lane's last may be drawn: several, none silent.
            const int patterns =
                static_cast<int>(std::find(hasNotes.begin(), hasNotes.end(), false) - hasNotes.begin());
            EXPECT_GE(patterns, lane < 5 ? 3 : 0) << "lane " << lane;
            EXPECT_EQ(std::count(hasNotes.begin() + patterns, hasNotes.end(), true), 0)
                << "lane " << lane << " has a gap";
        }
        EXPECT_GE(pitchClasses.size(), 4u) << "hardly a melody";
        for (int pc : pitchClasses)
            EXPECT_FALSE(pitchClasses.count((pc + 1) % 12)) << "pitch classes " << pc << " and " << pc + 1 << " clash";
    }
}
