// Listening by file: the game, music switch on, plays a test tune in real
// time into OpenAL Soft's wave writer (in a child process, as the backend is
// chosen when OpenAL starts); the recording's level and clipping are checked.
#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "driver/scenario.h"
#include "game/audio/sequencer.h"

namespace fs = std::filesystem;

namespace {

// The game's device with two listening aids: only the chosen channels are
// audible (the others get gain 0), and starts are counted per channel.
class ListeningAudio : public gxtkAudio {
public:
    int firstAudible = 27, lastAudible = 31;
    std::map<int, int> starts;

    int SetVolume(int channel, float volume) override {
        return gxtkAudio::SetVolume(channel, Audible(channel) ? volume : 0.0f);
    }
    int PlaySample(gxtkSample* sample, int channel, int flags) override {
        if (Audible(channel))
            ++starts[channel];
        else
            gxtkAudio::SetVolume(channel, 0.0f);
        return gxtkAudio::PlaySample(sample, channel, flags);
    }
    bool Audible(int channel) const { return channel >= firstAudible && channel <= lastAudible; }
};

void CloseDevice(gxtkAudio* device) {
    ALCcontext* ctx = static_cast<ALCcontext*>(device->m_alcContext);
    ALCdevice* dev = static_cast<ALCdevice*>(device->m_alcDevice);
    if (ctx) {
        if (alcGetCurrentContext() == ctx) alcMakeContextCurrent(nullptr);
        alcDestroyContext(ctx);
    }
    if (dev) alcCloseDevice(dev);  // the wave writer completes its header here
    device->m_alcContext = device->m_alcDevice = nullptr;
}

struct Analysis {
    double seconds = 0, rmsDb = -200, peak = 0, leftRms = 0, rightRms = 0;
    int clipped = 0;
    std::map<int, int> starts;
};

// Level of the wave writer's recording (32-bit float stereo) after its
// first second, which holds the loading.
Analysis Analyse(const std::string& path) {
    Analysis a;
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u32 = [&](size_t o) { uint32_t v; std::memcpy(&v, bytes.data() + o, 4); return v; };
    size_t pos = 12, data = 0, size = 0, rate = 44100;
    for (; pos + 8 <= bytes.size(); pos += 8 + u32(pos + 4)) {
        if (!std::memcmp(bytes.data() + pos, "fmt ", 4)) {
            EXPECT_EQ(bytes[pos + 10], 2) << "stereo";
            EXPECT_EQ(bytes[pos + 22], 32) << "32-bit float";
            rate = u32(pos + 12);
        } else if (!std::memcmp(bytes.data() + pos, "data", 4)) {
            data = pos + 8;
            size = std::min<size_t>(u32(pos + 4), bytes.size() - data);
            break;
        }
    }
    const size_t frames = size / 8, from = rate;
    a.seconds = static_cast<double>(frames) / rate;
    if (!data || frames <= from) return a;
    const float* s = reinterpret_cast<const float*>(bytes.data() + data);
    double l2 = 0, r2 = 0;
    for (size_t i = from; i < frames; ++i) {
        const double l = s[2 * i], r = s[2 * i + 1];
        l2 += l * l;
        r2 += r * r;
        a.peak = std::max({a.peak, std::fabs(l), std::fabs(r)});
        a.clipped += std::fabs(l) >= 0.999 || std::fabs(r) >= 0.999;
    }
    const double n = static_cast<double>(frames - from);
    a.leftRms = std::sqrt(l2 / n);
    a.rightRms = std::sqrt(r2 / n);
    a.rmsDb = 10 * std::log10(std::max((l2 + r2) / (2 * n), 1e-20));
    return a;
}

// Runs the child test below with the wave writer on, and reads its result.
Analysis Listen(const std::string& dir, const std::string& name, int seconds, int solo) {
    const std::string wav = dir + "/" + name + ".wav", conf = dir + "/" + name + ".conf",
                      report = dir + "/" + name + ".txt";
    {
        std::ofstream out(conf);
        out << "[general]\ndrivers=wave\n[wave]\nfile=" << wav << "\n";
    }
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("ALSOFT_CONF", conf.c_str(), 1);
        unsetenv("ALSOFT_DRIVERS");
        setenv("KQ_SEQ_SECONDS", std::to_string(seconds).c_str(), 1);
        setenv("KQ_SEQ_SOLO", std::to_string(solo).c_str(), 1);
        setenv("KQ_SEQ_REPORT", report.c_str(), 1);
        execl("/proc/self/exe", "test_game_audio", "--gtest_also_run_disabled_tests",
              "--gtest_filter=SequencerListen.DISABLED_PlayIntoTheWaveWriter", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the playing child failed";
    Analysis a = Analyse(wav);
    std::ifstream in(report);
    int channel = 0, count = 0;
    while (in >> channel >> count) a.starts[channel] = count;
    return a;
}

std::string Describe(const Analysis& a) {
    char text[256];
    snprintf(text, sizeof text, "%.1f s, %.1f dBFS rms (left %.4f, right %.4f), peak %.3f, %d clipped", a.seconds,
             a.rmsDb, a.leftRms, a.rightRms, a.peak, a.clipped);
    return text;
}

std::string ListenDir() {
    const std::string dir = std::string(KQ_BINARY_DIR) + "/sequencer-listening";
    fs::create_directories(dir);
    return dir;
}

}  // namespace

// The child: the real game with the music switch on plays game 1's tune in
// real time for KQ_SEQ_SECONDS, audible on the sequencer's channels only
// (KQ_SEQ_SOLO >= 0: voice v alone).
TEST(SequencerListen, DISABLED_PlayIntoTheWaveWriter) {
    const char* secondsText = getenv("KQ_SEQ_SECONDS");
    const char* soloText = getenv("KQ_SEQ_SOLO");
    const char* reportPath = getenv("KQ_SEQ_REPORT");
    const int seconds = secondsText ? atoi(secondsText) : 4;
    const int solo = soloText ? atoi(soloText) : -1;

    Scenario s;
    s.FinishLoading();
    // The game's own device becomes the listening one (and the only one
    // writing the wave file).
    CloseDevice(bb_audio_device);
    ListeningAudio* audio = new ListeningAudio();
    if (solo >= 0) audio->firstAudible = audio->lastAudible = 31 - solo;
    bb_audio_SetAudioDevice(audio);
    gc_assign(bb_app__delegate->m_audio, audio);

    bb_Game_HasMusic = 1;
    c_SQPlayer* player = s.App()->m_music;
    player->p_SQ_Init(32, 4, 3, 3, 4);
    player->p_SQ_StartTune(bb_sequencer_TestTune(1), 37171650, 100);

    // One update and render per 1/60 s of real time; the driver's clock
    // moves by the same amount.
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 1; frame <= seconds * 60; ++frame) {
        s.Update(1);
        s.Render();
        std::this_thread::sleep_until(start + std::chrono::microseconds(frame * 1000000LL / 60));
    }
    player->p_SQ_Stop(1);
    std::map<int, int> starts = audio->starts;
    CloseDevice(audio);
    bb_Game_HasMusic = 0;

