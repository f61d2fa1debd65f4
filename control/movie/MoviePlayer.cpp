#include "control/movie/MoviePlayer.h"

#include "control/movie/BitReader.h"
#include "control/movie/Movie.h"
#include "control/movie/Playback.h"
#include "control/movie/Properties.h"
#include "control/movie/Renderer.h"
#include "control/movie/TextCodec.h"
#include "control/movie/View.h"
#include "control/movie/actions/ExternalValues.h"
#include "control/movie/actions/Machine.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace lumbra::movie {

// What outlives a loaded movie: the view, the host's handlers and the last
// error. The playback itself is shared so that a call in progress keeps it
// alive when a handler loads another movie meanwhile.
class Stage {
public:
    View view;
    HostHooks hooks;
    std::string error;
    std::int32_t background = -1;
    bool loop = true;
    bool repaint = true;
    std::u16string quality = u"HIGH"; // for movies still to come
    // The main movie, with every level loaded over it.
    std::shared_ptr<Playback> playback;
    MovieInfo emptyInfo;

    struct Located {
        std::shared_ptr<Playback> playback;
        std::shared_ptr<DisplayObject> clip;
    };
    Located locate(std::u16string_view path) const
    {
        if (!playback)
            return {};
        auto clip = playback->resolveTarget(playback->root(), path);
        return {clip ? playback : nullptr, clip};
    }

    std::shared_ptr<DisplayObject> target(std::u16string_view path) const { return locate(path).clip; }

    // The playback, when there is one; a copy, as its actions may replace it.
    std::vector<std::shared_ptr<Playback>> all() const
    {
        if (!playback)
            return {};
        return {playback};
    }

    void start(std::shared_ptr<const Movie> movie, bool autoPlay)
    {
        // Held here too: a handler may replace it while its first frame runs.
        auto starting = std::make_shared<Playback>(std::move(movie), hooks);
        starting->loop = loop;
        starting->quality = quality;
        playback = starting;
        repaint = true;
        starting->start(autoPlay);
    }

    // Whether the path starts at a level that holds no movie ("_level3:x" with no level 3).
    bool namesEmptyLevel(std::u16string_view path) const
    {
        auto number = levelNumber(path.substr(0, path.find_first_of(u"/.:")));
        return number && (!playback || !playback->level(*number));
    }
};

MoviePlayer::MoviePlayer() : stage_(std::make_unique<Stage>()) {}

MoviePlayer::~MoviePlayer()
{
    unload();
}

namespace {

// The parsed movie, or nothing with the reason in `error`.
std::shared_ptr<const Movie> parse(std::span<const std::uint8_t> bytes, std::string& error)
{
    try {
        auto movie = std::make_shared<const Movie>(parseMovie(bytes));
        error.clear();
        return movie;
    } catch (const FormatError& e) {
        error = e.what();
        return nullptr;
    }
}

void closePlayback(std::shared_ptr<Playback>& playback)
{
    if (playback) {
        playback->close();
        playback.reset();
    }
}

} // namespace

bool MoviePlayer::load(std::span<const std::uint8_t> bytes, bool autoPlay)
{
    unload();
    auto movie = parse(bytes, stage_->error);
    if (!movie)
        return false;
    stage_->view.zoom = {};
    stage_->hooks.clock.restart();
    stage_->start(std::move(movie), autoPlay);
    return true;
}

void MoviePlayer::unload()
{
    // The levels go with the main movie.
    if (stage_->playback) {
        closePlayback(stage_->playback);
        stage_->repaint = true;
    }
}

bool MoviePlayer::loadLevel(int level, std::span<const std::uint8_t> bytes)
{
    if (level < 1 || level > kMaxLevel) {
        stage_->error = "no such level";
        return false;
    }
    if (!stage_->playback) {
        stage_->error = "no main movie to load a level over";
        return false;
    }
    auto movie = parse(bytes, stage_->error);
    if (!movie)
        return false;
    auto playback = stage_->playback;
    playback->loadLevel(level, std::move(movie));
    stage_->repaint = true;
    return true;
}

