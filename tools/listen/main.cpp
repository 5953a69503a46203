// kq-listen: plays a test tune through the game's music player and OpenAL
// Soft's wave writer in real time, then reports the recording's length,
// level, peak and clipping and the notes each voice started. A listening
// aid: the recordings are there for a person to hear.
//
//   kq-listen [--tune N] [--seed S] [--seconds S] [--solo V] [--data DIR] OUT.wav
//   kq-listen --all DIR [--tune N] [--seed S] [--seconds S] [--data DIR]
//
// --solo V leaves only voice V audible (0 and 1 drums, 2 lead, 3
// accompaniment, 4 bass); --all records the mix and every voice alone, a
// minute each unless --seconds says otherwise, as DIR/tuneN-mix.wav and
// DIR/tuneN-voiceV.wav. --data names the data folder (default: the build's).
#include <AL/al.h>
#include <AL/alc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "game/audio/sequencer.h"
#include "host/glfw_game.h"

namespace fs = std::filesystem;

namespace {

// The game's settings for its music player: voices on channels 31 down to
// 27, the first test tune's seed, 80 ms a row.
const int kBaseChannel = 32;
const int kGameSeed = 37171650;
const int kTempo = 100;

const char* kUsage =
    "usage: kq-listen [--tune N] [--seed S] [--seconds S] [--solo V] [--data DIR] OUT.wav\n"
    "       kq-listen --all DIR [--tune N] [--seed S] [--seconds S] [--data DIR]\n";

struct Options {
    int tune = 1, seed = kGameSeed, seconds = -1, solo = -1;
    std::string out, all, data = KQ_DATA_DIR;
};

// The game's audio device with only the chosen channels audible; it counts
// the notes started on each.
class ListeningAudio : public gxtkAudio {
public:
    int firstAudible = kBaseChannel - 5, lastAudible = kBaseChannel - 1;
    std::map<int, int> starts;

