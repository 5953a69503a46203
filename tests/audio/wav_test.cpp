// The decoders on files nobody here wrote (Debian's ALSA test voices and
// freedesktop theme sounds) and on edge files built byte by byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "audio/wav.h"
#include "audio_test_util.h"
#include "host/glfw_game.h"
#include "tools/oggenc/ogg_encode.h"

using namespace kqaudio;

namespace {

struct Decoded {
    unsigned char* data = nullptr;
    int length = -1, channels = -1, bytes = -1, rate = -1;
    ~Decoded() { free(data); }
};

void DecodeFile(const std::string& path, bool ogg, Decoded& d) {
    FILE* f = fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr) << path;
    d.data = ogg ? LoadOGG(f, &d.length, &d.channels, &d.bytes, &d.rate)
                 : LoadWAV(f, &d.length, &d.channels, &d.bytes, &d.rate);
    fclose(f);
}

// Decodes bytes through a temporary file.
void DecodeBytes(const std::string& bytes, Decoded& d) {
    std::string path = testing::TempDir() + "kq_edge_" + std::to_string(getpid()) + ".wav";
    ASSERT_TRUE(WriteFile(path, bytes));
    DecodeFile(path, false, d);
    remove(path.c_str());
}

// Ogg bytes decoded from memory with the given bound on the decoded size.
void DecodeOggBytes(const std::string& bytes, Decoded& d, size_t maxBytes = BB_OGG_MAX_BYTES) {
    FILE* f = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    ASSERT_NE(f, nullptr);
    d.data = LoadOGG(f, &d.length, &d.channels, &d.bytes, &d.rate, maxBytes);
    fclose(f);
}

