// Panel: a flat container with an outer bevel and an optional caption centred in it,
// the building block of the updater's window layouts.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <utility>
#include <vector>

namespace torvik {

class Panel : public QWidget {
public:
    enum class Bevel {
        Raised,  // light upper-left edge, dark lower-right edge
        Space,   // no line drawn; the width is left empty
        None,
    };

    explicit Panel(QWidget* parent, Bevel bevel = Bevel::Raised, int bevelWidth = 1);

    void SetCaption(const QString& caption);
    const QString& Caption() const { return caption_; }
    void SetTextColor(const QColor& color);
    int BevelWidth() const { return bevel_ == Bevel::None ? 0 : bevelWidth_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Bevel bevel_;
    int bevelWidth_;
    QString caption_;
    QColor textColor_;
};

// Keeps children at their distance from the right edge of their parent when the
// parent is resized (a control anchored to the top and right).
class RightAnchors : public QObject {
public:
    // designWidth is the parent's width the children's positions were designed for.
    RightAnchors(QWidget* parent, int designWidth);
    void Add(QWidget* child);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* parent_;
    int designWidth_;
    std::vector<std::pair<QWidget*, int>> children_;  // child, distance from the right edge
};

}  // namespace torvik
