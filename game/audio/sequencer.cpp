// c_SQPlayer's player half: tune start with its seeded draws, the update
// hook, rows, cells (drums, melodic voices, volume, envelope, slides),
// stopping, and the pitch and chord tables. Loading is in tuneload.cpp.
#include "game/audio/sequencer.h"

#include <cmath>
#include <cstdint>

#include "framework/app.h"
#include "framework/random.h"

namespace {

const float kPitch[33] = {0,      0.5f,   0.5295f, 0.561f, 0.5945f, 0.63f,  0.6675f, 0.707f, 0.749f, 0.7935f, 0.841f,
                          0.891f, 0.944f, 1.0f,    1.059f, 1.122f,  1.189f, 1.26f,   1.335f, 1.414f, 1.498f,  1.587f,
                          1.682f, 1.782f, 1.888f,  2.0f,   2.118f,  2.244f, 2.378f,  2.52f,  2.67f,  2.828f,  2.996f};

// Keyboard-style note names for the same 32 steps, from n = 1.
const char kPitchKeys[] = "zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";

// Note values of the drum voices that select drum samples 1 to 8.
const int kDrumKeys[8] = {13, 15, 17, 18, 20, 22, 24, 25};

const int kRowsPerPattern = 64;

int Now() { return bb_app__game ? bb_app_Millisecs() : 0; }

uint32_t VoiceSeed(int v, int n, int b) {
    return (static_cast<uint32_t>(v) * 7u + static_cast<uint32_t>(n) * 9u + static_cast<uint32_t>(b)) * 1948736821u -
           873057359u;
}

uint32_t InstrumentSeed(int n, int b) {
    return (static_cast<uint32_t>(b) + static_cast<uint32_t>(n)) * 1948736821u - 873057359u;
}

uint32_t ChordSeed(int n, int b) {
    return (static_cast<uint32_t>(n) * 9u + static_cast<uint32_t>(b)) * 2001863745u - 2084129712u;
}

uint32_t SectionSeed(int n, int b) { return static_cast<uint32_t>(n) * 9u + static_cast<uint32_t>(b); }

int DrumSample(int note) {
    for (int i = 0; i < 8; ++i) {
        if (kDrumKeys[i] == note) return i + 1;
    }
    return 0;
}

int CellIndex(int pattern, int lane, int row) { return pattern * 4096 + lane * 512 + row * 8; }

}  // namespace

c_SQPlayer* c_SQPlayer::m_new() {
    m_instrumentRanges = Array<int>(8);
    m_instrumentChoice = Array<int>(8);
    m_kitA = Array<c_Sound*>(9);
    m_kitB = Array<c_Sound*>(9);
    m_instruments = Array<c_Sound*>(8);
    m_tuneData = Array<int>(TUNE_SIZE);
    m_lastPattern = Array<int>(8);
    m_voiceChannel = Array<int>(8);
    m_voiceSounding = Array<int>(8);
    m_voicePattern = Array<int>(8);
    m_voiceMuted = Array<int>(8);
    m_voiceEarly = Array<int>(8);
    m_voiceNextMuted = Array<int>(8);
    m_voicePitch = Array<float>(8);
    m_voiceEnvelope = Array<float>(8);
    m_voiceVolume = Array<float>(8);
    return this;
}

void c_SQPlayer::mark() {
    gc_mark(m_instrumentRanges);
    gc_mark(m_instrumentChoice);
    gc_mark(m_kitA);
    gc_mark(m_kitB);
    gc_mark(m_instruments);
    gc_mark(m_tunePixels);
    gc_mark(m_tuneData);
    gc_mark(m_lastPattern);
    gc_mark(m_voiceChannel);
    gc_mark(m_voiceSounding);
    gc_mark(m_voicePattern);
    gc_mark(m_voiceMuted);
    gc_mark(m_voiceEarly);
    gc_mark(m_voiceNextMuted);
    gc_mark(m_voicePitch);
    gc_mark(m_voiceEnvelope);
    gc_mark(m_voiceVolume);
}

int c_SQPlayer::p_SQ_Init(int baseChannel, int kits, int leads, int accompaniments, int basses) {
    m_baseChannel = baseChannel;
    m_instrumentRanges[1] = kits;
    m_instrumentRanges[2] = leads;
    m_instrumentRanges[3] = accompaniments;
    m_instrumentRanges[4] = basses;
    return 0;
}

void c_SQPlayer::p_SetSeed(uint32_t seed) { m_randomSeed = static_cast<int>(seed); }

int c_SQPlayer::p_Rand(int lo, int hi) {
    const float r = bb_random_RndOf(m_randomSeed);
    const float span = (static_cast<float>(hi) + 0.99f) - static_cast<float>(lo);
    return static_cast<int>(std::floor(r * span + static_cast<float>(lo)));
}

