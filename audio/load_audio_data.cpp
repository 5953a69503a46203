// The host's entry point for sound files: opens a data path and hands the
// stream to the decoder its extension names (.wav or .ogg).
#include "audio/wav.h"
#include "host/glfw_game.h"

unsigned char* BBGlfwGame::LoadAudioData(String path, int* length, int* channels, int* bytesPerSample, int* rate) {
    String lower = path.ToLower();
    bool wav = lower.EndsWith(String(".wav"));
    bool ogg = lower.EndsWith(String(".ogg"));
    if (!wav && !ogg) return nullptr;
    FILE* f = OpenFile(path, String("rb"));
    if (!f) return nullptr;
    unsigned char* data =
        wav ? LoadWAV(f, length, channels, bytesPerSample, rate) : LoadOGG(f, length, channels, bytesPerSample, rate);
    fclose(f);
    return data;
}
