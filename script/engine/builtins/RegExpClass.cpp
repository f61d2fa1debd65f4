#include "script/engine/builtins/RegExpClass.h"

#include <array>
#include <memory>

#include "script/runtime/AnsiCodec.h"
#include "script/runtime/AtomTable.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptString.h"
#include "script/engine/builtins/ArgumentBlock.h"

namespace orvet {

namespace {

enum Member {
  kLastIndex, kSource, kGlobal, kIgnoreCase, kMultiline, kInput, kLastMatch,
  kGroup1, kGroup9 = kGroup1 + 8, kMemberCount
};

constexpr std::string_view kMemberNames[kMemberCount] = {
    "lastIndex", "source", "global", "ignoreCase", "multiline", "input", "lastMatch",
    "$1", "$2", "$3", "$4", "$5", "$6", "$7", "$8", "$9",
};

// Scripts cannot name this global: it keeps the class alive for the
// constant factory even when a script overwrites "RegExp".
constexpr std::string_view kClassRoot = "@RegExp";

struct RegExpClassData {
  std::array<Atom, kMemberCount> atoms;
  RegExpMatchState state;
  Atom root;
};

RegExpClassData& classData(const NativeClass& cls) {
  return *static_cast<RegExpClassData*>(cls.userData);
}

int memberOf(const NativeClass& cls, Atom name) {
  const auto& atoms = classData(cls).atoms;
  for (int i = 0; i < kMemberCount; ++i)
    if (atoms[i] == name) return i;
  return -1;
}

ScriptValue text(ScriptContext& ctx, std::u16string_view s) {
  return ScriptValue::ofString(newString(ctx, s));
}

// The text of group n of the last match, empty when it took no part.
std::u16string_view groupText(const RegExpMatchState& state, int n) {
  const RegexMatch& g = state.groups[n];
  if (g.start < 0 || static_cast<std::size_t>(g.end) > state.input.size()) return {};
  return std::u16string_view(state.input).substr(g.start, g.end - g.start);
}

int accessInstance(ScriptContext& ctx, RegExpData& re, int member, int set, ScriptValue* value) {
  if (set) {
    if (member != kLastIndex) return member >= 0 && member <= kMultiline;  // read-only
    if (value->kind == ValueKind::Integer) re.lastIndex = value->integer;
    return 1;
  }
  switch (member) {
    case kLastIndex: *value = ScriptValue::ofInt(re.lastIndex); return 1;
    case kSource: *value = text(ctx, re.pattern); return 1;
    case kGlobal: *value = ScriptValue::ofBool(re.flags & kRegExpGlobal); return 1;
    case kIgnoreCase: *value = ScriptValue::ofBool(re.flags & kRegExpIgnoreCase); return 1;
    case kMultiline: *value = ScriptValue::ofBool(re.flags & kRegExpMultiline); return 1;
    default: return 0;
  }
}

int accessClass(ScriptContext& ctx, const RegExpMatchState& state, int member, int set,
                ScriptValue* value) {
  if (member < kInput) return 0;
  if (set) return 1;  // the match state is read-only
  if (member == kInput) *value = text(ctx, state.input);
  else if (member == kLastMatch) *value = text(ctx, groupText(state, 0));
  else *value = text(ctx, groupText(state, member - kGroup1 + 1));
  return 1;
}

int accessProperty(ScriptContext& ctx, NativeClass& cls, void* data, Atom name, int set,
                   ScriptValue* value) {
  const int member = memberOf(cls, name);
  if (member < 0) return 0;
  if (data) return accessInstance(ctx, *static_cast<RegExpData*>(data), member, set, value);
  return accessClass(ctx, classData(cls).state, member, set, value);
}

int callMethod(ScriptContext& ctx, NativeClass&, void*, Atom name, ScriptValue* result,
               ScriptValue*) {
  if (name != kAtomToString) return 0;
  static constexpr std::u16string_view kText = u"[object RegExp]";
  *result = ScriptValue::ofString(newStaticString(ctx, kText));
  return 1;
}

void destroyData(ScriptContext&, NativeClass&, void* data) {
  destroyHandedOver<RegExpData>(data);
}

void finalizeClass(void* userData) { destroyHandedOver<RegExpClassData>(userData); }

NativeClass& classFromRoot(ScriptContext& ctx) {
  return *ctx.global(ctx.intern(kClassRoot)).native->cls;
}

ScriptValue makeRegExpConstant(ScriptContext& ctx, std::u16string_view pattern,
                               std::uint8_t flags) {
  return newRegExp(ctx, classFromRoot(ctx), pattern, flags);
}

}  // namespace

NativeClass* registerRegExpClass(ScriptContext& ctx) {
  auto data = std::make_unique<RegExpClassData>();
  for (int i = 0; i < kMemberCount; ++i) data->atoms[i] = ctx.intern(kMemberNames[i]);
  data->root = ctx.intern(kClassRoot);
  NativeClass* cls = newClass(ctx);
  cls->callMethod = callMethod;
  cls->accessProperty = accessProperty;
  cls->destroyData = destroyData;
  cls->finalize = finalizeClass;
  cls->userData = handOver(std::move(data));
  registerGlobalClass(ctx, "RegExp", cls);
  const ScriptValue classObject = ctx.global(ctx.intern("RegExp"));
  ctx.global(classData(*cls).root) = classObject;
  ctx.makeRegExp = makeRegExpConstant;
  return cls;
}

ScriptValue newRegExp(ScriptContext& ctx, NativeClass& regExpClass, std::u16string_view pattern,
                      std::uint8_t flags) {
  auto data = std::make_unique<RegExpData>();
  std::u16string error = compileRegExp(*data, pattern, flags);
  if (!error.empty()) raiseError(ctx, utf16ToAnsi(error));
  ScriptValue value = newInstance(ctx, &regExpClass, data.get());
  data.release();  // the instance owns it now
  return value;
}

RegExpData* regExpDataOf(const NativeClass& regExpClass, const ScriptValue& value) {
  if (value.kind != ValueKind::Native || value.native->cls != &regExpClass) return nullptr;
  auto* data = static_cast<RegExpData*>(value.native->data);
  return data && data->compiled.compiled() ? data : nullptr;
}

RegExpMatchState& regExpMatchState(NativeClass& regExpClass) {
  return classData(regExpClass).state;
}

}  // namespace orvet
