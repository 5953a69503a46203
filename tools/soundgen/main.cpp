// kq-soundgen: writes the game's sound effects, sequencer instruments and
// tune images into a data folder from the recipes and tune sources under
// assets/sound. Usage: kq-soundgen OUTPUT_DIR [SOURCE_DIR]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>

#include <stb/stb_image_write.h>

#include "recipe.h"
#include "tune.h"
#include "wav_writer.h"

namespace fs = std::filesystem;
using namespace soundgen;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every file the game and its sequencer load; a missing recipe is an error
// rather than a silent gap in the data folder.
std::set<std::string> RequiredSounds() {
    std::set<std::string> names;
    for (int slot : {1, 2, 3, 11, 12, 13, 14, 15, 16, 17, 18, 19, 95, 96, 97, 98, 99}) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "sfx/%03d", slot);
        names.insert(buf);
    }
    for (int kit = 1; kit <= 4; ++kit) {
        for (int s = 1; s <= 8; ++s) names.insert("inst/d" + std::to_string(kit) + "-" + std::to_string(s));
    }
    for (int i = 1; i <= 3; ++i) {
        names.insert("inst/lead" + std::to_string(i));
        names.insert("inst/accompany" + std::to_string(i));
    }
    for (int i = 1; i <= 4; ++i) names.insert("inst/bass" + std::to_string(i));
    return names;
}

void Write(const fs::path& out, const std::string& name, const std::vector<float>& samples, int rate) {
    const fs::path path = out / (name + ".wav");
    fs::create_directories(path.parent_path());
    std::string error;
    if (!WriteWav(path.string(), samples, rate, &error)) throw std::runtime_error(error);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [SOURCE_DIR]\n", argv[0]);
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path src = argc > 2 ? fs::path(argv[2]) : fs::path(KQ_SOUND_SOURCE_DIR);
    try {
        RecipeBook book;
        std::vector<fs::path> recipeFiles, tuneFiles;
        for (const auto& entry : fs::recursive_directory_iterator(src)) {
            if (entry.path().extension() == ".sfx") recipeFiles.push_back(entry.path());
            if (entry.path().extension() == ".tune") tuneFiles.push_back(entry.path());
        }
        std::sort(recipeFiles.begin(), recipeFiles.end());
        std::sort(tuneFiles.begin(), tuneFiles.end());
        for (const fs::path& p : recipeFiles) ParseRecipes(ReadFile(p), p.filename().string(), &book);

        std::set<std::string> missing = RequiredSounds(), written;
        auto record = [&](const std::string& name) {
            if (!written.insert(name).second) throw std::runtime_error("two recipes for " + name);
            missing.erase(name);
        };
        for (const Sound& s : book.sounds) {
            record(s.name);
            Write(out, s.name, RenderSound(s), s.rate);
        }
        for (const Loop& l : book.loops) {
            record(l.name);
            int cycles = 0;
            std::vector<float> samples = RenderLoop(l, &cycles);
            Write(out, l.name, samples, l.rate);
        }
        if (!missing.empty()) throw std::runtime_error("no recipe for " + *missing.begin());

        for (const fs::path& p : tuneFiles) {
            Tune tune = ParseTune(ReadFile(p), p.filename().string());
            const fs::path path = out / (tune.name + ".png");
            fs::create_directories(path.parent_path());
            std::vector<uint8_t> px = TunePixels(tune);
            if (!stbi_write_png(path.string().c_str(), 512, 512, 4, px.data(), 512 * 4)) {
                throw std::runtime_error("cannot write " + path.string());
            }
        }
        std::printf("kq-soundgen: %zu sounds, %zu tunes\n", written.size(), tuneFiles.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kq-soundgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
