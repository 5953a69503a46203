// The game's music player on the game's clock and OpenAL channels: pitch and
// chord tables, the seeded arrangement, row timing, pause and chords, the
// cells of drum and melodic voices, and loading a tune's image and samples.
#include <AL/al.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "framework/random.h"
#include "game/audio/sequencer.h"
#include "testing/scenario.h"

namespace {

// OpenAL's null output, before the first device opens: sources keep their
// settings without a sound card.
const int kNullOutput = setenv("ALSOFT_DRIVERS", "null", 0);

gxtkChannel& Channel(int ch) { return bb_audio_device->m_alChannels[ch]; }

// Pitch or gain of a channel as OpenAL holds it; for AL_POSITION its pan.
float Al(int ch, int param) {
    float v[3] = {0, 0, 0};
    alGetSourcefv(Channel(ch).AL_Source(), param, v);
    return param == AL_POSITION ? std::asin(v[0]) : v[0];
}

// The game's own player (a collector root) with stand-in samples, playing
// the given cells {pattern, lane, row, note, volume, effect, parameter} as a
// loaded tune, every voice on pattern 0 and audible, untransposed. The tests
// call its hooks themselves and run no update.
c_SQPlayer* Player(Scenario& s, std::vector<std::vector<int>> cells) {
    c_SQPlayer* p = s.App()->m_music;
    p->p_SQ_Init(32, 4, 3, 3, 4);
    auto sample = [] { return (new c_Sound)->m_new(new gxtkSample()); };
    for (int i = 1; i <= 8; ++i) gc_assign(p->m_kitA[i], sample()), gc_assign(p->m_kitB[i], sample());
    for (int i = 2; i <= 4; ++i) gc_assign(p->m_instruments[i], sample());
    for (std::vector<int>& c : cells) {
        c.resize(7);
        std::copy(c.begin() + 3, c.end(), p->m_tuneData.Data() + c[0] * 4096 + c[1] * 512 + c[2] * 8);
        p->m_lastPattern[c[1]] = std::max(p->m_lastPattern[c[1]], c[0]);
    }
    p->m_tunePath = String("tunes/test.png");
    p->p_SQ_StartTune(String("test"), 1, 100);
    for (int v = 0; v < 5; ++v) p->m_voiceMuted[v] = p->m_voicePattern[v] = 0;
    p->m_chords = String("qqqq");
    return p;
}

void PlayRow(c_SQPlayer* p, int row = -1) {
    if (row >= 0) p->m_row = row;
    p->m_nextTick = bb_app_Millisecs() - 1;
    p->p_SQ_Alive_U(0, 1);
}

}  // namespace

TEST(Sequencer, PitchesAreEqualTemperedAndTheChordSequencesFixed) {
    Scenario s;
    c_SQPlayer* p = s.App()->m_music;
    for (int n = 1; n <= 32; ++n) {
        EXPECT_NEAR(p->p_GetPitch(n), std::pow(2.0, (n - 13) / 12.0), 0.0025) << n;
        const char key[] = {"zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]"[n - 1], 0};
        EXPECT_EQ(p->p_GetPitch_Alpha(String(key)), p->p_GetPitch(n)) << key;
    }
    const char* chords[] = {"qqjj", "qqqq", "qqjj", "qqbb", "qbqb", "qqqj", "qqzz", "qqjj"};
    for (int n = -1; n <= 6; ++n) EXPECT_EQ(p->p_SQ_GetChord(n).ToUtf8(), chords[n + 1]) << n;
}

