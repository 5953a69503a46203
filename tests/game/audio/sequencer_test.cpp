// The arranging player on a recording audio device and a test clock: seeded
// draws and their order, drum muting, pattern ends, row timing, pause,
// chords, cells (drums, volume, envelope, slides, jumps) and stopping.
#include <map>

#include "seq_support.h"

using namespace seqtest;

BBGlfwGame* SeqTest::host = nullptr;
TestClock* SeqTest::clock = nullptr;

namespace {

const int kSeed = 37171650;

// One snapshot of every choice the arrangement made.
struct Choices {
    std::vector<int> values;
    std::string chords;
    bool operator==(const Choices& o) const { return values == o.values && chords == o.chords; }
};

Choices Snapshot(c_SQPlayer* p) {
    Choices c;
    for (int i = 1; i <= 5; ++i) c.values.push_back(p->m_instrumentChoice[i]);
    for (int v = 0; v < 5; ++v) {
        c.values.push_back(p->m_voicePattern[v]);
        c.values.push_back(p->m_voiceMuted[v]);
        c.values.push_back(p->m_voiceNextMuted[v]);
        c.values.push_back(p->m_voiceEarly[v]);
    }
    c.values.push_back(p->m_patternsLeft);
    c.values.push_back(p->m_sectionCount);
    c.chords = p->m_chords.ToUtf8();
    return c;
}

}  // namespace

class SequencerTest : public SeqTest {
public:
    // Every lane gets a few patterns so that pattern draws have a range.
    void FillPatterns() {
        const int last[5] = {5, 3, 7, 2, 4};
        for (int lane = 0; lane < 5; ++lane) {
            for (int p = 0; p <= last[lane]; ++p) SetCell(p, lane, 0, lane < 2 ? 13 : 13 + p, 20);
        }
    }

    // Plays whole patterns while the game keeps drawing its own random
    // numbers in between, and records the choices at every pattern start.
    std::vector<Choices> Arrange(int seed, int patterns) {
        player = (new c_SQPlayer)->m_new();
        player->p_SQ_Init(32, 4, 3, 3, 4);
        FillPatterns();
        bb_random_Seed = 99;
        StartLoaded(seed);
        std::vector<Choices> out{Snapshot(player)};
        for (int p = 0; p < patterns; ++p) {
            for (int row = 0; row < 64; ++row) {
                PlayRow();
                bb_random_Rnd();
                bb_random_Rnd();
            }
            out.push_back(Snapshot(player));
        }
        return out;
    }
};

TEST_F(SequencerTest, StartTuneDrawsInstrumentsAndVoicesFromTheirSeeds) {
    FillPatterns();
    bb_random_Seed = 4321;
    StartLoaded(kSeed);
    EXPECT_EQ(bb_random_Seed, 4321) << "the game's generator is not the player's";
    const uint32_t b = kSeed;

    RefRng rng{RefInstrumentSeed(0, b)};
    const int ranges[6] = {0, 4, 4, 3, 3, 4};
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(player->m_instrumentChoice[i], rng.Rand(1, ranges[i])) << "instrument " << i;

    const int last[5] = {5, 3, 7, 2, 4};
    int muted[5];
    for (int v = 0; v < 5; ++v) {
        rng.seed = RefVoiceSeed(v, 0, b);
        EXPECT_EQ(player->m_voicePattern[v], rng.Rand(0, last[v])) << "voice " << v;
        EXPECT_EQ(player->m_voiceNextMuted[v], rng.Rand(0, 1)) << "voice " << v;
        EXPECT_EQ(player->m_voiceEarly[v], rng.Rand(0, 1)) << "voice " << v;
        muted[v] = rng.Rand(0, 1);
    }
    if (muted[0] && muted[1]) muted[0] = 0;
    for (int v = 0; v < 5; ++v) EXPECT_EQ(player->m_voiceMuted[v], muted[v]) << "voice " << v;
    // The section length is drawn on from the seed the last voice reached.
    EXPECT_EQ(player->m_patternsLeft, rng.Rand(1, 2) * 2);
    EXPECT_EQ(static_cast<uint32_t>(player->m_randomSeed), rng.seed);

    EXPECT_EQ(player->m_chords.ToUtf8(), "qqjj");
    EXPECT_EQ(player->m_playState, 2);
    EXPECT_EQ(player->m_row, 0);
    EXPECT_EQ(player->m_nextTick, clock->Ms() + 100);
    for (int v = 0; v < 5; ++v) EXPECT_EQ(player->m_voiceChannel[v], 31 - v) << "voices use channels 31 to 27";
}