void MoviePlayer::unloadLevel(int level)
{
    if (auto playback = stage_->playback; playback && playback->level(level) && level > 0) {
        playback->unloadLevel(level);
        stage_->repaint = true;
    }
}

std::vector<int> MoviePlayer::loadedLevels() const
{
    std::vector<int> list;
    if (stage_->playback)
        for (const auto& root : stage_->playback->levels())
            if (root->level > 0)
                list.push_back(root->level);
    return list;
}

bool MoviePlayer::isLoaded() const { return stage_->playback != nullptr; }
const std::string& MoviePlayer::error() const { return stage_->error; }

const MovieInfo& MoviePlayer::info() const
{
    return stage_->playback ? stage_->playback->movie().info : stage_->emptyInfo;
}

void MoviePlayer::play()
{
    if (auto pb = stage_->playback)
        pb->root().playing = true;
}

void MoviePlayer::stop()
{
    if (auto pb = stage_->playback)
        pb->root().playing = false;
}

bool MoviePlayer::isPlaying() const { return stage_->playback && stage_->playback->root().playing; }

void MoviePlayer::setLoop(bool loop)
{
    stage_->loop = loop;
    for (const auto& pb : stage_->all())
        pb->loop = loop;
}

bool MoviePlayer::loop() const { return stage_->loop; }

void MoviePlayer::advance()
{
    stage_->hooks.clock.frameAdvanced(info().frameRate);
    auto playback = stage_->playback;
    if (!playback || playback->closed())
        return;
    playback->tick();
    // A script loaded another movie onto level 0: it takes the whole stage.
    if (auto replacement = playback->takeMainReplacement(); replacement && stage_->playback == playback) {
        closePlayback(stage_->playback);
        stage_->start(std::move(replacement), true);
    }
}

void MoviePlayer::rewind() { gotoFrame(0); }

void MoviePlayer::forward() { gotoFrame(currentFrame() + 1); }

void MoviePlayer::back() { gotoFrame(currentFrame() - 1); }

bool MoviePlayer::gotoFrame(int frame) { return tGotoFrame(u"/", frame); }

bool MoviePlayer::gotoLabel(std::u16string_view label) { return tGotoLabel(u"/", label); }

int MoviePlayer::currentFrame() const { return tCurrentFrame(u"/").value_or(0); }

int MoviePlayer::totalFrames() const { return stage_->playback ? stage_->playback->movie().root.frameCount() : 0; }

bool MoviePlayer::frameLoaded(int frame) const { return frame >= 0 && frame < totalFrames(); }

int MoviePlayer::percentLoaded() const { return stage_->playback ? 100 : 0; }

bool MoviePlayer::tGotoFrame(std::u16string_view target, int frame)
{
    auto [pb, clip] = stage_->locate(target);
    if (!clip || !pb->gotoFrame(*clip, frame, false))
        return false;
    pb->runQueuedActions();
    return true;
}

bool MoviePlayer::tGotoLabel(std::u16string_view target, std::u16string_view label)
{
    auto [pb, clip] = stage_->locate(target);
    if (!clip || !pb->gotoLabel(*clip, label, false))
        return false;
    pb->runQueuedActions();
    return true;
}

std::optional<int> MoviePlayer::tCurrentFrame(std::u16string_view target) const
{
    auto clip = stage_->target(target);
    if (!clip || !clip->isClip())
        return std::nullopt;
    return std::max(clip->frame, 0);
}

std::optional<std::u16string> MoviePlayer::tCurrentLabel(std::u16string_view target) const
{
    auto clip = stage_->target(target);
    if (!clip || !clip->isClip())
        return std::nullopt;
    return clip->timeline()->labelAt(clip->frame);
}

bool MoviePlayer::tPlay(std::u16string_view target)
{
    auto clip = stage_->target(target);
    if (!clip || !clip->isClip())
        return false;
    clip->playing = true;
    return true;
}