// A tune unfolds the same way every time from its seed alone, never moving
// the game's generator: its sections take the silences drawn for them, and
// one drum voice always plays, voice 0 when both were drawn silent.
TEST(Sequencer, TheArrangementFollowsTheTuneSeedAlone) {
    Scenario s;
    c_SQPlayer* p =
        Player(s, {{5, 0, 0, 13, 20}, {3, 1, 0, 13, 20}, {7, 2, 0, 13, 20}, {2, 3, 0, 13, 20}, {4, 4, 0, 13, 20}});
    enum { PATTERN, MUTED, MUTED_NEXT, EARLY };
    // Instruments, then per section its length and per voice the fields above.
    auto arrange = [&](int seed) {
        bb_random_Seed = 4321;
        p->p_SQ_StartTune(String("test"), seed, 100);
        std::vector<int> out(p->m_instrumentChoice.Data() + 1, p->m_instrumentChoice.Data() + 6);
        for (int section = 0; section < 3; ++section, p->m_patternsLeft = 1, PlayRow(p, 63)) {
            out.push_back(p->m_patternsLeft);
            for (int v = 0; v < 5; ++v)
                out.insert(out.end(),
                           {p->m_voicePattern[v], p->m_voiceMuted[v], p->m_voiceNextMuted[v], p->m_voiceEarly[v]});
        }
        EXPECT_EQ(bb_random_Seed, 4321);
        return out;
    };
    auto draw = [](int state, int discarded, int lo, int hi) {  // a draw of the player's generator
        for (int i = 0; i < discarded; ++i) bb_random_RndOf(state);
        return static_cast<int>(std::floor(bb_random_RndOf(state) * (hi + 0.99f - lo) + lo));
    };
    int differing = 0, bothDrawnSilent = 0;
    for (int seed = 1; seed <= 40; ++seed) {
        const std::vector<int> a = arrange(seed);
        auto at = [&](int section, int v, int field) { return a[5 + 21 * section + 1 + 4 * v + field]; };
        EXPECT_EQ(a, arrange(seed));
        differing += a != arrange(seed + 40);
        // Each voice's fourth draw at the start, from its own seed, says whether it is silent.
        const int silent0 = draw((0 * 7u + seed) * 1948736821u - 873057359u, 3, 0, 1);
        const int silent1 = draw((1 * 7u + seed) * 1948736821u - 873057359u, 3, 0, 1);
        bothDrawnSilent += silent0 && silent1;
        EXPECT_EQ(std::make_pair(at(0, 0, MUTED), at(0, 1, MUTED)),
                  std::make_pair(silent0 && !silent1 ? 1 : 0, silent1))
            << seed;
        // The next section's length: eleven draws of its seed thrown away, then 2 or 4.
        EXPECT_EQ(a[5 + 21], draw(seed, 11, 1, 2) * 2) << seed;
        for (int section = 1; section < 3; ++section) {
            const bool bothNext = at(section - 1, 0, MUTED_NEXT) && at(section - 1, 1, MUTED_NEXT);
            for (int v = 0; v < 5; ++v)
                EXPECT_EQ(at(section, v, MUTED), v == 0 && bothNext ? 0 : at(section - 1, v, MUTED_NEXT)) << seed;
        }
    }
    EXPECT_EQ(differing, 40);
    EXPECT_GT(bothDrawnSilent, 0);
}

