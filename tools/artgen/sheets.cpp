// Level-1 sizes and frame grids of every image file of the game.
#include "sheets.h"

namespace kqart {

const std::vector<SheetSpec>& sheetSpecs() {
    static const std::vector<SheetSpec> specs = {
        {"gfx", 256, 256, 16, 16, 256, true},
        {"BadgesA", 512, 512, 64, 64, 64, true},
        {"fonts/cpc", 256, 128, 16, 16, 128, true},
        {"common/Testcard_Circle", 256, 256, 256, 256, 1, true},
        {"common/TarnLogo", 256, 256, 256, 256, 1, true},
        {"common/dpad", 128, 128, 32, 32, 16, true},
        {"common/Buttons", 256, 256, 64, 64, 16, true},
        {"parts", 128, 128, 8, 8, 256, true},
        {"icons", 128, 128, 32, 32, 16, true},
        {"logo", 256, 128, 256, 128, 1, true},
        {"menu", 512, 512, 256, 256, 4, true},
        {"vexa_font", 960, 8, 10, 8, 96, false},
    };
    return specs;
}

}  // namespace kqart