bool MoviePlayer::tStopPlay(std::u16string_view target)
{
    auto clip = stage_->target(target);
    if (!clip || !clip->isClip())
        return false;
    clip->playing = false;
    return true;
}

bool MoviePlayer::tCallFrame(std::u16string_view target, int frame)
{
    auto [pb, clip] = stage_->locate(target);
    if (!clip || !pb->callFrame(*clip, frame))
        return false;
    pb->runQueuedActions();
    return true;
}

bool MoviePlayer::tCallLabel(std::u16string_view target, std::u16string_view label)
{
    auto clip = stage_->target(target);
    if (!clip || !clip->isClip())
        return false;
    auto frame = clip->timeline()->findLabel(label);
    return frame && tCallFrame(target, *frame);
}

std::optional<std::u16string> MoviePlayer::tGetProperty(std::u16string_view target, int property) const
{
    auto [pb, clip] = stage_->locate(target);
    if (!clip || property < 0 || property >= kPropertyCount)
        return std::nullopt;
    return getProperty(*pb, *clip, property).toString();
}

std::optional<double> MoviePlayer::tGetPropertyNum(std::u16string_view target, int property) const
{
    auto [pb, clip] = stage_->locate(target);
    if (!clip || property < 0 || property >= kPropertyCount)
        return std::nullopt;
    double n = getProperty(*pb, *clip, property).toNumber(pb->version());
    if (std::isnan(n))
        return std::nullopt;
    return n;
}

bool MoviePlayer::tSetProperty(std::u16string_view target, int property, std::u16string_view value)
{
    auto [pb, clip] = stage_->locate(target);
    return clip && setProperty(*pb, *clip, property, Value(std::u16string(value)));
}

bool MoviePlayer::tSetPropertyNum(std::u16string_view target, int property, double value)
{
    auto [pb, clip] = stage_->locate(target);
    return clip && setProperty(*pb, *clip, property, Value(value));
}

std::optional<std::u16string> MoviePlayer::getVariable(std::u16string_view path) const
{
    auto pb = stage_->playback;
    if (!pb || stage_->namesEmptyLevel(path))
        return std::nullopt;
    auto value = pb->getVariable(pb->root(), path);
    if (!value || value->isUndefined())
        return std::nullopt;
    return value->toString();
}

bool MoviePlayer::setVariable(std::u16string_view path, std::u16string_view value)
{
    auto pb = stage_->playback;
    if (!pb || path.empty() || stage_->namesEmptyLevel(path))
        return false;
    pb->setVariable(pb->root(), path, Value(std::u16string(value)));
    return true;
}

void MoviePlayer::setViewport(int width, int height)
{
    stage_->view.width = width;
    stage_->view.height = height;
    stage_->repaint = true;
}

void MoviePlayer::setScaleMode(ScaleMode mode)
{
    stage_->view.mode = mode;
    stage_->repaint = true;
}

ScaleMode MoviePlayer::scaleMode() const { return stage_->view.mode; }

void MoviePlayer::setAlign(int flags)
{
    stage_->view.align = flags;
    stage_->repaint = true;
}

int MoviePlayer::align() const { return stage_->view.align; }

void MoviePlayer::zoom(int percent)
{
    stage_->view.zoomBy(percent, info().frame);
    stage_->repaint = true;
}

void MoviePlayer::setZoomRect(const Rect& twips)
{
    stage_->view.zoom = twips.empty() ? Rect{} : twips;
    stage_->repaint = true;
}

void MoviePlayer::pan(int x, int y, int mode)
{
    stage_->view.panBy(x, y, mode, info().frame);
    stage_->repaint = true;
}

Matrix MoviePlayer::viewMatrix() const { return stage_->view.matrix(info().frame); }

void MoviePlayer::setBackgroundColor(std::int32_t rgb)
{
    stage_->background = rgb < 0 ? -1 : rgb & 0xFFFFFF;
    stage_->repaint = true;
}

std::int32_t MoviePlayer::backgroundColor() const
{
    if (stage_->background >= 0)
        return stage_->background;
    return std::int32_t(info().background & 0xFFFFFF);
}