// Rows 80 ms apart at tempo 100; silence while paused or with music off, and
// rows again 150 ms after the pause; each chord step transposes one pattern.
TEST(Sequencer, RowsKeepTheTempoPauseAndFollowTheChordSequence) {
    Scenario s;
    c_SQPlayer* p = Player(s, {{0, 2, 0, 13, 20}});
    std::vector<int> rowTimes;
    for (int i = 0, start = bb_app_Millisecs(); i < 500; ++i, s.AdvanceMs(1)) {
        const int row = p->m_row;
        p->p_SQ_Alive_U(0, 1);
        if (p->m_row != row) rowTimes.push_back(bb_app_Millisecs() - start);
    }
    ASSERT_EQ(rowTimes.size(), 5u);
    EXPECT_NEAR(rowTimes[0], 101, 1) << "due once the clock has passed it";
    for (size_t i = 1; i < rowTimes.size(); ++i) EXPECT_NEAR(rowTimes[i] - rowTimes[i - 1], 80, 1);
    p->m_nextTick = bb_app_Millisecs() + 200000;  // a clock that jumped back does not stop the rows
    p->p_SQ_Alive_U(0, 1);
    EXPECT_EQ(p->m_row, 6);

    for (int paused = 0; paused < 2; ++paused) {  // music off, then paused
        PlayRow(p, 0);
        p->m_nextTick = bb_app_Millisecs() - 1;
        p->p_SQ_Alive_U(paused, paused);
        EXPECT_EQ(std::make_pair(p->m_row, Channel(29).m_state), std::make_pair(1, 0)) << "silent, no row";
    }
    const int lastPaused = bb_app_Millisecs();
    while (p->m_row == 1 && bb_app_Millisecs() - lastPaused < 300) s.AdvanceMs(1), p->p_SQ_Alive_U(0, 1);
    EXPECT_NEAR(bb_app_Millisecs() - lastPaused, 151, 1);

    p->m_chords = String("qqjj");
    std::vector<std::string> chords;
    for (float factor : {1.0f, 1.0f, 0.891f, 0.891f}) {
        chords.push_back(p->m_chords.ToUtf8());
        p->m_voiceMuted[2] = 0;
        PlayRow(p, 0);
        EXPECT_FLOAT_EQ(Al(29, AL_PITCH), factor);
        PlayRow(p, 63);
    }
    EXPECT_EQ(chords, std::vector<std::string>({"qqjj", "qjj", "jj", "j"}));
    const std::string next = p->m_chords.ToUtf8();
    EXPECT_TRUE(next == "qqqq" || next == "qqjj" || next == "qqbb" || next == "qbqb" || next == "qqqj") << next;
}

