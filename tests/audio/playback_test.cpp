// Real playback through OpenAL Soft's wave-writer backend: each scenario
// runs in a fresh process (OpenAL reads its configuration and opens the
// device once per process), then the recorded file is measured here.
#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "audio_test_util.h"
#include "host/glfw_game.h"

using namespace kqaudio;

namespace {

// Checks inside the child process: a failure is reported on stderr and
// ends the child with a non-zero code, which the parent's EXPECT_EXIT sees.
#define REQUIRE(c)                                                                     \
    do {                                                                               \
        if (!(c)) {                                                                    \
            fprintf(stderr, "%s:%d: requirement failed: %s\n", __FILE__, __LINE__, #c); \
            _exit(1);                                                                  \
        }                                                                              \
    } while (0)

void Sleep(double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); }

// Scratch files, named per process so parallel test runs never share one;
// each test removes its own when it ends.
std::vector<std::string> g_scratch;
std::string Temp(const std::string& name) {
    g_scratch.push_back(testing::TempDir() + "kq_play_" + std::to_string(getpid()) + "_" + name);
    return g_scratch.back();
}

class AudioProcess : public testing::Test {
protected:
    void TearDown() override {
        for (auto& path : g_scratch) std::filesystem::remove_all(path);
        g_scratch.clear();
    }
};
using Playback = AudioProcess;
using NoDevice = AudioProcess;

// Points OpenAL at a configuration: the wave writer recording into out, or
// (out empty) a driver that does not exist, so no device opens.
void ConfigureOpenAL(const std::string& name, const std::string& out) {
    std::string conf = out.empty() ? "[general]\ndrivers=nonexistent\n"
                                   : "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\n"
                                     "frequency=44100\noutput-limiter=false\ndither=false\n"
                                     "stereo-encoding=panpot\nhrtf=false\n[wave]\nfile=" + out + "\n";
    std::string path = Temp(name + ".conf");
    ASSERT_TRUE(WriteFile(path, conf));
    setenv("ALSOFT_CONF", path.c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");
    remove(out.c_str());
    // Forked children: this process never touches OpenAL itself.
    GTEST_FLAG_SET(death_test_style, "fast");
}

// The child's side: a host for file loading and the one audio device.
struct Child {
    BBGlfwGame host;
    gxtkAudio* audio = new gxtkAudio();

    gxtkSample* Tone(double freq, double seconds, double amp = 0.8) {
        std::string path = Temp("tone.wav");
        REQUIRE(WriteFile(path, ToneWav(freq, seconds, amp)));
        gxtkSample* s = audio->LoadSample(String(path.c_str()));
        remove(path.c_str());
        REQUIRE(s != nullptr);
        return s;
    }
    ALint SourceInt(int channel, ALenum what) {
        ALint v = -1;
        alGetSourcei(audio->m_alChannels[channel].m_alSource, what, &v);
        return v;
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

}  // namespace

TEST_F(Playback, PanPutsTheSoundInTheMatchingChannelAndOneShotsEnd) {
    std::string out = Temp("pan.wav");
    ConfigureOpenAL("pan", out);
    EXPECT_EXIT(
        ([&] {
            Child c;
            REQUIRE(c.audio->m_alcContext != nullptr);
            gxtkSample* tone = c.Tone(440, 0.3);
            c.audio->SetPan(0, -1);
            c.audio->PlaySample(tone, 0, 0);
            REQUIRE(c.audio->ChannelState(0) == 1);
            Sleep(0.6);
            REQUIRE(c.audio->ChannelState(0) == 0);
            c.audio->SetPan(1, 1);
            c.audio->PlaySample(tone, 1, 0);
            Sleep(0.6);
            c.Finish();
        }()),
        testing::ExitedWithCode(0), "");
    Recording r = ReadRecording(out);
    ASSERT_EQ(r.channels, 2);
    std::vector<Burst> b = FindBursts(r);
    ASSERT_EQ(b.size(), 2u);
    for (auto& x : b) {
        EXPECT_NEAR(Seconds(r, x), 0.3, 0.04);
        EXPECT_GT(ToneLevel(r, 440, x.start, x.end), 20 * ToneLevel(r, 600, x.start, x.end));
    }
    EXPECT_GT(Rms(r, 0, b[0].start, b[0].end), 2 * Rms(r, 1, b[0].start, b[0].end));
    EXPECT_GT(Rms(r, 1, b[1].start, b[1].end), 2 * Rms(r, 0, b[1].start, b[1].end));
}

TEST_F(Playback, RateTwoHalvesTheDurationAndVolumeHalvesTheAmplitude) {
    std::string out = Temp("rate.wav");
    ConfigureOpenAL("rate", out);
    EXPECT_EXIT(
        ([&] {
            Child c;
            gxtkSample* tone = c.Tone(440, 0.4);
            c.audio->PlaySample(tone, 0, 0);
            Sleep(0.6);
            c.audio->SetRate(0, 2);
            c.audio->PlaySample(tone, 0, 0);
            Sleep(0.5);
            // Set before anything played on channel 5: applies to its next sound.
            c.audio->SetVolume(5, 0.5f);
            c.audio->PlaySample(tone, 5, 0);
            Sleep(0.6);
            c.Finish();
        }()),
        testing::ExitedWithCode(0), "");
    Recording r = ReadRecording(out);
    std::vector<Burst> b = FindBursts(r);
    ASSERT_EQ(b.size(), 3u);
    EXPECT_NEAR(Seconds(r, b[0]), 0.4, 0.04);
    EXPECT_NEAR(Seconds(r, b[1]) / Seconds(r, b[0]), 0.5, 0.06);
    EXPECT_GT(ToneLevel(r, 880, b[1].start, b[1].end), 10 * ToneLevel(r, 440, b[1].start, b[1].end));
    EXPECT_NEAR(Seconds(r, b[2]), 0.4, 0.04);
    auto middle = [&](const Burst& x) { return Rms(r, -1, x.start + (x.end - x.start) / 4, x.end - (x.end - x.start) / 4); };
    EXPECT_NEAR(middle(b[2]) / middle(b[0]), 0.5, 0.03);
}

TEST_F(Playback, PauseHoldsTheSoundAndResumeContinuesIt) {
    std::string out = Temp("pause.wav");
    ConfigureOpenAL("pause", out);
    EXPECT_EXIT(
        ([&] {
            Child c;
            gxtkSample* tone = c.Tone(440, 0.6);
            c.audio->PlaySample(tone, 0, 0);
            Sleep(0.2);
            c.audio->PauseChannel(0);
            REQUIRE(c.audio->ChannelState(0) == 2);
            Sleep(0.4);
            REQUIRE(c.audio->ChannelState(0) == 2);
            c.audio->ResumeChannel(0);
            REQUIRE(c.audio->ChannelState(0) == 1);
            Sleep(0.7);
            // Ended by itself: pausing now finds it stopped, resuming does nothing.
            c.audio->PauseChannel(0);
            REQUIRE(c.audio->ChannelState(0) == 0);
            c.audio->ResumeChannel(0);
            REQUIRE(c.audio->ChannelState(0) == 0);
            Sleep(0.3);
            c.Finish();
        }()),
        testing::ExitedWithCode(0), "");
    Recording r = ReadRecording(out);
    std::vector<Burst> b = FindBursts(r);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_GT(double(b[1].start - b[0].end) / r.rate, 0.3);
    // Resumed where it paused: the two parts add up to the sound once.
    EXPECT_NEAR(Seconds(r, b[0]) + Seconds(r, b[1]), 0.6, 0.04);
}

TEST_F(Playback, PlayingOnABusyChannelRestartsOnlyThatChannel) {
    std::string out = Temp("busy.wav");
    ConfigureOpenAL("busy", out);
    EXPECT_EXIT(
        ([&] {
            Child c;
            gxtkSample* a = c.Tone(440, 0.5, 0.4);
            gxtkSample* other = c.Tone(660, 0.5, 0.4);
            gxtkSample* b = c.Tone(880, 0.5, 0.4);
            c.audio->PlaySample(a, 0, 1);
            c.audio->PlaySample(other, 1, 1);
            Sleep(0.7);
            ALint before = c.SourceInt(1, AL_SAMPLE_OFFSET);
            c.audio->PlaySample(b, 0, 1);
            REQUIRE(c.SourceInt(0, AL_SAMPLE_OFFSET) < 4410);
            REQUIRE(c.SourceInt(0, AL_BUFFER) == ALint(b->m_alBuffer));
            REQUIRE(c.SourceInt(1, AL_SAMPLE_OFFSET) >= before);
            REQUIRE(c.audio->ChannelState(1) == 1);
            REQUIRE(c.audio->m_alChannels[0].m_sample == b);
            Sleep(0.7);
            // Looping channels are still going.
            REQUIRE(c.audio->ChannelState(0) == 1 && c.audio->ChannelState(1) == 1);
            c.audio->StopChannel(0);
            c.audio->StopChannel(1);
            REQUIRE(c.audio->ChannelState(0) == 0);
            Sleep(0.2);
            c.Finish();
        }()),
        testing::ExitedWithCode(0), "");
    Recording r = ReadRecording(out);
    std::vector<Burst> bursts = FindBursts(r);
    ASSERT_EQ(bursts.size(), 1u);
    Burst x = bursts[0];
    size_t n = x.end - x.start;
    size_t e1 = x.start + n * 2 / 5, s2 = x.end - n * 2 / 5;
    EXPECT_GT(ToneLevel(r, 440, x.start, e1), 10 * ToneLevel(r, 880, x.start, e1));
    EXPECT_GT(ToneLevel(r, 880, s2, x.end), 10 * ToneLevel(r, 440, s2, x.end));
    EXPECT_NEAR(ToneLevel(r, 660, s2, x.end) / ToneLevel(r, 660, x.start, e1), 1.0, 0.1);
}

TEST_F(Playback, DiscardedBuffersAreDeletedOnceNoSourceUsesThem) {
    ConfigureOpenAL("discard", Temp("discard.wav"));
    EXPECT_EXIT(
        ([&] {
            Child c;
            gxtkSample* looping = c.Tone(440, 0.2);
            gxtkSample* shortOne = c.Tone(440, 0.05);
            gxtkSample* other = c.Tone(660, 0.2);
            ALuint loopBuf = looping->m_alBuffer, shortBuf = shortOne->m_alBuffer;
            c.audio->PlaySample(looping, 0, 1);
            c.audio->PlaySample(shortOne, 2, 0);
            looping->Discard();
            shortOne->Discard();
            REQUIRE(looping->m_alBuffer == 0 && DiscardedBufferCount() == 2);
            Sleep(0.3);
            // The one-shot has ended and lets go of its buffer; the loop still holds its own.
            c.audio->PlaySample(other, 3, 0);
            REQUIRE(DiscardedBufferCount() == 1);
            REQUIRE(!alIsBuffer(shortBuf) && alIsBuffer(loopBuf));
            REQUIRE(c.audio->ChannelState(0) == 1);
            c.audio->StopChannel(0);
            REQUIRE(c.audio->LoadSample(String("/nonexistent/x.wav")) == nullptr);
            REQUIRE(DiscardedBufferCount() == 0 && !alIsBuffer(loopBuf));
            c.Finish();
        }()),
        testing::ExitedWithCode(0), "");
}

namespace {
gxtkAudio* g_root = nullptr;
void MarkRoot() { gc_mark(g_root); }
// Allocates past one collection cycle's worth of garbage and collects.
void CollectCycle() {
    while (gc_new_bytes <= GC_CYCLE_BYTES) new c_Sound;
    gc_collect();
}
}  // namespace

TEST_F(Playback, ASoundingSampleStaysAliveAndItsBufferGoesWhenCollected) {
    ConfigureOpenAL("mark", Temp("mark.wav"));
    EXPECT_EXIT(
        ([&] {
            Child c;
            gc_mark_roots = MarkRoot;
            gc_assign(g_root, c.audio);
            // Long enough to outlast the collections below on a slow machine.
            gxtkSample* sounding = c.Tone(440, 4.0);
            gxtkSample* silent = c.Tone(660, 0.1);
            ALuint buffer = sounding->m_alBuffer;
            c.audio->PlaySample(sounding, 0, 0);
            for (int i = 0; i < 3; ++i) CollectCycle();
            REQUIRE(gc_is_live_object(sounding));
            REQUIRE(!gc_is_live_object(silent));
            REQUIRE(c.audio->ChannelState(0) == 1);
            Sleep(4.2);
            for (int i = 0; i < 3; ++i) CollectCycle();
            REQUIRE(!gc_is_live_object(sounding));
            // Destroyed garbage hands its buffer to the discard list, and the
            // next play deletes it.
            REQUIRE(alIsBuffer(buffer));
            c.audio->PlaySample(nullptr, 1, 0);
            REQUIRE(!alIsBuffer(buffer));
            c.Finish();
        }()),
        testing::ExitedWithCode(0), "");
}

TEST_F(Playback, SuspendPausesOnlyWhatWasSoundingAndMusicAndModuleCalls) {
    namespace fs = std::filesystem;
    fs::path dir = fs::path(Temp("module"));
    fs::create_directories(dir / "data" / "sfx");
    ASSERT_TRUE(WriteFile((dir / "data" / "sfx" / "001.wav").string(), ToneWav(440, 0.3)));
    ConfigureOpenAL("module", Temp("module.wav"));
    EXPECT_EXIT(
        ([&] {
            Child c;
            fs::current_path(dir);
            bb_audio_SetAudioDevice(c.audio);
            c_Sound* one = bb_audio_LoadSound(String("sfx/001.wav"));
            c_Sound* two = bb_audio_LoadSound(String("sfx/001.wav"));
            REQUIRE(one && two && one->m_sample->m_alBuffer && one->m_sample->m_alBuffer != two->m_sample->m_alBuffer);
            REQUIRE(bb_audio_LoadSound(String("sfx/002.wav")) == nullptr);

            bb_audio_PlaySound(one, 4, 1);
            bb_audio_PlaySound(two, 5, 1);
            bb_audio_PauseChannel(5);
            bb_audio_PlaySound(nullptr, 4, 0);
            REQUIRE(bb_audio_ChannelState(4) == 1 && c.audio->m_alChannels[4].m_sample == one->m_sample);
            c.audio->Suspend();
            REQUIRE(c.SourceInt(4, AL_SOURCE_STATE) == AL_PAUSED && bb_audio_ChannelState(4) == 1);
            REQUIRE(bb_audio_ChannelState(5) == 2);
            c.audio->Resume();
            REQUIRE(c.SourceInt(4, AL_SOURCE_STATE) == AL_PLAYING);
            REQUIRE(c.SourceInt(5, AL_SOURCE_STATE) == AL_PAUSED && bb_audio_ChannelState(5) == 2);

            REQUIRE(bb_audio_PlayMusic(String("sfx/001.wav"), 1) == 0);
            REQUIRE(bb_audio_MusicState() == 1 && c.SourceInt(32, AL_LOOPING) == AL_TRUE);
            bb_audio_PauseMusic();
            REQUIRE(bb_audio_MusicState() == 2);
            bb_audio_ResumeMusic();
            REQUIRE(bb_audio_MusicState() == 1);
            // A missing file stops what played and reports -1.
            REQUIRE(bb_audio_PlayMusic(String("sfx/missing.wav"), 1) == -1);
            REQUIRE(bb_audio_MusicState() == 0 && c.SourceInt(32, AL_SOURCE_STATE) == AL_STOPPED);

            // Channels outside the device are ignored.
            c.audio->PlaySample(one->m_sample, 33, 0);
            c.audio->SetVolume(-1, 1);
            REQUIRE(c.audio->ChannelState(99) == 0);
            c.Finish();
        }()),
        testing::ExitedWithCode(0), "");
}

TEST_F(NoDevice, TheGameRunsOnSilently) {
    ConfigureOpenAL("none", "");
    std::string tone = Temp("none_tone.wav");
    ASSERT_TRUE(WriteFile(tone, ToneWav(440, 0.2)));
    EXPECT_EXIT(
        ([&] {
            dup2(2, 1);  // the device's message goes to stdout; let the parent see it
            Child c;
            REQUIRE(c.audio->m_alcDevice == nullptr && c.audio->m_alcContext == nullptr);
            bb_audio_SetAudioDevice(c.audio);
            c_Sound* s = bb_audio_LoadSound(String(tone.c_str()));
            REQUIRE(s && s->m_sample->m_alBuffer == 0);
            REQUIRE(bb_audio_LoadSound(String("/nonexistent.wav")) == nullptr);
            bb_audio_SetChannelVolume(0, 0.5f);
            bb_audio_SetChannelPan(0, -1);
            bb_audio_SetChannelRate(0, 2);
            bb_audio_PlaySound(s, 0, 1);
            bb_audio_PauseChannel(0);
            bb_audio_ResumeChannel(0);
            REQUIRE(bb_audio_ChannelState(0) == 0);
            c.audio->Suspend();
            c.audio->Resume();
            c.audio->mark();
            s->m_sample->Discard();
            REQUIRE(bb_audio_PlayMusic(String(tone.c_str()), 1) == 0);
            bb_audio_SetMusicVolume(0.3f);
            REQUIRE(bb_audio_MusicState() == 0);
            REQUIRE(bb_audio_PlayMusic(String("/nonexistent.ogg"), 1) == -1);
            bb_audio_StopMusic();
            bb_audio_StopChannel(0);
            fprintf(stderr, "silent run complete\n");
            _exit(0);
        }()),
        testing::ExitedWithCode(0), "OpenAl error: alcOpenDevice failed(.|\n)*silent run complete");
}
