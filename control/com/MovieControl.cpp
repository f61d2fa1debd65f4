#include "control/com/MovieControl.h"

#include "control/com/AsciiText.h"
#include "control/com/Clipboard.h"
#include "control/com/GdiCanvas.h"
#include "win32/GdiHandles.h"
#include "control/com/MovieLocation.h"
#include "control/movie/LocalFiles.h"

#include <urlmon.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <utility>

namespace lumbra::com {


using movie::MoviePlayer;

// Marks a call into a movie; the outermost one frees replaced movies and
// reports a changed picture.
class MovieControl::Reentry {
public:
    explicit Reentry(MovieControl& control) : control_(control) { ++control_.depth_; }
    Reentry(const Reentry&) = delete;
    Reentry& operator=(const Reentry&) = delete;
    ~Reentry() {
        if (--control_.depth_ > 0) return;
        control_.retired_.clear();
        if (control_.player_ && control_.player_->needsRepaint() && control_.events_.repaint)
            control_.events_.repaint();
    }

private:
    MovieControl& control_;
};

namespace {

constexpr std::array<std::u16string_view, 6> kQualities = {u"Low",  u"Medium",  u"High",
                                                            u"Best", u"AutoLow", u"AutoHigh"};

constexpr movie::Argb kWhite = 0xFFFFFFFF;


std::u16string folderOf(const std::u16string& path) {
    auto slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash + 1);
}

// Data files a movie's scripts load come from its own folder or below it.
MoviePlayer::FileReader dataFileReader(const std::u16string& folder) {
    if (folder.empty()) return {};
    return [root = std::filesystem::path(folder)](const std::u16string& url) {
        auto file = movie::fileInFolder(root, url);
        return file ? movie::readDataFile(*file) : std::nullopt;
    };
}

std::filesystem::path environmentFolder(const wchar_t* name) {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::filesystem::path(buffer) : std::filesystem::path();
}

// A movie's SharedObject data persists per user and movie file name:
// %APPDATA%\Lumbra\SharedObjects\<movie>, or under LUMBRA_SHARED_OBJECTS when set.
std::filesystem::path sharedObjectFolder(const std::u16string& moviePath) {
    std::filesystem::path store = environmentFolder(L"LUMBRA_SHARED_OBJECTS");
    if (store.empty()) {
        std::filesystem::path appData = environmentFolder(L"APPDATA");
        if (appData.empty()) return {};
        store = appData / "Lumbra" / "SharedObjects";
    }
    return store / std::filesystem::path(moviePath).filename();
}

// The movie's own name for a control quality: the automatic ones start at
// their level, which this player keeps.
std::u16string_view movieQuality(std::u16string_view control) {
    if (control == u"AutoLow") return u"LOW";
    if (control == u"AutoHigh") return u"HIGH";
    return control;
}

} // namespace

MovieControl::MovieControl(MovieEvents events) : events_(std::move(events)) {}

MovieControl::~MovieControl() = default;

void MovieControl::configure(MoviePlayer& player) {
    player.setFsCommandHandler([this, self = &player](const std::u16string& command, const std::u16string& args) {
        if (player_.get() == self && events_.fsCommand) events_.fsCommand(command, args);
    });
    player.setExternalCallHandler([this, self = &player](const std::u16string& request) {
        if (player_.get() != self || !events_.flashCall) return std::u16string();
        // A container may answer one call with another: each keeps its own answer.
        auto outer = std::exchange(returnValue_, std::u16string());
        events_.flashCall(request);
        return std::exchange(returnValue_, std::move(outer));
    });
    player.setClipboardHandler([](const std::u16string& text) { putClipboardText(text); });
    player.setLoop(loop_);
    player.setScaleMode(static_cast<movie::ScaleMode>(scaleMode_));
    player.setAlign(align_);
    player.setBackgroundColor(background_);
    player.setViewport(viewWidth_, viewHeight_);
    player.setQuality(movieQuality(quality_));
}

void MovieControl::retire(std::unique_ptr<MoviePlayer> player) {
    if (depth_ > 0) retired_.push_back(std::move(player));
}

