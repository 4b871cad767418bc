#pragma once
// The console column's group frames, drawn by a small style over the application's own rather
// than by a style sheet: a sheet on a group sends every paint of the group and of each button
// in it through the slower styled path, which a drag of the window's edge pays on every step.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QProxyStyle>

#include <optional>

namespace mv {

class GroupFrameStyle : public QProxyStyle {
  public:
    // Over the application's style; set on each group with QWidget::setStyle, which leaves the
    // group's buttons on the application's style.
    GroupFrameStyle();

    // The group's ground (inside the frame and under the title, perhaps translucent), its
    // border and title colours, and the flat colour the groups stand on.
    void SetColours(const QColor& back, const QColor& border, const QColor& title,
                    const QColor& under);
    // Pixels between the frame's top edge and the group's contents: 6, or 2 in compact rows.
    // A group takes a new value when it is sent a style change.
    void SetTopPadding(int pixels) { topPadding_ = pixels; }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;

  private:
    // A rounded frame, `radius` pixels at the corners, a one-pixel border round the ground.
    void DrawFrame(QPainter& p, const QRect& r, int radius, const QColor& ground) const;

    QColor back_, border_, title_;
    QColor frameGround_; // back_ laid over the colour under the groups, opaque
    int topPadding_ = 6;
    // The title's font and its metrics, kept: a group asks for its rectangles on every paint.
    mutable QFont titleFont_;
    mutable std::optional<QFontMetrics> titleMetrics_;
};

} // namespace mv
