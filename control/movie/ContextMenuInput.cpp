// The right-click menu as the movie sets it up: which ContextMenu applies
// where the user clicked, the items it shows, and the handler of the item
// chosen.
#include "control/movie/Playback.h"

#include "control/movie/ContextMenuItems.h"
#include "control/movie/HitTest.h"
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

// A menu shows at most this many custom items, each caption at most this long.
constexpr std::size_t kMaxCustomItems = 15;
constexpr std::size_t kMaxCaption = 100;

// The innermost object whose content covers p (in `clip`'s coordinates): a
// button, a text field, or the clip whose shapes or drawing it is.
DisplayObject* objectUnder(DisplayObject& clip, Point p)
{
    auto& children = clip.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        DisplayObject& child = *it->second;
        if (!child.visible || child.clipLayer || !unmasked(clip, child, p))
            continue;
        if (child.isClip()) {
            if (DisplayObject* found = objectUnder(child, child.matrix.inverse().apply(p)))
                return found;
            if (objectCovers(child, p))
                return &child;
        } else if (objectCovers(child, p)) {
            return child.button() || child.textField ? &child : &clip;
        }
    }
    return nullptr;
}

// A member that counts as true unless the script set it to something false.
bool flagOr(Machine& m, const Value& object, std::u16string_view name, bool absent)
{
    Value v = m.get(object, name);
    return v.isUndefined() ? absent : m.toBoolean(v);
}

} // namespace

std::vector<Playback::MenuEntry> Playback::contextMenu(Point p)
{
    std::vector<MenuEntry> entries;
    menuOwner_ = {};
    menuItems_.clear();
    guarded([&] {
        DisplayObject* under = nullptr;
        auto levels = this->levels();
        for (auto it = levels.rbegin(); it != levels.rend() && !under; ++it)
            under = objectUnder(**it, (*it)->matrix.inverse().apply(p));
        Value menu;
        for (DisplayObject* o = under ? under : root_.get(); o; o = o->parent()) {
            Value self(o->shared_from_this());
            if (Value candidate = machine_->get(self, u"menu"); candidate.isObject()) {
                menu = candidate;
                menuOwner_ = self;
                break;
            }
        }
        Value builtIns;
        if (menu.isObject()) {
            // onSelect may change the items: read them afterwards.
            const Value args[] = {menuOwner_, menu};
            machine_->call(machine_->get(menu, u"onSelect"), menu, args);
            ActionObject* custom = machine_->get(menu, u"customItems").toObject();
            if (custom && custom->kind == ActionObject::Kind::Array)
                for (const Value& item : std::vector<Value>(custom->elements)) {
                    if (menuItems_.size() == kMaxCustomItems)
                        break;
                    if (!item.isReference() || !flagOr(*machine_, item, u"visible", true))
                        continue;
                    std::u16string caption = machine_->toString(machine_->get(item, u"caption"));
                    caption.resize(std::min(caption.size(), kMaxCaption));
                    entries.push_back({caption, u"", flagOr(*machine_, item, u"enabled", true),
                                       flagOr(*machine_, item, u"separatorBefore", false)});
                    menuItems_.push_back(item);
                }
            builtIns = machine_->get(menu, u"builtInItems");
        }
        for (std::u16string_view name : kBuiltInMenuItems)
            if (!builtIns.isReference() || flagOr(*machine_, builtIns, name, true)) {
                entries.push_back({u"", std::u16string(name)});
                menuItems_.emplace_back();
            }
    });
    runQueuedActions();
    return entries;
}

void Playback::chooseMenuItem(std::size_t index)
{
    if (index >= menuItems_.size() || !menuItems_[index].isObject())
        return;
    Value item = menuItems_[index];
    guarded([&] {
        const Value args[] = {menuOwner_, item};
        machine_->call(machine_->get(item, u"onSelect"), item, args);
    });
    runQueuedActions();
}

} // namespace lumbra::movie
