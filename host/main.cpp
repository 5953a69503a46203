// Process entry of the game.
#include "host/glfw_game.h"

int main(int argc, const char** argv) {
    BBZorbelGame::Main(argc, argv);
    return 0;
}
