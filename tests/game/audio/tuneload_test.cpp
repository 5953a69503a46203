// Loading through the render hook: tune images decoded into pattern data and
// m_lastPattern, the instrument files of the drawn numbers, loading once per
// tune, missing images, and the game's own tune and instrument files.
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "seq_support.h"

using namespace seqtest;
namespace fs = std::filesystem;

namespace {

struct Png {
    int w, h;
    std::vector<unsigned char> rgba;
    Png(int w_, int h_) : w(w_), h(h_), rgba(static_cast<size_t>(w_) * h_ * 4, 0) {
        for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    }
    // Pixel (x, y) of 64 x 64 frame f, frames running left to right, top to bottom.
    void Set(int f, int x, int y, int blue, int alpha = 255) {
        const int perRow = w / 64;
        const size_t i = ((static_cast<size_t>(f / perRow) * 64 + y) * w + f % perRow * 64 + x) * 4;
        rgba[i + 2] = static_cast<unsigned char>(blue);
        rgba[i + 3] = static_cast<unsigned char>(alpha);
    }
    void Write(const std::string& path) const { stbi_write_png(path.c_str(), w, h, 4, rgba.data(), w * 4); }
};

void WriteWav(const std::string& path) {
    const int16_t samples[64] = {0, 1000, 2000, 1000, 0, -1000, -2000, -1000};
    const uint32_t dataSize = sizeof samples, rate = 22050, byteRate = rate * 2;
    const uint16_t pcm = 1, mono = 1, align = 2, bits = 16;
    const uint32_t riffSize = 36 + dataSize, fmtSize = 16;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4).write(reinterpret_cast<const char*>(&riffSize), 4).write("WAVEfmt ", 8);
    out.write(reinterpret_cast<const char*>(&fmtSize), 4).write(reinterpret_cast<const char*>(&pcm), 2);
    out.write(reinterpret_cast<const char*>(&mono), 2).write(reinterpret_cast<const char*>(&rate), 4);
    out.write(reinterpret_cast<const char*>(&byteRate), 4).write(reinterpret_cast<const char*>(&align), 2);
    out.write(reinterpret_cast<const char*>(&bits), 2).write("data", 4);
    out.write(reinterpret_cast<const char*>(&dataSize), 4).write(reinterpret_cast<const char*>(samples), dataSize);
}

}  // namespace

class TuneLoadTest : public SeqTest {
public:
    std::string prevDir, workDir;

    void SetUp() override {
        SeqTest::SetUp();
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd)) prevDir = cwd;
        std::string tmpl = (fs::temp_directory_path() / "kq_tuneload_XXXXXX").string();
        ASSERT_TRUE(mkdtemp(&tmpl[0]));
        workDir = tmpl;
        fs::create_directories(workDir + "/data/tunes");
        fs::create_directories(workDir + "/data/inst");
        ASSERT_EQ(chdir(workDir.c_str()), 0);
    }
    void TearDown() override {
        if (!prevDir.empty() && chdir(prevDir.c_str()) != 0) ADD_FAILURE() << "chdir back failed";
        std::error_code ec;
        fs::remove_all(workDir, ec);
        SeqTest::TearDown();
    }

    void WriteAllInstruments() {
        for (int kit = 1; kit <= 4; ++kit) {
            for (int s = 1; s <= 8; ++s) WriteWav("data/inst/d" + std::to_string(kit) + "-" + std::to_string(s) + ".wav");
        }
        for (int n = 1; n <= 4; ++n) {
            WriteWav("data/inst/lead" + std::to_string(n) + ".wav");
            WriteWav("data/inst/accompany" + std::to_string(n) + ".wav");
            WriteWav("data/inst/bass" + std::to_string(n) + ".wav");
        }
    }

    // Renders until loading is done; returns the number of render calls.
    int LoadAll() {
        int renders = 0;
        while (player->m_chunkStep > 0 && renders < 100) {
            player->p_SQ_Alive_R();
            ++renders;
        }
        return renders;
    }

    int Value(int pattern, int lane, int row, int field) {
        return player->m_tuneData[pattern * 4096 + lane * 512 + row * 8 + field];
    }
};

