// The fonts the windows were designed with, by family and pixel height. Families that
// are not installed fall back to the closest installed sans-serif font.
#pragma once

#include <QFont>

namespace torvik {

QFont DesignFont(const QString& family, int pixelHeight, bool bold = false);

// The default font of every updater window: "MS Sans Serif" 8 point (11 pixels).
QFont DefaultWindowFont();

}  // namespace torvik
