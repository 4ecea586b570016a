#pragma once
// The look every window shares: an 8-point sans-serif at the size the forms were laid out for.
class QApplication;
class QWidget;

namespace olk {

void ApplyAppearance(QApplication& application);

// Centres the window, frame included, on the screen as it is now.
void CentreOnScreen(QWidget& window);

} // namespace olk
