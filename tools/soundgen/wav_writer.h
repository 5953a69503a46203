// Minimal RIFF/WAVE writer for the sound generator: mono 16-bit PCM with the
// "fmt " chunk first and the "data" chunk after it, which is all the game's
// WAV reader accepts.
#pragma once
#include <string>
#include <vector>

namespace soundgen {

// Writes samples (nominally -1..1, clamped) as 16-bit mono PCM at `rate`.
// Returns false and fills `error` when the file cannot be written.
bool WriteWav(const std::string& path, const std::vector<float>& samples, int rate, std::string* error);

}  // namespace soundgen
