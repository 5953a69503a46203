// kq-fuzz-seeds DATA_DIR CORPUS_DIR: the seed inputs of every fuzz target,
// made from the game's own data: its save text (fresh and with scores and
// badges) as state and as UTF-8 and UTF-16 text files, its smaller PNG and
// WAV files, and some of its sound effects encoded as Ogg Vorbis (mono,
// stereo and three channels, so that the mix-down is reached).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/wav.h"
#include "fuzz/fuzz_support.h"
#include "game/myapp.h"
#include "tools/oggenc/ogg_encode.h"

namespace fs = std::filesystem;

namespace {

// Files below this size keep the fuzzer's inputs small and its runs fast.
const uintmax_t kMaxSeedBytes = 8192;

bool WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out);
}

std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return out;
}

// Copies the data files of one extension that are small enough.
int CopySmall(const fs::path& data, const std::string& ext, const fs::path& dir) {
    int n = 0;
    for (auto& e : fs::recursive_directory_iterator(data)) {
        if (!e.is_regular_file() || e.path().extension() != ext || e.file_size() > kMaxSeedBytes) continue;
        fs::copy_file(e.path(), dir / e.path().filename(), fs::copy_options::overwrite_existing);
        ++n;
    }
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: kq-fuzz-seeds DATA_DIR CORPUS_DIR\n");
        return 2;
    }
    fs::path data = fs::absolute(argv[1]), corpus = fs::absolute(argv[2]);
    for (const char* target : {"state", "string", "wav", "png", "ogg"}) fs::create_directories(corpus / target);

    c_MyApp* app = BootGame();
    std::string fresh = app->p_SaveText().ToUtf8();
    for (int i = 0; i < 25; ++i) app->m_options[i] = i * 37 - 100;
    for (int i = 0; i < 256; i += 3) app->m_badges[i] = true;
    for (int i = 0; i < 140; ++i) app->m_scoreTable[i] = i * 104729;
    std::string rich = app->p_SaveText().ToUtf8();
    const fs::path state = corpus / "state", text = corpus / "string";
    bool ok = WriteFile(state / "fresh", fresh) && WriteFile(state / "rich", rich) && WriteFile(text / "utf8", rich) &&
              WriteFile(text / "utf8-bom", "\xEF\xBB\xBF" + rich) && WriteFile(text / "utf16le", Utf16(fresh, false)) &&
              WriteFile(text / "utf16be", Utf16(fresh, true)) &&
              WriteFile(text / "multibyte", "Kestrel \xC2\xA9 1986 \xE2\x80\x94 |\xE2\x82\xAC|");

    int pngs = CopySmall(data, ".png", corpus / "png");
    int wavs = CopySmall(data, ".wav", corpus / "wav");

    FILE* f = fopen((data / "sfx" / "098.wav").c_str(), "rb");
    int length = 0, channels = 0, bytes = 0, rate = 0;
    unsigned char* pcm = f ? LoadWAV(f, &length, &channels, &bytes, &rate) : nullptr;
    if (f) fclose(f);
    if (!pcm || bytes != 2) {
        fprintf(stderr, "kq-fuzz-seeds: cannot read %s as 16-bit PCM\n", (data / "sfx" / "098.wav").c_str());
        return 1;
    }
    // Each channel a copy of the sound at its own gain.
    std::vector<std::vector<float>> sound;
    for (int ch = 1; ch <= 3; ++ch) {
        sound.emplace_back(static_cast<size_t>(length));
        for (int i = 0; i < length; ++i)
            sound.back()[size_t(i)] = reinterpret_cast<short*>(pcm)[i * channels] / 32768.0f / float(ch);
        std::string name = "sfx098-" + std::to_string(ch) + "ch.ogg";
        ok = ok && WriteFile(corpus / "ogg" / name, EncodeOgg(sound, rate));
    }
    free(pcm);

    if (!ok || pngs == 0 || wavs == 0) {
        fprintf(stderr, "kq-fuzz-seeds: could not write the seeds into %s (is %s the built data folder?)\n",
                corpus.c_str(), data.c_str());
        return 1;
    }
    return 0;
}
