// The game's module globals and the credit lines of the credits box.
#include "game/globals.h"

float bb_Game_rawscrw = 480.0f;
float bb_Game_rawscrh = 270.0f;
float bb_Game_jscrw = 480.0f;
float bb_Game_jscrh = 270.0f;
float bb_Game_overscan = 0;
int bb_Game_iCadeControls = 0;
int bb_Game_OnScreenControls = 0;
int bb_Game_AccelerometerControls = 0;
int bb_Game_HasMusic = 0;
int bb_Game_HasMusicStream = 0;
int bb_Game_DebugMode = 0;
int bb_Game_isOuya = 0;
Array<String> bb_Game_CreditText;

Array<String> bb_Game_MakeCreditText() {
    static const char* const lines[48] = {
        "",
        "A Game by",
        "Quill Kestrel",
        "www.example.com",
        "",
        "-=-=-",
        "",
        "Developed using",
        "Zorbel",
        "zorbel.example.org",
        "",
        "-=-=-",
        "",
        "Graphics",
        "",
        "Most graphics by",
        "Quill Kestrel",
        "",
        "Font : CPC",
        "our own, after 8-bit machines",
        "",
        "",
        "-=-=-",
        "",
        "Audio",
        "",
        "Sound and Music by",
        "Quill Kestrel",
        "using a square wave,",
        "a triangle wave,",
        "a noise generator,",
        "an envelope",
        "or whatever else",
        "is handy!",
        "",
        "-=-=-",
        "",
        "Thanks to",
        "Pixel Wren",
        "Byte Heron",
        "Loop Finch",
        "Chip Plover",
        "Tape Lark",
        "and everyone else",
        "at forum.example.net",
        "",
        "-=-=-",
        "End",
    };
    Array<String> text(48);
    for (int i = 0; i < 48; ++i) text[i] = String(lines[i]);
    return text;
}
