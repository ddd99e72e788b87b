#pragma once

// The printed forms are laid out in DejaVu Sans. Linux has it from its font package; on
// Windows the program carries the font files in its folder "fonts", loaded here once.
namespace AppFonts
{

void ensureLoaded();

} // namespace AppFonts
