#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace torvik {

// Puts a top-level window in the middle of the screen it is on.
inline void CentreOnScreen(QWidget& window)
{
    const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
    }
}

}  // namespace torvik
