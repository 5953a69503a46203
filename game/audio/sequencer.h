// c_SQPlayer: the seeded procedural music player. It arranges a tune of
// 64-row patterns read from an image while it plays: per section it draws
// patterns, mutes and early entries for five voices, transposes the melodic
// voices by a chord sequence and plays drum kits and melodic samples.
#pragma once
#include <cstdint>

#include "audio/audio.h"
#include "graphics/graphics.h"

class c_SQPlayer : public Object {
public:
    enum { VOICES = 5, TUNE_SIZE = 262145 };

    int m_baseChannel = 0;
    Array<int> m_instrumentRanges;  // 8
    int m_chunkStep = 0;
    Array<int> m_instrumentChoice;  // 8
    Array<c_Sound*> m_kitA;         // 9
    Array<c_Sound*> m_kitB;         // 9
    Array<c_Sound*> m_instruments;  // 8
    String m_tunePath;
    // The tune image while loading: per pixel, the blue level the image
    // shows when drawn at 1:1 over a background without blue.
    Array<int> m_tunePixels;
    int m_tuneWidth = 0;
    int m_tuneHeight = 0;
    Array<int> m_tuneData;     // 262145
    Array<int> m_lastPattern;  // 8
    int m_nextTick = 0;
    int m_playState = 0;
    int m_voiceCount = 5;
    Array<int> m_voiceChannel;   // 8
    Array<int> m_voiceSounding;  // 8
    Array<int> m_voicePattern;   // 8
    int m_row = 0;
    int m_patternsLeft = 0;
    Array<int> m_voiceMuted;      // 8
    Array<int> m_voiceEarly;      // 8
    Array<int> m_voiceNextMuted;  // 8
    float m_chordPitch = 1;
    String m_chords;
    Array<float> m_voicePitch;     // 8
    Array<float> m_voiceEnvelope;  // 8
    float m_masterVolume = 0.5f;
    Array<float> m_voiceVolume;  // 8
    int m_loopFlag = 1;
    int m_tempo = 95;
    int m_seedBase = 0;
    int m_sectionCount = 0;
    // The player's own generator state: it draws with the framework's
    // generator rule but never moves the game's shared seed, so music
    // leaves level layouts alone.
    int m_randomSeed = 0;

    c_SQPlayer* m_new();
    void mark() override;

    int p_SQ_Init(int baseChannel, int kits, int leads, int accompaniments, int basses);
    int p_SQ_StartTune(String name, int seed, int tempo);
    int p_SQ_Alive_U(int paused, int musicOn);
    int p_SQ_Alive_R();
    int p_SQ_Stop(int mode);
    int p_SQ_MusicPlay();
    int p_SQ_PlayNote(int voice, int note, int volume, int effect, int parameter);
    int p_SQ_LoadChunk();
    int p_SQ_DecodeFrame(int frame);
    int p_SQ_LoadTuneImage();
    void p_StopSoundingVoices();
    void p_SetSeed(uint32_t seed);
    int p_Rand(int lo, int hi);
    float p_GetPitch(int n);
    float p_GetPitch_Alpha(String key);
    String p_SQ_GetChord(int n);
};

// The three test tunes started by games 1, 2 and 3.
String bb_sequencer_TestTune(int game);
