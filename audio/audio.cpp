// The sound module: c_Sound wraps a device sample, and the bb_audio_*
// functions resolve data paths and forward to the one audio device.
#include "audio/audio.h"

#include "host/paths.h"

gxtkAudio* bb_audio_device = nullptr;

c_Sound* c_Sound::m_new(gxtkSample* sample) {
    gc_assign(m_sample, sample);
    return this;
}

void c_Sound::mark() { gc_mark(m_sample); }

int bb_audio_SetAudioDevice(gxtkAudio* device) {
    gc_assign(bb_audio_device, device);
    return 0;
}

c_Sound* bb_audio_LoadSound(String path) {
    if (!bb_audio_device) return nullptr;
    gxtkSample* sample = bb_audio_device->LoadSample(bb_data_FixDataPath(path));
    if (!sample) return nullptr;
    return (new c_Sound)->m_new(sample);
}

int bb_audio_PlaySound(c_Sound* sound, int channel, int flags) {
    if (bb_audio_device && sound && sound->m_sample) bb_audio_device->PlaySample(sound->m_sample, channel, flags);
    return 0;
}

int bb_audio_StopChannel(int channel) { return bb_audio_device ? bb_audio_device->StopChannel(channel) : 0; }
int bb_audio_PauseChannel(int channel) { return bb_audio_device ? bb_audio_device->PauseChannel(channel) : 0; }
int bb_audio_ResumeChannel(int channel) { return bb_audio_device ? bb_audio_device->ResumeChannel(channel) : 0; }
int bb_audio_ChannelState(int channel) { return bb_audio_device ? bb_audio_device->ChannelState(channel) : 0; }

int bb_audio_SetChannelVolume(int channel, float volume) {
    return bb_audio_device ? bb_audio_device->SetVolume(channel, volume) : 0;
}
int bb_audio_SetChannelPan(int channel, float pan) {
    return bb_audio_device ? bb_audio_device->SetPan(channel, pan) : 0;
}
int bb_audio_SetChannelRate(int channel, float rate) {
    return bb_audio_device ? bb_audio_device->SetRate(channel, rate) : 0;
}

int bb_audio_PlayMusic(String path, int flags) {
    return bb_audio_device ? bb_audio_device->PlayMusic(bb_data_FixDataPath(path), flags) : -1;
}
int bb_audio_StopMusic() { return bb_audio_device ? bb_audio_device->StopMusic() : 0; }
int bb_audio_PauseMusic() { return bb_audio_device ? bb_audio_device->PauseMusic() : 0; }
int bb_audio_ResumeMusic() { return bb_audio_device ? bb_audio_device->ResumeMusic() : 0; }
int bb_audio_MusicState() { return bb_audio_device ? bb_audio_device->MusicState() : 0; }
int bb_audio_SetMusicVolume(float volume) { return bb_audio_device ? bb_audio_device->SetMusicVolume(volume) : 0; }
