// Writing pixels read back from the screen as a PNG file.
#pragma once
#include <string>

// Writes w x h pixels (0xAARRGGBB, rows from the top) as an opaque PNG to a
// new file at path; an existing file is never replaced. Returns 0, or the
// errno value that says why the file could not be written (EEXIST when the
// name is taken).
int bb_graphics_WritePng(const std::string& path, const int* argb, int w, int h);
