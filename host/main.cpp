// Process entry of the game.
#include "host/glfw_game.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, const char** argv) {
#ifdef __GLIBC__
    // Every window size change reloads the images and sounds, so buffers of
    // up to tens of megabytes come and go. After the first big one is freed
    // glibc would raise its mapping threshold and serve later ones from the
    // heap, which keeps freed memory resident; with the threshold fixed each
    // big buffer has a mapping of its own, handed back when it is freed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    BBZorbelGame::Main(argc, argv);
    return 0;
}
