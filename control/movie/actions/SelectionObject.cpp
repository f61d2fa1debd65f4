// Selection: which text field has the focus and what of it is selected.
// Listeners hear onSetFocus(oldFocus, newFocus).
#include "control/movie/Playback.h"
#include "control/movie/actions/Machine.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

TextField* focused(NativeCall& c)
{
    auto focus = c.machine.playback().focus();
    return focus ? focus->textField.get() : nullptr;
}

Value getFocus(NativeCall& c)
{
    auto focus = c.machine.playback().focus();
    return focus ? Value(focus->targetPath()) : Value::null();
}

// setFocus(field or path); null or undefined takes the focus away.
Value setFocus(NativeCall& c)
{
    Playback& playback = c.machine.playback();
    Value target = c.arg(0);
    if (target.isNullish()) {
        playback.setFocus(nullptr);
        return true;
    }
    std::shared_ptr<DisplayObject> object = target.toClip();
    if (!object && target.isString()) {
        auto from = c.clip ? c.clip : playback.root().shared_from_this();
        object = playback.resolveTarget(*from, target.toString());
    }
    return object && playback.setFocus(object);
}

template <std::size_t (TextField::*Index)() const> Value selectionIndex(NativeCall& c)
{
    TextField* f = focused(c);
    return f ? double((f->*Index)()) : -1.0;
}

Value setSelection(NativeCall& c)
{
    TextField* f = focused(c);
    if (!f)
        return {};
    auto at = [&](std::size_t i) {
        double n = c.number(i);
        return std::isnan(n) || n < 0 ? std::size_t(0) : std::size_t(std::min(n, double(f->text().size())));
    };
    f->setSelection(at(0), at(1));
    c.machine.playback().dirty = true;
    return {};
}

} // namespace

void installSelection(Machine& m)
{
    ActionObject* selection = m.newObject();
    m.global()->set(u"Selection", Value(selection), DontEnum);
    makeBroadcaster(m, selection);
    m.method(selection, u"getFocus", getFocus);
    m.method(selection, u"setFocus", setFocus);
    m.method(selection, u"getBeginIndex", selectionIndex<&TextField::selectionBegin>);
    m.method(selection, u"getEndIndex", selectionIndex<&TextField::selectionEnd>);
    m.method(selection, u"getCaretIndex", selectionIndex<&TextField::caret>);
    m.method(selection, u"setSelection", setSelection);
}

} // namespace lumbra::movie
