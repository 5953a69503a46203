// The decoders on files nobody here wrote (Debian's ALSA test voices and
// freedesktop theme sounds) and on edge and broken files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "audio/wav.h"
#include "audio_test_util.h"
#include "tools/oggenc/ogg_encode.h"

using namespace kqaudio;

namespace {

struct Decoded {
    unsigned char* data = nullptr;
    int length = -1, channels = -1, bytes = -1, rate = -1;
    ~Decoded() { free(data); }
    const int16_t* Pcm() const { return reinterpret_cast<const int16_t*>(data); }
    std::vector<int> Format() const { return {length, channels, bytes, rate}; }
};

void Decode(FILE* f, bool ogg, Decoded& d, size_t maxBytes = BB_OGG_MAX_BYTES) {
    ASSERT_NE(f, nullptr);
    d.data = ogg ? LoadOGG(f, &d.length, &d.channels, &d.bytes, &d.rate, maxBytes)
                 : LoadWAV(f, &d.length, &d.channels, &d.bytes, &d.rate);
    fclose(f);
}
void DecodeFile(const std::string& path, bool ogg, Decoded& d) { Decode(fopen(path.c_str(), "rb"), ogg, d); }
// Decodes bytes held in memory (a stream that can seek and tell its size).
void DecodeBytes(const std::string& bytes, bool ogg, Decoded& d, size_t maxBytes = BB_OGG_MAX_BYTES) {
    std::string copy = bytes;
    Decode(fmemopen(copy.data(), copy.size(), "rb"), ogg, d, maxBytes);
}

// How closely two signals follow each other (1 for the same shape), and
// the ratio of their energies.
template <class A, class B>
std::pair<double, double> Compare(const A& a, const B& b, size_t n) {
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) {
        ab += double(a[i]) * b[i];
        aa += double(a[i]) * a[i];
        bb += double(b[i]) * b[i];
    }
    return {aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0, bb > 0 ? aa / bb : 0};
}

// The virtual memory high-water mark of this process, in kB.
long VmPeakKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmPeak:", 0) == 0) return atol(line.c_str() + 7);
    return -1;
}

}  // namespace

