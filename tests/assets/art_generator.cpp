// Runs the image generator on copies of its sources: clean ones generate,
// and a broken one stops it with the file and line of the fault and a
// failing exit status instead of a half-right picture.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::stringstream ss;
    ss << std::ifstream(path).rdbuf();
    return ss.str();
}

// Copies assets/ to a scratch folder, applies the edits {file, from, to}
// and runs the generator on it; returns its exit status and its stderr.
std::pair<int, std::string> Generate(const std::vector<std::array<std::string, 3>>& edits) {
    const fs::path dir = fs::temp_directory_path() / ("kq-art-test-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(fs::path(KQ_SOURCE_DIR) / "assets", dir / "assets", fs::copy_options::recursive);
    for (const auto& [file, from, to] : edits) {
        std::string text = ReadFile(dir / "assets" / file);
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) std::ofstream(dir / "assets" / file) << text.replace(at, from.size(), to);
    }
    const std::string command = std::string("'") + KQ_BINARY_DIR + "/tools/artgen/kq-artgen' '" +
                                (dir / "out").string() + "' '" + (dir / "assets").string() + "' 2>'" +
                                (dir / "err.txt").string() + "' >/dev/null";
    const int status = std::system(command.c_str());
    std::pair<int, std::string> result{status, ReadFile(dir / "err.txt")};
    if (status == 0 && !fs::exists(dir / "out/common/TarnLogo-hd2.png")) result.second = "no TarnLogo-hd2.png";
    fs::remove_all(dir);
    return result;
}

}  // namespace

TEST(ArtGenerator, CleanSourcesGenerate) {
    const auto [status, errors] = Generate({});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(errors, "");
}

TEST(ArtGenerator, ABrokenSourceStopsItWithTheFileAndLineOfTheFault) {
    using Edit = std::array<std::string, 3>;
    const std::string trail = "frame 48 player's light trail (one 8 x 8 grid cell)\n", row = "................";
    const std::vector<std::pair<std::vector<Edit>, std::string>> faults = {
        // A row one character too long, and a later one a character short.
        {{{"art/gfx.txt", trail + row, trail + row + "."},
          {"art/gfx.txt", "frame 49 pickup\n" + row, "frame 49 pickup\n."}},
         "gfx.txt:330: row of frame 48 has 17 characters"},
        {{{"fonts/cpc.txt", "frame 65 A\n..###...", "frame 65 A\n..#Z#..."}}, "'Z' is not in the legend"},
        {{{"art/gfx.txt", "frame 69 like 68 r=W", "frame 69 like 67 r=W"}}, "like needs an earlier frame"},
    };
    for (const auto& [edits, message] : faults) {
        const auto [status, errors] = Generate(edits);
        EXPECT_NE(status, 0) << message;
        EXPECT_NE(errors.find(message), std::string::npos) << errors;
    }
}