// Sets the player's seed so that its next draw gives r = value / 2^24.
void SeedForNextDraw(c_SQPlayer* player, uint32_t value) {
    uint32_t inverse = 1664525u;  // Newton's iteration for the inverse mod 2^32
    for (int i = 0; i < 5; ++i) inverse *= 2u - 1664525u * inverse;
    player->p_SetSeed(((value << 8) - 1013904223u) * inverse);
}

TEST_F(SequencerTest, RandomIntegersSpanLoToHiWithTheirOffset) {
    SeedForNextDraw(player, 0);
    EXPECT_EQ(player->p_Rand(3, 7), 3);
    SeedForNextDraw(player, 0xFFFFFF);
    EXPECT_EQ(player->p_Rand(1, 5), 5);
    EXPECT_EQ(player->p_Rand(0, 0), 0);
    // r = 0.5 over hi + 0.99 - lo = 1.99 stays below 1.
    SeedForNextDraw(player, 0x800000);
    EXPECT_EQ(player->p_Rand(0, 1), 0);
    SeedForNextDraw(player, 0x810000);
    EXPECT_EQ(player->p_Rand(0, 1), 1);
}

TEST_F(SequencerTest, AVoiceOfTheNextSectionMayComeInDuringTheLastEightRows) {
    GiveInstruments();
    for (int row = 0; row < 64; ++row) SetCell(0, 2, row, 13, 20);
    StartLoaded(kSeed);
    auto playsAt = [&](int patternsLeft, int row, int early, int nextMuted) {
        player->m_voiceMuted[2] = 1;
        player->m_voiceEarly[2] = early;
        player->m_voiceNextMuted[2] = nextMuted;
        player->m_patternsLeft = patternsLeft;
        player->m_row = row;
        audio->calls.clear();
        PlayRow();
        return !audio->Of(AudioCall::Play, 29).empty();
    };
    EXPECT_TRUE(playsAt(1, 56, 1, 0));
    EXPECT_TRUE(playsAt(1, 63, 1, 0));
    EXPECT_FALSE(playsAt(1, 55, 1, 0));
    EXPECT_FALSE(playsAt(2, 60, 1, 0)) << "only in the section's last pattern";
    EXPECT_FALSE(playsAt(1, 60, 0, 0)) << "only a voice drawn to come in early";
    EXPECT_FALSE(playsAt(1, 60, 1, 1)) << "only a voice that plays in the next section";
}

TEST_F(SequencerTest, SameTuneAndSeedArrangeTheSameWayWhateverTheGameDraws) {
    const std::vector<Choices> first = Arrange(kSeed, 14);
    const std::vector<Choices> second = Arrange(kSeed, 14);
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) EXPECT_TRUE(first[i] == second[i]) << "pattern " << i;
    EXPECT_GE(first.back().values[26], 3) << "several sections were arranged";

    // The choices really come from the seed.
    const std::vector<Choices> other = Arrange(kSeed + 1, 14);
    int differing = 0;
    for (size_t i = 0; i < first.size(); ++i) differing += !(first[i] == other[i]);
    EXPECT_GT(differing, 0);
}

TEST_F(SequencerTest, NewSectionDrawsFromTheSectionAndVoiceSeeds) {
    FillPatterns();
    StartLoaded(kSeed);
    const int nextMuted[5] = {player->m_voiceNextMuted[0], player->m_voiceNextMuted[1], player->m_voiceNextMuted[2],
                              player->m_voiceNextMuted[3], player->m_voiceNextMuted[4]};
    player->m_patternsLeft = 1;
    player->m_row = 63;
    PlayRow();

    const uint32_t b = kSeed;
    RefRng rng{b};  // section seed of section 0
    for (int i = 0; i < 11; ++i) rng.Rand(1, 5);
    EXPECT_EQ(player->m_patternsLeft, rng.Rand(1, 2) * 2);
    EXPECT_EQ(player->m_sectionCount, 1);
    const int last[5] = {5, 3, 7, 2, 4};
    int muted[5];
    for (int v = 0; v < 5; ++v) {
        rng.seed = RefVoiceSeed(v, 1, b);
        EXPECT_EQ(player->m_voicePattern[v], rng.Rand(0, last[v])) << "voice " << v;
        muted[v] = nextMuted[v];
        EXPECT_EQ(player->m_voiceNextMuted[v], rng.Rand(0, 1)) << "voice " << v;
        EXPECT_EQ(player->m_voiceEarly[v], rng.Rand(0, 1)) << "voice " << v;
    }
    if (muted[0] && muted[1]) muted[0] = 0;
    for (int v = 0; v < 5; ++v) EXPECT_EQ(player->m_voiceMuted[v], muted[v]) << "voice " << v;
}

