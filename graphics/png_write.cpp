// PNG files from screen pixels: stb_image_write encodes the picture in
// memory, then it goes to a newly created file with every write checked.
#include "graphics/png_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

int bb_graphics_WritePng(const std::string& path, const int* argb, int w, int h) {
    if (w <= 0 || h <= 0) return EINVAL;
    std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
        const uint32_t p = static_cast<uint32_t>(argb[i]);
        rgba[4 * i] = static_cast<unsigned char>(p >> 16);
        rgba[4 * i + 1] = static_cast<unsigned char>(p >> 8);
        rgba[4 * i + 2] = static_cast<unsigned char>(p);
        rgba[4 * i + 3] = 255;
    }
    std::vector<unsigned char> png;
    if (!stbi_write_png_to_func(AppendBytes, &png, w, h, 4, rgba.data(), w * 4)) return ENOMEM;

    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return errno;
    size_t written = 0;
    int error = 0;
    while (written < png.size()) {
        const ssize_t n = write(fd, png.data() + written, png.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        written += static_cast<size_t>(n);
    }
    if (close(fd) != 0 && error == 0) error = errno;
    // A half-written picture is worse than none.
    if (error != 0) unlink(path.c_str());
    return error;
}