int c_SQPlayer::p_SQ_StartTune(String name, int seed, int tempo) {
    // Samples of the tune that played before would otherwise keep looping
    // on their channels while the new one loads.
    p_StopSoundingVoices();

    String path = String("tunes/") + name + String(".png");
    m_sectionCount = 0;
    m_seedBase = seed;
    m_nextTick = Now() + 100;
    m_row = 0;
    m_playState = 2;
    m_tempo = tempo;
    if (path != m_tunePath) {
        m_chunkStep = 1;
        m_tunePath = path;
        for (int i = 0; i < 8; ++i) {
            m_lastPattern[i] = 0;
            m_voicePattern[i] = 0;
        }
    }
    // The same channels the notes use, so that stopping reaches them.
    for (int v = 0; v < m_voiceCount; ++v) m_voiceChannel[v] = m_baseChannel - 1 - v;

    p_SetSeed(InstrumentSeed(m_sectionCount, m_seedBase));
    m_instrumentChoice[1] = p_Rand(1, m_instrumentRanges[1]);
    m_instrumentChoice[2] = p_Rand(1, m_instrumentRanges[1]);
    m_instrumentChoice[3] = p_Rand(1, m_instrumentRanges[2]);
    m_instrumentChoice[4] = p_Rand(1, m_instrumentRanges[3]);
    m_instrumentChoice[5] = p_Rand(1, m_instrumentRanges[4]);

    for (int v = 0; v < m_voiceCount; ++v) {
        p_SetSeed(VoiceSeed(v, m_sectionCount, m_seedBase));
        m_voicePattern[v] = p_Rand(0, m_lastPattern[v]);
        m_voiceNextMuted[v] = p_Rand(0, 1);
        m_voiceEarly[v] = p_Rand(0, 1);
        m_voiceMuted[v] = p_Rand(0, 1);
    }
    // At least one drum voice plays.
    if (m_voiceMuted[0] == 1 && m_voiceMuted[1] == 1) m_voiceMuted[0] = 0;

    m_patternsLeft = p_Rand(1, 2) * 2;
    m_chords = String("qqjj");
    return 0;
}

int c_SQPlayer::p_SQ_Alive_U(int paused, int musicOn) {
    if (m_playState == 0) p_StopSoundingVoices();
    if (m_playState == 2 && paused == 0 && m_chunkStep == 0) {
        if (musicOn == 1) p_SQ_MusicPlay();
    } else if (paused == 1) {
        // The music resumes 150 ms after the pause ends.
        m_nextTick = Now() + 150;
    }
    if (m_playState == 2 && (paused == 1 || musicOn == 0)) p_StopSoundingVoices();
    return 0;
}

int c_SQPlayer::p_SQ_Stop(int mode) {
    p_StopSoundingVoices();
    if (mode == 1) m_playState = 0;
    return 0;
}

void c_SQPlayer::p_StopSoundingVoices() {
    for (int v = 0; v < m_voiceCount; ++v) {
        const int ch = m_voiceChannel[v];
        if (ch > 0 && m_voiceSounding[v] == 1) {
            bb_audio_StopChannel(ch);
            m_voiceSounding[v] = 0;
        }
    }
}

int c_SQPlayer::p_SQ_MusicPlay() {
    const int now = Now();
    // Due, or the clock jumped back.
    if (!(m_nextTick < now || m_nextTick > now + 123456)) return 0;

    for (int v = 0; v < m_voiceCount; ++v) {
        const int p = m_voicePattern[v];
        int cell = CellIndex(p, v, m_row);
        if (m_tuneData[cell + 2] == 27) {
            const int parameter = m_tuneData[cell + 3];
            int target = p;
            if (parameter == 1 && (m_patternsLeft & 1) == 1) target = p + 1;
            if (parameter == 2 && (m_patternsLeft & 1) == 0) target = p - 1;
            // A jump off either end of the pattern bank plays the cell itself.
            if (target != p && target >= 0 && target < 64) {
                m_voicePattern[v] = target;
                cell = CellIndex(target, v, m_row);
            }
        }
        const int effect = m_tuneData[cell + 2];
        p_SQ_PlayNote(v, m_tuneData[cell], m_tuneData[cell + 1], effect, m_tuneData[cell + 3]);
        if (effect == 8) m_row = kRowsPerPattern - 1;
    }

    m_nextTick += 8000 / (m_tempo > 0 ? m_tempo : 1);
    m_row = (m_row + 1) % kRowsPerPattern;
    if (m_row != 0) return 0;

    // A pattern ended: next chord step, drawing a new sequence of four
    // when the last step of the current one is used up.
    p_SetSeed(ChordSeed(m_sectionCount, m_seedBase));
    if (m_chords.Length() == 1) m_chords = String(" ") + p_SQ_GetChord(p_Rand(0, 4));
    if (m_chords.Length() > 1) m_chords = m_chords.Slice(1);

    m_patternsLeft -= 1;
    if (m_patternsLeft > 0) return 0;

    // A new section: patterns, mutes and early entries for every voice.
    p_SetSeed(SectionSeed(m_sectionCount, m_seedBase));
    for (int i = 0; i < 11; ++i) p_Rand(1, 5);
    m_patternsLeft = p_Rand(1, 2) * 2;
    m_sectionCount += 1;
    for (int v = 0; v < m_voiceCount; ++v) {
        p_SetSeed(VoiceSeed(v, m_sectionCount, m_seedBase));
        m_voicePattern[v] = p_Rand(0, m_lastPattern[v]);
        m_voiceMuted[v] = m_voiceNextMuted[v];
        m_voiceNextMuted[v] = p_Rand(0, 1);
        m_voiceEarly[v] = p_Rand(0, 1);
    }
    if (m_voiceMuted[0] == 1 && m_voiceMuted[1] == 1) m_voiceMuted[0] = 0;
    return 0;
}

