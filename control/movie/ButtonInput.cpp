// Mouse input: the button phases (idle, over, down, dragged out) and the
// transitions whose actions the buttons run.
#include "control/movie/Playback.h"

#include "control/movie/HitTest.h"

namespace lumbra::movie {

void Playback::mouseMove(Point p)
{
    mouse_ = p;
    if (closed_)
        return;
    auto hit = buttonAt(*root_, p);
    if (auto pressed = pressed_.lock()) {
        bool over = hit == pressed;
        if (over && pressed->buttonPhase == ButtonPhase::OutDown)
            setPhase(pressed, ButtonPhase::OverDown, CondOutDownToOverDown);
        else if (!over && pressed->buttonPhase == ButtonPhase::OverDown)
            setPhase(pressed, ButtonPhase::OutDown, CondOverDownToOutDown);
    } else {
        auto hot = hot_.lock();
        if (hot != hit) {
            if (hot)
                setPhase(hot, ButtonPhase::Idle, CondOverUpToIdle);
            if (hit)
                setPhase(hit, ButtonPhase::OverUp, CondIdleToOverUp);
        }
    }
    hot_ = hit;
    runQueuedActions();
}

void Playback::mouseDown(Point p)
{
    mouseMove(p);
    if (auto hot = hot_.lock(); hot && !closed_) {
        pressed_ = hot;
        setPhase(hot, ButtonPhase::OverDown, CondOverUpToOverDown);
        runQueuedActions();
    }
}

void Playback::mouseUp(Point p)
{
    mouseMove(p);
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

void Playback::setPhase(const std::shared_ptr<DisplayObject>& button, ButtonPhase phase, unsigned condition)
{
    if (button->buttonPhase == phase)
        return;
    button->buttonPhase = phase;
    dirty = true;
    DisplayObject* owner = button->parent();
    if (!owner)
        return;
    for (const auto& action : button->button()->actions)
        if (action.conditions & condition)
            queueActions(*owner, action.actions);
}

} // namespace lumbra::movie