TEST_F(TuneLoadTest, BlueLevelsOfEachFrameBecomePatternData) {
    Png png(512, 512);
    png.Set(10, 9, 5, 0x48);         // pattern 10, lane 1, row 5, field 1: 9
    png.Set(3, 0, 0, 7);             // below one step: 0
    png.Set(20, 63, 63, 255);        // lane 7, row 63, field 7: 31
    png.Set(21, 2, 0, 248);          // 31
    png.Set(30, 17, 2, 255, 128);    // half transparent: drawn at half blue, 16
    png.Set(63, 0, 0, 255);          // frame 63 is never read
    png.Write("data/tunes/grid.png");

    player->p_SQ_StartTune(String("grid"), 5, 100);
    EXPECT_EQ(player->m_chunkStep, 1);
    EXPECT_EQ(LoadAll(), 24) << "70 steps at three a frame";

    EXPECT_EQ(Value(10, 1, 5, 1), 9);
    EXPECT_EQ(Value(3, 0, 0, 0), 0);
    EXPECT_EQ(Value(20, 7, 63, 7), 31);
    EXPECT_EQ(Value(21, 0, 0, 2), 31);
    EXPECT_EQ(Value(30, 2, 2, 1), 16);
    EXPECT_EQ(Value(63, 0, 0, 0), 0);
    int nonZero = 0;
    for (int i = 0; i < c_SQPlayer::TUNE_SIZE; ++i) nonZero += player->m_tuneData[i] != 0;
    EXPECT_EQ(nonZero, 4);

    const int expectedLast[8] = {21, 10, 30, 0, 0, 0, 0, 20};
    for (int lane = 0; lane < 8; ++lane) EXPECT_EQ(player->m_lastPattern[lane], expectedLast[lane]) << "lane " << lane;
}

TEST_F(TuneLoadTest, WideImagesAreCutLeftToRightThenDown) {
    Png png(1024, 256);  // 16 frames a row
    png.Set(20, 9, 5, 0x48);
    png.Write("data/tunes/wide.png");
    player->p_SQ_StartTune(String("wide"), 5, 100);
    LoadAll();
    EXPECT_EQ(Value(20, 1, 5, 1), 9);
    EXPECT_EQ(player->m_lastPattern[1], 20);
}

TEST_F(TuneLoadTest, ATuneLoadsOnceAndAnotherTuneLoadsAgain) {
    WriteAllInstruments();
    Png first(512, 512), second(512, 512);
    first.Set(12, 0, 0, 13 << 3);
    second.Set(4, 16, 0, 13 << 3);
    first.Write("data/tunes/first.png");
    second.Write("data/tunes/second.png");

    player->p_SQ_StartTune(String("first"), 37171650, 100);
    const int kitA = player->m_instrumentChoice[1], kitB = player->m_instrumentChoice[2];
    // Nothing plays while loading, even when a row is due.
    player->m_nextTick = clock->Ms() - 1000;
    player->p_SQ_Alive_U(0, 1);
    EXPECT_EQ(player->m_row, 0);

    LoadAll();
    EXPECT_EQ(player->m_nextTick, clock->Ms() + 100) << "the first row comes 100 ms after loading";
    std::vector<std::string> expected;
    for (int s = 1; s <= 8; ++s) expected.push_back("zorbel://data/inst/d" + std::to_string(kitA) + "-" + std::to_string(s) + ".wav");
    for (int s = 1; s <= 8; ++s) expected.push_back("zorbel://data/inst/d" + std::to_string(kitB) + "-" + std::to_string(s) + ".wav");
    expected.push_back("zorbel://data/inst/lead" + std::to_string(player->m_instrumentChoice[3]) + ".wav");
    expected.push_back("zorbel://data/inst/accompany" + std::to_string(player->m_instrumentChoice[4]) + ".wav");
    expected.push_back("zorbel://data/inst/bass" + std::to_string(player->m_instrumentChoice[5]) + ".wav");
    std::vector<std::string> loaded;
    for (const AudioCall& c : audio->Of(AudioCall::Load)) loaded.push_back(c.path);
    EXPECT_EQ(loaded, expected);
    for (int s = 1; s <= 8; ++s) {
        EXPECT_NE(player->m_kitA[s], nullptr);
        EXPECT_NE(player->m_kitB[s], nullptr);
    }
    for (int i = 2; i <= 4; ++i) EXPECT_NE(player->m_instruments[i], nullptr);
    EXPECT_EQ(player->m_lastPattern[0], 12);

    // The same tune again: no loading, the data stays.
    audio->calls.clear();
    player->p_SQ_StartTune(String("first"), 37171650, 100);
    EXPECT_EQ(player->m_chunkStep, 0);
    EXPECT_EQ(player->m_lastPattern[0], 12);
    EXPECT_TRUE(audio->Of(AudioCall::Load).empty());

    // Another tune: its patterns are cleared before drawing, then reloaded.
    player->p_SQ_StartTune(String("second"), 37171650, 100);
    EXPECT_EQ(player->m_chunkStep, 1);
    for (int lane = 0; lane < 8; ++lane) EXPECT_EQ(player->m_lastPattern[lane], 0);
    for (int v = 0; v < 5; ++v) EXPECT_EQ(player->m_voicePattern[v], 0);
    LoadAll();
    EXPECT_EQ(audio->Of(AudioCall::Load).size(), 19u);
    EXPECT_EQ(player->m_lastPattern[0], 0);
    EXPECT_EQ(player->m_lastPattern[2], 4);
    EXPECT_EQ(Value(12, 0, 0, 0), 0) << "the first tune's data is gone";
}