HRESULT MovieControl::readLocation(std::u16string_view location, std::u16string_view base,
                                   std::vector<std::uint8_t>& bytes, std::u16string* path) const {
    if (isNetworkLocation(location, base)) return INET_E_UNKNOWN_PROTOCOL;
    auto resolved = resolveMovieLocation(location, base);
    if (!resolved) return E_FAIL;
    auto read = readMovieFile(*resolved);
    if (!read) return E_FAIL;
    bytes = std::move(*read);
    if (path) *path = std::move(*resolved);
    return S_OK;
}

HRESULT MovieControl::loadMovie(std::u16string_view location) {
    if (location.empty()) {
        retire(std::move(player_));
        movie_.clear();
        movieFolder_.clear();
        if (events_.movieChanged) events_.movieChanged();
        return S_OK;
    }
    std::vector<std::uint8_t> bytes;
    std::u16string path;
    HRESULT hr = readLocation(location, base_, bytes, &path);
    if (FAILED(hr)) return hr;

    // The new movie becomes current before its first frame runs, so that the
    // fscommands of that frame reach the container.
    auto previous = std::move(player_);
    player_ = std::make_unique<MoviePlayer>();
    MoviePlayer* loading = player_.get();
    configure(*loading);
    // Movies and data its scripts load are found beside it.
    auto previousFolder = std::exchange(movieFolder_, folderOf(path));
    loading->setFileReader(dataFileReader(movieFolder_));
    loading->setSharedObjectFolder(sharedObjectFolder(path));
    bool loaded;
    {
        Reentry call(*this);
        loaded = loading->load(bytes, playing_);
    }
    if (!loaded) {
        if (player_.get() == loading) {
            player_ = std::move(previous);
            movieFolder_ = std::move(previousFolder);
        }
        return E_FAIL;
    }
    retire(std::move(previous));
    // The container may have loaded yet another movie from an event of this one's first frame.
    if (player_.get() != loading) return S_OK;
    movie_ = location;
    if (events_.movieChanged) events_.movieChanged();
    if (events_.progress) events_.progress(100);
    if (events_.readyStateChange) events_.readyStateChange(readyState());
    return S_OK;
}

HRESULT MovieControl::loadLevel(int level, std::u16string_view location) {
    if (level == 0) return loadMovie(location);
    if (level < 0 || level > movie::kMaxLevel) return E_INVALIDARG;
    if (!player_) return E_FAIL;
    if (location.empty()) {
        withMovie([&](MoviePlayer& p) {
            p.unloadLevel(level);
            return true;
        });
        return S_OK;
    }
    std::vector<std::uint8_t> bytes;
    HRESULT hr = readLocation(location, base_.empty() ? movieFolder_ : base_, bytes);
    if (FAILED(hr)) return hr;
    return withMovie([&](MoviePlayer& p) { return p.loadLevel(level, bytes); }) ? S_OK : E_FAIL;
}

HRESULT MovieControl::callFunction(std::u16string_view request, std::u16string& result) {
    std::optional<std::u16string> answer;
    withMovie([&](MoviePlayer& p) {
        answer = p.callFunction(request);
        return true;
    });
    if (!answer) return E_FAIL;
    result = std::move(*answer);
    return S_OK;
}

int MovieControl::readyState() const { return player_ ? 4 : 0; }

bool MovieControl::withMovie(const std::function<bool(MoviePlayer&)>& call) {
    if (!player_) return false;
    Reentry guard(*this);
    return call(*player_);
}

bool MovieControl::playing() const { return player_ ? player_->isPlaying() : playing_; }

void MovieControl::setPlaying(bool playing) {
    playing_ = playing;
    withMovie([&](MoviePlayer& p) {
        playing ? p.play() : p.stop();
        return true;
    });
}

void MovieControl::setLoop(bool loop) {
    loop_ = loop;
    if (player_) player_->setLoop(loop);
}