    bool Audible(int channel) const { return channel >= firstAudible && channel <= lastAudible; }
    int SetVolume(int channel, float volume) override {
        return gxtkAudio::SetVolume(channel, Audible(channel) ? volume : 0.0f);
    }
    int PlaySample(gxtkSample* sample, int channel, int flags) override {
        if (Audible(channel)) ++starts[channel];
        else gxtkAudio::SetVolume(channel, 0.0f);
        return gxtkAudio::PlaySample(sample, channel, flags);
    }
    // Closing the device is what makes the wave writer complete its file.
    void Close() {
        ALCcontext* context = static_cast<ALCcontext*>(m_alcContext);
        if (context && alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
        if (context) alcDestroyContext(context);
        if (m_alcDevice) alcCloseDevice(static_cast<ALCdevice*>(m_alcDevice));
        m_alcContext = m_alcDevice = nullptr;
    }
};

struct Analysis {
    bool ok = false;
    double seconds = 0, rmsDb = -200, peak = 0, leftRms = 0, rightRms = 0;
    int clipped = 0;
};

// Level of the wave writer's recording (32-bit float stereo) from its second
// second on: the first holds the start of the tune.
Analysis Analyse(const std::string& path) {
    Analysis a;
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u32 = [&](size_t at) {
        uint32_t v;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    size_t data = 0, size = 0, rate = 0;
    for (size_t pos = 12; pos + 8 <= bytes.size(); pos += 8 + u32(pos + 4)) {
        if (!std::memcmp(bytes.data() + pos, "fmt ", 4)) {
            if (bytes[pos + 10] != 2 || bytes[pos + 22] != 32) return a;  // not float stereo
            rate = u32(pos + 12);
        } else if (!std::memcmp(bytes.data() + pos, "data", 4)) {
            data = pos + 8;
            size = std::min<size_t>(u32(pos + 4), bytes.size() - data);
            break;
        }
    }
    if (!data || !rate) return a;
    const size_t frames = size / 8;
    const float* s = reinterpret_cast<const float*>(bytes.data() + data);
    double left = 0, right = 0;
    for (size_t i = rate; i < frames; ++i) {
        left += s[2 * i] * s[2 * i];
        right += s[2 * i + 1] * s[2 * i + 1];
        a.peak = std::max({a.peak, std::fabs(double(s[2 * i])), std::fabs(double(s[2 * i + 1]))});
        a.clipped += std::fabs(s[2 * i]) >= 0.999f || std::fabs(s[2 * i + 1]) >= 0.999f;
    }
    const double n = frames > rate ? static_cast<double>(frames - rate) : 1;
    a.ok = true;
    a.seconds = static_cast<double>(frames) / rate;
    a.leftRms = std::sqrt(left / n);
    a.rightRms = std::sqrt(right / n);
    a.rmsDb = 10 * std::log10(std::max((left + right) / (2 * n), 1e-20));
    return a;
}

// One recording in this process: OpenAL picks its output when it starts, so
// the wave writer is configured before the first device opens.
int Record(const Options& o) {
    const std::string conf = o.out + ".alsoft.conf";
    std::ofstream(conf) << "[general]\ndrivers=wave\n[wave]\nfile=" << o.out << "\n";
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");
    new BBGlfwGame();  // loads the tune image; no window is needed
    ListeningAudio* audio = new ListeningAudio();
    if (!audio->m_alcContext) {
        std::fprintf(stderr, "kq-listen: OpenAL Soft's wave writer did not start for %s\n", o.out.c_str());
        return 1;
    }
    if (o.solo >= 0) audio->firstAudible = audio->lastAudible = kBaseChannel - 1 - o.solo;
    bb_audio_SetAudioDevice(audio);

    c_SQPlayer* player = (new c_SQPlayer)->m_new();
    player->p_SQ_Init(kBaseChannel, 4, 3, 3, 4);
    player->p_SQ_StartTune(bb_sequencer_TestTune(o.tune), o.seed, kTempo);
    while (player->m_chunkStep > 0) player->p_SQ_LoadChunk();
    if (player->m_lastPattern[0] == 0 || !player->m_instruments[2]) {
        std::fprintf(stderr, "kq-listen: no tune %d or no instruments in %s\n", o.tune, o.data.c_str());
        audio->Close();
        return 1;
    }
    // One row every 8000 / tempo ms of real time; the player's own clock
    // reads 0 without a game, so each row is made due.
    const auto start = std::chrono::steady_clock::now();
    for (int row = 0; row < o.seconds * kTempo / 8; ++row) {
        player->m_nextTick = -1;
        player->p_SQ_MusicPlay();
        std::this_thread::sleep_until(start + std::chrono::milliseconds((row + 1) * 8000 / kTempo));
    }
    player->p_SQ_Stop(1);
    audio->Close();
    std::remove(conf.c_str());

    const Analysis a = Analyse(o.out);
    if (!a.ok) {
        std::fprintf(stderr, "kq-listen: %s is not a float stereo recording\n", o.out.c_str());
        return 1;
    }
    std::printf("%s: %.1f s, %.1f dBFS rms (left %.4f, right %.4f), peak %.3f, %d clipped\n", o.out.c_str(), a.seconds,
                a.rmsDb, a.leftRms, a.rightRms, a.peak, a.clipped);
    for (int voice = 0; voice < 5; ++voice) {
        if (audio->Audible(kBaseChannel - 1 - voice))
            std::printf("  voice %d: %d notes\n", voice, audio->starts[kBaseChannel - 1 - voice]);
    }
    return 0;
}

// The mix and each voice alone, each in a process of its own.
int RecordAll(const Options& o, const char* self) {
    int failed = 0;
    for (int solo = -1; solo < 5; ++solo) {
        const std::string name =
            "tune" + std::to_string(o.tune) + (solo < 0 ? "-mix" : "-voice" + std::to_string(solo));
        std::vector<std::string> args = {self,
                                         "--tune",
                                         std::to_string(o.tune),
                                         "--seed",
                                         std::to_string(o.seed),
                                         "--seconds",
                                         std::to_string(o.seconds),
                                         "--solo",
                                         std::to_string(solo),
                                         "--data",
                                         o.data,
                                         o.all + "/" + name + ".wav"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(&a[0]);
        argv.push_back(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            execv("/proc/self/exe", argv.data());
            _exit(127);
        }
        int status = 0;
        failed += pid < 0 || waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0;
    }
    if (failed) std::fprintf(stderr, "kq-listen: %d of 6 recordings failed\n", failed);
    return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--tune" && hasValue) o.tune = std::atoi(argv[++i]);
        else if (arg == "--seed" && hasValue) o.seed = std::atoi(argv[++i]);
        else if (arg == "--seconds" && hasValue) o.seconds = std::atoi(argv[++i]);
        else if (arg == "--solo" && hasValue) o.solo = std::atoi(argv[++i]);
        else if (arg == "--data" && hasValue) o.data = argv[++i];
        else if (arg == "--all" && hasValue) o.all = argv[++i];
        else if (arg[0] != '-' && o.out.empty()) o.out = arg;
        else return std::fprintf(stderr, "%s", kUsage), 2;
    }
    if (o.out.empty() == o.all.empty() || o.tune < 1 || o.tune > 3 || o.solo < -1 || o.solo > 4) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (o.seconds < 1) o.seconds = o.all.empty() ? 10 : 60;
    // The player reads ./data, so the data folder's parent becomes the
    // working directory; the output paths are fixed before that.
    std::error_code ec;
    if (!o.out.empty()) o.out = fs::absolute(o.out).string();
    if (!o.all.empty()) fs::create_directories(o.all, ec), o.all = fs::absolute(o.all).string();
    fs::path data = fs::absolute(o.data);
    if (!data.has_filename()) data = data.parent_path();
    o.data = data.string();
    if (data.filename() != "data" || chdir(data.parent_path().c_str()) != 0) {
        std::fprintf(stderr, "kq-listen: %s is not a folder named data\n", o.data.c_str());
        return 1;
    }
    return o.all.empty() ? Record(o) : RecordAll(o, argv[0]);
}