bool MoviePlayer::setQuality(std::u16string_view name)
{
    auto known = qualityName(name);
    if (!known)
        return false;
    stage_->quality = *known;
    if (stage_->playback)
        stage_->playback->quality = *known;
    stage_->repaint = true;
    return true;
}

std::u16string MoviePlayer::quality() const
{
    return stage_->playback ? stage_->playback->quality : stage_->quality;
}

void MoviePlayer::render(Canvas& canvas)
{
    canvas.setAntiAliased(quality() != u"LOW");
    canvas.clear(0xFF000000 | Argb(backgroundColor()));
    // Every level in the main movie's frame and view.
    Matrix view = viewMatrix();
    for (const auto& pb : stage_->all()) {
        pb->syncTextFields();
        renderTree(*pb, view, canvas);
        pb->dirty = false;
    }
    stage_->repaint = false;
}

bool MoviePlayer::needsRepaint() const
{
    if (stage_->repaint)
        return true;
    for (const auto& pb : stage_->all())
        if (pb->dirty)
            return true;
    return false;
}

void MoviePlayer::mouseMove(double x, double y)
{
    Point p = viewMatrix().inverse().apply({x, y});
    for (const auto& pb : stage_->all())
        if (!pb->closed())
            pb->mouseMove(p);
}

void MoviePlayer::mouseDown(double x, double y)
{
    Point p = viewMatrix().inverse().apply({x, y});
    for (const auto& pb : stage_->all())
        if (!pb->closed())
            pb->mouseDown(p);
}

void MoviePlayer::mouseUp(double x, double y)
{
    Point p = viewMatrix().inverse().apply({x, y});
    for (const auto& pb : stage_->all())
        if (!pb->closed())
            pb->mouseUp(p);
}

bool MoviePlayer::overButton() const
{
    for (const auto& pb : stage_->all())
        if (pb->overButton())
            return true;
    return false;
}

void MoviePlayer::mouseWheel(int delta)
{
    for (const auto& pb : stage_->all())
        pb->mouseWheel(delta);
}

bool MoviePlayer::cursorHidden() const
{
    for (const auto& pb : stage_->all())
        if (pb->cursorHidden && !pb->closed())
            return true;
    return false;
}

std::vector<MoviePlayer::MenuItem> MoviePlayer::contextMenu(double x, double y)
{
    auto playback = stage_->playback;
    if (!playback || playback->closed())
        return {};
    using C = MenuCommand;
    std::vector<MenuItem> items;
    auto entries = playback->contextMenu(viewMatrix().inverse().apply({x, y}));
    int section = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& entry = entries[i];
        if (entry.builtIn.empty()) {
            items.push_back({entry.caption, C::Script, i, entry.enabled, entry.separatorBefore});
            continue;
        }
        // Each built-in item's commands, in sections: zoom, quality, the
        // timeline, printing; a separator comes before each section.
        std::vector<MenuItem> group;
        int groupSection = 0;
        const std::u16string& name = entry.builtIn;
        const std::u16string& quality = playback->quality;
        bool frames = totalFrames() > 1;
        if (name == u"zoom") {
            group = {{u"Zoom In", C::ZoomIn}, {u"Zoom Out", C::ZoomOut}, {u"Show All", C::ShowAll}};
            groupSection = 1;
        } else if (name == u"quality") {
            group = {{u"Low", C::QualityLow, 0, true, false, quality == u"LOW"},
                     {u"Medium", C::QualityMedium, 0, true, false, quality == u"MEDIUM"},
                     {u"High", C::QualityHigh, 0, true, false, quality == u"HIGH" || quality == u"BEST"}};
            groupSection = 2;
        } else if (name == u"play" || name == u"loop" || name == u"rewind" || name == u"forward_back") {
            if (name == u"play")
                group = {{u"Play", C::Play, 0, true, false, isPlaying()}};
            else if (name == u"loop")
                group = {{u"Loop", C::Loop, 0, true, false, loop()}};
            else if (name == u"rewind")
                group = {{u"Rewind", C::Rewind, 0, frames}};
            else
                group = {{u"Forward", C::Forward, 0, frames}, {u"Back", C::Back, 0, frames}};
            groupSection = 3;
        } else if (name == u"print") {
            group = {{u"Print...", C::Print, 0, false}}; // this player does not print
            groupSection = 4;
        }
        if (group.empty())
            continue;
        group.front().separatorBefore = !items.empty() && (groupSection != section || items.back().command == C::Script);
        section = groupSection;
        items.insert(items.end(), group.begin(), group.end());
    }
    stage_->repaint = true;
    return items;
}