TEST_F(SequencerTest, BothDrumVoicesDrawnMutedStillPlayVoiceZero) {
    // A seed whose start draws mute both drum voices now and next section.
    int seed = 1;
    for (;; ++seed) {
        int both = 0;
        for (int v = 0; v < 2; ++v) {
            RefRng rng{RefVoiceSeed(v, 0, static_cast<uint32_t>(seed))};
            rng.Rand(0, 0);
            const int next = rng.Rand(0, 1);
            rng.Rand(0, 1);
            both += next && rng.Rand(0, 1);
        }
        if (both == 2) break;
    }
    GiveInstruments();
    SetCell(0, 0, 0, 13, 20);
    SetCell(0, 1, 0, 13, 20);
    StartLoaded(seed);
    EXPECT_EQ(player->m_voiceMuted[0], 0);
    EXPECT_EQ(player->m_voiceMuted[1], 1);

    PlayRow();
    EXPECT_EQ(audio->Of(AudioCall::Play, 31).size(), 1u) << "voice 0 plays";
    EXPECT_TRUE(audio->Of(AudioCall::Play, 30).empty()) << "voice 1 stays muted";

    // The next section takes the muted flags drawn for it: both again.
    player->m_patternsLeft = 1;
    player->m_row = 63;
    PlayRow();
    EXPECT_EQ(player->m_sectionCount, 1);
    EXPECT_EQ(player->m_voiceMuted[0], 0);
    EXPECT_EQ(player->m_voiceMuted[1], 1);
}

TEST_F(SequencerTest, EndOfPatternOnVoiceZeroMakesTheOtherVoicesPlayRow63) {
    GiveInstruments();
    SetCell(0, 0, 5, 13, 20, 8, 0);
    SetCell(0, 1, 5, 15, 20);
    SetCell(0, 1, 63, 17, 20);
    for (int lane = 2; lane < 5; ++lane) {
        SetCell(0, lane, 5, 1, 20);
        SetCell(0, lane, 63, 25, 20);
        SetCell(0, lane, 0, 13, 20);
    }
    StartLoaded(kSeed);
    for (int v = 0; v < 5; ++v) player->m_voiceMuted[v] = 0;
    player->m_chords = String("qqqq");
    player->m_patternsLeft = 4;
    player->m_row = 5;
    PlayRow();

    const std::vector<AudioCall> drums = audio->Of(AudioCall::Play, 30);
    ASSERT_EQ(drums.size(), 1u);
    EXPECT_EQ(drums[0].sample, player->m_kitB[3]->m_sample) << "voice 1 played its row-63 drum key 17";
    for (int ch = 29; ch >= 27; --ch) {
        const std::vector<AudioCall> rates = audio->Of(AudioCall::Rate, ch);
        ASSERT_FALSE(rates.empty());
        EXPECT_FLOAT_EQ(rates.back().value, 2.0f) << "channel " << ch << " played its row-63 note";
    }
    EXPECT_EQ(player->m_row, 0);
    EXPECT_EQ(player->m_patternsLeft, 3) << "the pattern ended";

    // The next step starts the same patterns over from row 0.
    audio->calls.clear();
    PlayRow();
    for (int ch = 29; ch >= 27; --ch) EXPECT_FLOAT_EQ(audio->Of(AudioCall::Rate, ch).back().value, 1.0f);
    EXPECT_EQ(player->m_row, 1);
}

