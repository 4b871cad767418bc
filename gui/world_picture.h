#pragma once
// A retained picture with a world coordinate window, as the radar face and the true-motion
// plot need: what is drawn stays drawn (and does not move when the window is re-centred), and
// overlay items placed in world units are painted on top until they are moved again.
//
// World coordinates are (horizontal, vertical) pairs; the radar passes (east, north) in
// nautical miles and gives the window a negative height so that north is up.

#include "gui/raster.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QStaticText>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QPainter;

namespace mv {

class WorldPicture {
  public:
    enum class Fill { Solid, Transparent };

    WorldPicture();
    // An image of that size in logical pixels, at the given device pixel ratio, cleared to
    // the background colour. Overlay items keep their relative places. A drag of the window
    // edge resizes many times a second, so the pixels live in one buffer that is only
    // allocated again when it must grow (or is far too big); a copy of the image taken before
    // keeps its own pixels.
    void resize(QSize logicalSize, qreal devicePixelRatio = 1.0);
    QSize size() const { return size_; }
    qreal devicePixelRatio() const { return dpr_; }

    // The world window: left and top edge, width and height (negative height: up is +).
    void setWindow(double left, double top, double width, double height);
    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }

    // Logical pixel of a world point, and back.
    QPointF toPixel(double h, double v) const;
    QPointF toWorld(QPointF pixel) const;
    // World units per logical pixel, across and down (the second is negative with north up).
    double unitsPerPixelX() const;
    double unitsPerPixelY() const;

    void setBackground(QColor c) { background_ = c; }
    void setPenWidth(int pixels) { penWidth_ = pixels < 1 ? 1 : pixels; }
    int penWidth() const { return penWidth_; }
    void setFill(Fill fill, QColor colour = Qt::black) { fill_ = fill, fillColour_ = colour; }

    // Drawing into the retained image.
    void clear();
    void line(double h1, double v1, double h2, double v2, QColor colour);
    // Many lines in one colour and the current pen width, smoothed and round-ended.
    struct Segment {
        double h1, v1, h2, v2;
    };
    void lines(const std::vector<Segment>& segments, QColor colour);
    // A circle about (h, v); the radius is in horizontal world units. Filled when the fill is
    // solid, outlined in the colour.
    void circle(double h, double v, double radius, QColor colour);
    // The disc of `radius` world units plus `marginPixels` logical pixels about (h, v): filled
    // with a colour, or kept (what in it differs from `background`) to be laid down again.
    void fillDisc(double h, double v, double radius, double marginPixels, QColor colour);
    // Only the bands given (radii in world units, each widened by two logical pixels) are
    // searched for what differs from the background; none given, the whole disc.
    void keepDisc(KeptDisc& kept, double h, double v, double radius, double marginPixels,
                  QColor background, const std::vector<KeptDisc::Band>& bands = {});
    // Laying down again the disc last kept or laid down only puts back what was drawn over
    // since: a range step that keeps its face then costs next to nothing.
    void restoreDisc(const KeptDisc& kept);
    // One device pixel, crisp.
    void point(double h, double v, QColor colour);
    const QImage& image() const { return image_; }
    // The colour of the logical pixel (x, y) of the image, for tests.
    QColor pixel(int x, int y) const;

    // Overlay items, by name. Each is declared once with its kind; setting or moving a name
    // that was never declared is a programming error (a debug build stops on it, a release
    // build ignores it). Positions are taken in world units and kept as places on the
    // picture: re-centring the window does not move them, a resize scales them.
    enum class ItemKind { Line, Circle, Label, Image, Points };
    void declare(const QString& name, ItemKind kind, bool visible = true);
    bool isDeclared(const QString& name) const { return items_.count(name) != 0; }
    // Told of every name as it is declared (the widget makes a findable object of it).
    void setDeclareObserver(std::function<void(const QString&)> observer) {
        declareObserver_ = std::move(observer);
    }
    // A dashed line is something predicted rather than seen.
    void setOverlayLine(const QString& name, double h1, double v1, double h2, double v2,
                        QColor colour, int widthPixels, Qt::PenStyle style = Qt::SolidLine);
    void setOverlayCircle(const QString& name, double h, double v, double radius, QColor colour,
                          Qt::PenStyle style = Qt::SolidLine);
    // Dots of `sizePixels` logical pixels at world points (h, v), as a trail of past positions.
    void setOverlayPoints(const QString& name, const std::vector<QPointF>& points, QColor colour,
                          int sizePixels);
    // A picture with its top-left corner at (left, top) in world units, drawn at its own size
    // in logical pixels (an image with a device pixel ratio of 2 stays sharp on such screens).
    void setOverlayImage(const QString& name, const QImage& image, double left, double top);
    // A label with its top-left corner at (left, top) in world units.
    void setLabel(const QString& name, const QString& text, QColor colour);
    // The caption alone, in the label's colour.
    void setText(const QString& name, const QString& text);
    void moveLabel(const QString& name, double left, double top);
    void setLabelFont(const QFont& font);
    QFont labelFont() const { return labelFont_; }
    // Width and height of a label's text in world units (positive), for centring it.
    double labelWidth(const QString& name) const;
    double labelHeight(const QString& name) const;
    QString labelText(const QString& name) const;
    void setVisible(const QString& name, bool visible);
    bool isVisible(const QString& name) const;
    // The colour alone, of a line, circle or label, where it stands.
    void setColour(const QString& name, QColor colour);
    QColor colour(const QString& name) const;
    // Where a label's top-left corner or a line's ends lie, in logical pixels (for tests).
    QPointF labelTopLeft(const QString& name) const;
    QLineF overlayLine(const QString& name) const;