void MoviePlayer::chooseMenuItem(const MenuItem& item)
{
    auto playback = stage_->playback;
    if (!playback || !item.enabled)
        return;
    using C = MenuCommand;
    switch (item.command) {
    case C::Script: playback->chooseMenuItem(item.scriptIndex); break;
    case C::ZoomIn: zoom(50); break;
    case C::ZoomOut: zoom(200); break;
    case C::ShowAll: zoom(0); break;
    case C::QualityLow: playback->quality = u"LOW"; break;
    case C::QualityMedium: playback->quality = u"MEDIUM"; break;
    case C::QualityHigh: playback->quality = u"HIGH"; break;
    case C::Play: isPlaying() ? stop() : play(); break;
    case C::Loop: setLoop(!loop()); break;
    case C::Rewind: rewind(); break;
    case C::Forward: forward(); break;
    case C::Back: back(); break;
    case C::Print: break;
    }
    stage_->repaint = true;
}

void MoviePlayer::keyDown(unsigned code, unsigned ascii)
{
    for (const auto& pb : stage_->all())
        pb->keyDown(code, ascii);
}

void MoviePlayer::keyUp(unsigned code, unsigned ascii)
{
    for (const auto& pb : stage_->all())
        pb->keyUp(code, ascii);
}

void MoviePlayer::setKeyToggled(unsigned code, bool on)
{
    if (code >= 256)
        return;
    for (const auto& pb : stage_->all())
        pb->machine().keys().toggled[code] = on;
}

void MoviePlayer::releaseKeys()
{
    for (const auto& pb : stage_->all())
        std::fill(std::begin(pb->machine().keys().down), std::end(pb->machine().keys().down), false);
}

void MoviePlayer::setFsCommandHandler(FsCommandHandler handler) { stage_->hooks.fsCommand = std::move(handler); }
void MoviePlayer::setTraceHandler(TraceHandler handler) { stage_->hooks.trace = std::move(handler); }
void MoviePlayer::setUrlHandler(UrlHandler handler) { stage_->hooks.url = std::move(handler); }
void MoviePlayer::setFileReader(FileReader reader) { stage_->hooks.readFile = std::move(reader); }
void MoviePlayer::setSharedObjectFolder(std::filesystem::path folder) { stage_->hooks.sharedObjects = std::move(folder); }

void MoviePlayer::setClock(MovieClock::Kind kind) { stage_->hooks.clock = MovieClock(kind); }
void MoviePlayer::setClipboardHandler(ClipboardHandler handler) { stage_->hooks.clipboard = std::move(handler); }
void MoviePlayer::setExternalCallHandler(ExternalCallHandler handler) { stage_->hooks.externalCall = std::move(handler); }

std::optional<std::u16string> MoviePlayer::callFunction(std::u16string_view request)
{
    auto pb = stage_->playback; // held: the call may replace it
    if (!pb)
        return std::nullopt;
    Machine& m = pb->machine();
    auto call = decodeInvoke(m, request);
    if (!call)
        return std::nullopt;
    auto found = m.externalCallbacks().find(call->name);
    if (found == m.externalCallbacks().end())
        return std::nullopt;
    Machine::Callback callback = found->second;
    Value result = pb->callFromHost(callback.instance, callback.method, call->args);
    return encodeExternal(m, result);
}

} // namespace lumbra::movie