int c_SQPlayer::p_SQ_PlayNote(int voice, int note, int volume, int effect, int parameter) {
    const int v = voice;
    int muted = m_voiceMuted[v];
    // Early entry: during the last rows of a section a voice that plays in
    // the next one may come in already.
    if (m_patternsLeft <= 1 && m_row > 55 && m_voiceEarly[v] == 1 && m_voiceNextMuted[v] == 0) muted = 0;

    m_chordPitch = m_chords.Length() > 0 ? p_GetPitch_Alpha(m_chords.Slice(0, 1)) : 1.0f;
    for (int i = 0; i < m_voiceCount; ++i) m_voiceChannel[i] = m_baseChannel - 1 - i;
    const int ch = m_voiceChannel[v];

    if (v <= 1 && note >= 1 && muted == 0 && ch > 0) {
        bb_audio_StopChannel(ch);
        const int sample = DrumSample(note);
        c_Sound* sound = sample ? (v == 0 ? m_kitA : m_kitB)[sample] : nullptr;
        if (sound) {
            m_voiceSounding[v] = 1;
            bb_audio_PlaySound(sound, ch, 0);
            bb_audio_SetChannelPan(ch, v == 0 ? -0.35f : 0.35f);
        }
        m_voicePitch[v] = 1;
        m_voiceEnvelope[v] = 4;
    }

    float level = (static_cast<float>(volume) - 1.0f) / 29.0f;
    if (level < 0) level = 0;
    if (level > 1) level = 1;
    if (volume == 31) {
        level = 0;
        m_voiceEnvelope[v] = 0;
    }
    if (volume >= 1 && ch > 0 && muted == 0) {
        m_voiceEnvelope[v] = 1.5f;
        bb_audio_SetChannelVolume(ch, level * m_masterVolume);
        m_voiceVolume[v] = level;
    } else {
        level = m_voiceVolume[v];
    }

    // The envelope decays every row; below 1 it fades the voice.
    float envelope = m_voiceEnvelope[v] - 0.1f;
    if (envelope < 0) envelope = 0;
    m_voiceEnvelope[v] = envelope;
    if (envelope < 1) {
        level = envelope * level;
        if (ch > 0) {
            bb_audio_SetChannelVolume(ch, level * m_masterVolume);
            m_voiceVolume[v] = level;
        }
    }

    if (v >= 2 && note >= 1 && muted == 0 && ch > 0) {
        bb_audio_StopChannel(ch);
        const float pitch = p_GetPitch(note) * m_chordPitch;
        m_voicePitch[v] = pitch;
        m_voiceEnvelope[v] = 1.5f;
        bb_audio_SetChannelRate(ch, pitch);
        c_Sound* sound = m_instruments[v];
        if (sound) {
            m_voiceSounding[v] = 1;
            bb_audio_PlaySound(sound, ch, m_loopFlag);
        }
    }

    if (muted != 0 || ch <= 0) return 0;
    float pitch = m_voicePitch[v];
    switch (effect) {
        case 1: pitch = std::fmin(pitch + static_cast<float>(parameter) / 180.0f, 4.0f); break;
        case 2: pitch = std::fmax(pitch - static_cast<float>(parameter) / 180.0f, 0.25f); break;
        case 3: pitch = std::fmin(pitch + static_cast<float>(parameter) / 15.0f, 4.0f); break;
        case 4: pitch = std::fmax(pitch - static_cast<float>(parameter) / 15.0f, 0.25f); break;
        default: return 0;
    }
    m_voicePitch[v] = pitch;
    bb_audio_SetChannelRate(ch, pitch);
    return 0;
}

float c_SQPlayer::p_GetPitch(int n) { return n >= 1 && n <= 32 ? kPitch[n] : 0.0f; }

float c_SQPlayer::p_GetPitch_Alpha(String key) {
    if (key.Length() != 1) return 0;
    for (int i = 0; i < 32; ++i) {
        if (key[0] == static_cast<Char>(kPitchKeys[i])) return kPitch[i + 1];
    }
    return 0;
}

String c_SQPlayer::p_SQ_GetChord(int n) {
    switch (n) {
        case 0: return String("qqqq");
        case 2: return String("qqbb");
        case 3: return String("qbqb");
        case 4: return String("qqqj");
        case 5: return String("qqzz");
        default: return String("qqjj");
    }
}
