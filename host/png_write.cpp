// The one place stb_image_write is compiled, for whatever writes PNG files
// (screenshots, the asset generators, test pictures): include
// <stb/stb_image_write.h> and call stbi_write_png.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