// How closely two signals follow each other: 1 for the same shape.
double Correlation(const std::vector<float>& a, const std::vector<float>& b) {
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        ab += double(a[i]) * b[i];
        aa += double(a[i]) * a[i];
        bb += double(b[i]) * b[i];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
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

TEST(WavDecoding, DebianAlsaVoicesLoadWholeWithTheirLengths) {
    const std::pair<const char*, int> files[] = {
        {"Front_Center", 68545}, {"Front_Left", 71042}, {"Front_Right", 73473},
        {"Noise", 67579},        {"Rear_Center", 65026}, {"Rear_Left", 63010},
        {"Rear_Right", 73218},   {"Side_Left", 67412},   {"Side_Right", 64961}};
    for (auto& [name, frames] : files) {
        std::string path = std::string("/usr/share/sounds/alsa/") + name + ".wav";
        Decoded d;
        DecodeFile(path, false, d);
        ASSERT_NE(d.data, nullptr) << path;
        EXPECT_EQ(d.length, frames) << path;
        EXPECT_EQ(d.channels, 1);
        EXPECT_EQ(d.bytes, 2);
        EXPECT_EQ(d.rate, 48000);
        // These files have a plain 44-byte header: the samples follow it as they are.
        std::ifstream in(path, std::ios::binary);
        std::string raw((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(memcmp(d.data, raw.data() + 44, size_t(frames) * 2), 0) << path;
    }
}

TEST(OggDecoding, FreedesktopSoundsLoadWithTheirLengths) {
    const struct {
        const char* name;
        int frames, channels, rate;
    } files[] = {{"bell", 6151, 2, 44100},
                 {"complete", 48022, 2, 44100},
                 {"dialog-error", 22009, 2, 44100},
                 {"audio-volume-change", 2944, 2, 44100},
                 {"audio-channel-front-left", 71042, 1, 48000}};
    for (auto& f : files) {
        Decoded d;
        DecodeFile(std::string("/usr/share/sounds/freedesktop/stereo/") + f.name + ".oga", true, d);
        ASSERT_NE(d.data, nullptr) << f.name;
        EXPECT_EQ(d.length, f.frames) << f.name;
        EXPECT_EQ(d.channels, f.channels) << f.name;
        EXPECT_EQ(d.bytes, 2);
        EXPECT_EQ(d.rate, f.rate) << f.name;
    }
}

TEST(OggDecoding, DecodedVoiceMatchesTheSameVoiceAsWav) {
    // The theme's front-left voice is the ALSA one, Vorbis-encoded: the
    // decoded samples must follow the original closely.
    Decoded ogg, wav;
    DecodeFile("/usr/share/sounds/freedesktop/stereo/audio-channel-front-left.oga", true, ogg);
    DecodeFile("/usr/share/sounds/alsa/Front_Left.wav", false, wav);
    ASSERT_TRUE(ogg.data && wav.data);
    ASSERT_EQ(ogg.length, wav.length);
    const int16_t* a = reinterpret_cast<const int16_t*>(ogg.data);
    const int16_t* b = reinterpret_cast<const int16_t*>(wav.data);
    double ab = 0, aa = 0, bb = 0;
    for (int i = 0; i < ogg.length; ++i) {
        ab += double(a[i]) * b[i];
        aa += double(a[i]) * a[i];
        bb += double(b[i]) * b[i];
    }
    EXPECT_GT(ab / std::sqrt(aa * bb), 0.95);
    EXPECT_GT(aa / bb, 0.8);
    EXPECT_LT(aa / bb, 1.25);
}

TEST(OggDecoding, NonVorbisDataFails) {
    for (std::string bytes : {std::string("OggS not really a vorbis stream at all"), ToneWav(440, 0.1)}) {
        std::string path = testing::TempDir() + "kq_bad_" + std::to_string(getpid()) + ".ogg";
        ASSERT_TRUE(WriteFile(path, bytes));
        Decoded d;
        DecodeFile(path, true, d);
        remove(path.c_str());
        EXPECT_EQ(d.data, nullptr);
    }
}

TEST(OggDecoding, ThreeChannelsMixToStereoWithinTheBoundOnTheDecodedSize) {
    // Vorbis orders three channels left, centre, right: a tone on the left,
    // another in the centre, silence on the right.
    const int rate = 22050, n = 11025;
    std::vector<std::vector<float>> in(3, std::vector<float>(n));
    for (int i = 0; i < n; ++i) {
        in[0][i] = 0.3f * std::sin(2 * M_PI * 440 * i / rate);
        in[1][i] = 0.3f * std::sin(2 * M_PI * 697 * i / rate);
    }
    const std::string ogg = EncodeOgg(in, rate);
    ASSERT_FALSE(ogg.empty());
    Decoded d;
    DecodeOggBytes(ogg, d);
    ASSERT_NE(d.data, nullptr);
    EXPECT_EQ(d.length, n);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.bytes, 2);
    EXPECT_EQ(d.rate, rate);
    // The centre goes to both sides, the left tone only to the left.
    std::vector<float> left(n), right(n), both(n);
    const int16_t* pcm = reinterpret_cast<const int16_t*>(d.data);
    for (int i = 0; i < n; ++i) {
        left[i] = pcm[2 * i];
        right[i] = pcm[2 * i + 1];
        both[i] = in[0][i] + in[1][i];
    }
    EXPECT_GT(Correlation(left, both), 0.95);
    EXPECT_GT(Correlation(right, in[1]), 0.95);
    EXPECT_LT(std::fabs(Correlation(right, in[0])), 0.1);

    // The bound holds to the byte: all samples fit in n * 4 bytes, not in one
    // sample fewer.
    Decoded exact, over;
    DecodeOggBytes(ogg, exact, size_t(n) * 4);
    DecodeOggBytes(ogg, over, size_t(n) * 4 - 2);
    EXPECT_NE(exact.data, nullptr);
    EXPECT_EQ(over.data, nullptr);
}

TEST(OggDecoding, FilesThatBrokeTheOldDecoderGiveNoSampleWithoutGreatAllocations) {
    // Damaged copies of one of the game's own effects, encoded as Ogg: the
    // earlier decoder asked for 1.4 GB, for a negative size, or leaked.
    long before = VmPeakKb();
    for (const char* name : {"huge-setup-allocation", "leaks-on-error", "out-of-memory"}) {
        Decoded d;
        DecodeFile(std::string(KQ_SOURCE_DIR) + "/tests/data/ogg/" + name + ".ogg", true, d);
        EXPECT_EQ(d.data, nullptr) << name;
    }
    EXPECT_LT(VmPeakKb() - before, 64 * 1024);
}

TEST(WavDecoding, AcceptedLayouts) {
    std::string data(8000, '\x11');
    {  // stereo 16-bit: 8000 bytes are 2000 frames
        Decoded d;
        DecodeBytes(Riff(Fmt(1, 2, 22050, 16) + Chunk("data", data)), d);
        ASSERT_NE(d.data, nullptr);
        EXPECT_EQ(d.length, 2000);
        EXPECT_EQ(d.channels, 2);
        EXPECT_EQ(d.bytes, 2);
        EXPECT_EQ(d.rate, 22050);
    }
    {  // 18-byte format chunk, an odd-sized LIST chunk with its pad byte, then 8-bit data
        std::string list = Chunk("LIST", "INFOISFT\x05\0\0\0kq86\0");
        ASSERT_EQ(list.size() % 2, 0u);
        Decoded d;
        DecodeBytes(Riff(Fmt(1, 1, 8000, 8, 2) + list + Chunk("data", "\x80\x81\x82")), d);
        ASSERT_NE(d.data, nullptr);
        EXPECT_EQ(d.length, 3);
        EXPECT_EQ(d.bytes, 1);
        EXPECT_EQ(memcmp(d.data, "\x80\x81\x82", 3), 0);
    }
    {  // a data size that is not a whole number of frames counts whole frames
        Decoded d;
        DecodeBytes(Riff(Fmt(1, 2, 8000, 16) + Chunk("data", std::string(10, '\0'))), d);
        ASSERT_NE(d.data, nullptr);
        EXPECT_EQ(d.length, 2);
    }
}

TEST(WavDecoding, RejectedFiles) {
    const std::string pcm = Chunk("data", std::string(64, '\0'));
    std::string truncated = Riff(Fmt(1, 1, 8000, 16) + Chunk("data", std::string(64, '\0')));
    truncated.resize(truncated.size() - 10);
    const std::pair<const char*, std::string> cases[] = {
        {"float format", Riff(Fmt(3, 1, 8000, 32) + pcm)},
        {"zero channels", Riff(Fmt(1, 0, 8000, 16) + pcm)},
        {"three channels", Riff(Fmt(1, 3, 8000, 16) + pcm)},
        {"zero bits", Riff(Fmt(1, 1, 8000, 0) + pcm)},
        {"24 bits", Riff(Fmt(1, 1, 8000, 24) + pcm)},
        {"zero rate", Riff(Fmt(1, 1, 0, 16) + pcm)},
        {"short fmt chunk", Riff(Chunk("fmt ", std::string(12, '\x01')) + pcm)},
        {"data before fmt", Riff(pcm + Fmt(1, 1, 8000, 16))},
        {"no data chunk", Riff(Fmt(1, 1, 8000, 16) + Chunk("LIST", "abcd"))},
        {"truncated data", truncated},
        {"not RIFF", "RIFX" + Riff(Fmt(1, 1, 8000, 16) + pcm).substr(4)},
        {"not WAVE", Riff(Fmt(1, 1, 8000, 16) + pcm).replace(8, 4, "AVI ")},
        {"empty file", ""},
    };
    for (auto& [what, bytes] : cases) {
        Decoded d;
        DecodeBytes(bytes, d);
        EXPECT_EQ(d.data, nullptr) << what;
    }
}

TEST(WavDecoding, HugeClaimsFailWithoutAllocating) {
    long before = VmPeakKb();
    ASSERT_GT(before, 0);
    // A data chunk and a skipped chunk that each claim about 2 GB.
    std::string data = Riff(Fmt(1, 1, 8000, 16)) + "data";
    PutU32(data, 0x7ffffff0u);
    std::string skipped = Riff(Fmt(1, 1, 8000, 16)) + "junk";
    PutU32(skipped, 0xfffffff0u);
    for (auto& bytes : {data + "abcd", skipped + "abcd"}) {
        Decoded d;
        DecodeBytes(bytes, d);
        EXPECT_EQ(d.data, nullptr);
    }
    // The same through a pipe, which cannot tell its size in advance.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    // Small enough to sit in the pipe's buffer whole.
    std::string piped = data + std::string(1000, '\0');
    ASSERT_EQ(write(fds[1], piped.data(), piped.size()), ssize_t(piped.size()));
    close(fds[1]);
    FILE* f = fdopen(fds[0], "rb");
    Decoded d;
    d.data = LoadWAV(f, &d.length, &d.channels, &d.bytes, &d.rate);
    fclose(f);
    EXPECT_EQ(d.data, nullptr);
    EXPECT_LT(VmPeakKb() - before, 64 * 1024);
}

TEST(LoadAudioData, ChoosesTheDecoderByExtensionAndMapsDataPaths) {
    BBGlfwGame host;
    namespace fs = std::filesystem;
    fs::path dir = fs::path(testing::TempDir()) / ("kq_audio_paths_" + std::to_string(getpid()));
    fs::create_directories(dir / "data" / "sfx");
    std::string wav = ToneWav(440, 0.05);
    for (const char* name : {"a.wav", "b.WAV", "c.mp3", "d.wav.bak"}) ASSERT_TRUE(WriteFile((dir / "data" / "sfx" / name).string(), wav));
    fs::copy_file("/usr/share/sounds/freedesktop/stereo/bell.oga", dir / "data" / "bell.ogg", fs::copy_options::overwrite_existing);
    fs::copy_file("/usr/share/sounds/freedesktop/stereo/bell.oga", dir / "data" / "bell.oga", fs::copy_options::overwrite_existing);

    fs::path old = fs::current_path();
    fs::current_path(dir);
    auto load = [&](const char* path, int* frames) {
        int channels = 0, bytes = 0, rate = 0;
        *frames = -1;
        unsigned char* p = host.LoadAudioData(String(path), frames, &channels, &bytes, &rate);
        bool ok = p != nullptr;
        free(p);
        return ok;
    };
    int frames = 0;
    EXPECT_TRUE(load("zorbel://data/sfx/a.wav", &frames));
    EXPECT_EQ(frames, 2205);
    EXPECT_TRUE(load("./data/sfx/b.WAV", &frames));
    EXPECT_TRUE(load("zorbel://data/bell.ogg", &frames));
    EXPECT_EQ(frames, 6151);
    EXPECT_FALSE(load("zorbel://data/bell.oga", &frames));
    EXPECT_FALSE(load("zorbel://data/sfx/c.mp3", &frames));
    EXPECT_FALSE(load("zorbel://data/sfx/d.wav.bak", &frames));
    EXPECT_FALSE(load("zorbel://data/sfx/missing.wav", &frames));
    EXPECT_FALSE(load("zorbel://cache/sfx/a.wav", &frames));
    fs::current_path(old);
    fs::remove_all(dir);
}
