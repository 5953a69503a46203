// The audio device on OpenAL: 32 sound channels and one music channel with
// lazily created sources, samples decoded whole into OpenAL buffers, and
// deferred deletion of discarded buffers.
#pragma once
#include "runtime/runtime.h"

class gxtkSample : public Object {
public:
    unsigned int m_alBuffer = 0;
    // Bytes of the buffer's samples, which OpenAL holds outside the collector.
    int m_bytes = 0;

    gxtkSample() {}
    ~gxtkSample() override;
    virtual int Discard();
};

struct gxtkChannel {
    unsigned int m_alSource = 0;
    gxtkSample* m_sample = nullptr;
    int m_flags = 0;
    int m_state = 0;

    unsigned int AL_Source();
};

class gxtkAudio : public Object {
public:
    enum { CHANNELS = 33, MUSIC_CHANNEL = 32 };

    void* m_alcDevice = nullptr;
    void* m_alcContext = nullptr;
    gxtkChannel m_alChannels[CHANNELS];

    gxtkAudio();
    void mark() override;

    virtual int Suspend();
    virtual int Resume();
    virtual gxtkSample* LoadSample__UNSAFE__(gxtkSample* sample, String path);
    virtual gxtkSample* LoadSample(String path);
    virtual int PlaySample(gxtkSample* sample, int channel, int flags);
    virtual int StopChannel(int channel);
    virtual int PauseChannel(int channel);
    virtual int ResumeChannel(int channel);
    virtual int ChannelState(int channel);
    virtual int SetVolume(int channel, float volume);
    virtual int SetPan(int channel, float pan);
    virtual int SetRate(int channel, float rate);
    virtual int PlayMusic(String path, int flags);
    virtual int StopMusic();
    virtual int PauseMusic();
    virtual int ResumeMusic();
    virtual int MusicState();
    virtual int SetMusicVolume(float volume);
};

// Deletes discarded buffers that no source uses any more.
void FlushDiscarded(gxtkAudio* audio);
// Buffers still waiting on the discard list (for tests and diagnostics).
int DiscardedBufferCount();
