// A playing movie: the parsed file, its display tree, its action interpreter and
// the view that maps it to a host window. Everything the movie control offers its
// container goes through here; the host supplies bytes, a frame timer, mouse
// input and a Canvas, and receives fscommand and trace calls.
//
// Frame numbers are 0-based throughout, as at the control's interface.
// Target paths name clips: "/", "_level0", "_root", "/clip/inner", "_level0.clip",
// "_root.clip.inner", "clip" (relative to the root), "_level1/clip" (a level above).
// Variable paths add a variable name: "/clip:var", "_root.clip.var", "var".
// Property numbers are the classic ones: 0 _x, 1 _y, 2 _xscale, 3 _yscale,
// 4 _currentframe, 5 _totalframes, 6 _alpha, 7 _visible, 8 _width, 9 _height,
// 10 _rotation, 11 _target, 12 _framesloaded, 13 _name, 14 _droptarget, 15 _url,
// 16 _highquality, 17 _focusrect, 18 _soundbuftime, 19 _quality, 20 _xmouse, 21 _ymouse.
#pragma once

#include "control/movie/Canvas.h"
#include "control/movie/Geometry.h"
#include "control/movie/MovieClock.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::movie {

struct MovieInfo {
    int version = 0;
    std::uint32_t fileLength = 0; // as the header states it
    Rect frame;                   // twips (1/20 pixel)
    double frameRate = 0;         // frames per second; 12 when the file gives 0
    int frameCount = 0;           // the frames the file holds
    bool compressed = false;
    Argb background = 0xFFFFFFFF; // the movie's own, white when it sets none
};

// The highest level a movie can be loaded onto.
inline constexpr int kMaxLevel = 16000;

enum class ScaleMode { ShowAll = 0, NoBorder = 1, ExactFit = 2, NoScale = 3 };

// Alignment flags, combinable (left|top is the top-left corner); 0 centres.
enum AlignFlags : int { AlignLeft = 1, AlignRight = 2, AlignTop = 4, AlignBottom = 8 };

class Stage;

class MoviePlayer {
public:
    using FsCommandHandler = std::function<void(const std::u16string& command, const std::u16string& args)>;
    using TraceHandler = std::function<void(const std::u16string& message)>;
    using UrlHandler = std::function<void(const std::u16string& url, const std::u16string& target)>;
    using ClipboardHandler = std::function<void(const std::u16string& text)>;
    using ExternalCallHandler = std::function<std::u16string(const std::u16string& request)>;

    MoviePlayer();
    ~MoviePlayer();
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    // Parses the file (plain, zlib- or LZMA-compressed) and enters its first frame,
    // running that frame's actions: set the handlers before. False, with
    // error() telling why, when the bytes are not a playable movie; the player
    // is then empty.
    bool load(std::span<const std::uint8_t> bytes, bool autoPlay = true);
    // Unloads the main movie and every level.
    void unload();
    bool isLoaded() const;
    const std::string& error() const;
    const MovieInfo& info() const;

    // Movies on the levels above the main one ("_level1" to "_level<kMaxLevel>"):
    // each plays its own file in the main movie's frame and view, drawn over
    // the levels below it, and its clips are reached by paths that start with
    // its level. A movie on a taken level replaces the one there. False, with
    // error() telling why, without a main movie or when the bytes are not a movie.
    bool loadLevel(int level, std::span<const std::uint8_t> bytes);
    void unloadLevel(int level);
    std::vector<int> loadedLevels() const; // ascending

    // Playback of the main timeline.
    void play();
    void stop();
    bool isPlaying() const;
    void setLoop(bool loop);
    bool loop() const;
    // One tick of the host's frame timer (1 / info().frameRate seconds): moves
    // every playing timeline on and runs the actions that come due.
    void advance();
    void rewind();  // to frame 0 and stop
    void forward(); // one frame on and stop
    void back();    // one frame back and stop
    // Go to a frame of the main timeline and stop there.
    bool gotoFrame(int frame);
    bool gotoLabel(std::u16string_view label);
    int currentFrame() const;
    int totalFrames() const;
    bool frameLoaded(int frame) const;
    int percentLoaded() const;

    // Calls on the timeline of a target path; false or nothing when the path
    // names no clip (or the frame, label or property does not exist). Gotos
    // stop the timeline at their frame.
    bool tGotoFrame(std::u16string_view target, int frame);
    bool tGotoLabel(std::u16string_view target, std::u16string_view label);
    std::optional<int> tCurrentFrame(std::u16string_view target) const;
    std::optional<std::u16string> tCurrentLabel(std::u16string_view target) const;
    bool tPlay(std::u16string_view target);
    bool tStopPlay(std::u16string_view target);
    // Runs a frame's actions in the target's context without moving its playhead.
    bool tCallFrame(std::u16string_view target, int frame);
    bool tCallLabel(std::u16string_view target, std::u16string_view label);
    std::optional<std::u16string> tGetProperty(std::u16string_view target, int property) const;
    std::optional<double> tGetPropertyNum(std::u16string_view target, int property) const;
    bool tSetProperty(std::u16string_view target, int property, std::u16string_view value);
    bool tSetPropertyNum(std::u16string_view target, int property, double value);