    if (reportPath) {
        std::ofstream out(reportPath);
        for (const auto& kv : starts) out << kv.first << " " << kv.second << "\n";
    }
}

TEST(SequencerListen, AFewSecondsOfTheTestTuneAreMusic) {
    const Analysis a = Listen(ListenDir(), "tune1-mix", 5, -1);
    SCOPED_TRACE(Describe(a));
    EXPECT_GE(a.seconds, 4.0) << "the writer runs in real time";
    EXPECT_GT(a.rmsDb, -40.0) << "not silent";
    EXPECT_EQ(a.clipped, 0);
    EXPECT_LT(a.peak, 0.99);
    int voices = 0;
    for (const auto& kv : a.starts) voices += kv.first >= 27 && kv.first <= 31 && kv.second > 0;
    EXPECT_GE(voices, 3) << "several voices start notes";
}

// The manual check: a minute of the mix and the same minute of every voice
// alone; the recordings stay in <build>/sequencer-listening.
TEST(SequencerListen, DISABLED_AMinuteOfTheMixAndEveryVoiceAlone) {
    const std::string dir = ListenDir();
    const Analysis mix = Listen(dir, "tune1-minute", 60, -1);
    printf("mix:     %s\n", Describe(mix).c_str());
    for (const auto& kv : mix.starts) printf("  channel %d: %d notes\n", kv.first, kv.second);
    const char* const names[5] = {"drums A", "drums B", "lead", "accompaniment", "bass"};
    for (int v = 0; v < 5; ++v) {
        const Analysis a = Listen(dir, "tune1-voice" + std::to_string(v), 60, v);
        printf("voice %d (%s): %s\n", v, names[v], Describe(a).c_str());
    }
    EXPECT_EQ(mix.clipped, 0);
}
