// Ogg Vorbis encoding of test sounds through libvorbisenc, for the decoder's
// tests and the fuzzer's seed inputs.
#pragma once
#include <string>
#include <vector>

// channels[c] holds the samples of channel c (-1 to 1, all of one length),
// encoded in that order as one Ogg Vorbis stream at the given rate; empty
// when the encoder refuses the layout.
std::string EncodeOgg(const std::vector<std::vector<float>>& channels, int rate);
