#include "ui/design_fonts.h"

#include <QStringList>
#include <mutex>

namespace torvik {
namespace {

void InstallSubstitutes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Metrically close free fonts first, then any sans-serif font.
        QFont::insertSubstitutions(
            QStringLiteral("Arial"),
            QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
        QFont::insertSubstitutions(
            QStringLiteral("MS Sans Serif"),
            QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
        QFont::insertSubstitutions(QStringLiteral("Trebuchet MS"),
                                   QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    });
}

}  // namespace

QFont DesignFont(const QString& family, int pixelHeight, bool bold)
{
    InstallSubstitutes();
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

QFont DefaultWindowFont()
{
    return DesignFont("MS Sans Serif", 11);
}

}  // namespace torvik
