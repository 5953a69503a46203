// Checks of the generated tune images: the pixel encoding the sequencer
// reads, the five lanes, drum keys, volumes on every note, effects, and that
// every pattern of a tune stays in one key so random combinations fit.
#include <gtest/gtest.h>

#include <set>

#include "sound_support.h"

using namespace kqsound;

namespace {

const char* const kTunes[] = {"tune1", "tune2", "tune3"};

int LastPattern(const TuneImage& t, int lane) {
    int last = -1;
    for (int p = 0; p < 63; ++p) {
        for (int row = 0; row < 64; ++row) {
            for (int f = 0; f < 8; ++f) {
                if (t.Value(p, lane, row, f)) last = p;
            }
        }
    }
    return last;
}

bool PatternHasNotes(const TuneImage& t, int p, int lane) {
    for (int row = 0; row < 64; ++row) {
        if (t.Value(p, lane, row, 0)) return true;
    }
    return false;
}

}  // namespace

TEST(SoundTunes, ImagesAreOpaqueBlueOnlyAndExactlyEncoded) {
    for (const char* name : kTunes) {
        SCOPED_TRACE(name);
        TuneImage t = LoadTune(name);
        ASSERT_TRUE(t.ok) << "missing or not 512 x 512";
        size_t bad = 0;
        for (size_t i = 0; i < t.rgba.size(); i += 4) {
            // Red and green stay 0, blue holds value << 3, alpha is opaque.
            bad += t.rgba[i] != 0 || t.rgba[i + 1] != 0 || (t.rgba[i + 2] & 7) != 0 || t.rgba[i + 3] != 255;
        }
        EXPECT_EQ(bad, 0u);
        for (int lane = 5; lane < 8; ++lane) EXPECT_EQ(LastPattern(t, lane), -1) << "lane " << lane << " is not a voice";
        for (int lane = 0; lane < 8; ++lane) {
            for (int row = 0; row < 64; ++row) {
                for (int f = 0; f < 8; ++f) ASSERT_EQ(t.Value(63, lane, row, f), 0) << "frame 63 is never read";
            }
        }
    }
}

TEST(SoundTunes, CellsFollowTheSequencerRules) {
    const std::set<int> drumKeys(std::begin(kDrumKeys), std::end(kDrumKeys));
    for (const char* name : kTunes) {
        SCOPED_TRACE(name);
        TuneImage t = LoadTune(name);
        ASSERT_TRUE(t.ok);
        for (int lane = 0; lane < 5; ++lane) {
            for (int p = 0; p < 63; ++p) {
                for (int row = 0; row < 64; ++row) {
                    const int note = t.Value(p, lane, row, 0), vol = t.Value(p, lane, row, 1);
                    const int fx = t.Value(p, lane, row, 2), param = t.Value(p, lane, row, 3);
                    SCOPED_TRACE("pattern " + std::to_string(p) + " lane " + std::to_string(lane) + " row " + std::to_string(row));
                    if (lane < 2 && note) {
                        EXPECT_TRUE(drumKeys.count(note)) << "drum lane note " << note;
                    }
                    // Voice volumes start at 0, so a note without one may never sound.
                    if (note) {
                        EXPECT_TRUE(vol >= 1 && vol <= 30) << "note without a volume";
                    }
                    EXPECT_TRUE(fx == 0 || (fx >= 1 && fx <= 4) || fx == 8) << "effect " << fx;
                    if (fx >= 1 && fx <= 4) {
                        EXPECT_GT(param, 0);
                    }
                    for (int f = 4; f < 8; ++f) EXPECT_EQ(t.Value(p, lane, row, f), 0);
                }
            }
        }
    }
}

// The sequencer draws any pattern from 0 to a lane's last one for each lane
// on its own, so every lane needs several real patterns and no empty gaps.
TEST(SoundTunes, EveryLaneOffersSeveralPatternsWithoutGaps) {
    for (const char* name : kTunes) {
        SCOPED_TRACE(name);
        TuneImage t = LoadTune(name);
        ASSERT_TRUE(t.ok);
        for (int lane = 0; lane < 5; ++lane) {
            const int last = LastPattern(t, lane);
            EXPECT_GE(last, 2) << "lane " << lane << " has fewer than three patterns";
            for (int p = 0; p <= last; ++p) EXPECT_TRUE(PatternHasNotes(t, p, lane)) << "lane " << lane << " pattern " << p << " is silent";
        }
    }
}

// Patterns are combined at random and transposed together, so all melodic
// lanes of a tune must share one scale: no two pitch classes a semitone apart.
TEST(SoundTunes, MelodicLanesShareOneKey) {
    for (const char* name : kTunes) {
        SCOPED_TRACE(name);
        TuneImage t = LoadTune(name);
        ASSERT_TRUE(t.ok);
        std::set<int> classes;
        for (int lane = 2; lane < 5; ++lane) {
            for (int p = 0; p < 63; ++p) {
                for (int row = 0; row < 64; ++row) {
                    const int note = t.Value(p, lane, row, 0);
                    if (note) classes.insert((note - 13 + 24) % 12);
                }
            }
        }
        EXPECT_GE(classes.size(), 4u) << "hardly a melody";
        for (int pc : classes) EXPECT_FALSE(classes.count((pc + 1) % 12)) << "pitch classes " << pc << " and " << (pc + 1) % 12 << " clash";
    }
}
