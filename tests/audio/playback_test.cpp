// Real playback through OpenAL Soft: each scenario runs in a fresh process
// (OpenAL reads its configuration and opens the device once per process).
// The wave-writer backend records what was heard; waits poll OpenAL with
// generous limits, so a busy machine slows the tests down but never fails them.
#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "audio_test_util.h"
#include "host/glfw_game.h"

using namespace kqaudio;
namespace fs = std::filesystem;

namespace {

// Checks inside the child process: a failure is reported on stderr and
// ends the child with a non-zero code, which the parent's EXPECT_EXIT sees.
#define REQUIRE(c)                                                                      \
    do {                                                                                \
        if (!(c)) {                                                                     \
            fprintf(stderr, "%s:%d: requirement failed: %s\n", __FILE__, __LINE__, #c); \
            _exit(1);                                                                   \
        }                                                                               \
    } while (0)

void Sleep(double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); }

// A scratch folder per process, removed when the test ends.
class Playback : public testing::Test {
protected:
    fs::path dir = fs::path(testing::TempDir()) / ("kq_play_" + std::to_string(getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const std::string& name) { return (dir / name).string(); }

    // Points OpenAL at the wave writer recording 16-bit stereo at 44.1 kHz
    // into out, or (out empty) at a driver that does not exist.
    void ConfigureOpenAL(const std::string& out) {
        std::string conf = out.empty() ? "[general]\ndrivers=nonexistent\n"
                                       : "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\n"
                                         "frequency=44100\noutput-limiter=false\ndither=false\n"
                                         "stereo-encoding=panpot\nhrtf=false\n[wave]\nfile=" +
                                             out + "\n";
        ASSERT_TRUE(WriteFile(Path("alsoft.conf"), conf));
        setenv("ALSOFT_CONF", Path("alsoft.conf").c_str(), 1);
        unsetenv("ALSOFT_DRIVERS");
        // Forked children: this process never touches OpenAL itself.
        GTEST_FLAG_SET(death_test_style, "fast");
    }
};

// The child's side: a host for file loading and the one audio device.
struct Child {
    BBGlfwGame host;
    gxtkAudio* audio = new gxtkAudio();
    std::string dir;
    explicit Child(const fs::path& scratch) : dir(scratch.string()) {}

