// The run-time state of a text field: its text with format runs, the box it
// lays out in, scrolling, the selection and caret, and the editing a user does
// in an input field. The field knows nothing of the stage: the playback gives
// it focus, binds it to its variable and tells scripts what changed.
#pragma once

#include "control/movie/Character.h"
#include "control/movie/HtmlText.h"
#include "control/movie/StyleSheet.h"
#include "control/movie/TextFormat.h"
#include "control/movie/TextMetrics.h"
#include "control/movie/Value.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::movie {

// Keys that edit or move within a field rather than type a character.
enum class EditKey { Backspace, Delete, Left, Right, Up, Down, Home, End, Enter };

enum class AutoSize { None, Left, Center, Right };

// One laid-out line: the characters [begin, end) without its break, placed in
// field pixels (the box's top left is 0,0, the gutter already counted).
struct TextLine {
    std::size_t begin = 0, end = 0;
    double x = 0, top = 0; // where the first character's box starts
    double width = 0;
    double ascent = 0, descent = 0, leading = 0;
    double height() const { return ascent + descent + leading; }
};

struct TextLayout {
    std::vector<TextLine> lines; // at least one, even for no text
    double width = 0, height = 0; // textWidth and textHeight
};

class TextField {
public:
    // Longest text a field holds; more is cut off, so a movie cannot grow it unbounded.
    static constexpr std::size_t kMaxLength = 1 << 20;
    // Pixels between the box and the text on every side.
    static constexpr double kGutter = 2;

    TextField() : newFormat_(TextFormat::defaults()) {}
    // A field as the movie defines it; its first text is plain or HTML as the definition says.
    explicit TextField(const EditTextDef& def);

    // --- content ---------------------------------------------------------------
    // Line ends are '\r'; "\r\n" and '\n' arriving become one.
    const std::u16string& text() const { return text_; }
    // Replaces all text; it takes the new-text format.
    void setText(std::u16string_view text);
    // The text as HTML; a field without html answers its plain text.
    std::u16string htmlText() const;
    // Replaces all text from HTML (plain text when the field is not html).
    void setHtmlText(std::u16string_view html);
    // Replaces [begin, end) with text in `format`; indexes are clamped.
    void replace(std::size_t begin, std::size_t end, std::u16string_view text, const TextFormat& format);

    // --- formats ---------------------------------------------------------------
    // The format common to [begin, end); for an empty range the format of the
    // character at begin (or the new-text format of an empty field).
    TextFormat format(std::size_t begin, std::size_t end) const;
    void applyFormat(std::size_t begin, std::size_t end, const TextFormat& format);
    const TextFormat& newTextFormat() const { return newFormat_; }
    void setNewTextFormat(const TextFormat& format) { newFormat_.merge(format); invalidate(); }
    using Run = StyledRun; // formats with every member set
    const std::vector<Run>& runs() const { return runs_; }

    // --- style sheet ---------------------------------------------------------------
    // A field with a style sheet styles its HTML with it and reports that HTML
    // as it was given; the user cannot edit it. Null takes the sheet away: the
    // text keeps the formats the sheet gave it.
    void setStyleSheet(std::shared_ptr<const StyleSheet> sheet);
    const std::shared_ptr<const StyleSheet>& styleSheet() const { return sheet_; }
    // Styles the HTML again when the sheet changed since it was applied; true when it did.
    bool restyle();

    // --- editing (input fields) --------------------------------------------------
    // What the user typed or pasted, in place of the selection: characters the
    // field refuses (restrict, line breaks in a single-line field, beyond
    // maxChars) are dropped. True when the text changed.
    bool type(std::u16string_view typed);
    // A key that edits or moves the caret; `extend` (shift) grows the
    // selection instead of collapsing it. True when the text changed.
    bool key(EditKey key, bool extend = false);
    bool accepts(char16_t c) const;
    // An input field without a style sheet: the user may change its text.
    bool userEditable() const { return editable && !sheet_; }

