// Writes movie files: shapes, device-font text fields, buttons and sprites on
// timelines with actions. Coordinates are twips (1/20 pixel) throughout.
#pragma once

#include "control/movie/BitWriter.h"
#include "control/movie/Canvas.h"
#include "control/movie/Character.h"
#include "control/movie/Geometry.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lumbra::movie {

// One closed outline: straight segments, or quadratic curves where a control
// point is given.
struct Outline {
    struct Segment {
        Point to;
        std::optional<Point> control;
    };
    Point start;
    std::vector<Segment> segments;

    static Outline rectangle(const Rect& r);
    static Outline ellipse(Point centre, double rx, double ry);
    static Outline polygon(const std::vector<Point>& points);
};

struct ShapeStyle {
    std::optional<Argb> fill;
    double lineWidth = 0; // 0: no outline
    Argb lineColor = 0xFF000000;
};

struct TextFieldDefinition {
    Rect bounds;
    std::u16string variable;
    std::u16string text;
    std::u16string font = u"_sans";
    double height = 240;
    Argb color = 0xFF000000;
    TextAlign align = TextAlign::Left;
    bool multiline = false;
    bool wordWrap = false;
    bool border = false;
    bool editable = false;
};

struct ButtonDefinition {
    struct Part {
        std::uint16_t character = 0;
        unsigned states = 0; // ButtonState flags
        Matrix matrix;
    };
    std::vector<Part> parts;
    std::vector<ButtonAction> actions; // conditions are ButtonCondition flags
    bool trackAsMenu = false;
};

struct Placement {
    int depth = 1;
    std::uint16_t character = 0;
    Matrix matrix;
    std::u16string name;
};

class TimelineWriter {
public:
    void place(const Placement& placement);
    void move(int depth, const Matrix& matrix);
    void remove(int depth);
    void actions(const ActionBytes& actions);
    void label(std::u16string_view name);
    void showFrame();
    int frameCount() const { return frames_; }
    // Counting the frame finish() closes.
    int finishedFrameCount() const;
    // The tags with an End tag, every frame closed.
    std::vector<std::uint8_t> finish() const;

    // Any tag, for definitions written into the main timeline.
    void tag(unsigned code, std::span<const std::uint8_t> body);

private:
    BitWriter tags_;
    int frames_ = 0;
    bool open_ = false; // tags written since the last ShowFrame
};

class MovieWriter {
public:
    MovieWriter(double widthTwips, double heightTwips, double frameRate, int version = 6);

    void setBackground(Argb color);
    std::uint16_t defineShape(const std::vector<Outline>& outlines, const ShapeStyle& style);
    std::uint16_t defineTextField(const TextFieldDefinition& definition);
    std::uint16_t defineButton(const ButtonDefinition& definition);
    std::uint16_t defineSprite(const TimelineWriter& timeline);

    TimelineWriter& root() { return root_; }
    // The finished file, zlib-compressed when asked.
    std::vector<std::uint8_t> finish(bool compress) const;

private:
    std::uint16_t fontFor(std::u16string_view name);

    Rect frame_;
    double frameRate_;
    int version_;
    TimelineWriter root_;
    std::uint16_t nextId_ = 1;
    std::map<std::u16string, std::uint16_t> fonts_;
};

} // namespace lumbra::movie