TEST_F(SequencerTest, RowsFollowTheTempoOnTheHostClock) {
    StartLoaded(kSeed, 100);
    const int start = clock->Ms();
    std::vector<int> rowTimes;
    for (int ms = 0; ms <= 900; ++ms) {
        const int row = player->m_row;
        player->p_SQ_Alive_U(0, 1);
        if (player->m_row != row) rowTimes.push_back(clock->Ms() - start);
        clock->AdvanceMs(1);
    }
    ASSERT_GE(rowTimes.size(), 5u);
    EXPECT_EQ(rowTimes[0], 101) << "a row is due once the clock has passed its time";
    for (size_t i = 1; i < rowTimes.size(); ++i) EXPECT_EQ(rowTimes[i] - rowTimes[i - 1], 80);

    // 95 gives 84 ms rows; a tempo of 0 plays as slowly as tempo 1.
    StartLoaded(kSeed, 95);
    PlayRow();
    EXPECT_EQ(player->m_nextTick - (clock->Ms() - 1), 84);
    StartLoaded(kSeed, 0);
    PlayRow();
    EXPECT_EQ(player->m_nextTick - (clock->Ms() - 1), 8000);
}

TEST_F(SequencerTest, AStalledClockCatchesUpOneRowPerUpdate) {
    StartLoaded(kSeed, 100);
    player->m_nextTick = clock->Ms() - 200;
    for (int i = 0; i < 5; ++i) player->p_SQ_Alive_U(0, 1);
    EXPECT_EQ(player->m_row, 3) << "rows due at -200, -120 and -40 ms";

    // A clock that jumped back far does not stall the music.
    player->m_nextTick = clock->Ms() + 200000;
    player->p_SQ_Alive_U(0, 1);
    EXPECT_EQ(player->m_row, 4);
}

TEST_F(SequencerTest, PauseOrMusicOffSilencesTheVoicesAndRowsResume150msAfterThePause) {
    GiveInstruments();
    SetCell(0, 2, 0, 13, 20);
    StartLoaded(kSeed);
    player->m_voiceMuted[2] = 0;
    PlayRow();
    ASSERT_EQ(player->m_voiceSounding[2], 1);

    audio->calls.clear();
    player->m_nextTick = clock->Ms() - 50;  // a row is due, but the game is paused
    for (int i = 0; i < 10; ++i) {
        player->p_SQ_Alive_U(1, 1);
        clock->AdvanceMs(16);
    }
    EXPECT_EQ(player->m_row, 1) << "nothing plays while paused";
    EXPECT_EQ(audio->Of(AudioCall::Stop, 29).size(), 1u);
    EXPECT_EQ(player->m_voiceSounding[2], 0);
    EXPECT_TRUE(audio->Of(AudioCall::Play).empty());

    clock->AdvanceMs(-16);
    const int lastPaused = clock->Ms();
    int resumedAt = -1;
    for (int ms = 1; ms <= 300 && resumedAt < 0; ++ms) {
        clock->AdvanceMs(1);
        player->p_SQ_Alive_U(0, 1);
        if (player->m_row != 1) resumedAt = clock->Ms() - lastPaused;
    }
    EXPECT_EQ(resumedAt, 151);

    // Music switched off: no rows, and the voices fall silent.
    player->m_row = 0;
    PlayRow();
    ASSERT_EQ(player->m_voiceSounding[2], 1);
    audio->calls.clear();
    player->m_nextTick = clock->Ms() - 1;
    player->p_SQ_Alive_U(0, 0);
    EXPECT_EQ(player->m_row, 1);
    EXPECT_EQ(audio->Of(AudioCall::Stop, 29).size(), 1u);
    EXPECT_EQ(player->m_voiceSounding[2], 0);
}