bool MovieControl::setScaleMode(int mode) {
    if (mode < 0 || mode > 3) return false;
    scaleMode_ = mode;
    withMovie([&](MoviePlayer& p) {
        p.setScaleMode(static_cast<movie::ScaleMode>(mode));
        return true;
    });
    return true;
}

bool MovieControl::setAlignMode(int flags) {
    if (flags < 0 || flags > 15) return false;
    align_ = flags;
    withMovie([&](MoviePlayer& p) {
        p.setAlign(flags);
        return true;
    });
    return true;
}

bool MovieControl::setBackgroundColor(std::int32_t rgb) {
    if (rgb < -1 || rgb > 0xFFFFFF) return false;
    background_ = rgb;
    withMovie([&](MoviePlayer& p) {
        p.setBackgroundColor(rgb);
        return true;
    });
    // Without a movie the colour is all there is to see.
    if (!player_ && events_.repaint) events_.repaint();
    return true;
}

bool MovieControl::setQuality(std::u16string_view name) {
    for (auto known : kQualities)
        if (equalNoCase(known, name)) {
            quality_ = known;
            if (player_) player_->setQuality(movieQuality(quality_));
            return true;
        }
    return false;
}

std::u16string MovieControl::quality() const {
    if (!player_) return quality_;
    // A movie that set _quality changed the one setting: report it in the control's words.
    std::u16string current = player_->quality();
    if (equalNoCase(movieQuality(quality_), current)) return quality_;
    for (auto known : kQualities)
        if (equalNoCase(known, current)) return std::u16string(known);
    return quality_;
}

void MovieControl::setViewSize(int width, int height) {
    viewWidth_ = width;
    viewHeight_ = height;
    withMovie([&](MoviePlayer& p) {
        p.setViewport(width, height);
        return true;
    });
}

void MovieControl::draw(HDC dc, const RECT& bounds) {
    int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0) return;
    GdiCanvas canvas(width, height);
    if (player_) {
        // A container may ask for a picture of another size than the window.
        bool resized = width != viewWidth_ || height != viewHeight_;
        if (resized) player_->setViewport(width, height);
        player_->render(canvas);
        if (resized) player_->setViewport(viewWidth_, viewHeight_);
    } else {
        canvas.clear(background_ >= 0 ? movie::Argb(0xFF000000u | background_) : kWhite);
    }
    canvas.present(dc, bounds.left, bounds.top);
}

UINT MovieControl::frameInterval() const {
    double rate = player_ ? player_->info().frameRate : 0;
    rate = std::clamp(rate, 1.0, 120.0);
    return static_cast<UINT>(std::lround(1000.0 / rate));
}

void MovieControl::advance() {
    withMovie([](MoviePlayer& p) {
        p.advance();
        return true;
    });
}

void MovieControl::mouseMove(int x, int y) {
    withMovie([&](MoviePlayer& p) {
        p.mouseMove(x, y);
        return true;
    });
}

void MovieControl::mouseDown(int x, int y) {
    withMovie([&](MoviePlayer& p) {
        p.mouseDown(x, y);
        return true;
    });
}

void MovieControl::mouseUp(int x, int y) {
    withMovie([&](MoviePlayer& p) {
        p.mouseUp(x, y);
        return true;
    });
}

bool MovieControl::overButton() const { return player_ && player_->overButton(); }

void MovieControl::mouseWheel(int delta) {
    withMovie([&](MoviePlayer& p) {
        p.mouseWheel(delta);
        return true;
    });
}

bool MovieControl::cursorHidden() const { return player_ && player_->cursorHidden(); }

void MovieControl::keyDown(unsigned code, unsigned ascii) {
    withMovie([&](MoviePlayer& p) {
        p.keyDown(code, ascii);
        return true;
    });
}

void MovieControl::keyUp(unsigned code, unsigned ascii) {
    withMovie([&](MoviePlayer& p) {
        p.keyUp(code, ascii);
        return true;
    });
}

void MovieControl::setKeyToggled(unsigned code, bool on) {
    if (player_) player_->setKeyToggled(code, on);
}

void MovieControl::releaseKeys() {
    if (player_) player_->releaseKeys();
}

} // namespace lumbra::com