TEST_F(TuneLoadTest, AMissingTuneImagePlaysSilence) {
    Png png(512, 512);
    for (int row = 0; row < 64; ++row) {
        png.Set(0, 16, row, 13 << 3);
        png.Set(0, 17, row, 20 << 3);
    }
    png.Write("data/tunes/real.png");
    player->p_SQ_StartTune(String("real"), 1, 100);
    LoadAll();
    ASSERT_EQ(Value(0, 2, 0, 0), 13);

    player->p_SQ_StartTune(String("absent"), 1, 100);
    LoadAll();
    int nonZero = 0;
    for (int i = 0; i < c_SQPlayer::TUNE_SIZE; ++i) nonZero += player->m_tuneData[i] != 0;
    EXPECT_EQ(nonZero, 0);
    GiveInstruments();  // no instrument files here either
    for (int v = 0; v < 5; ++v) player->m_voiceMuted[v] = 0;
    audio->calls.clear();
    for (int i = 0; i < 64; ++i) PlayRow();
    EXPECT_TRUE(audio->Of(AudioCall::Play).empty());
    EXPECT_EQ(player->m_playState, 2) << "the player runs on, silent";
}

TEST_F(TuneLoadTest, TheGamesTestTunesAndInstrumentsLoad) {
    const std::string data = KQ_DATA_DIR;
    if (!fs::exists(data + "/tunes/tune1.png")) GTEST_SKIP() << "generated data not present";
    fs::remove_all("data");
    fs::create_directory_symlink(data, "data");

    for (int game = 1; game <= 3; ++game) {
        const String name = bb_sequencer_TestTune(game);
        SCOPED_TRACE(name.ToUtf8());
        player = (new c_SQPlayer)->m_new();
        player->p_SQ_Init(32, 4, 3, 3, 4);
        player->p_SQ_StartTune(name, 37171650, 100);
        LoadAll();
        for (int s = 1; s <= 8; ++s) {
            EXPECT_NE(player->m_kitA[s], nullptr) << "kit A sample " << s;
            EXPECT_NE(player->m_kitB[s], nullptr) << "kit B sample " << s;
        }
        for (int i = 2; i <= 4; ++i) EXPECT_NE(player->m_instruments[i], nullptr) << "instrument " << i;
        for (int lane = 0; lane < 5; ++lane) EXPECT_GE(player->m_lastPattern[lane], 1) << "lane " << lane;
    }
    EXPECT_EQ(bb_sequencer_TestTune(4).Length(), 0) << "only games 1 to 3 have a tune";
}
