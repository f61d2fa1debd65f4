#include "control/movie/MoviePlayer.h"

#include "control/movie/BitReader.h"
#include "control/movie/Movie.h"
#include "control/movie/Playback.h"
#include "control/movie/Properties.h"
#include "control/movie/Renderer.h"
#include "control/movie/View.h"

#include <cmath>

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
    std::shared_ptr<Playback> playback;
    MovieInfo emptyInfo;

    std::shared_ptr<DisplayObject> target(std::u16string_view path) const
    {
        return playback ? playback->resolveTarget(playback->root(), path) : nullptr;
    }
};

MoviePlayer::MoviePlayer() : stage_(std::make_unique<Stage>()) {}

MoviePlayer::~MoviePlayer()
{
    unload();
}

bool MoviePlayer::load(std::span<const std::uint8_t> bytes, bool autoPlay)
{
    unload();
    std::shared_ptr<const Movie> movie;
    try {
        movie = std::make_shared<const Movie>(parseMovie(bytes));
    } catch (const FormatError& e) {
        stage_->error = e.what();
        return false;
    }
    stage_->error.clear();
    stage_->view.zoom = {};
    auto playback = std::make_shared<Playback>(movie, stage_->hooks);
    playback->loop = stage_->loop;
    stage_->playback = playback;
    stage_->repaint = true;
    playback->start(autoPlay);
    return true;
}

void MoviePlayer::unload()
{
    if (stage_->playback) {
        stage_->playback->close();
        stage_->playback.reset();
        stage_->repaint = true;
    }
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
    if (stage_->playback)
        stage_->playback->loop = loop;
}

bool MoviePlayer::loop() const { return stage_->loop; }

void MoviePlayer::advance()
{
    if (auto pb = stage_->playback)
        pb->tick();
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
    auto pb = stage_->playback;
    auto clip = stage_->target(target);
    if (!clip || !pb->gotoFrame(*clip, frame, false))
        return false;
    pb->runQueuedActions();
    return true;
}

bool MoviePlayer::tGotoLabel(std::u16string_view target, std::u16string_view label)
{
    auto pb = stage_->playback;
    auto clip = stage_->target(target);
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
    auto pb = stage_->playback;
    auto clip = stage_->target(target);
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
    auto clip = stage_->target(target);
    if (!clip || property < 0 || property >= kPropertyCount)
        return std::nullopt;
    return getProperty(*stage_->playback, *clip, property).toString();
}

std::optional<double> MoviePlayer::tGetPropertyNum(std::u16string_view target, int property) const
{
    auto clip = stage_->target(target);
    if (!clip || property < 0 || property >= kPropertyCount)
        return std::nullopt;
    double n = getProperty(*stage_->playback, *clip, property).toNumber(stage_->playback->version());
    if (std::isnan(n))
        return std::nullopt;
    return n;
}

bool MoviePlayer::tSetProperty(std::u16string_view target, int property, std::u16string_view value)
{
    auto clip = stage_->target(target);
    return clip && setProperty(*stage_->playback, *clip, property, Value(std::u16string(value)));
}

bool MoviePlayer::tSetPropertyNum(std::u16string_view target, int property, double value)
{
    auto clip = stage_->target(target);
    return clip && setProperty(*stage_->playback, *clip, property, Value(value));
}

std::optional<std::u16string> MoviePlayer::getVariable(std::u16string_view path) const
{
    auto pb = stage_->playback;
    if (!pb)
        return std::nullopt;
    auto value = pb->getVariable(pb->root(), path);
    if (!value || value->isUndefined())
        return std::nullopt;
    return value->toString();
}

bool MoviePlayer::setVariable(std::u16string_view path, std::u16string_view value)
{
    auto pb = stage_->playback;
    if (!pb || path.empty())
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

void MoviePlayer::render(Canvas& canvas)
{
    canvas.clear(0xFF000000 | Argb(backgroundColor()));
    if (auto pb = stage_->playback) {
        renderTree(*pb, viewMatrix(), canvas);
        pb->dirty = false;
    }
    stage_->repaint = false;
}

bool MoviePlayer::needsRepaint() const
{
    return stage_->repaint || (stage_->playback && stage_->playback->dirty);
}

void MoviePlayer::mouseMove(double x, double y)
{
    if (auto pb = stage_->playback)
        pb->mouseMove(viewMatrix().inverse().apply({x, y}));
}

void MoviePlayer::mouseDown(double x, double y)
{
    if (auto pb = stage_->playback)
        pb->mouseDown(viewMatrix().inverse().apply({x, y}));
}

void MoviePlayer::mouseUp(double x, double y)
{
    if (auto pb = stage_->playback)
        pb->mouseUp(viewMatrix().inverse().apply({x, y}));
}

bool MoviePlayer::overButton() const { return stage_->playback && stage_->playback->overButton(); }

void MoviePlayer::setFsCommandHandler(FsCommandHandler handler) { stage_->hooks.fsCommand = std::move(handler); }
void MoviePlayer::setTraceHandler(TraceHandler handler) { stage_->hooks.trace = std::move(handler); }
void MoviePlayer::setUrlHandler(UrlHandler handler) { stage_->hooks.url = std::move(handler); }

} // namespace lumbra::movie