TEST_F(SequencerTest, ChordSequenceTransposesPatternByPattern) {
    GiveInstruments();
    SetCell(0, 2, 0, 13, 20);
    StartLoaded(kSeed);
    std::vector<std::string> chords;
    std::vector<float> rates;
    int sectionAtFourthEnd = -1;
    for (int pattern = 0; pattern < 5; ++pattern) {
        chords.push_back(player->m_chords.ToUtf8());
        player->m_voiceMuted[2] = 0;
        player->m_voicePattern[2] = 0;
        audio->calls.clear();
        PlayRow();
        ASSERT_FALSE(audio->Of(AudioCall::Rate, 29).empty());
        rates.push_back(audio->Of(AudioCall::Rate, 29).front().value);
        for (int row = 1; row < 64; ++row) {
            if (pattern == 3 && row == 63) sectionAtFourthEnd = player->m_sectionCount;
            PlayRow();
        }
    }
    EXPECT_EQ(chords[0], "qqjj");
    EXPECT_EQ(chords[1], "qjj");
    EXPECT_EQ(chords[2], "jj");
    EXPECT_EQ(chords[3], "j");
    ASSERT_EQ(chords[4].size(), 4u);

    RefRng rng{RefChordSeed(sectionAtFourthEnd, static_cast<uint32_t>(kSeed))};
    const char* const sequences[] = {"qqqq", "qqjj", "qqbb", "qbqb", "qqqj"};
    EXPECT_EQ(chords[4], sequences[rng.Rand(0, 4)]);

    EXPECT_FLOAT_EQ(rates[0], 1.0f);
    EXPECT_FLOAT_EQ(rates[1], 1.0f);
    EXPECT_FLOAT_EQ(rates[2], 0.891f) << "note 13 under j";
    EXPECT_FLOAT_EQ(rates[3], 0.891f);
    EXPECT_FLOAT_EQ(rates[4], player->p_GetPitch_Alpha(String(chords[4].substr(0, 1).c_str())));
}

TEST_F(SequencerTest, DrumVoicesPlayTheirKitSampleOncePannedApart) {
    GiveInstruments();
    SetCell(0, 0, 0, 20, 0);  // drum key 20: sample 5, no volume value
    SetCell(0, 1, 0, 25, 20);  // drum key 25: sample 8
    SetCell(0, 0, 1, 14, 20);  // not a drum key
    StartLoaded(kSeed);
    player->m_voiceMuted[0] = player->m_voiceMuted[1] = 0;
    PlayRow();

    const std::vector<AudioCall> a = audio->Of(AudioCall::Play, 31), b = audio->Of(AudioCall::Play, 30);
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(a[0].sample, player->m_kitA[5]->m_sample);
    EXPECT_EQ(b[0].sample, player->m_kitB[8]->m_sample);
    EXPECT_EQ(a[0].flags, 0);
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Pan, 31).back().value, -0.35f);
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Pan, 30).back().value, 0.35f);
    EXPECT_FLOAT_EQ(player->m_voiceEnvelope[0], 3.9f) << "a hit without a volume holds for long";
    EXPECT_FLOAT_EQ(player->m_voiceEnvelope[1], 1.4f);

    audio->calls.clear();
    PlayRow();
    EXPECT_EQ(audio->Of(AudioCall::Stop, 31).size(), 1u) << "another note cuts the drum";
    EXPECT_TRUE(audio->Of(AudioCall::Play).empty());
    EXPECT_EQ(player->m_voiceSounding[0], 1) << "the voice counts as sounding until it is stopped";

    // A muted drum voice stays silent.
    player->m_voiceMuted[0] = 1;
    player->m_row = 0;
    audio->calls.clear();
    PlayRow();
    EXPECT_TRUE(audio->Of(AudioCall::Play, 31).empty());
    EXPECT_TRUE(audio->Of(AudioCall::Stop, 31).empty());
}

TEST_F(SequencerTest, MelodicNotesLoopAtTheirPitchAndFadeWithTheEnvelope) {
    GiveInstruments();
    SetCell(0, 4, 0, 1, 30);  // the lowest note at full volume
    SetCell(0, 3, 0, 13, 16);
    SetCell(0, 3, 1, 0, 31);  // volume 31 silences
    StartLoaded(kSeed);
    for (int v = 2; v < 5; ++v) player->m_voiceMuted[v] = 0;
    player->m_chords = String("qqqq");
    PlayRow();

    const std::vector<AudioCall> bass = audio->Of(AudioCall::Play, 27);
    ASSERT_EQ(bass.size(), 1u);
    EXPECT_EQ(bass[0].sample, player->m_instruments[4]->m_sample);
    EXPECT_EQ(bass[0].flags, 1) << "melodic samples loop";
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Rate, 27).back().value, 0.5f);
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Volume, 27).back().value, 0.5f);
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Volume, 28).back().value, 15.0f / 29.0f * 0.5f);

    PlayRow();
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Volume, 28).back().value, 0.0f);

    // The bass holds for a few rows, then fades away.
    std::vector<float> levels;
    for (int row = 2; row < 40; ++row) {
        PlayRow();
        const std::vector<AudioCall> v = audio->Of(AudioCall::Volume, 27);
        levels.push_back(v.back().value);
    }
    EXPECT_FLOAT_EQ(levels[1], 0.5f);
    for (size_t i = 1; i < levels.size(); ++i) EXPECT_LE(levels[i], levels[i - 1]);
    EXPECT_LT(levels[6], 0.5f);
    EXPECT_LT(levels.back(), 0.001f);
}

