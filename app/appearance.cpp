#include "app/appearance.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QScreen>
#include <QWidget>

// The pictures live in a static library, whose resources load only when asked for by name; the
// macro must stand outside any namespace.
static void InitResources()
{
    Q_INIT_RESOURCE(olkmixer);
}

namespace olk {

void ApplyAppearance(QApplication& application)
{
    InitResources();
    // The forms were laid out for an 8-point system font; Liberation Sans at 10 pixels takes
    // the same room, so every caption fits its control.
    QFont font("Liberation Sans");
    font.setPixelSize(10);
    QApplication::setFont(font);
    application.setApplicationName("OLKmixer");
    application.setWindowIcon(QIcon(":/images/olkmixer.png"));
}

void CentreOnScreen(QWidget& window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

} // namespace olk