TEST(AudioDecoding, RealFilesDecodeWhole) {
    // An ALSA voice: a plain 44-byte header, then the samples as they are.
    Decoded wav, ogg, bell;
    const std::string voice = "/usr/share/sounds/alsa/Front_Left.wav";
    DecodeFile(voice, false, wav);
    ASSERT_NE(wav.data, nullptr);
    EXPECT_EQ(wav.Format(), std::vector<int>({71042, 1, 2, 48000}));
    std::ifstream in(voice, std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(memcmp(wav.data, raw.data() + 44, 71042 * 2), 0);
    // The theme's front-left voice is the same one, Vorbis-encoded: the
    // decoded samples follow the original closely, at its loudness.
    DecodeFile("/usr/share/sounds/freedesktop/stereo/audio-channel-front-left.oga", true, ogg);
    ASSERT_NE(ogg.data, nullptr);
    EXPECT_EQ(ogg.Format(), wav.Format());
    auto [correlation, energy] = Compare(ogg.Pcm(), wav.Pcm(), 71042);
    EXPECT_GT(correlation, 0.95);
    EXPECT_NEAR(energy, 1.0, 0.2);
    DecodeFile("/usr/share/sounds/freedesktop/stereo/bell.oga", true, bell);
    EXPECT_EQ(bell.Format(), std::vector<int>({6151, 2, 2, 44100}));
}

TEST(OggDecoding, ThreeChannelsMixToStereoWithinTheBoundOnTheDecodedSize) {
    // Vorbis orders three channels left, centre, right: a tone on the left,
    // another in the centre, silence on the right.
    const int rate = 22050, n = 11025;
    std::vector<std::vector<float>> in(3, std::vector<float>(n));
    std::vector<float> both(n), left(n), right(n);
    for (int i = 0; i < n; ++i) {
        in[0][i] = 0.3f * std::sin(2 * M_PI * 440 * i / rate);
        in[1][i] = 0.3f * std::sin(2 * M_PI * 697 * i / rate);
        both[i] = in[0][i] + in[1][i];
    }
    const std::string ogg = EncodeOgg(in, rate);
    Decoded d;
    DecodeBytes(ogg, true, d);
    ASSERT_NE(d.data, nullptr);
    EXPECT_EQ(d.Format(), std::vector<int>({n, 2, 2, rate}));
    for (int i = 0; i < n; ++i) {
        left[i] = d.Pcm()[2 * i];
        right[i] = d.Pcm()[2 * i + 1];
    }
    // The centre goes to both sides, the left tone only to the left.
    EXPECT_GT(Compare(left, both, n).first, 0.95);
    EXPECT_GT(Compare(right, in[1], n).first, 0.95);
    EXPECT_LT(std::fabs(Compare(right, in[0], n).first), 0.1);

    // The bound holds to the byte: all samples fit in n * 4 bytes, not in one
    // sample fewer.
    Decoded exact, over;
    DecodeBytes(ogg, true, exact, size_t(n) * 4);
    DecodeBytes(ogg, true, over, size_t(n) * 4 - 2);
    EXPECT_NE(exact.data, nullptr);
    EXPECT_EQ(over.data, nullptr);
}

TEST(WavDecoding, PcmThatOpenALTakesLoadsAndAnythingElseFails) {
    Decoded stereo;  // 16-bit stereo: 8002 bytes are 2000 whole frames
    DecodeBytes(Riff(Fmt(1, 2, 22050, 16) + Chunk("data", std::string(8002, '\x11'))), false, stereo);
    ASSERT_NE(stereo.data, nullptr);
    EXPECT_EQ(stereo.Format(), std::vector<int>({2000, 2, 2, 22050}));
    // An 18-byte format chunk, an odd-sized LIST chunk with its pad byte, then 8-bit data.
    Decoded extra;
    DecodeBytes(Riff(Fmt(1, 1, 8000, 8, 2) + Chunk("LIST", "INFOISFT\x05") + Chunk("data", "\x80\x81\x82")), false,
                extra);
    ASSERT_NE(extra.data, nullptr);
    EXPECT_EQ(extra.Format(), std::vector<int>({3, 1, 1, 8000}));
    EXPECT_EQ(memcmp(extra.data, "\x80\x81\x82", 3), 0);

    const std::string pcm = Chunk("data", std::string(64, '\0'));
    std::string truncated = Riff(Fmt(1, 1, 8000, 16) + pcm);
    truncated.resize(truncated.size() - 10);
    const std::pair<const char*, std::string> rejected[] = {
        {"float format", Riff(Fmt(3, 1, 8000, 32) + pcm)},
        {"three channels", Riff(Fmt(1, 3, 8000, 16) + pcm)},
        {"24 bits", Riff(Fmt(1, 1, 8000, 24) + pcm)},
        {"zero rate", Riff(Fmt(1, 1, 0, 16) + pcm)},
        {"data before fmt", Riff(pcm + Fmt(1, 1, 8000, 16))},
        {"no data chunk", Riff(Fmt(1, 1, 8000, 16) + Chunk("LIST", "abcd"))},
        {"truncated data", truncated},
        {"not WAVE", Riff(Fmt(1, 1, 8000, 16) + pcm).replace(8, 4, "AVI ")},
        {"empty file", ""},
    };
    for (auto& [what, bytes] : rejected) {
        Decoded d;
        DecodeBytes(bytes, false, d);
        EXPECT_EQ(d.data, nullptr) << what;
    }
}

TEST(AudioDecoding, HugeClaimsAndBrokenFilesFailWithoutGreatAllocations) {
    long before = VmPeakKb();
    ASSERT_GT(before, 0);
    // A data chunk and a skipped chunk that each claim about 2 GB.
    std::string data = Riff(Fmt(1, 1, 8000, 16)) + "data";
    PutU32(data, 0x7ffffff0u);
    std::string skipped = Riff(Fmt(1, 1, 8000, 16)) + "junk";
    PutU32(skipped, 0xfffffff0u);
    for (auto& bytes : {data + "abcd", skipped + "abcd"}) {
        Decoded d;
        DecodeBytes(bytes, false, d);
        EXPECT_EQ(d.data, nullptr);
    }
    // The same through a pipe, which cannot tell its size in advance (small
    // enough to sit in the pipe's buffer whole).
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::string piped = data + std::string(1000, '\0');
    ASSERT_EQ(write(fds[1], piped.data(), piped.size()), ssize_t(piped.size()));
    close(fds[1]);
    Decoded fromPipe;
    Decode(fdopen(fds[0], "rb"), false, fromPipe);
    EXPECT_EQ(fromPipe.data, nullptr);

    // Damaged copies of one of the game's own effects, encoded as Ogg (the
    // earlier decoder asked for 1.4 GB, for a negative size, or leaked), and
    // data that is no Vorbis stream.
    for (const char* name : {"huge-setup-allocation", "leaks-on-error", "out-of-memory"}) {
        Decoded d;
        DecodeFile(std::string(KQ_SOURCE_DIR) + "/tests/data/ogg/" + name + ".ogg", true, d);
        EXPECT_EQ(d.data, nullptr) << name;
    }
    for (std::string bytes : {std::string("OggS not really a vorbis stream at all"), ToneWav(440, 0.1)}) {
        Decoded d;
        DecodeBytes(bytes, true, d);
        EXPECT_EQ(d.data, nullptr);
    }
    EXPECT_LT(VmPeakKb() - before, 64 * 1024);
}