TEST_F(SequencerTest, SlidesBendThePitchWithinLimits) {
    GiveInstruments();
    SetCell(0, 2, 0, 13, 20, 1, 18);  // slow up: +0.1 a row
    for (int row = 1; row < 30; ++row) SetCell(0, 2, row, 0, 0, 3, 30);  // fast up: +2 a row
    SetCell(0, 3, 0, 13, 20, 4, 30);  // fast down
    SetCell(0, 3, 1, 0, 0, 4, 30);
    StartLoaded(kSeed);
    player->m_voiceMuted[2] = player->m_voiceMuted[3] = 0;
    player->m_chords = String("qqqq");
    PlayRow();
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Rate, 29).back().value, 1.1f);
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Rate, 28).back().value, 0.25f);
    PlayRow();
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Rate, 29).back().value, 3.1f);
    PlayRow();
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Rate, 29).back().value, 4.0f);
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Rate, 28).back().value, 0.25f);
    EXPECT_FLOAT_EQ(player->m_voicePitch[2], 4.0f);
}

TEST_F(SequencerTest, PatternJumpsMoveTheVoiceButNeverOffTheBank) {
    GiveInstruments();
    SetCell(0, 2, 0, 13, 20, 27, 2);  // back a pattern from pattern 0: nowhere to go
    SetCell(0, 2, 1, 13, 20, 27, 1);  // forward a pattern
    SetCell(1, 2, 1, 25, 20);
    SetCell(1, 2, 2, 1, 20);
    StartLoaded(kSeed);
    player->m_voiceMuted[2] = 0;
    player->m_voicePattern[2] = 0;
    player->m_chords = String("qqqq");

    player->m_patternsLeft = 2;
    PlayRow();
    EXPECT_EQ(player->m_voicePattern[2], 0);
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Rate, 29).back().value, 1.0f) << "the cell itself plays";

    player->m_patternsLeft = 3;
    PlayRow();
    EXPECT_EQ(player->m_voicePattern[2], 1);
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Rate, 29).back().value, 2.0f) << "the cell of the new pattern plays";
    PlayRow();
    EXPECT_FLOAT_EQ(audio->Of(AudioCall::Rate, 29).back().value, 0.5f) << "later rows come from the new pattern";

    // A forward jump from the last pattern stays in the bank as well.
    SetCell(63, 2, 3, 13, 20, 27, 1);
    player->m_voicePattern[2] = 63;
    PlayRow();
    EXPECT_EQ(player->m_voicePattern[2], 63);
}

TEST_F(SequencerTest, StopSilencesAndStartingAnotherTuneCutsTheOldOne) {
    GiveInstruments();
    SetCell(0, 2, 0, 13, 20);
    StartLoaded(kSeed);
    player->m_voiceMuted[2] = 0;
    PlayRow();

    audio->calls.clear();
    player->p_SQ_Stop(0);
    EXPECT_EQ(audio->Of(AudioCall::Stop, 29).size(), 1u);
    EXPECT_EQ(player->m_playState, 2) << "mode 0 only silences";

    player->m_row = 0;
    PlayRow();
    ASSERT_EQ(player->m_voiceSounding[2], 1);
    player->p_SQ_Stop(1);
    EXPECT_EQ(player->m_playState, 0);
    player->m_nextTick = clock->Ms() - 1;
    player->p_SQ_Alive_U(0, 1);
    EXPECT_EQ(player->m_row, 1) << "a stopped player plays no rows";

    // A tune started while another still sounds silences it first, never
    // touching the music channel.
    player->m_row = 0;
    player->m_playState = 2;
    PlayRow();
    ASSERT_EQ(player->m_voiceSounding[2], 1);
    audio->calls.clear();
    player->p_SQ_StartTune(String("other"), kSeed, 100);
    EXPECT_EQ(audio->Of(AudioCall::Stop, 29).size(), 1u);
    EXPECT_TRUE(audio->Of(AudioCall::Stop, 32).empty());
    EXPECT_EQ(player->m_chunkStep, 1) << "another tune loads";
}
