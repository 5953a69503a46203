// The WAV reader (8- and 16-bit PCM, mono or stereo). Files are decoded
// whole; nothing here allocates more than the file actually holds.
#include "audio/wav.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

bool readBytes(FILE* f, void* dst, size_t n) { return fread(dst, 1, n, f) == n; }

bool readTag(FILE* f, char tag[5]) {
    tag[4] = 0;
    return readBytes(f, tag, 4);
}

bool readU16(FILE* f, unsigned* v) {
    unsigned char b[2];
    if (!readBytes(f, b, 2)) return false;
    *v = b[0] | (b[1] << 8);
    return true;
}

bool readU32(FILE* f, uint32_t* v) {
    unsigned char b[4];
    if (!readBytes(f, b, 4)) return false;
    *v = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    return true;
}

// Reads and throws away n bytes through a small buffer, so a chunk that
// claims a huge size costs no allocation; false if the file ends first.
bool skipBytes(FILE* f, uint64_t n) {
    unsigned char buf[4096];
    while (n > 0) {
        size_t step = n < sizeof buf ? size_t(n) : sizeof buf;
        if (fread(buf, 1, step, f) != step) return false;
        n -= step;
    }
    return true;
}

// Bytes left between the read position and the end of the file, or -1
// when the stream cannot tell (not seekable).
long long bytesLeft(FILE* f) {
    long here = ftell(f);
    if (here < 0) return -1;
    if (fseek(f, 0, SEEK_END) != 0) return -1;
    long end = ftell(f);
    if (fseek(f, here, SEEK_SET) != 0 || end < 0) return -1;
    return end >= here ? end - here : 0;
}

// Reads exactly n bytes into a new buffer. A size the file cannot hold
// fails before anything is allocated; on a stream that cannot tell its
// size the buffer grows only as data really arrives.
unsigned char* readChunk(FILE* f, uint32_t n) {
    long long left = bytesLeft(f);
    if (left >= 0 && (long long)n > left) return nullptr;
    size_t cap = n;
    if (left < 0 && cap > 65536) cap = 65536;
    unsigned char* data = static_cast<unsigned char*>(malloc(cap > 0 ? cap : 1));
    if (!data) return nullptr;
    size_t got = 0;
    while (got < n) {
        if (got == cap) {
            size_t next = cap * 2 < n ? cap * 2 : n;
            unsigned char* grown = static_cast<unsigned char*>(realloc(data, next));
            if (!grown) {
                free(data);
                return nullptr;
            }
            data = grown;
            cap = next;
        }
        size_t r = fread(data + got, 1, cap - got, f);
        if (r == 0) {
            free(data);
            return nullptr;
        }
        got += r;
    }
    return data;
}

}  // namespace

unsigned char* LoadWAV(FILE* f, int* length, int* channels, int* bytesPerSample, int* rate) {
    if (!f) return nullptr;
    char tag[5];
    uint32_t size = 0;

    if (!readTag(f, tag) || strcmp(tag, "RIFF") != 0) return nullptr;
    if (!readU32(f, &size)) return nullptr;
    if (!readTag(f, tag) || strcmp(tag, "WAVE") != 0) return nullptr;

    // The format chunk must come first.
    if (!readTag(f, tag) || strcmp(tag, "fmt ") != 0) return nullptr;
    uint32_t fmtSize = 0;
    unsigned format = 0, chans = 0, blockAlign = 0, bits = 0;
    uint32_t sampleRate = 0, byteRate = 0;
    if (!readU32(f, &fmtSize) || fmtSize < 16) return nullptr;
    if (!readU16(f, &format) || !readU16(f, &chans) || !readU32(f, &sampleRate) || !readU32(f, &byteRate) ||
        !readU16(f, &blockAlign) || !readU16(f, &bits))
        return nullptr;
    // Only what OpenAL can take as it is: 8- or 16-bit integer PCM, one or
    // two channels, at a positive rate.
    if (format != 1) return nullptr;
    if (chans != 1 && chans != 2) return nullptr;
    if (bits != 8 && bits != 16) return nullptr;
    if (sampleRate == 0 || sampleRate > INT_MAX) return nullptr;
    // The rest of a longer format chunk, and the pad byte after an odd size.
    if (!skipBytes(f, uint64_t(fmtSize - 16) + (fmtSize & 1))) return nullptr;

    for (;;) {
        if (!readTag(f, tag) || !readU32(f, &size)) return nullptr;
        if (strcmp(tag, "data") == 0) {
            if (size > INT_MAX) return nullptr;
            unsigned char* data = readChunk(f, size);
            if (!data) return nullptr;
            int frameBytes = int(chans) * int(bits / 8);
            *length = int(size / frameBytes);
            *channels = int(chans);
            *bytesPerSample = int(bits / 8);
            *rate = int(sampleRate);
            return data;
        }
        // Any other chunk is skipped, with its pad byte when its size is odd.
        if (!skipBytes(f, uint64_t(size) + (size & 1))) return nullptr;
    }
}
