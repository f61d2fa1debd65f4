// The characters a movie defines (shapes, text fields, buttons, sprites) in the
// form the player draws and instantiates them, and the dictionary holding them.
#pragma once

#include "control/movie/Canvas.h"
#include "control/movie/ColorTransform.h"
#include "control/movie/Geometry.h"
#include "control/movie/Timeline.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

namespace lumbra::movie {

// Fill of a shape; gradient and bitmap matrices here map to shape twips.
struct FillStyle {
    Fill fill;
    bool visible = true; // false for a bitmap fill whose picture is unknown
};

struct LineStyle {
    double width = 20; // twips; 0 is a hairline
    Argb color = 0xFF000000;
    CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3;
    std::optional<Fill> fill; // lines painted with a gradient or bitmap
};

// One character of static text, as scripts read it: its code (0 when the font
// gives none), where it stands, its font and colour.
struct StaticGlyph {
    char16_t code = 0;
    Matrix place;                     // the text's matrix moved to the glyph's origin on the baseline
    double advance = 0, height = 0;   // in the text's own units (twips)
    // The font's layout above and below the baseline in the text's units;
    // without the font's metrics the character has no box at all.
    bool metrics = false;
    double ascent = 0, descent = 0;
    std::shared_ptr<const std::u16string> font; // the name, shared by the glyphs of a record
    Argb color = 0xFF000000;
    bool lineStart = false;           // the first of a line below the one before
};

// Outlines in twips, curves flattened. fillPaths[i] belongs to fills[i] and
// linePaths[i] to lines[i].
struct ShapeDef {
    Rect bounds;
    std::vector<FillStyle> fills;
    std::vector<Path> fillPaths;
    std::vector<LineStyle> lines;
    std::vector<Path> linePaths;
    // Static text (DefineText) also keeps its characters, for TextSnapshot.
    std::vector<StaticGlyph> glyphs;
};

// A morph shape: a start and an end shape whose styles and edges pair up.
struct MorphRecord {
    // A style change: pen moved (absolute twips) and styles picked (raw
    // indexes, 0 = none), each only when given.
    bool edge = false;
    std::optional<Point> moveTo;
    std::optional<unsigned> fill0, fill1, line;
    // An edge: its end and, for curves, its control point (absolute twips).
    Point to;
    std::optional<Point> control;
};

struct MorphShapeDef {
    Rect startBounds, endBounds;
    std::vector<FillStyle> startFills, endFills;
    std::vector<LineStyle> startLines, endLines;
    std::vector<MorphRecord> startRecords, endRecords;
};

struct EditTextDef {
    Rect bounds;
    std::u16string variable; // bound variable path, may be empty
    std::u16string initialText;
    std::u16string font = u"_sans";
    double height = 240; // twips
    Argb color = 0xFF000000;
    TextAlign align = TextAlign::Left;
    double leftMargin = 0, rightMargin = 0;
    double indent = 0, leading = 0; // twips
    bool bold = false, italic = false;
    bool multiline = false, wordWrap = false, password = false;
    bool border = false, html = false;
    bool readOnly = false, noSelect = false, autoSize = false;
    bool useOutlines = false; // drawn with the embedded glyphs of fontId
    std::uint16_t fontId = 0;
    int maxLength = 0; // 0: no limit
};

// Button states as the file numbers them.
enum ButtonState : unsigned { StateUp = 1, StateOver = 2, StateDown = 4, StateHit = 8 };

// Transitions a button reacts to, as the file numbers them.
enum ButtonCondition : unsigned {
    CondIdleToOverUp = 0x0001, // roll over
    CondOverUpToIdle = 0x0002, // roll out
    CondOverUpToOverDown = 0x0004, // press
    CondOverDownToOverUp = 0x0008, // release
    CondOverDownToOutDown = 0x0010, // drag out
    CondOutDownToOverDown = 0x0020, // drag over
    CondOutDownToIdle = 0x0040, // release outside
    CondIdleToOverDown = 0x0080,
    CondOverDownToIdle = 0x0100,
};

struct ButtonRecord {
    unsigned states = 0;
    std::uint16_t character = 0;
    int depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    LayerEffects effects; // filters and blend mode
};

struct ButtonAction {
    unsigned conditions = 0;
    ActionBytes actions;
    unsigned keyCode = 0; // the key whose press runs the actions: 1-19 special keys, else ASCII; 0 none
};

struct ButtonDef {
    std::vector<ButtonRecord> records; // in depth order
    std::vector<ButtonAction> actions;
    // A menu item: a press made elsewhere passes to it while the mouse is held.
    bool trackAsMenu = false;
};

struct SpriteDef {
    Timeline timeline;
};

// A video stream's picture: its size in pixels. The player decodes none of
// its frames, so a placed video shows nothing but takes its room.
struct VideoDef {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
};

using Character = std::variant<ShapeDef, EditTextDef, ButtonDef, SpriteDef, MorphShapeDef, VideoDef>;
using Dictionary = std::unordered_map<std::uint16_t, std::shared_ptr<const Character>>;

} // namespace lumbra::movie
