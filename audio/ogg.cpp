// The Ogg Vorbis decoder: the reference libvorbisfile reading the whole file
// from memory, its float samples mixed down to at most two channels and
// turned into 16-bit values, within a bound on the decoded size.
#include <vorbis/vorbisfile.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "audio/wav.h"

namespace {

// The file's bytes as libvorbisfile's data source.
struct MemorySource {
    unsigned char* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
};

size_t SourceRead(void* dst, size_t size, size_t count, void* source) {
    MemorySource* m = static_cast<MemorySource*>(source);
    if (size == 0) return 0;
    size_t items = (m->size - m->pos) / size;
    if (items > count) items = count;
    memcpy(dst, m->data + m->pos, items * size);
    m->pos += items * size;
    return items;
}

int SourceSeek(void* source, ogg_int64_t offset, int whence) {
    MemorySource* m = static_cast<MemorySource*>(source);
    ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? ogg_int64_t(m->pos) : ogg_int64_t(m->size);
    if (offset < -base || offset > ogg_int64_t(m->size) - base) return -1;
    m->pos = size_t(base + offset);
    return 0;
}

long SourceTell(void* source) { return long(static_cast<MemorySource*>(source)->pos); }

// Reads the rest of the stream into memory; false when it is longer than
// limit bytes or cannot be read.
bool ReadAll(FILE* f, size_t limit, MemorySource* out) {
    size_t cap = 65536;
    out->data = static_cast<unsigned char*>(malloc(cap));
    if (!out->data) return false;
    for (;;) {
        if (out->size == cap) {
            if (cap >= limit) return false;
            unsigned char* grown = static_cast<unsigned char*>(realloc(out->data, cap * 2));
            if (!grown) return false;
            out->data = grown;
            cap *= 2;
        }
        size_t n = fread(out->data + out->size, 1, cap - out->size, f);
        if (n == 0) return !ferror(f) && out->size <= limit;
        out->size += n;
    }
}

// Where one channel of a stream of more than two goes when mixed to stereo,
// in Vorbis's channel order: L left, R right, C both (centre, rear centre and
// LFE). Beyond eight channels the order is the encoder's own: the first two
// are taken as left and right.
char MixSide(int channels, int channel) {
    static const char* const kLayouts[] = {"LCR", "LRLR", "LCRLR", "LCRLRC", "LCRLRCC", "LCRLRLRC"};
    if (channels > 8) return channel == 0 ? 'L' : channel == 1 ? 'R' : '-';
    return kLayouts[channels - 3][channel];
}

short ToShort(float v) {
    long s = lrintf(v * 32768.0f);
    if (s > 32767) return 32767;
    if (s < -32768) return -32768;
    return short(s);
}

// Decodes the opened stream into a malloc'd buffer of interleaved samples.
// Only links of the first link's channel count and rate are decoded; the
// file ends where another format would begin.
short* DecodeStream(OggVorbis_File* vf, int inChannels, long rate, int outChannels, size_t maxSamples, size_t* frames) {
    size_t room = size_t(outChannels) * 4096;
    size_t filled = 0;
    short* out = static_cast<short*>(malloc(room * sizeof(short)));
    int link = -1;
    while (out) {
        float** pcm = nullptr;
        int bitstream = 0;
        long n = ov_read_float(vf, &pcm, 4096, &bitstream);
        if (n == 0) break;
        if (n == OV_HOLE) continue;  // a gap in the data: decoding goes on after it
        if (n < 0) break;
        if (link != bitstream) {
            vorbis_info* info = ov_info(vf, bitstream);
            if (link >= 0 && (!info || info->channels != inChannels || info->rate != rate)) break;
            link = bitstream;
        }
        size_t need = filled + size_t(n) * outChannels;
        if (need > maxSamples) {
            free(out);
            return nullptr;
        }
        if (need > room) {
            while (room < need) room *= 2;
            if (room > maxSamples) room = maxSamples;
            short* grown = static_cast<short*>(realloc(out, room * sizeof(short)));
            if (!grown) {
                free(out);
                return nullptr;
            }
            out = grown;
        }
        short* dst = out + filled;
        for (long i = 0; i < n; ++i) {
            if (inChannels <= 2) {
                for (int c = 0; c < inChannels; ++c) *dst++ = ToShort(pcm[c][i]);
                continue;
            }
            float left = 0, right = 0;
            for (int c = 0; c < inChannels; ++c) {
                char side = MixSide(inChannels, c);
                if (side == 'L' || side == 'C') left += pcm[c][i];
                if (side == 'R' || side == 'C') right += pcm[c][i];
            }
            *dst++ = ToShort(left);
            *dst++ = ToShort(right);
        }
        filled = need;
    }
    *frames = filled / outChannels;
    return out;
}

}  // namespace

unsigned char* LoadOGG(FILE* f, int* length, int* channels, int* bytesPerSample, int* rate, size_t maxBytes) {
    if (!f) return nullptr;
    MemorySource source;
    if (!ReadAll(f, maxBytes, &source)) {
        free(source.data);
        return nullptr;
    }
    OggVorbis_File vf;
    ov_callbacks callbacks = {SourceRead, SourceSeek, nullptr, SourceTell};
    if (ov_open_callbacks(&source, &vf, nullptr, 0, callbacks) != 0) {
        free(source.data);
        return nullptr;
    }
    short* samples = nullptr;
    size_t frames = 0;
    vorbis_info* info = ov_info(&vf, -1);
    int inChannels = info ? info->channels : 0;
    long streamRate = info ? info->rate : 0;
    int outChannels = inChannels > 2 ? 2 : inChannels;
    if (outChannels >= 1 && streamRate > 0 && streamRate <= INT_MAX)
        samples = DecodeStream(&vf, inChannels, streamRate, outChannels, maxBytes / sizeof(short), &frames);
    ov_clear(&vf);
    free(source.data);
    if (samples && frames == 0) {
        free(samples);
        samples = nullptr;
    }
    if (!samples) return nullptr;
    *length = int(frames);
    *channels = outChannels;
    *bytesPerSample = 2;
    *rate = int(streamRate);
    return reinterpret_cast<unsigned char*>(samples);
}