// Drums, melodic notes, volumes, slides and the envelope; a pattern ended
// early, jumps that follow the section's parity, and early entries.
TEST(Sequencer, CellsPlayOnTheirVoicesAndShapeTheRowsThatFollow) {
    Scenario s;
    // clang-format off
    c_SQPlayer* p = Player(s, {{0, 0, 0, 20},  // drum key 20: kit A sample 5
                               {0, 1, 0, 25, 20},  // drum key 25: kit B sample 8
                               {0, 2, 0, 13, 20, 1, 18}, {0, 2, 1, 0, 0, 3, 30}, {0, 2, 2, 0, 0, 3, 30},  // slides
                               {0, 3, 0, 13, 16, 4, 30}, {0, 3, 1, 0, 31},  // down to the floor, then silenced
                               {0, 4, 0, 1, 30},  // the lowest note at full volume
                               {0, 0, 45, 13, 20, 8}, {0, 2, 63, 25, 20}, {0, 3, 63, 25, 20}, {0, 4, 63, 25, 20},
                               {0, 2, 50, 13, 20, 27, 1}, {1, 2, 50, 1, 20}, {1, 2, 51, 1, 20, 27, 2}, {0, 2, 51, 13, 20},
                               {2, 4, 55, 13, 20}, {2, 4, 56, 13, 20}, {2, 4, 60, 13, 20}, {2, 4, 63, 13, 20}});
    // clang-format on
    PlayRow(p);
    EXPECT_TRUE(Channel(31).m_sample == p->m_kitA[5]->m_sample && Channel(31).m_flags == 0);
    EXPECT_TRUE(Channel(30).m_sample == p->m_kitB[8]->m_sample);
    EXPECT_NEAR(Al(31, AL_POSITION), -0.35f, 1e-4);
    EXPECT_NEAR(Al(30, AL_POSITION), 0.35f, 1e-4);
    EXPECT_TRUE(Channel(27).m_sample == p->m_instruments[4]->m_sample && Channel(27).m_flags == 1) << "loops";
    EXPECT_EQ(std::vector<float>({Al(27, AL_PITCH), Al(27, AL_GAIN), Al(28, AL_PITCH)}),
              std::vector<float>({0.5f, 0.5f, 0.25f}));
    EXPECT_FLOAT_EQ(Al(28, AL_GAIN), 15.0f / 29.0f * 0.5f);
    EXPECT_FLOAT_EQ(Al(29, AL_PITCH), 1.1f);
    PlayRow(p);
    EXPECT_FLOAT_EQ(Al(28, AL_GAIN), 0.0f);
    EXPECT_FLOAT_EQ(Al(29, AL_PITCH), 3.1f);
    PlayRow(p);
    EXPECT_FLOAT_EQ(Al(29, AL_PITCH), 4.0f);
    std::vector<float> gains;  // the bass holds a few rows, then fades out; a drum hit without a volume longer
    for (int row = 3; row < 40; ++row, PlayRow(p)) {
        gains.push_back(Al(27, AL_GAIN));
        EXPECT_TRUE(row != 25 || Al(31, AL_GAIN) == 1.0f);
    }
    EXPECT_TRUE(gains[0] == 0.5f && gains[6] < 0.5f && gains.back() < 0.001f);
    EXPECT_TRUE(std::is_sorted(gains.rbegin(), gains.rend()));

    p->m_patternsLeft = 4;
    PlayRow(p, 45);  // voices 2 to 4 play row 63
    EXPECT_EQ(std::vector<float>({Al(29, AL_PITCH), Al(28, AL_PITCH), Al(27, AL_PITCH)}), std::vector<float>(3, 2.0f));
    EXPECT_EQ(std::make_pair(p->m_row, p->m_patternsLeft), std::make_pair(0, 3));
    PlayRow(p, 50);  // odd: forward a pattern
    EXPECT_FLOAT_EQ(Al(29, AL_PITCH), 0.5f);
    p->m_patternsLeft = 2;
    PlayRow(p);  // even: back again
    EXPECT_FLOAT_EQ(Al(29, AL_PITCH), 1.0f);

    // A voice silent now but playing next section may come in during the
    // section's last eight rows, when it was drawn to.
    auto entersAt = [&](int patternsLeft, int row, int early, int nextMuted) {
        p->m_voiceMuted[4] = 1, p->m_voiceEarly[4] = early, p->m_voiceNextMuted[4] = nextMuted;
        p->m_patternsLeft = patternsLeft, p->m_voicePattern[4] = 2;
        bb_audio_StopChannel(27);
        PlayRow(p, row);
        return Channel(27).m_state == 1;
    };
    EXPECT_TRUE(entersAt(1, 56, 1, 0) && entersAt(1, 63, 1, 0));
    EXPECT_FALSE(entersAt(1, 55, 1, 0) || entersAt(2, 60, 1, 0) || entersAt(1, 60, 0, 0) || entersAt(1, 60, 1, 1));
}

