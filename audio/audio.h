// The sound module the game uses: sounds wrapping device samples, and the
// bb_audio_* channel and music functions.
#pragma once
#include "audio/gxtk_audio.h"

class c_Sound : public Object {
public:
    gxtkSample* m_sample = nullptr;
    c_Sound* m_new(gxtkSample* sample);
    c_Sound* m_new2() { return this; }
    void mark() override;
};

extern gxtkAudio* bb_audio_device;

int bb_audio_SetAudioDevice(gxtkAudio* device);
c_Sound* bb_audio_LoadSound(String path);
int bb_audio_PlaySound(c_Sound* sound, int channel, int flags);
int bb_audio_StopChannel(int channel);
int bb_audio_PauseChannel(int channel);
int bb_audio_ResumeChannel(int channel);
int bb_audio_ChannelState(int channel);
int bb_audio_SetChannelVolume(int channel, float volume);
int bb_audio_SetChannelPan(int channel, float pan);
int bb_audio_SetChannelRate(int channel, float rate);
int bb_audio_PlayMusic(String path, int flags);
int bb_audio_StopMusic();
int bb_audio_PauseMusic();
int bb_audio_ResumeMusic();
int bb_audio_MusicState();
int bb_audio_SetMusicVolume(float volume);
