// The playback's side of text fields: the focus, typed input, the binding of
// fields to variables, and the script events they raise.
#include "control/movie/Playback.h"

#include "control/movie/BitReader.h"
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

void Playback::notify(const Value& target, std::u16string_view method, std::span<const Value> args)
{
    if (closed_ || !machine_->enabled())
        return;
    Value handler = machine_->get(target, method);
    if (!handler.isObject())
        return;
    if (actionDepth_ > 0) {
        // Raised by a running script (Selection.setFocus, replaceSel): its
        // throws and aborts travel on through it.
        machine_->call(handler, target, args);
        return;
    }
    if (!enterActions())
        return;
    auto clip = target.toClip();
    machine_->pushClip(clip ? clip : root_);
    try {
        machine_->call(handler, target, args);
    } catch (const ScriptThrow&) {
    } catch (const ScriptAbort&) {
    } catch (const FormatError&) {
    }
    machine_->popClip();
    leaveActions();
    runQueuedActions();
}

bool Playback::setFocus(const std::shared_ptr<DisplayObject>& object)
{
    if (object && !takesFocus(*object))
        return false;
    auto old = focus_.lock();
    if (old == object)
        return true;
    focus_ = object;
    if (old && old->textField)
        old->textField->focused = false;
    if (object && object->textField) {
        object->textField->focused = true;
        object->textField->setSelection(0, object->textField->text().size());
    }
    dirty = true;
    Value before = old ? Value(old) : Value::null();
    Value after = object ? Value(object) : Value::null();
    if (old)
        notify(before, u"onKillFocus", std::span<const Value>(&after, 1));
    if (object)
        notify(after, u"onSetFocus", std::span<const Value>(&before, 1));
    Value selection = machine_->get(Value(machine_->global()), u"Selection");
    if (selection.isObject()) {
        Value args[] = {u"onSetFocus", before, after};
        notify(selection, u"broadcastMessage", args);
    }
    return true;
}

bool Playback::typeText(std::u16string_view text)
{
    auto object = focus_.lock();
    if (!object || !object->textField || !object->textField->userEditable())
        return false;
    if (object->textField->type(text))
        textEdited(*object);
    dirty = true;
    return true;
}

bool Playback::editKey(EditKey key, bool extend)
{
    auto object = focus_.lock();
    if (!object || !object->textField)
        return false;
    TextField& field = *object->textField;
    if (!field.editable && !field.selectable)
        return false;
    int scroll = field.scroll();
    if (field.key(key, extend))
        textEdited(*object);
    else if (field.scrollToCaret() != scroll)
        notify(Value(object), u"onScroller", std::span<const Value>());
    dirty = true;
    return true;
}

void Playback::textEdited(DisplayObject& object)
{
    TextField& field = *object.textField;
    if (!field.variable.empty() && object.parent()) {
        Value text = field.html ? field.htmlText() : field.text();
        field.lastVariableText = text.toString();
        setVariable(*object.parent(), field.variable, text);
    }
    fitTextBox(object);
    int scroll = field.scroll();
    bool scrolled = field.scrollToCaret() != scroll;
    Value self(object.shared_from_this());
    notify(self, u"onChanged", std::span<const Value>(&self, 1));
    for (const Value& listener : std::vector<Value>(field.listeners))
        notify(listener, u"onChanged", std::span<const Value>(&self, 1));
    if (scrolled) {
        notify(self, u"onScroller", std::span<const Value>(&self, 1));
        for (const Value& listener : std::vector<Value>(field.listeners))
            notify(listener, u"onScroller", std::span<const Value>(&self, 1));
    }
}

void Playback::syncTextField(DisplayObject& object)
{
    TextField* field = object.textField.get();
    if (field && field->restyle()) {
        fitTextBox(object);
        dirty = true;
    }
    if (!field || field->variable.empty() || !object.parent())
        return;
    auto value = getVariable(*object.parent(), field->variable);
    std::u16string text = value && !value->isUndefined() ? value->toString() : std::u16string();
    if (text == field->lastVariableText)
        return;
    field->lastVariableText = text;
    field->setHtmlText(text);
    fitTextBox(object);
    dirty = true;
}

void Playback::fitTextBox(DisplayObject& object)
{
    TextField& field = *object.textField;
    double left = field.bounds.xMin;
    field.fitBox();
    double shift = field.bounds.xMin - left;
    if (shift == 0)
        return;
    field.bounds.xMin -= shift;
    field.bounds.xMax -= shift;
    field.invalidate();
    object.matrix.tx += object.matrix.a * shift;
    object.matrix.ty += object.matrix.b * shift;
    dirty = true;
}

void Playback::syncTextFields()
{
    std::vector<DisplayObject*> pending;
    for (const auto& level : levels())
        pending.push_back(level.get());
    while (!pending.empty()) {
        DisplayObject* object = pending.back();
        pending.pop_back();
        syncTextField(*object);
        for (const auto& [depth, child] : object->children())
            pending.push_back(child.get());
    }
}

} // namespace lumbra::movie