// Renders load a tune in 24 steps: the blue levels of its 64 x 64 frames as
// drawn over a background without blue, and the sample sets drawn for it.
TEST(Sequencer, ATuneLoadsItsPatternImageAndDrawnSamplesOnceOverRenders) {
    Scenario s;
    c_SQPlayer* p = Player(s, {});
    const std::string data = s.WorkDir() + "/data/";
    std::filesystem::remove(s.WorkDir() + "/data");
    std::filesystem::create_directories(data + "tunes");
    std::filesystem::create_directories(data + "inst");
    auto wav = [&](const std::string& name, uint32_t frames) {  // silent; its length names the file
        const uint32_t h[11] = {0x46464952, 36 + 2 * frames, 0x45564157, 0x20746d66, 16,        0x10001,
                                22050,      44100,           0x100002,   0x61746164, 2 * frames};
        std::ofstream(data + "inst/" + name + ".wav", std::ios::binary)
            .write(reinterpret_cast<const char*>(h), sizeof h)
            .write(std::string(2 * frames, '\0').data(), 2 * frames);
    };
    for (int n = 1; n <= 4; ++n) {
        for (int i = 1; i <= 8; ++i) wav("d" + std::to_string(n) + "-" + std::to_string(i), 100 * n + i);
        wav("lead" + std::to_string(n), 1000 * n), wav("accompany" + std::to_string(n), 1000 * n + 1);
        wav("bass" + std::to_string(n), 1000 * n + 2);
    }
    std::vector<unsigned char> rgba(512 * 512 * 4, 0);
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    // Frame, x, y, blue, alpha: 0x48 reads 9, 7 reads 0, 248 and 255 read 31,
    // half covered reads 16; frame 63 is never read.
    // clang-format off
    for (std::vector<int> px : std::vector<std::vector<int>>{
             {10, 9, 5, 0x48}, {3, 0, 0, 7}, {20, 63, 63, 255}, {62, 2, 0, 248}, {30, 17, 2, 255, 128}, {63, 0, 0, 255}}) {
        // clang-format on
        const size_t at = ((px[0] / 8 * 64 + px[2]) * 512 + px[0] % 8 * 64 + px[1]) * 4;
        rgba[at + 2] = px[3], rgba[at + 3] = px.size() > 4 ? px[4] : 255;
    }
    stbi_write_png((data + "tunes/grid.png").c_str(), 512, 512, 4, rgba.data(), 512 * 4);

    p->p_SQ_StartTune(String("grid"), 1, 100);
    int renders = 0;
    for (; p->m_chunkStep > 0 && renders < 100; ++renders) s.Render();
    EXPECT_EQ(renders, 24);
    std::vector<int> nonZero, last(p->m_lastPattern.Data(), p->m_lastPattern.Data() + 8);
    for (int i = 0; i < c_SQPlayer::TUNE_SIZE; ++i)
        if (p->m_tuneData[i])
            nonZero.insert(nonZero.end(), {i / 4096, i / 512 % 8, i / 8 % 64, i % 8, p->m_tuneData[i]});
    EXPECT_EQ(nonZero, std::vector<int>({10, 1, 5, 1, 9, 20, 7, 63, 7, 31, 30, 2, 2, 1, 16, 62, 0, 0, 2, 31}));
    EXPECT_EQ(last, std::vector<int>({62, 10, 30, 0, 0, 0, 0, 20}));
    auto frames = [](c_Sound* sound) {
        ALint bytes = 0;
        if (sound) alGetBufferi(sound->m_sample->m_alBuffer, AL_SIZE, &bytes);
        return bytes / 2;
    };
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(frames(p->m_kitA[i]), 100 * p->m_instrumentChoice[1] + i);
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(frames(p->m_kitB[i]), 100 * p->m_instrumentChoice[2] + i);
    for (int i = 2; i <= 4; ++i) EXPECT_EQ(frames(p->m_instruments[i]), 1000 * p->m_instrumentChoice[i + 1] + i - 2);

    // The same tune again keeps its data; another one silences the voices
    // still sounding and loads again, here from an image that is missing.
    p->p_SQ_StartTune(String("grid"), 2, 100);
    EXPECT_EQ(p->m_chunkStep, 0);
    p->m_voiceMuted[2] = p->m_voicePattern[2] = 0;
    p->m_tuneData[2 * 512] = 13, p->m_tuneData[2 * 512 + 1] = 20;  // the lead's first cell
    PlayRow(p);
    ASSERT_EQ(Channel(29).m_state, 1);
    p->p_SQ_StartTune(String("absent"), 1, 100);
    EXPECT_EQ(Channel(29).m_state, 0);
    for (renders = 0; p->m_chunkStep > 0 && renders < 100; ++renders) s.Render();
    EXPECT_EQ(std::count(p->m_tuneData.Data(), p->m_tuneData.Data() + c_SQPlayer::TUNE_SIZE, 0), c_SQPlayer::TUNE_SIZE);
    EXPECT_EQ(std::count(p->m_lastPattern.Data(), p->m_lastPattern.Data() + 8, 0), 8);
}
