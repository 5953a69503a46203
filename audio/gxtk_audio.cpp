// gxtkAudio on OpenAL: the device and context, 33 channels whose sources
// are made on first use, samples as OpenAL buffers, and the discard list
// that deletes buffers only once no source holds them.
#include "audio/gxtk_audio.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "host/glfw_game.h"

namespace {

// Buffers of discarded or destroyed samples still waiting to be deleted.
std::vector<ALuint>& Discarded() {
    static std::vector<ALuint> list;
    return list;
}

// Every OpenAL call needs a current context; without one (no audio device)
// the device does its bookkeeping and stays silent.
bool HaveContext() { return alcGetCurrentContext() != nullptr; }

// The source's OpenAL state; a channel without a source counts as stopped.
ALint SourceState(ALuint source) {
    if (!source || !HaveContext()) return AL_STOPPED;
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

bool ValidChannel(int channel) { return channel >= 0 && channel < gxtkAudio::CHANNELS; }

}  // namespace

// ----- gxtkSample -----

gxtkSample::~gxtkSample() { Discard(); }

int gxtkSample::Discard() {
    if (m_alBuffer) {
        Discarded().push_back(m_alBuffer);
        m_alBuffer = 0;
    }
    gc_external_free(m_bytes);
    m_bytes = 0;
    return 0;
}

// ----- gxtkChannel -----

unsigned int gxtkChannel::AL_Source() {
    if (!m_alSource && HaveContext()) {
        ALuint source = 0;
        alGetError();
        alGenSources(1, &source);
        if (alGetError() == AL_NO_ERROR) m_alSource = source;
    }
    return m_alSource;
}

// ----- discard list -----

int DiscardedBufferCount() { return static_cast<int>(Discarded().size()); }

void FlushDiscarded(gxtkAudio* audio) {
    std::vector<ALuint>& discarded = Discarded();
    if (discarded.empty()) return;
    if (!HaveContext()) return;

    // A stopped source still holds its buffer; let go of it so the buffer
    // can be deleted. Channels whose sound ended are now stopped.
    for (int i = 0; i < gxtkAudio::CHANNELS; ++i) {
        gxtkChannel& chan = audio->m_alChannels[i];
        if (!chan.m_alSource) continue;
        ALint state = SourceState(chan.m_alSource);
        if (state == AL_STOPPED || state == AL_INITIAL) {
            alSourcei(chan.m_alSource, AL_BUFFER, 0);
            chan.m_state = 0;
        }
    }

    // OpenAL refuses to delete a buffer that a playing or paused source
    // uses: keep those for the next time.
    std::vector<ALuint> kept;
    for (ALuint buffer : discarded) {
        alGetError();
        alDeleteBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR) kept.push_back(buffer);
    }
    discarded.swap(kept);
}

// ----- gxtkAudio -----

gxtkAudio::gxtkAudio() {
    ALCdevice* device = alcOpenDevice(nullptr);
    m_alcDevice = device;
    if (!device) {
        bbPrint(String("OpenAl error: alcOpenDevice failed"));
    } else {
        ALCcontext* context = alcCreateContext(device, nullptr);
        m_alcContext = context;
        if (!context) {
            bbPrint(String("OpenAl error: alcCreateContext failed"));
        } else if (!alcMakeContextCurrent(context)) {
            bbPrint(String("OpenAl error: alcMakeContextCurrent failed"));
        }
    }
    if (HaveContext()) alDistanceModel(AL_NONE);
    for (gxtkChannel& chan : m_alChannels) chan = gxtkChannel();
}

void gxtkAudio::mark() {
    for (gxtkChannel& chan : m_alChannels) {
        if (chan.m_state != 0 && SourceState(chan.m_alSource) != AL_STOPPED) gc_mark(chan.m_sample);
    }
}

int gxtkAudio::Suspend() {
    for (gxtkChannel& chan : m_alChannels) {
        if (chan.m_state == 1 && SourceState(chan.m_alSource) == AL_PLAYING) alSourcePause(chan.m_alSource);
    }
    return 0;
}

int gxtkAudio::Resume() {
    for (gxtkChannel& chan : m_alChannels) {
        if (chan.m_state == 1 && SourceState(chan.m_alSource) == AL_PAUSED) alSourcePlay(chan.m_alSource);
    }
    return 0;
}

