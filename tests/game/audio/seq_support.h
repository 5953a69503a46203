// Shared pieces of the sequencer tests: a host clock the test sets, an audio
// device that records every channel call (and still forwards it to OpenAL),
// and a fixture that builds a player on them.
#pragma once
#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "framework/app.h"
#include "framework/random.h"
#include "game/audio/sequencer.h"
#include "host/glfw_game.h"

namespace seqtest {

// Whole milliseconds; the quarter keeps the host's truncation on the intended one.
class TestClock : public BBHostPlatform {
public:
    int ms = 50000;
    double Time() override { return (ms + 0.25) / 1000.0; }
    void Sleep(double) override {}
    void PollEvents() override {}
    void WaitEvents() override {}
    int WindowParam(int) override { return 0; }
    int Ms() const { return ms; }
    void AdvanceMs(int d) { ms += d; }
};

struct AudioCall {
    enum Kind { Play, Stop, Volume, Pan, Rate, Load } kind;
    int channel;
    float value;  // volume, pan or rate
    int flags;
    gxtkSample* sample;
    std::string path;  // Load
};

class RecordingAudio : public gxtkAudio {
public:
    std::vector<AudioCall> calls;

    gxtkSample* LoadSample(String path) override {
        calls.push_back({AudioCall::Load, -1, 0, 0, nullptr, path.ToUtf8()});
        return gxtkAudio::LoadSample(path);
    }
    int PlaySample(gxtkSample* sample, int channel, int flags) override {
        calls.push_back({AudioCall::Play, channel, 0, flags, sample, ""});
        return gxtkAudio::PlaySample(sample, channel, flags);
    }
    int StopChannel(int channel) override {
        calls.push_back({AudioCall::Stop, channel, 0, 0, nullptr, ""});
        return gxtkAudio::StopChannel(channel);
    }
    int SetVolume(int channel, float v) override {
        calls.push_back({AudioCall::Volume, channel, v, 0, nullptr, ""});
        return gxtkAudio::SetVolume(channel, v);
    }
    int SetPan(int channel, float v) override {
        calls.push_back({AudioCall::Pan, channel, v, 0, nullptr, ""});
        return gxtkAudio::SetPan(channel, v);
    }
    int SetRate(int channel, float v) override {
        calls.push_back({AudioCall::Rate, channel, v, 0, nullptr, ""});
        return gxtkAudio::SetRate(channel, v);
    }

    std::vector<AudioCall> Of(AudioCall::Kind kind, int channel = -2) const {
        std::vector<AudioCall> out;
        for (const AudioCall& c : calls) {
            if (c.kind == kind && (channel == -2 || c.channel == channel)) out.push_back(c);
        }
        return out;
    }
};

// The generator step, integer draw and seeds written out independently, for
// expected values.
struct RefRng {
    uint32_t seed;
    int Rand(int lo, int hi) {
        seed = seed * 1664525u + 1013904223u;
        const float r = static_cast<float>(seed >> 8) * 5.9604645e-08f;
        return static_cast<int>(std::floor(r * ((static_cast<float>(hi) + 0.99f) - static_cast<float>(lo)) + lo));
    }
};
inline uint32_t RefVoiceSeed(int v, int n, uint32_t b) { return (v * 7u + n * 9u + b) * 1948736821u - 873057359u; }
inline uint32_t RefInstrumentSeed(int n, uint32_t b) { return (b + n) * 1948736821u - 873057359u; }
inline uint32_t RefChordSeed(int n, uint32_t b) { return (n * 9u + b) * 2001863745u - 2084129712u; }

// Host and clock live for the whole test program; each test gets a fresh
// recording device and a player on channel base 32.
class SeqTest : public ::testing::Test {
public:
    static BBGlfwGame* host;
    static TestClock* clock;
    RecordingAudio* audio = nullptr;
    c_SQPlayer* player = nullptr;

    static void SetUpTestSuite() {
        // No sound card is needed for call recording: OpenAL's null output.
        if (!getenv("ALSOFT_CONF")) setenv("ALSOFT_DRIVERS", "null", 0);
        if (!host) host = BBGlfwGame::GlfwGame() ? BBGlfwGame::GlfwGame() : new BBGlfwGame();
        if (!clock) clock = new TestClock();
    }

    void SetUp() override {
        host->SetPlatform(clock);
        bb_app__game = host;
        audio = new RecordingAudio();
        bb_audio_SetAudioDevice(audio);
        clock->ms = 50000;
        player = (new c_SQPlayer)->m_new();
        player->p_SQ_Init(32, 4, 3, 3, 4);
    }

    void TearDown() override {
        CloseDevice(audio);
        bb_audio_SetAudioDevice(nullptr);
        host->SetPlatform(nullptr);
    }

    static void CloseDevice(gxtkAudio* device) {
        ALCcontext* ctx = static_cast<ALCcontext*>(device->m_alcContext);
        ALCdevice* dev = static_cast<ALCdevice*>(device->m_alcDevice);
        if (ctx) {
            if (alcGetCurrentContext() == ctx) alcMakeContextCurrent(nullptr);
            alcDestroyContext(ctx);
        }
        if (dev) alcCloseDevice(dev);
        device->m_alcContext = device->m_alcDevice = nullptr;
    }

    // A sample that plays nothing but has its own identity.
    static c_Sound* FakeSound() { return (new c_Sound)->m_new(new gxtkSample()); }

    void GiveInstruments() {
        for (int i = 1; i <= 8; ++i) {
            gc_assign(player->m_kitA[i], FakeSound());
            gc_assign(player->m_kitB[i], FakeSound());
        }
        for (int i = 2; i <= 4; ++i) gc_assign(player->m_instruments[i], FakeSound());
    }

    void SetCell(int pattern, int lane, int row, int note, int volume, int effect = 0, int parameter = 0) {
        const int i = pattern * 4096 + lane * 512 + row * 8;
        player->m_tuneData[i] = note;
        player->m_tuneData[i + 1] = volume;
        player->m_tuneData[i + 2] = effect;
        player->m_tuneData[i + 3] = parameter;
        if (pattern > player->m_lastPattern[lane]) player->m_lastPattern[lane] = pattern;
    }

    // Starts a tune whose data the test has filled in, as if it had loaded.
    void StartLoaded(int seed, int tempo = 100) {
        player->m_tunePath = String("tunes/test.png");
        player->p_SQ_StartTune(String("test"), seed, tempo);
        player->m_chunkStep = 0;
    }

    // Makes the next row due and plays it through the update hook.
    void PlayRow() {
        player->m_nextTick = clock->Ms() - 1;
        player->p_SQ_Alive_U(0, 1);
    }
};

}  // namespace seqtest
