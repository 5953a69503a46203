// Runs the image generator on broken copies of its sources: it must stop
// with the file and line of the fault and a failing exit status, never write
// a half-right picture.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string kGenerator = std::string(KQ_BINARY_DIR) + "/tools/artgen/kq-artgen";

std::string readFile(const std::string& path) {
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

struct Scratch {
  std::string dir;
  Scratch() {
    char tmpl[] = "/tmp/kq-art-test-XXXXXX";
    const char* d = mkdtemp(tmpl);
    dir = d ? d : "";
    std::string cmd = "cp -r '" + std::string(KQ_SOURCE_DIR) + "/assets' '" + dir + "/assets'";
    copied = !dir.empty() && std::system(cmd.c_str()) == 0;
  }
  ~Scratch() {
    if (!dir.empty() && std::system(("rm -rf '" + dir + "'").c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", dir.c_str());
  }
  // Runs the generator; returns its exit status and leaves stderr in `errors`.
  int run(std::string& errors) const {
    std::string cmd = "'" + kGenerator + "' '" + dir + "/out' '" + dir + "/assets' 2>'" + dir + "/err.txt' >/dev/null";
    int status = std::system(cmd.c_str());
    errors = readFile(dir + "/err.txt");
    return status;
  }
  void replace(const std::string& file, const std::string& from, const std::string& to) const {
    std::string path = dir + "/assets/" + file, text = readFile(path);
    size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    std::ofstream(path) << text;
  }
  bool copied = false;
};

TEST(ArtGenerator, CleanSourcesGenerate) {
  Scratch s;
  ASSERT_TRUE(s.copied);
  std::string errors;
  EXPECT_EQ(s.run(errors), 0) << errors;
  std::ifstream logo(s.dir + "/out/common/TarnLogo-hd2.png");
  EXPECT_TRUE(logo.good());
}

TEST(ArtGenerator, ShortRowIsRejectedWithItsLine) {
  Scratch s;
  ASSERT_TRUE(s.copied);
  // Frame 49 (the pickup) loses one character from its fifth row.
  s.replace("art/gfx.txt", "frame 49 pickup\n................\n................\n................\n................\n.......yy.......",
            "frame 49 pickup\n................\n................\n................\n................\n.......yy......");
  std::string errors;
  EXPECT_NE(s.run(errors), 0);
  EXPECT_NE(errors.find("gfx.txt:"), std::string::npos) << errors;
  EXPECT_NE(errors.find("frame 49"), std::string::npos) << errors;
}

TEST(ArtGenerator, UnknownInkAndMissingFrameAreRejected) {
  {
    Scratch s;
    ASSERT_TRUE(s.copied);
    s.replace("fonts/cpc.txt", "frame 65 A\n..###...", "frame 65 A\n..#Z#...");
    std::string errors;
    EXPECT_NE(s.run(errors), 0);
    EXPECT_NE(errors.find("'Z' is not in the legend"), std::string::npos) << errors;
  }
  {
    Scratch s;
    ASSERT_TRUE(s.copied);
    // Copies must name a frame defined before them.
    s.replace("art/gfx.txt", "frame 69 like 68 r=W", "frame 69 like 67 r=W");
    std::string errors;
    EXPECT_NE(s.run(errors), 0);
    EXPECT_NE(errors.find("like needs an earlier frame"), std::string::npos) << errors;
  }
}

}  // namespace