    // Movie variables as text. A path whose clip part names no clip is kept as
    // one variable of the root under its whole name, so "list.0" or "a.b" work
    // as plain names.
    std::optional<std::u16string> getVariable(std::u16string_view path) const;
    bool setVariable(std::u16string_view path, std::u16string_view value);

    // The view: the host's client size in pixels and how the movie fits it.
    void setViewport(int width, int height);
    void setScaleMode(ScaleMode mode);
    ScaleMode scaleMode() const;
    void setAlign(int flags);
    int align() const;
    // percent 0 shows the whole movie; otherwise the visible area scales by
    // percent / 100 about its centre (50 doubles the size of everything).
    void zoom(int percent);
    // The visible area in twips; an empty rectangle shows the whole movie.
    void setZoomRect(const Rect& twips);
    // Moves a zoomed view by (x, y): pixels in mode 0, percent of the view in mode 1.
    void pan(int x, int y, int mode);
    Matrix viewMatrix() const; // twips of the root to viewport pixels

    // 0xRRGGBB; -1 returns to the movie's own colour.
    void setBackgroundColor(std::int32_t rgb);
    std::int32_t backgroundColor() const;

    // The drawing quality, one setting with the movie's _quality: "LOW",
    // "MEDIUM", "HIGH" or "BEST" (any case; false for other names). It
    // carries over to the next movie loaded. LOW draws without anti-aliasing
    // and without smoothing pictures; the others draw alike.
    bool setQuality(std::u16string_view name);
    std::u16string quality() const;

    // Clears the canvas to the background colour, then draws the display tree.
    void render(Canvas& canvas);
    // Whether anything visible changed since the last render.
    bool needsRepaint() const;

    // Mouse input in viewport pixels: buttons change state and run their actions.
    void mouseMove(double x, double y);
    void mouseDown(double x, double y);
    void mouseUp(double x, double y);
    bool overButton() const; // for a hand cursor
    // Wheel turns in lines, positive away from the user.
    void mouseWheel(int delta);
    // Whether the movie hid the cursor (Mouse.hide).
    bool cursorHidden() const;

    // The right-click menu at a viewport point: the movie's own items (a
    // ContextMenu's, whose onSelect runs now), then the built-in commands the
    // movie does not hide. The host shows it and passes back the item chosen.
    enum class MenuCommand {
        Script, ZoomIn, ZoomOut, ShowAll, QualityLow, QualityMedium, QualityHigh, Play, Loop, Rewind, Forward,
        Back, Print
    };
    struct MenuItem {
        std::u16string caption;
        MenuCommand command = MenuCommand::Script;
        std::size_t scriptIndex = 0; // which of the movie's items, for Script
        bool enabled = true;
        bool separatorBefore = false;
        bool checked = false;
    };
    std::vector<MenuItem> contextMenu(double x, double y);
    // Carries out an item of the menu contextMenu answered last.
    void chooseMenuItem(const MenuItem& item);

    // Keyboard input: Windows virtual key codes and the character the key
    // types (0 for none), as the movie's Key object reports them.
    void keyDown(unsigned code, unsigned ascii);
    void keyUp(unsigned code, unsigned ascii);
    // The state of a lock key (caps, num, scroll) for Key.isToggled.
    void setKeyToggled(unsigned code, bool on);
    // The movie lost the keyboard: no key stays down.
    void releaseKeys();

    void setFsCommandHandler(FsCommandHandler handler);
    void setTraceHandler(TraceHandler handler);
    // GetURL calls that are not fscommands (the host may open them or not).
    void setUrlHandler(UrlHandler handler);
    // Data files the scripts load (XML, LoadVars, loadVariables) by the URL
    // they gave: the host reads them, or refuses with nothing.
    using FileReader = std::function<std::optional<std::vector<std::uint8_t>>(const std::u16string& url)>;
    void setFileReader(FileReader reader);
    // The per-user folder where this movie's SharedObject data persists.
    void setSharedObjectFolder(std::filesystem::path folder);
    // The clock of getTimer and the timers; real time unless set. The frame
    // clock moves one frame period with each advance(), for headless play.
    void setClock(MovieClock::Kind kind);
    // System.setClipboard: the host's clipboard. Without a handler the movie
    // keeps the text itself.
    void setClipboardHandler(ClipboardHandler handler);
    // ExternalInterface.call: the host gets the request as
    // <invoke name="f" returntype="xml"><arguments>...</arguments></invoke>
    // and answers with the XML of the result (<string>a</string> ...; empty
    // for none). With a handler set before load, ExternalInterface.available is true.
    void setExternalCallHandler(ExternalCallHandler handler);
    // The host calls a function the movie offered with ExternalInterface.addCallback:
    // the request in the same <invoke> form; the result as XML, nothing when
    // the movie offers no function of that name.
    std::optional<std::u16string> callFunction(std::u16string_view request);

private:
    std::unique_ptr<Stage> stage_;
};

} // namespace lumbra::movie
