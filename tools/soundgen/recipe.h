// Reader for sound recipes: text files of "sound" and "loop" blocks made of
// tone, melody and layer lines with key=value settings.
#pragma once
#include <string>
#include <vector>

#include "synth.h"

namespace soundgen {

struct RecipeBook {
    std::vector<Sound> sounds;
    std::vector<Loop> loops;
};

// Parses one recipe file into `book`. Throws std::runtime_error naming the
// file and line for anything it does not understand.
void ParseRecipes(const std::string& text, const std::string& fileName, RecipeBook* book);

}  // namespace soundgen
