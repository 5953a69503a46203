// The generated tunes as the game's own music player arranges and plays them
// with the generated samples, mixed in software (mono, no OpenAL output): a
// healthy level, no clipping and no long silence, for several seeds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <map>

#include "game/audio/sequencer.h"
#include "host/glfw_game.h"
#include "sound_support.h"

using namespace kqsound;

namespace {

constexpr int kOutRate = 44100;

// An audio device that mixes what the player asks of its channels, with
// OpenAL's defaults (gain and rate 1, kept between sounds); every sample it
// loads is decoded from the data folder.
class MixingAudio : public gxtkAudio {
public:
    struct Channel {
        const Wav* wav = nullptr;
        double pos = 0;
        float gain = 1, rate = 1;
        bool loop = false;
    };
    std::map<gxtkSample*, Wav> pcm;
    Channel channels[CHANNELS];

    gxtkSample* LoadSample(String path) override {
        Wav wav = LoadWavFile(DataPath(path.ToUtf8().substr(std::string("zorbel://data/").size())));
        gxtkSample* sample = wav.ok ? new gxtkSample() : nullptr;
        if (sample) pcm[sample] = wav;
        return sample;
    }
    int PlaySample(gxtkSample* sample, int ch, int flags) override {
        channels[ch].wav = &pcm.at(sample), channels[ch].pos = 0, channels[ch].loop = flags != 0;
        return 0;
    }
    int StopChannel(int ch) override { return channels[ch].wav = nullptr, 0; }
    int SetVolume(int ch, float volume) override { return channels[ch].gain = volume, 0; }
    int SetRate(int ch, float rate) override { return channels[ch].rate = rate, 0; }
    int SetPan(int, float) override { return 0; }

    float Mix() {
        float sum = 0;
        for (Channel& c : channels) {
            if (!c.wav) continue;
            const std::vector<float>& d = c.wav->samples;
            const int i = static_cast<int>(c.pos);
            const float next = i + 1 < c.wav->length ? d[i + 1] : c.loop ? d[0] : 0.0f;
            sum += (d[i] + (next - d[i]) * static_cast<float>(c.pos - i)) * c.gain;
            c.pos += static_cast<double>(c.rate) * c.wav->rate / kOutRate;
            if (c.pos >= c.wav->length && c.loop) c.pos = std::fmod(c.pos, c.wav->length);
            if (c.pos >= c.wav->length) c.wav = nullptr;
        }
        return sum;
    }
};

double RmsDb(const std::vector<float>& s, size_t from, size_t count) {
    double sum = 0.0;
    for (size_t i = from; i < from + count && i < s.size(); ++i) sum += static_cast<double>(s[i]) * s[i];
    return 10.0 * std::log10(sum / std::max<size_t>(count, 1) + 1e-20);
}

}  // namespace

class SoundRender : public ::testing::TestWithParam<const char*> {};

TEST_P(SoundRender, TheMusicPlayerPlaysTheTuneAtAHealthyLevelWithoutDropOuts) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    static BBGlfwGame* host = new BBGlfwGame();  // the tune image loader; no window
    static MixingAudio* audio = new MixingAudio();
    ASSERT_TRUE(host && chdir(KQ_BINARY_DIR) == 0);  // ./data
    bb_audio_SetAudioDevice(audio);
    // The game's seed first, then others that draw other instruments and arrangements.
    for (int seed : {37171650, 1, 4242}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        for (MixingAudio::Channel& c : audio->channels) c = MixingAudio::Channel();
        c_SQPlayer* player = (new c_SQPlayer)->m_new();
        player->p_SQ_Init(32, 4, 3, 3, 4);
        player->p_SQ_StartTune(String(GetParam()), seed, 100);
        while (player->m_chunkStep > 0) player->p_SQ_LoadChunk();
        for (int i = 1; i <= 8; ++i) ASSERT_TRUE(player->m_kitA[i] && player->m_kitB[i]) << "drum " << i;
        for (int i = 2; i <= 4; ++i) ASSERT_TRUE(player->m_instruments[i]) << "instrument " << i;
        for (int lane = 0; lane < 5; ++lane) ASSERT_GE(player->m_lastPattern[lane], 2) << "patterns of voice " << lane;

        std::vector<float> out;  // 640 rows of 80 ms
        for (int row = 0; row < 640; ++row) {
            player->m_nextTick = -1;  // due: without a game the player's clock reads 0
            player->p_SQ_MusicPlay();
            for (int i = 0; i < kOutRate * 80 / 1000; ++i) out.push_back(audio->Mix());
        }
        const double rms = RmsDb(out, 0, out.size());
        EXPECT_GT(rms, -30.0) << "too quiet";
        EXPECT_LT(rms, -8.0) << "too loud";
        size_t clipped = 0;
        for (float v : out) clipped += std::fabs(v) > 1.0f;
        EXPECT_LT(clipped, out.size() / 1000) << "clips";
        for (size_t at = 0; at + 2 * kOutRate <= out.size(); at += kOutRate)
            EXPECT_GT(RmsDb(out, at, 2 * kOutRate), -45.0) << "silent for two seconds from " << at / kOutRate << " s";
    }
}

INSTANTIATE_TEST_SUITE_P(Tunes, SoundRender, ::testing::Values("tune1", "tune2", "tune3"));
