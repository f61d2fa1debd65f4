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
// Walking a timeline to a frame costs the running actions' steps: one per
// display command or init action block and one per this many frames passed, so a script jumping
// back and forth on a long timeline runs out of steps like an endless loop.
constexpr std::size_t kFramesPerStep = 64;

// The file's depths 1, 2 ... are -16383, -16382 ... for scripts: what the
// timeline places lies under what scripts place at depths from 0 on.
constexpr int kTimelineDepthBase = -16384;
// removeMovieClip leaves alone what lies above the depths scripts are given.
constexpr int kMaxRemovableDepth = 1048575;

PlaceCommand atScriptDepth(const PlaceCommand& place)
{
    PlaceCommand out = place;
    out.depth += kTimelineDepthBase;
    if (place.clipLayer)
        out.clipDepth += kTimelineDepthBase;
    return out;
}

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
      drawingPoints_(std::make_shared<std::size_t>(0))
{
    root_ = std::make_shared<DisplayObject>(nullptr, 0, nullptr, census_);
    root_->setRootTimeline(&movie_->root);
    root_->caseSensitiveNames = version() >= 7;
    machine_ = std::make_unique<Machine>(*this, version());
    SpriteDef empty;
    empty.timeline.frames.resize(1);
    emptyClip_ = std::move(empty);
    emptyText_ = EditTextDef{};
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
    runLoads();
    if (mainReplacement_)
        return; // the movie that replaces this one plays the frame
    if (actionDepth_ == 0) {
        // Data that arrived comes first: onClipEvent(data), onData and onLoad
        // run before the enterFrame events of the frame.
        budget_ = kStepBudget;
        machine_->runArrivals();
        runQueuedActions();
    }
    for (const auto& level : levels())
        if (!closed_)
            advance(*level);
    runQueuedActions();
    if (actionDepth_ == 0 && !closed_) {
        budget_ = kStepBudget;
        machine_->runIntervals(millisecondsSinceStart());
        runQueuedActions(); // clip events the timers raised
        if (machine_->heap().due())
            machine_->collectGarbage();
    }
    syncTextFields();
}

void Playback::markRoots(Marker& marker) const
{
    for (const auto& [key, registered] : classes_)
        marker.mark(registered.constructor);
    std::vector<const DisplayObject*> pending{root_.get()};
    for (const auto& [number, level] : upperLevels_)
        pending.push_back(level.get());
    for (const auto& load : loads_)
        marker.mark(load.loader);
    for (const auto& item : menuItems_)
        marker.mark(item);
    for (const auto& queued : queue_)
        if (queued.hold)
            pending.push_back(queued.hold.get());
    while (!pending.empty()) {
        const DisplayObject* object = pending.back();
        pending.pop_back();
        marker.mark(object->prototype);
        for (const auto& [name, value] : object->variables())
            marker.mark(value);
        for (const auto& watch : object->watches) {
            marker.mark(watch.callback);
            marker.mark(watch.data);
        }
        if (object->textField)
            for (const Value& listener : object->textField->listeners)
                marker.mark(listener);
        if (object->textField)
            marker.mark(object->textField->styleSheetObject);
        for (const auto& [depth, child] : object->children())
            pending.push_back(child.get());
    }
}

// Children move on before their parent, the topmost first; each clip's
// enterFrame handlers come before the actions of the frame it enters.
void Playback::advance(DisplayObject& clip)
{
    if (clip.bornTick == tick_ && &clip != root_.get())
        return;
    std::vector<std::shared_ptr<DisplayObject>> children;
    for (const auto& [depth, child] : clip.children())
        if (child->isClip())
            children.push_back(child);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const auto& child = *it;
        auto still = clip.children().find(child->depth);
        if (still != clip.children().end() && still->second == child && !closed_)
            advance(*child);
    }
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
    runInitActions(clip, entered);
    // The unload events of what the frame removes come first, then the
    // frame's own blocks; a clip placed here loads and runs its first frame
    // after them.
    std::optional<std::size_t> outerUnloads = unloadsAt_;
    unloadsAt_ = queue_.size();
    for (const auto& actions : entered.actions)
        queueActions(clip, actions, &entered);
    if (frame > clip.frame) {
        spendSteps(std::size_t(frame - clip.frame) / kFramesPerStep);
        for (int f = clip.frame + 1; f <= frame; ++f) {
            spendSteps(timeline.frames[f].commands.size());
            for (const auto& command : timeline.frames[f].commands)
                applyCommand(clip, command);
        }
    } else {
        rebuildTo(clip, frame);
        dirty = true;
    }
    unloadsAt_ = outerUnloads;
    clip.frame = frame;
}