gxtkSample* gxtkAudio::LoadSample__UNSAFE__(gxtkSample* sample, String path) {
    BBGlfwGame* host = BBGlfwGame::GlfwGame();
    if (!host || !sample) return nullptr;
    int length = 0, channels = 0, bytesPerSample = 0, rate = 0;
    unsigned char* data = host->LoadAudioData(path, &length, &channels, &bytesPerSample, &rate);
    if (!data) return nullptr;

    ALenum format = 0;
    if (bytesPerSample == 1 && channels == 1) format = AL_FORMAT_MONO8;
    else if (bytesPerSample == 1 && channels == 2) format = AL_FORMAT_STEREO8;
    else if (bytesPerSample == 2 && channels == 1) format = AL_FORMAT_MONO16;
    else if (bytesPerSample == 2 && channels == 2) format = AL_FORMAT_STEREO16;
    if (!format || length < 0 || rate <= 0) {
        free(data);
        return nullptr;
    }
    int size = length * channels * bytesPerSample;

    // Without an audio device the sample decodes but holds no buffer, so
    // the game treats it as loaded and playing it is silent.
    if (HaveContext()) {
        ALuint buffer = 0;
        alGetError();
        alGenBuffers(1, &buffer);
        if (alGetError() == AL_NO_ERROR) {
            alBufferData(buffer, format, data, size, rate);
            if (alGetError() != AL_NO_ERROR) {
                alDeleteBuffers(1, &buffer);
                buffer = 0;
            }
        } else {
            buffer = 0;
        }
        if (!buffer) {
            free(data);
            return nullptr;
        }
        sample->m_alBuffer = buffer;
        sample->m_bytes = size;
        gc_external_alloc(size);
    }
    free(data);
    return sample;
}

gxtkSample* gxtkAudio::LoadSample(String path) {
    FlushDiscarded(this);
    return LoadSample__UNSAFE__(new gxtkSample(), path);
}

int gxtkAudio::PlaySample(gxtkSample* sample, int channel, int flags) {
    if (!ValidChannel(channel)) return 0;
    FlushDiscarded(this);
    gxtkChannel& chan = m_alChannels[channel];
    ALuint source = chan.AL_Source();
    if (source) {
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, sample ? ALint(sample->m_alBuffer) : 0);
        alSourcei(source, AL_LOOPING, flags ? AL_TRUE : AL_FALSE);
        alSourcePlay(source);
    }
    gc_assign(chan.m_sample, sample);
    chan.m_state = 1;
    chan.m_flags = flags;
    return 0;
}

int gxtkAudio::StopChannel(int channel) {
    if (!ValidChannel(channel)) return 0;
    gxtkChannel& chan = m_alChannels[channel];
    if (chan.m_state != 0) {
        if (chan.m_alSource && HaveContext()) alSourceStop(chan.m_alSource);
        chan.m_state = 0;
    }
    return 0;
}

int gxtkAudio::PauseChannel(int channel) {
    if (!ValidChannel(channel)) return 0;
    gxtkChannel& chan = m_alChannels[channel];
    if (chan.m_state == 1) {
        if (SourceState(chan.m_alSource) == AL_STOPPED) {
            chan.m_state = 0;
        } else {
            alSourcePause(chan.m_alSource);
            chan.m_state = 2;
        }
    }
    return 0;
}

int gxtkAudio::ResumeChannel(int channel) {
    if (!ValidChannel(channel)) return 0;
    gxtkChannel& chan = m_alChannels[channel];
    if (chan.m_state == 2) {
        if (chan.m_alSource && HaveContext()) alSourcePlay(chan.m_alSource);
        chan.m_state = 1;
    }
    return 0;
}

int gxtkAudio::ChannelState(int channel) {
    if (!ValidChannel(channel)) return 0;
    gxtkChannel& chan = m_alChannels[channel];
    if (chan.m_state == 1 && SourceState(chan.m_alSource) == AL_STOPPED) chan.m_state = 0;
    return chan.m_state;
}

int gxtkAudio::SetVolume(int channel, float volume) {
    if (!ValidChannel(channel)) return 0;
    ALuint source = m_alChannels[channel].AL_Source();
    if (source) alSourcef(source, AL_GAIN, volume);
    return 0;
}

int gxtkAudio::SetPan(int channel, float pan) {
    if (!ValidChannel(channel)) return 0;
    ALuint source = m_alChannels[channel].AL_Source();
    if (source) alSource3f(source, AL_POSITION, std::sin(pan), 0.0f, -std::cos(pan));
    return 0;
}

int gxtkAudio::SetRate(int channel, float rate) {
    if (!ValidChannel(channel)) return 0;
    ALuint source = m_alChannels[channel].AL_Source();
    if (source) alSourcef(source, AL_PITCH, rate);
    return 0;
}

int gxtkAudio::PlayMusic(String path, int flags) {
    StopMusic();
    gxtkSample* sample = LoadSample(path);
    if (!sample) return -1;
    PlaySample(sample, MUSIC_CHANNEL, flags);
    return 0;
}

int gxtkAudio::StopMusic() { return StopChannel(MUSIC_CHANNEL); }
int gxtkAudio::PauseMusic() { return PauseChannel(MUSIC_CHANNEL); }
int gxtkAudio::ResumeMusic() { return ResumeChannel(MUSIC_CHANNEL); }
int gxtkAudio::MusicState() { return ChannelState(MUSIC_CHANNEL); }
int gxtkAudio::SetMusicVolume(float volume) { return SetVolume(MUSIC_CHANNEL, volume); }
