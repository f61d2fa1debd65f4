// One object on the stage: a placed shape, text field, button or clip. Clips
// (the root and placed sprites) have their own timeline, children and variables.
// Parents own their children; a child points back at its parent.
#pragma once

#include "control/movie/Character.h"
#include "control/movie/ClipHandle.h"
#include "control/movie/ColorTransform.h"
#include "control/movie/Drawing.h"
#include "control/movie/Filters.h"
#include "control/movie/Geometry.h"
#include "control/movie/Value.h"
#include "control/movie/Watchpoint.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumbra::movie {

// Scale factors and rotation (degrees) of an object as a script set them.
struct ScaleAndRotation {
    double xScale = 1, yScale = 1, rotation = 0;
};
class TextField;
struct Movie;

// Where the mouse stands with respect to a button.
enum class ButtonPhase { Idle, OverUp, OverDown, OutDown };

class DisplayObject : public std::enable_shared_from_this<DisplayObject> {
public:
    // census counts the live objects of one stage, so hostile nesting is bounded.
    DisplayObject(const Character* character, std::uint16_t id, DisplayObject* parent,
                  std::shared_ptr<std::size_t> census);
    ~DisplayObject();
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    const Character* character() const { return character_; }
    std::uint16_t characterId() const { return characterId_; }
    // Null for the root, and for an object whose parent left the stage while
    // a running script still held it.
    DisplayObject* parent() const { return parent_; }

    const ShapeDef* shape() const { return std::get_if<ShapeDef>(character_); }
    const EditTextDef* text() const { return std::get_if<EditTextDef>(character_); }
    const ButtonDef* button() const { return std::get_if<ButtonDef>(character_); }
    const MorphShapeDef* morph() const { return std::get_if<MorphShapeDef>(character_); }
    const VideoDef* video() const { return std::get_if<VideoDef>(character_); }
    // The timeline of a clip; null for other objects.
    const Timeline* timeline() const { return timeline_; }
    bool isClip() const { return timeline_ != nullptr; }
    // What scripts reach by name: clips, buttons, text fields and videos
    // (shapes and static text have no script object).
    bool scriptable() const { return isClip() || button() || text() || video(); }

    // "_level0", "_level0.clip.inner": how paths and _target name this object.
    std::u16string targetPath() const;
    // The object's matrix and colour transform composed with its ancestors'.
    Matrix worldMatrix() const;
    ColorTransform worldColorTransform() const;

    // Variables, by name compared without case (with case from version 7 on).
    const Value* variable(std::u16string_view name) const;
    void setVariable(std::u16string_view name, Value value);
    void removeVariable(std::u16string_view name);
    // Every variable by its key (the folded name before version 7), for enumeration and the collector.
    const std::map<std::u16string, Value>& variables() const { return variables_; }
    // The variables' names as first set, the newest first: the for-in order.
    std::vector<std::u16string> variableNames() const;
    // Watchpoints on the clip's variables (Object.watch), by the same name rule.
    Watchpoint* watchOf(std::u16string_view name);
    Watchpoints watches;

    // What scripts' references to the object hold; made on first use.
    std::shared_ptr<ClipHandle> handle();

    // Children by depth.
    std::map<int, std::shared_ptr<DisplayObject>>& children() { return children_; }
    const std::map<int, std::shared_ptr<DisplayObject>>& children() const { return children_; }
    std::shared_ptr<DisplayObject> childNamed(std::u16string_view name) const;

    void setRootTimeline(const Timeline* timeline) { timeline_ = timeline; }
    // loadMovie: the clip plays `movie` from its start instead of what it held.
    // It keeps its name, depth, placement and clip events; its timeline,
    // variables, drawing and class go. The caller takes its children first.
    void loadContent(std::shared_ptr<const Movie> movie, std::u16string url);

    int depth = 0;
    std::u16string name;
    Matrix matrix;
    ColorTransform colorTransform;
    // What Sound objects made for this clip set: volume and the channel mix
    // (left to left, left to right, right to left, right to right), percent.
    struct SoundTransform {
        int volume = 100;
        int ll = 100, lr = 0, rl = 0, rr = 100;
    } sound;
    int ratio = 0;
    bool clipLayer = false;
    int clipDepth = 0; // a clip layer masks the siblings above it up to this depth
    LayerEffects effects; // filters and blend mode
    // What scripts set: cached drawing (a hint here), a solid colour under the
    // content's bounds, and the nine-slice grid (pixels; kept, not drawn).
    bool cacheAsBitmap = false;
    std::optional<Argb> opaqueBackground;
    std::optional<Rect> scale9Grid;
    // Masking by script: the object whose shape limits this one, and whether
    // this one serves as another's mask (and is then not drawn itself).
    std::weak_ptr<DisplayObject> mask;
    bool isMask = false;
    bool visible = true;
    bool placedByTimeline = true;
    // Off the stage with no unload handler in it to run: scripts' references
    // to it lapse at once, though the object may live on a little.
    bool removed = false;
    // A script set its position, scale or rotation: the timeline's moves no longer apply.
    bool scriptTransformed = false;
    // They read back as set, where the matrix alone would lose a negative scale.
    std::optional<ScaleAndRotation> scriptScale;
    bool caseSensitiveNames = false; // version 7 and later
    // onClipEvent handlers of the placement.
    std::shared_ptr<const std::vector<ClipAction>> clipActions;

    // Clip state: the frame entered (-1 before the first) and whether it plays.
    int frame = -1;
    bool playing = true;

    // Button state; a button's parts carry the states they show in.
    ButtonPhase buttonPhase = ButtonPhase::Idle;
    unsigned buttonStates = 0;

    // The tick that placed the object: a new clip waits for the next one.
    unsigned long bornTick = 0;

    // What the clip's drawing methods drew; null until the first call.
    std::shared_ptr<Drawing> drawing;
    // The prototype of a clip whose symbol has a registered class (or whose
    // __proto__ a script set); undefined for the MovieClip prototype.
    Value prototype;
    // The movie whose characters the objects inside this one are made of,
    // when it is not the parent's: a loaded movie's or an imported symbol's.
    std::shared_ptr<const Movie> definitions;
    // Where the movie loaded into this clip or level came from (_url); none
    // for what the timeline or a script placed.
    std::optional<std::u16string> loadedUrl;
    // _lockroot: _root inside this clip names the clip itself.
    bool lockRoot = false;
    // The number of the level this object is the root of.
    int level = 0;
    // The live state of a text field; null for other objects.
    std::unique_ptr<TextField> textField;
    // Static text: the characters scripts selected (TextSnapshot.setSelected).
    std::vector<bool> selectedGlyphs;

private:
    const Character* character_;
    std::uint16_t characterId_;
    DisplayObject* parent_;
    const Timeline* timeline_ = nullptr;
    std::map<int, std::shared_ptr<DisplayObject>> children_;
    std::map<std::u16string, Value> variables_; // keyed by the folded name
    // By the same key: the name a variable was first set with, and when.
    std::map<std::u16string, std::pair<std::u16string, std::uint64_t>> variableNames_;
    std::uint64_t variablesMade_ = 0;
    std::shared_ptr<std::size_t> census_;
    std::shared_ptr<ClipHandle> handle_;
};

} // namespace lumbra::movie