    // --- selection -----------------------------------------------------------------
    std::size_t selectionBegin() const { return std::min(anchor_, caret_); }
    std::size_t selectionEnd() const { return std::max(anchor_, caret_); }
    std::size_t caret() const { return caret_; }
    // Clamped to the text; the caret goes to `end`.
    void setSelection(std::size_t begin, std::size_t end);

    // --- layout and scrolling ----------------------------------------------------
    const TextLayout& layout() const;
    std::size_t lineOf(std::size_t index) const;
    int scroll() const { return scroll_; }
    void setScroll(double line);
    int maxScroll() const;
    int bottomScroll() const;
    double hscroll() const { return hscroll_; }
    void setHscroll(double pixels);
    double maxHscroll() const;
    // A new width or height of the box, in twips; autoSize may then refit it.
    void resize(bool width, double twips);
    // Scrolls so the caret's line shows; the new scroll.
    int scrollToCaret();
    // Grows or shrinks the box to the text when autoSize asks.
    void fitBox();
    // The text as drawn: stars for a password field.
    std::u16string shownText() const;
    // Box size in pixels.
    double boxWidth() const { return (bounds.xMax - bounds.xMin) / 20; }
    double boxHeight() const { return (bounds.yMax - bounds.yMin) / 20; }

    // The embedded font text in this format draws with; null for device text.
    const FieldFont* fieldFont(const TextFormat& format) const;
    double advance(const TextFormat& format, char16_t c) const; // pixels
    FontMetrics metrics(const TextFormat& format) const;

    // Changes of the box or of flags that move text call this.
    void invalidate() { layout_.reset(); }

    // --- properties ---------------------------------------------------------------------
    Rect bounds; // twips, in the object's own space
    std::u16string variable; // bound variable path; empty for none
    bool html = false;
    bool multiline = false, wordWrap = false, password = false;
    bool selectable = true, editable = false; // editable: type "input"
    bool focused = false; // it has the keyboard focus: its selection and caret show
    bool border = false, background = false;
    Argb borderColor = 0xFF000000, backgroundColor = 0xFFFFFFFF;
    bool embedFonts = false, condenseWhite = false;
    AutoSize autoSize = AutoSize::None;
    std::optional<std::u16string> restrict; // none: every character
    int maxChars = 0; // 0: no limit
    std::u16string lastVariableText; // what the bound variable held when last shown
    std::vector<Value> listeners; // objects told of onChanged and onScroller
    const FieldFonts* fonts = nullptr; // the movie's embedded fonts, for embedFonts
    Value styleSheetObject; // what a script gave as the field's styleSheet
    // Hints scripts may set and read back; text draws with the one anti-aliasing.
    bool mouseWheelEnabled = true;
    std::u16string antiAliasType = u"normal", gridFitType = u"pixel";
    double sharpness = 0, thickness = 0;

private:
    void clampState();
    // Every paragraph takes the paragraph members of its first character.
    void unifyParagraphs();
    void applyToRange(std::size_t begin, std::size_t end, const TextFormat& format);
    void collapseTo(std::size_t index) { anchor_ = caret_ = index; }
    std::size_t lineStart(std::size_t index) const;
    std::size_t lineEnd(std::size_t index) const;
    std::size_t verticalMove(bool down) const;

    std::u16string text_;
    std::vector<Run> runs_; // lengths add up to the text's
    std::optional<std::u16string> htmlSource_; // the HTML the text was made from, until it changes
    std::shared_ptr<const StyleSheet> sheet_;
    unsigned sheetVersion_ = 0; // of the sheet when it was applied
    TextFormat newFormat_;
    std::size_t anchor_ = 0, caret_ = 0;
    int scroll_ = 1;
    double hscroll_ = 0;
    mutable std::optional<TextLayout> layout_;
};

} // namespace lumbra::movie
