// The instance members the player's own classes declare, as the authoring
// tool knows them from its class declarations: inside a class that extends
// one of them, `_name` or `gotoAndStop(2)` mean this._name and
// this.gotoAndStop(2), like the class's own members.
#pragma once

#include <string>
#include <vector>

namespace lumbra::actionscript {

struct BuiltinClass {
    const char* name;
    const char* parent; // nullptr for Object
    std::vector<const char*> members;
};

// The built-in class of that name, or nullptr.
const BuiltinClass* builtinClass(const std::string& name);

} // namespace lumbra::actionscript
