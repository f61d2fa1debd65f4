// Keyboard input: the state Key reports, Key's listeners, clips' keyDown /
// keyUp events, and the buttons and clips that wait for one key.
#include "control/movie/Playback.h"

#include "control/movie/TextField.h"
#include "control/movie/actions/Machine.h"

#include <optional>

namespace lumbra::movie {

namespace {

// The key code buttons and clip actions wait for: 1-19 for the special keys,
// the character's code otherwise; 0 for keys that have neither.
unsigned buttonKeyCode(unsigned virtualKey, unsigned ascii)
{
    switch (virtualKey) {
    case 0x25: return 1;  // left
    case 0x27: return 2;  // right
    case 0x24: return 3;  // home
    case 0x23: return 4;  // end
    case 0x2D: return 5;  // insert
    case 0x2E: return 6;  // delete
    case 0x08: return 8;  // backspace
    case 0x0D: return 13; // enter
    case 0x26: return 14; // up
    case 0x28: return 15; // down
    case 0x21: return 16; // page up
    case 0x22: return 17; // page down
    case 0x09: return 18; // tab
    case 0x1B: return 19; // escape
    default: return ascii >= 32 && ascii < 128 ? ascii : 0;
    }
}

// The editing a key does in a text field with the focus.
std::optional<EditKey> editKeyOf(unsigned virtualKey)
{
    switch (virtualKey) {
    case 0x08: return EditKey::Backspace;
    case 0x2E: return EditKey::Delete;
    case 0x25: return EditKey::Left;
    case 0x27: return EditKey::Right;
    case 0x26: return EditKey::Up;
    case 0x28: return EditKey::Down;
    case 0x24: return EditKey::Home;
    case 0x23: return EditKey::End;
    case 0x0D: return EditKey::Enter;
    default: return std::nullopt;
    }
}

constexpr unsigned kShift = 0x10;
constexpr unsigned kTab = 0x09;

} // namespace

void Playback::keyDown(unsigned code, unsigned ascii)
{
    Machine::Keys& keys = machine_->keys();
    keys.record(code, ascii, true);
    if (closed_)
        return;
    broadcast(u"Key", u"onKeyDown");
    queueEverywhere(ClipKeyDown, nullptr);
    runQueuedActions();
    // Tab moves the focus; else a text field with the focus takes what the key types or edits.
    if (code == kTab)
        tabFocus(keys.down[kShift]);
    else if (auto edit = editKeyOf(code))
        editKey(*edit, keys.down[kShift]);
    else if (ascii >= 32 && ascii != 127)
        typeText(std::u16string(1, char16_t(ascii)));
    keyPress(buttonKeyCode(code, ascii));
}

void Playback::keyUp(unsigned code, unsigned ascii)
{
    Machine::Keys& keys = machine_->keys();
    keys.record(code, ascii, false);
    if (closed_)
        return;
    broadcast(u"Key", u"onKeyUp");
    queueEverywhere(ClipKeyUp, nullptr);
    runQueuedActions();
}

void Playback::keyPress(unsigned buttonCode)
{
    if (buttonCode == 0 || closed_)
        return;
    std::vector<DisplayObject*> pending;
    for (const auto& level : levels())
        pending.push_back(level.get());
    while (!pending.empty()) {
        DisplayObject* object = pending.back();
        pending.pop_back();
        if (!object->visible)
            continue;
        if (object->clipActions)
            for (const auto& action : *object->clipActions)
                if ((action.events & ClipKeyPress) && action.keyCode == buttonCode)
                    queue_.push_back({object->weak_from_this(), &action.actions, nullptr, object->clipActions, nullptr, nullptr});
        if (auto button = object->button(); button && object->parent()) {
            for (const auto& action : button->actions)
                if (action.keyCode == buttonCode)
                    queueActions(*object->parent(), action.actions);
            continue;
        }
        auto& children = object->children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back(it->second.get());
    }
    runQueuedActions();
}

} // namespace lumbra::movie
