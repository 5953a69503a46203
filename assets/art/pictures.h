// Builders of the drawn pictures (icons, buttons, badges, logos, test card,
// menu pictures, star pieces). Each returns the whole level-1 sheet.
#pragma once
#include "tools/artgen/artkit.h"

namespace kqart {

Canvas makeIcons(const ArtKit& kit);
Canvas makeDpad(const ArtKit& kit);
Canvas makeButtons(const ArtKit& kit);
Canvas makeBadges(const ArtKit& kit);
Canvas makeTestCard(const ArtKit& kit);
Canvas makeStudioLogo(const ArtKit& kit);
Canvas makeTitleLogo(const ArtKit& kit);
Canvas makeMenu(const ArtKit& kit);
Canvas makeParts(const ArtKit& kit);
// The application icon at its smallest size, kAppIconSize square; larger
// sizes are whole multiples of it.
const int kAppIconSize = 32;
Canvas makeAppIcon(const ArtKit& kit);

// Shape helpers shared by the builders.
void drawStar(Canvas& c, double cx, double cy, double rOut, double rIn, Rgba col);
void drawPolygon(Canvas& c, double cx, double cy, double r, int n, double turn, Rgba col);

}  // namespace kqart
