// Mouse input: the events every clip and Mouse's listeners hear, and the
// button phases (idle, over, down, dragged out) of buttons and of clips that
// act as buttons, with the actions and handlers of each transition.
#include "control/movie/Playback.h"

#include "control/movie/BitReader.h"
#include "control/movie/HitTest.h"
#include "control/movie/TextField.h"
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

// What a transition calls on a clip acting as a button, and on a button object.
struct Transition {
    unsigned condition;
    std::uint32_t clipEvent;
    const char16_t* handler;
};

constexpr std::uint32_t ClipDragOver = 0x8000, ClipDragOut = 0x10000;

constexpr Transition kTransitions[] = {
    {CondIdleToOverUp, ClipRollOver, u"onRollOver"},
    {CondOverUpToIdle, ClipRollOut, u"onRollOut"},
    {CondOverUpToOverDown, ClipPress, u"onPress"},
    {CondOverDownToOverUp, ClipRelease, u"onRelease"},
    {CondOverDownToOutDown, ClipDragOut, u"onDragOut"},
    {CondOutDownToOverDown, ClipDragOver, u"onDragOver"},
    {CondOutDownToIdle, ClipReleaseOutside, u"onReleaseOutside"},
    // Menu items: the held mouse enters and leaves.
    {CondIdleToOverDown, ClipDragOver, u"onDragOver"},
    {CondOverDownToIdle, ClipDragOut, u"onDragOut"},
};

constexpr std::uint32_t kButtonEvents =
    ClipPress | ClipRelease | ClipReleaseOutside | ClipRollOver | ClipRollOut | ClipDragOver | ClipDragOut;

// The frame a clip acting as a button shows in each phase, when it has one.
const char16_t* phaseLabel(ButtonPhase phase)
{
    switch (phase) {
    case ButtonPhase::OverUp: return u"_over";
    case ButtonPhase::OverDown: return u"_down";
    default: return u"_up";
    }
}

// The topmost text field under p (in `clip`'s coordinates) that takes the focus.
std::shared_ptr<DisplayObject> fieldAt(DisplayObject& clip, Point p)
{
    auto& children = clip.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const std::shared_ptr<DisplayObject>& child = it->second;
        if (!child->visible || child->clipLayer || !unmasked(clip, *child, p))
            continue;
        if (child->textField) {
            if ((child->textField->editable || child->textField->selectable) && objectCovers(*child, p))
                return child;
        } else if (child->isClip()) {
            if (auto found = fieldAt(*child, child->matrix.inverse().apply(p)))
                return found;
        }
    }
    return nullptr;
}

} // namespace

void Playback::guarded(const std::function<void()>& work)
{
    if (closed_ || !machine_->enabled() || !enterActions())
        return;
    machine_->pushClip(root_);
    try {
        work();
    } catch (const ScriptThrow&) {
    } catch (const ScriptAbort&) {
    } catch (const FormatError&) {
    }
    machine_->popClip();
    leaveActions();
}

void Playback::broadcast(std::u16string_view source, std::u16string_view message, std::vector<Value> args)
{
    guarded([&] {
        Value broadcaster = machine_->get(Value(machine_->global()), source);
        args.insert(args.begin(), Value(std::u16string(message)));
        machine_->callMethod(broadcaster, u"broadcastMessage", args);
    });
}

void Playback::queueEverywhere(std::uint32_t clipEvent, const char16_t* handler)
{
    std::vector<DisplayObject*> pending;
    for (const auto& level : levels())
        pending.insert(pending.begin(), level.get());
    while (!pending.empty()) {
        DisplayObject* clip = pending.back();
        pending.pop_back();
        queueEvent(*clip, clipEvent, handler);
        auto& children = clip->children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            if (it->second->isClip())
                pending.push_back(it->second.get());
    }
}

bool Playback::enabled(DisplayObject& object)
{
    Value flag = machine_->get(Value(object.shared_from_this()), u"enabled");
    return flag.isUndefined() || machine_->toBoolean(flag);
}

bool Playback::actsAsButton(DisplayObject& clip)
{
    if (clip.clipActions)
        for (const auto& action : *clip.clipActions)
            if (action.events & kButtonEvents)
                return true;
    Value self(clip.shared_from_this());
    for (const auto& transition : kTransitions)
        if (machine_->get(self, transition.handler).isObject())
            return true;
    return false;
}

bool Playback::targetHit(DisplayObject& target, Point local, Point p)
{
    if (target.button())
        return buttonHit(target, local);
    // A hitArea clip stands in for the clip's own shapes, visible or not.
    if (auto area = machine_->get(Value(target.shared_from_this()), u"hitArea").toClip(); area && area.get() != &target) {
        DisplayObject* parent = area->parent();
        Point inParent = parent ? parent->worldMatrix().inverse().apply(p) : p;
        bool wasVisible = area->visible;
        area->visible = true;
        bool hit = objectCovers(*area, inParent);
        area->visible = wasVisible;
        return hit;
    }
    return objectCovers(target, local);
}

std::shared_ptr<DisplayObject> Playback::searchTarget(DisplayObject& clip, Point local, Point p)
{
    auto& children = clip.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        std::shared_ptr<DisplayObject> child = it->second;
        if (!child->visible || child->clipLayer || !unmasked(clip, *child, local))
            continue;
        if (child->button() || (child->isClip() && actsAsButton(*child))) {
            // A clip with button handlers takes the mouse for everything inside it.
            if (enabled(*child) && targetHit(*child, local, p))
                return child;
        } else if (child->isClip()) {
            if (auto found = searchTarget(*child, child->matrix.inverse().apply(local), p))
                return found;
        }
    }
    return nullptr;
}