    gxtkSample* Tone(double freq, double seconds, double amp = 0.8) {
        std::string path = dir + "/tone.wav";
        REQUIRE(WriteFile(path, ToneWav(freq, seconds, amp)));
        gxtkSample* s = audio->LoadSample(String(path.c_str()));
        REQUIRE(s != nullptr);
        return s;
    }
    ALint SourceInt(int channel, ALenum what) {
        ALint v = -1;
        alGetSourcei(audio->m_alChannels[channel].m_alSource, what, &v);
        return v;
    }
    // Until the channel's sound has ended by itself (at most 20 s), then a
    // fifth of a second of silence.
    void WaitStopped(int channel) {
        for (int i = 0; i < 2000 && SourceInt(channel, AL_SOURCE_STATE) != AL_STOPPED; ++i) Sleep(0.01);
        REQUIRE(SourceInt(channel, AL_SOURCE_STATE) == AL_STOPPED);
        Sleep(0.2);
    }
    // Closing the device finalises the recording.
    [[noreturn]] void Finish() {
        alcMakeContextCurrent(nullptr);
        if (audio->m_alcContext) alcDestroyContext(static_cast<ALCcontext*>(audio->m_alcContext));
        if (audio->m_alcDevice) alcCloseDevice(static_cast<ALCdevice*>(audio->m_alcDevice));
        fflush(stdout);
        _exit(0);
    }
};

// The wave writer's recording: per channel, samples in [-1, 1].
std::vector<std::vector<double>> ReadRecording(const std::string& path) {
    std::vector<std::vector<double>> ch(2);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    for (size_t at = bytes.find("data", 12) + 8; at + 4 <= bytes.size(); at += 4)
        for (int c = 0; c < 2; ++c)
            ch[c].push_back(int16_t(uint8_t(bytes[at + 2 * c]) | uint8_t(bytes[at + 2 * c + 1]) << 8) / 32768.0);
    return ch;
}

struct Burst {
    size_t start, end;  // frames
    double Seconds() const { return double(end - start) / 44100; }
    size_t Quarter() const { return (end - start) / 4; }
};

// Stretches of sound separated by at least 50 ms of silence, found on
// 10 ms windows.
std::vector<Burst> FindBursts(const std::vector<std::vector<double>>& ch) {
    std::vector<Burst> out;
    const size_t win = 441, gap = 5;
    size_t silent = gap;
    for (size_t w = 0; (w + 1) * win <= ch[0].size(); ++w) {
        double e = 0;
        for (size_t i = w * win; i < (w + 1) * win; ++i) e += ch[0][i] * ch[0][i] + ch[1][i] * ch[1][i];
        if (std::sqrt(e / (2 * win)) <= 0.01) {
            ++silent;
        } else {
            if (silent >= gap) out.push_back({w * win, w * win});
            out.back().end = (w + 1) * win;
            silent = 0;
        }
    }
    return out;
}

// Root-mean-square level of one channel (or of both with -1).
double Rms(const std::vector<std::vector<double>>& ch, int channel, size_t from, size_t to) {
    double e = 0;
    for (int c = 0; c < 2; ++c)
        for (size_t i = from; i < to && (channel < 0 || c == channel); ++i) e += ch[c][i] * ch[c][i];
    return std::sqrt(e / double((to - from) * (channel < 0 ? 2 : 1)));
}

gxtkAudio* g_root = nullptr;
void MarkRoot() { gc_mark(g_root); }
// Allocates past one collection cycle's worth of garbage and collects.
void CollectCycle() {
    while (gc_new_bytes <= GC_CYCLE_BYTES) new c_Sound;
    gc_collect();
}

}  // namespace

TEST_F(Playback, PanRateVolumeAndPauseAreHeard) {
    std::string out = Path("heard.wav");
    ConfigureOpenAL(out);
    EXPECT_EXIT(([&] {
                    Child c(dir);
                    REQUIRE(c.audio->m_alcContext != nullptr);
                    gxtkSample* tone = c.Tone(440, 0.3);
                    c.audio->SetPan(0, -1);
                    c.audio->PlaySample(tone, 0, 0);
                    REQUIRE(c.audio->ChannelState(0) == 1);
                    c.WaitStopped(0);
                    REQUIRE(c.audio->ChannelState(0) == 0);  // a one-shot ends by itself
                    c.audio->SetRate(2, 2);
                    c.audio->PlaySample(tone, 2, 0);
                    c.WaitStopped(2);
                    // Set before anything played on channel 5: applies to its next sound.
                    c.audio->SetVolume(5, 0.5f);
                    c.audio->PlaySample(tone, 5, 0);
                    c.WaitStopped(5);

                    c.audio->PlaySample(c.Tone(440, 0.6), 0, 0);
                    Sleep(0.2);
                    c.audio->PauseChannel(0);
                    REQUIRE(c.audio->ChannelState(0) == 2);
                    Sleep(0.4);
                    REQUIRE(c.audio->ChannelState(0) == 2);
                    c.audio->ResumeChannel(0);
                    REQUIRE(c.audio->ChannelState(0) == 1);
                    c.WaitStopped(0);
                    // Ended by itself: pausing now finds it stopped, resuming does nothing.
                    c.audio->PauseChannel(0);
                    c.audio->ResumeChannel(0);
                    REQUIRE(c.audio->ChannelState(0) == 0);
                    c.Finish();
                }()),
                testing::ExitedWithCode(0), "");
    auto r = ReadRecording(out);
    std::vector<Burst> b = FindBursts(r);
    ASSERT_EQ(b.size(), 5u);
    EXPECT_GT(Rms(r, 0, b[0].start, b[0].end), 2 * Rms(r, 1, b[0].start, b[0].end)) << "panned to the left";
    EXPECT_NEAR(b[0].Seconds(), 0.3, 0.04);
    EXPECT_NEAR(b[1].Seconds(), 0.15, 0.03) << "twice the rate: half as long";
    // Half the volume: half the amplitude of the same tone, both centred.
    EXPECT_NEAR(b[2].Seconds(), 0.3, 0.04);
    double full = Rms(r, -1, b[1].start + b[1].Quarter(), b[1].end - b[1].Quarter());
    EXPECT_NEAR(Rms(r, -1, b[2].start + b[2].Quarter(), b[2].end - b[2].Quarter()) / full, 0.5, 0.03);
    // Paused for 0.4 s and resumed where it paused: the parts add up to the sound once.
    EXPECT_GT(double(b[4].start - b[3].end) / 44100, 0.3);
    EXPECT_NEAR(b[3].Seconds() + b[4].Seconds(), 0.6, 0.04);
}

TEST_F(Playback, TheModuleDrivesChannelsAndSamplesLiveWhileTheySound) {
    fs::path sfx = dir / "data" / "sfx";
    fs::create_directories(sfx);
    for (const char* name : {"001.wav", "002.WAV", "003.mp3"})
        ASSERT_TRUE(WriteFile((sfx / name).string(), ToneWav(440, 0.3)));
    fs::copy_file("/usr/share/sounds/freedesktop/stereo/bell.oga", sfx / "004.ogg");
    ConfigureOpenAL(Path("module.wav"));
    EXPECT_EXIT(
        ([&] {
            Child c(dir);
            fs::current_path(dir);
            bb_audio_SetAudioDevice(c.audio);
            // Two loads of one file are two sounds with two buffers.
            c_Sound* one = bb_audio_LoadSound(String("sfx/001.wav"));
            c_Sound* two = bb_audio_LoadSound(String("sfx/001.wav"));
            REQUIRE(one && two && one->m_sample->m_alBuffer && one->m_sample->m_alBuffer != two->m_sample->m_alBuffer);
            // The decoder is chosen by the extension, in either case; others load nothing.
            REQUIRE(bb_audio_LoadSound(String("sfx/002.WAV")) && bb_audio_LoadSound(String("sfx/004.ogg")));
            REQUIRE(!bb_audio_LoadSound(String("sfx/003.mp3")) && !bb_audio_LoadSound(String("sfx/005.wav")));

            bb_audio_PlaySound(one, 4, 1);
            bb_audio_PlaySound(one, 5, 1);
            bb_audio_PlaySound(nullptr, 4, 0);  // ignored, as is a sound without a sample
            bb_audio_PlaySound((new c_Sound)->m_new2(), 4, 0);
            // Playing on a busy channel restarts only that channel.
            bb_audio_PlaySound(two, 5, 1);
            REQUIRE(c.SourceInt(5, AL_BUFFER) == ALint(two->m_sample->m_alBuffer));
            REQUIRE(c.SourceInt(4, AL_BUFFER) == ALint(one->m_sample->m_alBuffer));
            REQUIRE(c.SourceInt(4, AL_SOURCE_STATE) == AL_PLAYING && c.SourceInt(4, AL_LOOPING) == AL_TRUE);
            // Suspending pauses what sounds; what the game paused stays paused.
            bb_audio_PauseChannel(5);
            c.audio->Suspend();
            REQUIRE(c.SourceInt(4, AL_SOURCE_STATE) == AL_PAUSED && bb_audio_ChannelState(4) == 1);
            c.audio->Resume();
            REQUIRE(c.SourceInt(4, AL_SOURCE_STATE) == AL_PLAYING);
            REQUIRE(c.SourceInt(5, AL_SOURCE_STATE) == AL_PAUSED && bb_audio_ChannelState(5) == 2);
            // Music loops on its own channel; a missing file stops it and reports -1.
            REQUIRE(bb_audio_PlayMusic(String("sfx/001.wav"), 1) == 0);
            REQUIRE(bb_audio_MusicState() == 1 && c.SourceInt(32, AL_LOOPING) == AL_TRUE);
            REQUIRE(bb_audio_PlayMusic(String("sfx/missing.wav"), 1) == -1);
            REQUIRE(bb_audio_MusicState() == 0 && c.SourceInt(32, AL_SOURCE_STATE) == AL_STOPPED);
            // Channels outside the device are ignored.
            c.audio->PlaySample(one->m_sample, 33, 0);
            c.audio->SetVolume(-1, 1);
            REQUIRE(c.audio->ChannelState(99) == 0);
            bb_audio_StopChannel(4);
            bb_audio_StopChannel(5);

            // What OpenAL holds for a sample counts toward the collector's cycles.
            gc_mark_roots = MarkRoot;
            gc_assign(g_root, c.audio);
            int64_t held = gc_external_bytes;
            gxtkSample* sounding = c.Tone(440, 0.2);
            REQUIRE(gc_external_bytes - held == 0.2 * 44100 * 2);
            gxtkSample* ended = c.Tone(660, 0.05);
            ALuint loopBuffer = sounding->m_alBuffer, endedBuffer = ended->m_alBuffer;
            c.audio->PlaySample(sounding, 0, 1);
            c.audio->PlaySample(ended, 1, 0);
            c.WaitStopped(1);
            for (int i = 0; i < 3; ++i) CollectCycle();
            REQUIRE(gc_is_live_object(sounding));
            REQUIRE(!gc_is_live_object(ended));
            REQUIRE(gc_external_bytes == 0.2 * 44100 * 2);  // destroyed samples gave back theirs
            // Destroyed or discarded samples hand their buffers to the discard
            // list; the next play deletes those that no source holds any more
            // (the ended one-shot lets go of its own) and keeps the looping one.
            sounding->Discard();
            REQUIRE(sounding->m_alBuffer == 0 && gc_external_bytes == 0);
            c.audio->PlaySample(nullptr, 2, 0);
            REQUIRE(!alIsBuffer(endedBuffer) && alIsBuffer(loopBuffer));
            REQUIRE(DiscardedBufferCount() == 1 && c.audio->ChannelState(0) == 1);
            c.audio->StopChannel(0);
            REQUIRE(c.audio->LoadSample(String("/nonexistent/x.wav")) == nullptr);
            REQUIRE(DiscardedBufferCount() == 0 && !alIsBuffer(loopBuffer));
            c.Finish();
        }()),
        testing::ExitedWithCode(0), "");
}

TEST_F(Playback, WithoutADeviceTheGameRunsOnSilently) {
    ConfigureOpenAL("");
    std::string tone = Path("tone.wav");
    ASSERT_TRUE(WriteFile(tone, ToneWav(440, 0.2)));
    EXPECT_EXIT(([&] {
                    dup2(2, 1);  // the device's message goes to stdout; let the parent see it
                    Child c(dir);
                    REQUIRE(c.audio->m_alcDevice == nullptr && c.audio->m_alcContext == nullptr);
                    bb_audio_SetAudioDevice(c.audio);
                    // Sounds load without a buffer and play as silence.
                    c_Sound* s = bb_audio_LoadSound(String(tone.c_str()));
                    REQUIRE(s && s->m_sample->m_alBuffer == 0);
                    bb_audio_PlaySound(s, 0, 1);
                    bb_audio_PauseChannel(0);
                    REQUIRE(bb_audio_ChannelState(0) == 0);
                    c.audio->Suspend();
                    c.audio->mark();
                    s->m_sample->Discard();
                    REQUIRE(bb_audio_PlayMusic(String(tone.c_str()), 1) == 0 && bb_audio_MusicState() == 0);
                    fprintf(stderr, "silent run complete\n");
                    _exit(0);
                }()),
                testing::ExitedWithCode(0), "OpenAl error: alcOpenDevice failed(.|\n)*silent run complete");
}
