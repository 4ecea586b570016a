#pragma once
// The look every window shares: an 8-point sans-serif at the size the forms were laid out for.
class QApplication;

namespace olk {

void ApplyAppearance(QApplication& application);

} // namespace olk
