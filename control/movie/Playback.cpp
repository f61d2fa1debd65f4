#include "control/movie/Playback.h"

#include "control/movie/ActionInterpreter.h"
#include "control/movie/actions/Machine.h"

#include <algorithm>
#include <map>

namespace lumbra::movie {

namespace {

// Interpreter steps one host call or frame tick may spend on actions.
constexpr long kStepBudget = 200000;
// Actions that run actions (frame calls, host calls from an fscommand) nest at most this deep.
constexpr int kMaxActionDepth = 16;
// Clips inside clips: deeper placements are refused.
constexpr int kMaxNesting = 32;
// Live objects of one stage; more placements are refused.
constexpr std::size_t kMaxObjects = 20000;

int nestingOf(const DisplayObject& object)
{
    int n = 0;
    for (const DisplayObject* p = object.parent(); p; p = p->parent())
        ++n;
    return n;
}

} // namespace

Playback::Playback(std::shared_ptr<const Movie> movie, const HostHooks& hooks)
    : movie_(std::move(movie)), hooks_(hooks), census_(std::make_shared<std::size_t>(0)),
      started_(std::chrono::steady_clock::now())
{
    root_ = std::make_shared<DisplayObject>(nullptr, 0, nullptr, census_);
    root_->setRootTimeline(&movie_->root);
    root_->caseSensitiveNames = version() >= 7;
    machine_ = std::make_unique<Machine>(*this, version());
    SpriteDef empty;
    empty.timeline.frames.resize(1);
    emptyClip_ = std::move(empty);
}

Playback::~Playback() = default;

void Playback::start(bool autoPlay)
{
    root_->playing = autoPlay;
    enterFrame(*root_, 0);
    runQueuedActions();
}

void Playback::tick()
{
    if (closed_)
        return;
    ++tick_;
    advance(*root_);
    runQueuedActions();
    if (actionDepth_ == 0 && !closed_) {
        budget_ = kStepBudget;
        machine_->runIntervals(millisecondsSinceStart());
        machine_->runArrivals();
        runQueuedActions(); // clip events the arrivals raised (onClipEvent(data))
        if (machine_->heap().due())
            machine_->collectGarbage();
    }
}

void Playback::markRoots(Marker& marker) const
{
    std::vector<const DisplayObject*> pending{root_.get()};
    while (!pending.empty()) {
        const DisplayObject* object = pending.back();
        pending.pop_back();
        for (const auto& [name, value] : object->variables())
            marker.mark(value);
        for (const auto& [depth, child] : object->children())
            pending.push_back(child.get());
    }
}

void Playback::advance(DisplayObject& clip)
{
    if (clip.bornTick == tick_ && &clip != root_.get())
        return;
    queueEvent(clip, ClipEnterFrame, u"onEnterFrame");
    int count = clip.timeline()->frameCount();
    if (clip.playing && count > 1) {
        int next = clip.frame + 1;
        if (next >= count) {
            bool wraps = &clip != root_.get() || loop;
            if (wraps)
                enterFrame(clip, 0);
            else
                clip.playing = false;
        } else {
            enterFrame(clip, next);
        }
    }
    std::vector<std::shared_ptr<DisplayObject>> children;
    for (const auto& [depth, child] : clip.children())
        if (child->isClip())
            children.push_back(child);
    for (const auto& child : children) {
        auto still = clip.children().find(child->depth);
        if (still != clip.children().end() && still->second == child && !closed_)
            advance(*child);
    }
}

bool Playback::gotoFrame(DisplayObject& clip, int frame, bool play)
{
    if (!clip.isClip() || frame < 0 || frame >= clip.timeline()->frameCount())
        return false;
    clip.playing = play;
    enterFrame(clip, frame);
    return true;
}

bool Playback::gotoLabel(DisplayObject& clip, std::u16string_view label, bool play)
{
    if (!clip.isClip())
        return false;
    auto frame = clip.timeline()->findLabel(label);
    return frame && gotoFrame(clip, *frame, play);
}

bool Playback::callFrame(DisplayObject& clip, int frame)
{
    if (!clip.isClip() || frame < 0 || frame >= clip.timeline()->frameCount())
        return false;
    auto keep = clip.shared_from_this();
    for (const auto& actions : clip.timeline()->frames[frame].actions) {
        if (!enterActions())
            break;
        runActionBlock(*this, clip, actions);
        leaveActions();
    }
    return true;
}

void Playback::enterFrame(DisplayObject& clip, int frame)
{
    if (frame == clip.frame)
        return;
    const Timeline& timeline = *clip.timeline();
    const Frame& entered = timeline.frames[frame];
    for (const auto& actions : entered.initActions) {
        if (std::ranges::find(initDone_, &actions) != initDone_.end())
            continue;
        initDone_.push_back(&actions);
        queueActions(*root_, actions);
    }
    std::size_t queued = 0;
    if (frame > clip.frame) {
        for (int f = clip.frame + 1; f < frame; ++f)
            for (const auto& command : timeline.frames[f].commands)
                applyCommand(clip, command);
        // The entered frame's blocks take their places among its commands.
        for (std::size_t c = 0; c <= entered.commands.size(); ++c) {
            for (; queued < entered.actions.size() &&
                   (queued >= entered.actionPositions.size() || entered.actionPositions[queued] <= c);
                 ++queued)
                queueActions(clip, entered.actions[queued]);
            if (c < entered.commands.size())
                applyCommand(clip, entered.commands[c]);
        }
    } else {
        rebuildTo(clip, frame);
        dirty = true;
    }
    clip.frame = frame;
    for (; queued < entered.actions.size(); ++queued)
        queueActions(clip, entered.actions[queued]);
}

// Going back: the display list the frame would have when played from the start,
// keeping the objects that are there already with the same character.
void Playback::rebuildTo(DisplayObject& clip, int frame)
{
    std::map<int, PlaceCommand> wanted;
    const Timeline& timeline = *clip.timeline();
    for (int f = 0; f <= frame; ++f) {
        for (const auto& command : timeline.frames[f].commands) {
            if (auto remove = std::get_if<RemoveCommand>(&command)) {
                wanted.erase(remove->depth);
                continue;
            }
            const auto& place = std::get<PlaceCommand>(command);
            auto it = wanted.find(place.depth);
            if (!place.move || it == wanted.end()) {
                if (place.character && !place.move)
                    wanted[place.depth] = place;
                continue;
            }
            PlaceCommand& state = it->second;
            if (place.character)
                state.character = place.character;
            if (place.matrix)
                state.matrix = place.matrix;
            if (place.colorTransform)
                state.colorTransform = place.colorTransform;
            if (place.ratio)
                state.ratio = place.ratio;
            if (place.name)
                state.name = place.name;
        }
    }
    auto& children = clip.children();
    for (auto it = children.begin(); it != children.end();) {
        const DisplayObject& child = *it->second;
        auto want = wanted.find(it->first);
        if (child.placedByTimeline && (want == wanted.end() || *want->second.character != child.characterId()))
            it = children.erase(it);
        else
            ++it;
    }
    for (auto& [depth, place] : wanted) {
        auto existing = children.find(depth);
        if (existing == children.end()) {
            create(clip, *place.character, place);
            continue;
        }
        DisplayObject& child = *existing->second;
        if (!child.placedByTimeline)
            continue;
        child.matrix = place.matrix.value_or(Matrix{});
        child.colorTransform = place.colorTransform.value_or(ColorTransform{});
        child.ratio = place.ratio.value_or(0);
    }
}

void Playback::applyCommand(DisplayObject& clip, const DisplayCommand& command)
{
    auto& children = clip.children();
    if (auto remove = std::get_if<RemoveCommand>(&command)) {
        if (children.erase(remove->depth) > 0)
            dirty = true;
        return;
    }
    const auto& place = std::get<PlaceCommand>(command);
    auto existing = children.find(place.depth);
    if (!place.move) {
        if (place.character)
            create(clip, *place.character, place);
        return;
    }
    if (existing == children.end())
        return;
    std::shared_ptr<DisplayObject> target = existing->second;
    if (place.character && *place.character != target->characterId()) {
        // A new character at the depth takes over the old object's placement.
        PlaceCommand merged = place;
        merged.matrix = place.matrix.value_or(target->matrix);
        merged.colorTransform = place.colorTransform.value_or(target->colorTransform);
        if (!place.name && !target->name.empty())
            merged.name = target->name;
        create(clip, *place.character, merged);
        return;
    }
    if (place.matrix)
        target->matrix = *place.matrix;
    if (place.colorTransform)
        target->colorTransform = *place.colorTransform;
    if (place.ratio)
        target->ratio = *place.ratio;
    if (place.name)
        target->name = *place.name;
    if (place.effects)
        target->effects = *place.effects;
    dirty = true;
}

std::shared_ptr<DisplayObject> Playback::create(DisplayObject& parent, std::uint16_t id, const PlaceCommand& place)
{
    const Character* character = movie_->find(id);
    if (!character || *census_ >= kMaxObjects || nestingOf(parent) >= kMaxNesting)
        return nullptr;
    auto object = std::make_shared<DisplayObject>(character, id, &parent, census_);
    object->caseSensitiveNames = parent.caseSensitiveNames;
    object->depth = place.depth;
    object->matrix = place.matrix.value_or(Matrix{});
    object->colorTransform = place.colorTransform.value_or(ColorTransform{});
    object->ratio = place.ratio.value_or(0);
    object->clipLayer = place.clipLayer;
    object->clipDepth = place.clipDepth;
    object->effects = place.effects.value_or(LayerEffects{});
    object->clipActions = place.clipActions;
    object->bornTick = tick_;
    if (place.name)
        object->name = *place.name;
    else if (object->isClip() || object->button())
        object->name = u"instance" + std::u16string(numberToString(nextInstance_++));
    parent.children()[place.depth] = object;
    dirty = true;

    if (auto text = object->text(); text && !text->variable.empty() && !text->initialText.empty()) {
        auto current = getVariable(parent, text->variable);
        if (!current || current->isUndefined())
            setVariable(parent, text->variable, text->initialText);
    }
    if (auto button = object->button()) {
        int index = 0;
        for (const auto& record : button->records) {
            PlaceCommand part;
            part.depth = index++;
            part.matrix = record.matrix;
            part.colorTransform = record.colorTransform;
            part.name = u"";
            if (auto child = create(*object, record.character, part))
                child->buttonStates = record.states;
        }
    }
    if (object->isClip()) {
        queueEvent(*object, ClipLoad, u"onLoad");
        enterFrame(*object, 0);
    }
    return object;
}

bool Playback::cloneClip(DisplayObject& source, std::u16string_view newName, int depth)
{
    DisplayObject* parent = source.parent();
    if (!parent || !source.isClip())
        return false;
    PlaceCommand place;
    place.depth = depth;
    place.matrix = source.matrix;
    place.colorTransform = source.colorTransform;
    place.name = std::u16string(newName);
    auto clone = create(*parent, source.characterId(), place);
    if (clone)
        clone->placedByTimeline = false;
    return clone != nullptr;
}

std::shared_ptr<DisplayObject> Playback::createEmptyClip(DisplayObject& parent, std::u16string_view name, int depth)
{
    if (!parent.isClip() || *census_ >= kMaxObjects || nestingOf(parent) >= kMaxNesting)
        return nullptr;
    auto object = std::make_shared<DisplayObject>(&emptyClip_, 0, &parent, census_);
    object->caseSensitiveNames = parent.caseSensitiveNames;
    object->depth = depth;
    object->name = std::u16string(name);
    object->bornTick = tick_;
    object->placedByTimeline = false;
    parent.children()[depth] = object;
    enterFrame(*object, 0);
    dirty = true;
    return object;
}

void Playback::swapDepth(DisplayObject& object, int depth)
{
    DisplayObject* parent = object.parent();
    if (!parent || depth == object.depth)
        return;
    auto& children = parent->children();
    auto self = children.find(object.depth);
    if (self == children.end() || self->second.get() != &object)
        return;
    std::shared_ptr<DisplayObject> moving = self->second;
    children.erase(self);
    if (auto other = children.find(depth); other != children.end()) {
        std::shared_ptr<DisplayObject> displaced = other->second;
        displaced->depth = moving->depth;
        displaced->placedByTimeline = false;
        children[displaced->depth] = displaced;
    }
    moving->depth = depth;
    moving->placedByTimeline = false;
    children[depth] = moving;
    dirty = true;
}

bool Playback::removeClip(DisplayObject& clip)
{
    DisplayObject* parent = clip.parent();
    if (!parent || clip.placedByTimeline)
        return false;
    parent->children().erase(clip.depth);
    dirty = true;
    return true;
}

void Playback::queueActions(DisplayObject& clip, const ActionBytes& actions)
{
    queue_.push_back({clip.weak_from_this(), &actions, nullptr, nullptr});
}

void Playback::queueEvent(DisplayObject& clip, std::uint32_t clipEvent, const char16_t* handler)
{
    if (clip.clipActions)
        for (const auto& action : *clip.clipActions)
            if (action.events & clipEvent)
                queue_.push_back({clip.weak_from_this(), &action.actions, nullptr, clip.clipActions});
    if (handler)
        queue_.push_back({clip.weak_from_this(), nullptr, handler, nullptr});
}

void Playback::runQueuedActions()
{
    if (draining_)
        return; // the outer drain picks up what was queued
    draining_ = true;
    if (actionDepth_ == 0)
        budget_ = kStepBudget;
    // Actions can queue more (a goto enters a frame): the budget ends ping-pong loops.
    for (std::size_t i = 0; i < queue_.size() && !closed_; ++i) {
        auto clip = queue_[i].clip.lock();
        if (!clip || !takeStep() || !enterActions())
            continue;
        if (queue_[i].actions)
            runActionBlock(*this, *clip, *queue_[i].actions);
        else
            runHandler(*this, *clip, queue_[i].handler);
        leaveActions();
    }
    queue_.clear();
    draining_ = false;
}

bool Playback::takeStep()
{
    if (closed_ || budget_ <= 0)
        return false;
    --budget_;
    return true;
}

bool Playback::enterActions()
{
    if (actionDepth_ >= kMaxActionDepth)
        return false;
    if (actionDepth_++ == 0 && !draining_)
        budget_ = kStepBudget;
    return true;
}

double Playback::random(double limit)
{
    if (!(limit >= 1))
        return 0;
    return double(random_() % std::uint64_t(std::min(limit, 2147483647.0)));
}

double Playback::millisecondsSinceStart() const
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started_).count();
}

} // namespace lumbra::movie