std::shared_ptr<DisplayObject> Playback::mouseTarget(Point p)
{
    std::shared_ptr<DisplayObject> found;
    guarded([&] {
        auto levels = this->levels();
        for (auto it = levels.rbegin(); it != levels.rend() && !found; ++it)
            found = searchTarget(**it, p, p); // the topmost level first
    });
    return found;
}

bool Playback::overButton()
{
    auto hot = hot_.lock();
    if (!hot || closed_)
        return false;
    bool hand = true;
    guarded([&] {
        Value flag = machine_->get(Value(hot), u"useHandCursor");
        hand = flag.isUndefined() || machine_->toBoolean(flag);
    });
    return hand;
}

void Playback::mouseMove(Point p)
{
    bool moved = p.x != mouse_.x || p.y != mouse_.y;
    mouse_ = p;
    if (closed_)
        return;
    followDrag();
    if (moved) {
        broadcast(u"Mouse", u"onMouseMove");
        queueEverywhere(ClipMouseMove, u"onMouseMove");
        runQueuedActions();
    }
    auto hit = mouseTarget(p);
    auto pressed = pressed_.lock();
    if (pressed && !tracksAsMenu(*pressed)) {
        // A button keeps the press it took until the release, wherever the mouse goes.
        bool over = hit == pressed;
        if (over && pressed->buttonPhase == ButtonPhase::OutDown)
            setPhase(pressed, ButtonPhase::OverDown, CondOutDownToOverDown);
        else if (!over && pressed->buttonPhase == ButtonPhase::OverDown)
            setPhase(pressed, ButtonPhase::OutDown, CondOverDownToOutDown);
        hot_ = hit;
    } else if (mouseHeld_) {
        trackMenu(pressed, hit);
    } else {
        auto hot = hot_.lock();
        if (hot != hit) {
            if (hot)
                setPhase(hot, ButtonPhase::Idle, CondOverUpToIdle);
            if (hit)
                setPhase(hit, ButtonPhase::OverUp, CondIdleToOverUp);
        }
        hot_ = hit;
    }
    runQueuedActions();
}

// The mouse held down over menu items: the press passes from the one it
// leaves (back to idle) to the one it enters; other buttons wait for the release.
void Playback::trackMenu(const std::shared_ptr<DisplayObject>& pressed, const std::shared_ptr<DisplayObject>& hit)
{
    if (pressed == hit)
        return;
    pressed_.reset();
    if (pressed)
        setPhase(pressed, ButtonPhase::Idle, CondOverDownToIdle);
    if (hit && tracksAsMenu(*hit)) {
        pressed_ = hit;
        setPhase(hit, ButtonPhase::OverDown, CondIdleToOverDown);
    }
    hot_ = pressed_;
}

bool Playback::tracksAsMenu(DisplayObject& object)
{
    const ButtonDef* button = object.button();
    bool menu = button && button->trackAsMenu;
    guarded([&] {
        Value flag = machine_->get(Value(object.shared_from_this()), u"trackAsMenu");
        if (!flag.isUndefined())
            menu = machine_->toBoolean(flag);
    });
    return menu;
}

void Playback::mouseDown(Point p)
{
    mouseMove(p);
    if (closed_)
        return;
    broadcast(u"Mouse", u"onMouseDown");
    queueEverywhere(ClipMouseDown, u"onMouseDown");
    runQueuedActions();
    // A press gives the keyboard to the field under it, or takes it from the field that had it.
    if (auto field = hot_.expired() ? fieldAt(*root_, p) : nullptr; field || focus())
        setFocus(field);
    mouseHeld_ = true;
    if (auto hot = hot_.lock(); hot && !closed_) {
        pressed_ = hot;
        setPhase(hot, ButtonPhase::OverDown, CondOverUpToOverDown);
        runQueuedActions();
    }
}

void Playback::mouseUp(Point p)
{
    mouseMove(p);
    if (closed_)
        return;
    broadcast(u"Mouse", u"onMouseUp");
    queueEverywhere(ClipMouseUp, u"onMouseUp");
    runQueuedActions();
    mouseHeld_ = false;
    auto pressed = pressed_.lock();
    pressed_.reset();
    if (pressed && !closed_) {
        if (pressed->buttonPhase == ButtonPhase::OverDown)
            setPhase(pressed, ButtonPhase::OverUp, CondOverDownToOverUp);
        else
            setPhase(pressed, ButtonPhase::Idle, CondOutDownToIdle);
        runQueuedActions();
    }
    // Actions may have changed the stage: find what is under the mouse now.
    mouseMove(p);
}

void Playback::mouseWheel(int delta)
{
    if (closed_)
        return;
    auto target = mouseTarget(mouse_);
    broadcast(u"Mouse", u"onMouseWheel", {double(delta), target ? Value(target) : Value()});
    runQueuedActions();
}

void Playback::setPhase(const std::shared_ptr<DisplayObject>& target, ButtonPhase phase, unsigned condition)
{
    if (target->buttonPhase == phase)
        return;
    target->buttonPhase = phase;
    dirty = true;
    const Transition* transition = nullptr;
    for (const auto& t : kTransitions)
        if (t.condition == condition)
            transition = &t;
    if (auto button = target->button()) {
        if (DisplayObject* owner = target->parent())
            for (const auto& action : button->actions)
                if (action.conditions & condition)
                    queueActions(*owner, action.actions);
        if (transition)
            queueEvent(*target, 0, transition->handler);
        return;
    }
    if (auto frame = target->timeline()->findLabel(phaseLabel(phase))) {
        target->playing = false;
        enterFrame(*target, *frame);
    }
    if (transition)
        queueEvent(*target, transition->clipEvent, transition->handler);
}

} // namespace lumbra::movie