// Class definitions (#initclip blocks) run at once, before the frame places
// the clips that may use them, and only the first time their frame comes.
void Playback::runInitActions(DisplayObject& clip, const Frame& frame)
{
    auto root = rootOf(clip);
    spendSteps(frame.initActions.size());
    for (const auto& actions : frame.initActions) {
        if (!initDone_.insert(&actions).second)
            continue;
        if (!enterActions())
            continue;
        runActionBlock(*this, *root, actions);
        leaveActions();
    }
}

// Going back: the display list the frame would have when played from the start,
// keeping the objects that are there already with the same character, and
// whatever scripts placed.
void Playback::rebuildTo(DisplayObject& clip, int frame)
{
    std::map<int, PlaceCommand> wanted;
    const Timeline& timeline = *clip.timeline();
    spendSteps(std::size_t(frame + 1) / kFramesPerStep);
    for (int f = 0; f <= frame; ++f) {
        spendSteps(timeline.frames[f].commands.size());
        for (const auto& command : timeline.frames[f].commands) {
            if (auto remove = std::get_if<RemoveCommand>(&command)) {
                wanted.erase(remove->depth + kTimelineDepthBase);
                continue;
            }
            PlaceCommand place = atScriptDepth(std::get<PlaceCommand>(command));
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
        auto child = it->second;
        auto want = wanted.find(it->first);
        if (child->placedByTimeline && (want == wanted.end() || *want->second.character != child->characterId())) {
            it = children.erase(it);
            queueUnload(child);
        } else {
            ++it;
        }
    }
    for (auto& [depth, place] : wanted) {
        auto existing = children.find(depth);
        if (existing == children.end()) {
            create(clip, *place.character, place);
            continue;
        }
        DisplayObject& child = *existing->second;
        if (!child.placedByTimeline || child.scriptTransformed)
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
        auto it = children.find(remove->depth + kTimelineDepthBase);
        if (it != children.end()) {
            auto removed = it->second;
            children.erase(it);
            queueUnload(removed);
            dirty = true;
        }
        return;
    }
    const auto place = atScriptDepth(std::get<PlaceCommand>(command));
    auto existing = children.find(place.depth);
    if (!place.move) {
        // A new object on a taken depth replaces the one there, which unloads.
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
        children.erase(existing);
        queueUnload(target);
        create(clip, *place.character, merged);
        return;
    }
    // A clip a script has moved no longer follows the timeline's moves.
    if (!target->scriptTransformed) {
        if (place.matrix)
            target->matrix = *place.matrix;
        if (place.colorTransform)
            target->colorTransform = *place.colorTransform;
        if (place.ratio)
            target->ratio = *place.ratio;
    }
    if (place.name)
        target->name = *place.name;
    if (place.effects)
        target->effects = *place.effects;
    dirty = true;
}

std::shared_ptr<DisplayObject> Playback::create(DisplayObject& parent, std::uint16_t id, const PlaceCommand& place,
                                                ActionObject* init)
{
    auto [character, source] = characterFor(parent, id);
    if (!character || *census_ >= kMaxObjects || nestingOf(parent) >= kMaxNesting)
        return nullptr;
    auto object = std::make_shared<DisplayObject>(character, id, &parent, census_);
    object->definitions = std::move(source);
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
    else if (object->scriptable())
        object->name = u"instance" + std::u16string(numberToString(nextInstance_++));
    insert(parent, object);

    if (auto text = object->text()) {
        object->textField = std::make_unique<TextField>(*text);
        object->textField->fonts = &movieOf(*object).fieldFonts;
        if (!text->variable.empty() && !text->initialText.empty()) {
            auto current = getVariable(parent, text->variable);
            if (!current || current->isUndefined())
                setVariable(parent, text->variable, text->initialText);
        }
        syncTextField(*object);
    }
    if (auto button = object->button()) {
        int index = 0;
        for (const auto& record : button->records) {
            PlaceCommand part;
            part.depth = index++;
            part.matrix = record.matrix;
            part.colorTransform = record.colorTransform;
            part.effects = record.effects;
            part.name = u"";
            if (auto child = create(*object, record.character, part))
                child->buttonStates = record.states;
        }
    }
    if (object->isClip())
        startClip(*object, init);
    return object;
}

// Puts an object at its depth, the one there before leaving the stage.
void Playback::insert(DisplayObject& parent, const std::shared_ptr<DisplayObject>& object)
{
    auto& slot = parent.children()[object->depth];
    if (slot && slot != object)
        queueUnload(slot);
    slot = object;
    dirty = true;
}

// A new clip: the init object's members, then its class's constructor, both
// at once; its load event and first frame follow what is queued already.
void Playback::startClip(DisplayObject& clip, ActionObject* init)
{
    auto self = clip.shared_from_this();
    // A copy: the constructor may register classes.
    const Value* found = registeredClass(clip);
    const Value registered = found ? *found : Value();
    if (found)
        clip.prototype = machine_->get(registered, u"prototype");
    if (init)
        for (const auto& property : init->names())
            machine_->set(Value(self), property, machine_->get(Value(init), property));
    if (found && enterActions()) {
        machine_->pushClip(self);
        try {
            machine_->call(registered, Value(self), {});
        } catch (const ScriptThrow&) {
        } catch (const ScriptAbort&) {
        }
        machine_->popClip();
        leaveActions();
    }
    queueEvent(clip, ClipInitialize | ClipConstruct, nullptr);
    queueEvent(clip, ClipLoad, u"onLoad");
    enterFrame(clip, 0);
}

bool Playback::registerClass(const DisplayObject& from, std::u16string_view exportName, const Value& constructor)
{
    auto id = symbolFor(from, exportName);
    if (!id)
        return false;
    auto movie = definitionsOf(from);
    const std::pair key{movie.get(), *id};
    if (constructor.isObject())
        classes_[key] = {movie, constructor};
    else
        classes_.erase(key);
    return true;
}

// The symbols of a clip are those of the movie its parent plays.
const Value* Playback::registeredClass(const DisplayObject& clip)
{
    if (clip.character() == &emptyClip_)
        return nullptr;
    const DisplayObject* owner = clip.parent() ? clip.parent() : &clip;
    auto it = classes_.find({&movieOf(*owner), clip.characterId()});
    if (it == classes_.end())
        return nullptr;
    if (it->second.movie.expired()) {
        classes_.erase(it);
        return nullptr;
    }
    return &it->second.constructor;
}

std::shared_ptr<DisplayObject> Playback::attach(DisplayObject& parent, std::u16string_view exportName,
                                                std::u16string_view name, int depth, ActionObject* init)
{
    auto id = symbolFor(parent, exportName);
    if (!id || !parent.isClip())
        return nullptr;
    PlaceCommand place;
    place.depth = depth;
    place.name = std::u16string(name);
    auto object = create(parent, *id, place, init);
    if (object)
        object->placedByTimeline = false;
    return object;
}

std::shared_ptr<DisplayObject> Playback::cloneClip(DisplayObject& source, std::u16string_view newName, int depth,
                                                   ActionObject* init)
{
    DisplayObject* parent = source.parent();
    if (!parent || !source.isClip())
        return nullptr;
    PlaceCommand place;
    place.depth = depth;
    place.matrix = source.matrix;
    place.colorTransform = source.colorTransform;
    place.name = std::u16string(newName);
    place.clipActions = source.clipActions;
    std::shared_ptr<DisplayObject> clone;
    if (source.character() == &emptyClip_) {
        // A clip made by script has no character to place: its copy takes
        // the same transforms and init members as a placed one's.
        clone = scriptObject(*parent, emptyClip_, newName, depth);
        if (!clone)
            return nullptr;
        clone->matrix = *place.matrix;
        clone->colorTransform = *place.colorTransform;
        insert(*parent, clone);
        startClip(*clone, init);
    } else {
        clone = create(*parent, source.characterId(), place, init);
    }
    if (!clone)
        return nullptr;
    clone->placedByTimeline = false;
    clone->visible = source.visible;
    if (source.drawing)
        clone->drawing = source.drawing->copy();
    return clone;
}

std::shared_ptr<DisplayObject> Playback::scriptObject(DisplayObject& parent, const Character& character,
                                                     std::u16string_view name, int depth)
{
    if (!parent.isClip() || *census_ >= kMaxObjects || nestingOf(parent) >= kMaxNesting)
        return nullptr;
    auto object = std::make_shared<DisplayObject>(&character, 0, &parent, census_);
    object->caseSensitiveNames = parent.caseSensitiveNames;
    object->depth = depth;
    object->name = std::u16string(name);
    object->bornTick = tick_;
    object->placedByTimeline = false;
    return object;
}

std::shared_ptr<DisplayObject> Playback::createEmptyClip(DisplayObject& parent, std::u16string_view name, int depth)
{
    auto object = scriptObject(parent, emptyClip_, name, depth);
    if (!object)
        return nullptr;
    insert(parent, object);
    enterFrame(*object, 0);
    return object;
}

std::shared_ptr<DisplayObject> Playback::createTextField(DisplayObject& parent, std::u16string_view name, int depth,
                                                         const Rect& box)
{
    auto object = scriptObject(parent, emptyText_, name, depth);
    if (!object)
        return nullptr;
    object->matrix = Matrix::translation(box.xMin, box.yMin);
    object->textField = std::make_unique<TextField>();
    object->textField->fonts = &movieOf(parent).fieldFonts;
    object->textField->bounds = Rect{0, 0, box.xMax - box.xMin, box.yMax - box.yMin};
    object->textField->editable = false;
    insert(parent, object);
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

Drawing& Playback::drawingOf(DisplayObject& clip)
{
    if (!clip.drawing)
        clip.drawing = std::make_shared<Drawing>(drawingPoints_);
    dirty = true;
    return *clip.drawing;
}

// Only what lies at the depths scripts use can be removed by a script.
bool Playback::removeClip(DisplayObject& clip)
{
    DisplayObject* parent = clip.parent();
    if (!parent || clip.depth < 0 || clip.depth > kMaxRemovableDepth)
        return false;
    auto it = parent->children().find(clip.depth);
    if (it == parent->children().end() || it->second.get() != &clip)
        return false;
    auto removed = it->second;
    parent->children().erase(it);
    queueUnload(removed);
    dirty = true;
    return true;
}

// The unload events of an object leaving the stage and of the clips inside
// it; the queue keeps them alive until their handlers have run. A clip with
// no handler in it leaves at once: what scripts hold of it reads as a removed
// clip from here on.
bool Playback::queueUnload(const std::shared_ptr<DisplayObject>& object)
{
    if (!object->isClip()) {
        object->removed = true;
        return false;
    }
    bool handled = machine_->has(Value(object), u"onUnload");
    if (object->clipActions)
        for (const auto& action : *object->clipActions)
            handled = handled || (action.events & ClipUnload);
    std::size_t first = queue_.size();
    queueEvent(*object, ClipUnload, u"onUnload");
    for (std::size_t i = first; i < queue_.size(); ++i)
        queue_[i].hold = object;
    if (unloadsAt_) {
        // Entering a frame: ahead of the frame's blocks (unless a host call
        // in between has run and emptied the queue).
        unloadsAt_ = std::min(*unloadsAt_, first);
        std::size_t count = queue_.size() - first;
        std::rotate(queue_.begin() + std::ptrdiff_t(*unloadsAt_), queue_.begin() + std::ptrdiff_t(first), queue_.end());
        *unloadsAt_ += count;
    }
    for (const auto& [depth, child] : object->children())
        handled = queueUnload(child) || handled;
    object->removed = !handled;
    return handled;
}

void Playback::queueActions(DisplayObject& clip, const ActionBytes& actions, const Frame* frame)
{
    queue_.push_back({clip.weak_from_this(), &actions, nullptr, nullptr, nullptr, frame});
}

void Playback::queueEvent(DisplayObject& clip, std::uint32_t clipEvent, const char16_t* handler)
{
    if (clip.clipActions)
        for (const auto& action : *clip.clipActions)
            if (action.events & clipEvent)
                queue_.push_back({clip.weak_from_this(), &action.actions, nullptr, clip.clipActions, nullptr, nullptr});
    if (handler)
        queue_.push_back({clip.weak_from_this(), nullptr, handler, nullptr, nullptr, nullptr});
}

void Playback::runQueuedActions()
{
    if (draining_)
        return; // the outer drain picks up what was queued
    draining_ = true;
    if (actionDepth_ == 0)
        budget_ = kStepBudget;
    // What one frame's block leaves on the stack, the frame's next block finds.
    std::vector<Value> frameStack;
    std::pair<const DisplayObject*, const Frame*> stackOwner{};
    // Actions can queue more (a goto enters a frame): the budget ends ping-pong loops.
    for (std::size_t i = 0; i < queue_.size() && !closed_; ++i) {
        auto clip = queue_[i].clip.lock();
        if (!clip || !takeStep() || !enterActions())
            continue;
        if (queue_[i].frame) {
            std::pair<const DisplayObject*, const Frame*> owner{clip.get(), queue_[i].frame};
            if (owner != stackOwner)
                frameStack.clear();
            stackOwner = owner;
            runActionBlock(*this, *clip, *queue_[i].actions, &frameStack);
        } else if (queue_[i].actions) {
            runActionBlock(*this, *clip, *queue_[i].actions);
        } else {
            runHandler(*this, *clip, queue_[i].handler);
        }
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

bool Playback::chargeWork(std::size_t units, std::size_t perStep)
{
    auto steps = long(units / perStep + 1);
    if (closed_ || budget_ < steps)
        return false;
    budget_ -= steps;
    return true;
}

void Playback::spendSteps(std::size_t steps)
{
    // Never below 0: host calls may walk timelines many times between resets.
    budget_ -= long(std::min<std::size_t>(steps, std::size_t(std::max(budget_, 0L))));
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

} // namespace lumbra::movie