    // Paints the image and then the overlays into a painter whose device has this size.
    void paint(QPainter& painter) const;
    // The image with the overlays painted on top, at the device pixel ratio.
    QImage render() const;

  private:
    struct Item {
        using Kind = ItemKind;
        static constexpr Kind Line = Kind::Line, Circle = Kind::Circle, Label = Kind::Label,
                              Image = Kind::Image, Points = Kind::Points;
        Kind kind = Kind::Line;
        QPointF a, b; // fractions of the picture: line ends, circle centre and edge, label corner
        QColor colour;
        int width = 1;
        Qt::PenStyle style = Qt::SolidLine;
        QString text;
        // The text's lines laid out once, when the text changes: a repaint of the picture
        // (every tick, every range step) then only places the glyphs.
        std::vector<QStaticText> lines;
        // The widest line's width in logical pixels in the label font, worked out when first
        // asked for (labels are centred on every range step); below zero until then.
        mutable double advance = -1;
        // The text before, with its width if it was asked for: a read-out mostly goes back to
        // the text it had (a range step back and forth), and is not measured again.
        QString previous;
        double previousAdvance = -1;
        // The text as painted, kept for the last two texts, colours, fonts and pixel ratios
        // it was painted in: drawing the glyphs costs some ten times as much as laying the
        // picture of them down, and a caption mostly repeats itself (a range step back and
        // forth shows two range captions in turn). The latest first.
        struct Rendered {
            QString text;
            QRgb colour = 0;
            qreal ratio = 0;
            unsigned font = 0;
            QImage image;
        };
        mutable std::array<Rendered, 2> rendered;
        QImage image;
        std::vector<QPointF> points; // fractions of the picture
        bool visible = true;
    };
    QPointF toFraction(double h, double v) const;
    QPointF fromFraction(QPointF f) const;
    QPointF devicePoint(double h, double v) const;
    Item* find(const QString& name);
    static void setItemText(Item& it, const QString& text);
    // Notes that the image was drawn on within `device` (device pixels), or over all of it.
    void drawnOn(QRectF device);
    void drawnAll() { laid_ = 0; }
    // A label's text painted into a transparent image at the ratio, from the item's kept ones.
    const QImage& labelImage(const Item& it, qreal ratio) const;

    QSize size_;
    qreal dpr_ = 1.0;
    double left_ = 0, top_ = 0, width_ = 1, height_ = -1;
    QColor background_ = Qt::black;
    int penWidth_ = 1;
    Fill fill_ = Fill::Solid;
    QColor fillColour_ = Qt::black;
    // The pixels under image_, and how many bytes they hold. The image holds a share of them,
    // so a buffer still shared at a resize belongs to someone's copy and is left to it.
    std::shared_ptr<uchar[]> pixels_;
    std::size_t capacity_ = 0;
    QImage image_;
    // The kept disc the image last matched (0: none), and where it was drawn on since, as a
    // few rectangles in device pixels.
    std::uint64_t laid_ = 0;
    std::vector<QRect> drawnSince_;
    QFont labelFont_;
    unsigned fontGeneration_ = 0;    // counts the label fonts set, to key the painted labels
    mutable double lineHeight_ = -1; // of the label font in logical pixels, once asked for
    std::map<QString, Item> items_;
    // A paint's visible items in name order, and the pixels its strokes covered in the image;
    // kept between paints so that neither is allocated again.
    mutable std::vector<const Item*> shown_;
    mutable PixelLog strokeLog_;
    std::function<void(const QString&)> declareObserver_;
};

} // namespace mv
