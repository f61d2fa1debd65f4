// The control's state behind its COM faces: the movie being played, the
// properties a container sets, and the view the movie is drawn into.
//
// Calls into the movie can run its actions, and an action's fscommand event
// reaches the container synchronously, which may call back in: set a
// variable, go to a frame, even load another movie. A movie replaced while
// one of its own calls is still running is therefore kept alive until the
// outermost call returns, and only the current movie's events are passed on.
#pragma once

#include "control/movie/MoviePlayer.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::com {

struct MovieEvents {
    std::function<void(const std::u16string& command, const std::u16string& args)> fsCommand;
    std::function<void(int state)> readyStateChange;
    std::function<void(int percent)> progress;
    // The picture changed and should be drawn again.
    std::function<void()> repaint;
    // Another movie (or none) is playing: frame rate and size may differ.
    std::function<void()> movieChanged;
    // ExternalInterface.call: the request XML; the container answers through setReturnValue.
    std::function<void(const std::u16string& request)> flashCall;
};

// Properties a container sets and reads back; the movie does not depend on them.
struct StoredProperties {
    bool menu = true;
    bool deviceFont = false;
    bool embedMovie = false;
    std::u16string flashVars;
    std::u16string wmode = u"Window";
    std::u16string swRemote;
};

class MovieControl {
public:
    explicit MovieControl(MovieEvents events);
    ~MovieControl();
    MovieControl(const MovieControl&) = delete;
    MovieControl& operator=(const MovieControl&) = delete;

    // Loads the movie at `location` (resolved against base()); an empty one
    // unloads. On failure the current movie is kept: INET_E_UNKNOWN_PROTOCOL
    // for a network URL (only local files are played), E_FAIL when the file
    // cannot be read or is not a playable movie.
    HRESULT loadMovie(std::u16string_view location);
    // Loads the movie at `location` onto `level` over the main movie (level 0
    // is loadMovie); an empty location unloads the level. Relative locations
    // are resolved against base(), or without one against the main movie's folder.
    HRESULT loadLevel(int level, std::u16string_view location);
    const std::u16string& movie() const { return movie_; }
    const std::u16string& base() const { return base_; }
    void setBase(std::u16string_view base) { base_ = base; }
    bool hasMovie() const { return player_ != nullptr; }
    // 4 (complete) with a movie, 0 (still nothing to show) without.
    int readyState() const;

    // Runs `call` on the current movie; false when there is none, else its result.
    bool withMovie(const std::function<bool(movie::MoviePlayer&)>& call);
    // The current movie for calls that run no actions (queries, view settings).
    const movie::MoviePlayer* peek() const { return player_.get(); }

    // Playing: without a movie, whether the next one starts playing.
    bool playing() const;
    void setPlaying(bool playing);
    bool loop() const { return loop_; }
    void setLoop(bool loop);
    int scaleMode() const { return scaleMode_; }
    bool setScaleMode(int mode);
    int alignMode() const { return align_; }
    bool setAlignMode(int flags);
    // 0xRRGGBB, or -1 for the movie's own colour.
    std::int32_t backgroundColor() const { return background_; }
    bool setBackgroundColor(std::int32_t rgb);
    // One setting with the movie's _quality: "Low", "Medium", "High", "Best",
    // "AutoLow" or "AutoHigh".
    std::u16string quality() const;
    bool setQuality(std::u16string_view name);

    StoredProperties stored;

    // ExternalInterface: the container calls a function the movie offered
    // (E_FAIL when there is none) and answers the movie's calls.
    HRESULT callFunction(std::u16string_view request, std::u16string& result);
    void setReturnValue(std::u16string_view value) { returnValue_ = value; }

    // View: the window's client size; drawing and mouse positions use it.
    void setViewSize(int width, int height);
    // Draws the current frame (double-buffered) into `bounds` of `dc`.
    void draw(HDC dc, const RECT& bounds);
    // Milliseconds between frames of the current movie.
    UINT frameInterval() const;
    void advance();
    void mouseMove(int x, int y);
    void mouseDown(int x, int y);
    void mouseUp(int x, int y);
    bool overButton() const;
    void mouseWheel(int delta);
    bool cursorHidden() const;
    void keyDown(unsigned code, unsigned ascii);
    void keyUp(unsigned code, unsigned ascii);
    void setKeyToggled(unsigned code, bool on);
    void releaseKeys();

private:
    class Reentry;
    void configure(movie::MoviePlayer& player);
    void retire(std::unique_ptr<movie::MoviePlayer> player);
    // The file a location names, or the failure to report.
    HRESULT readLocation(std::u16string_view location, std::u16string_view base,
                         std::vector<std::uint8_t>& bytes, std::u16string* path = nullptr) const;
    std::u16string movieFolder_; // of the main movie: what its scripts load comes from there

    MovieEvents events_;
    std::unique_ptr<movie::MoviePlayer> player_;
    std::vector<std::unique_ptr<movie::MoviePlayer>> retired_;
    int depth_ = 0;

    std::u16string movie_;
    std::u16string base_;
    bool playing_ = true;
    bool loop_ = true;
    int scaleMode_ = 0;
    int align_ = 0;
    std::int32_t background_ = -1;
    std::u16string quality_ = u"High";
    int viewWidth_ = 0;
    int viewHeight_ = 0;
    std::u16string returnValue_; // of the FlashCall event being raised
};

} // namespace lumbra::com
