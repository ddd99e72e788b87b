#pragma once

#include <QColor>

// The look every window shares: disabled controls that show data stay legible, and a field
// that can only be read looks so.
namespace AppStyle
{

// Sets the application's palette and style sheet; call once the application exists.
void apply();
// The contrast ratio of two colours (1 to 21), as the accessibility guidelines reckon it.
double contrast(const QColor &a, const QColor &b);

} // namespace AppStyle
