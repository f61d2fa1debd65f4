#include "script/engine/builtins/StringClass.h"

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "script/runtime/AtomTable.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"
#include "script/runtime/ScriptString.h"
#include "script/engine/builtins/ArgumentBlock.h"
#include "script/engine/builtins/RegExpClass.h"
#include "script/engine/builtins/RegExpMatching.h"
#include "script/engine/builtins/StringText.h"
#include "script/engine/regex/CharCase.h"
#include "script/engine/regex/Regex.h"

namespace orvet {

namespace {

// The members in the order of the class's atom table.
enum Member {
  kLength, kCharAt, kCharCodeAt, kConcat, kFromCharCode, kIndexOf, kLastIndexOf, kMatch,
  kReplace, kSearch, kSlice, kSplit, kSubstr, kSubstring, kToLowerCase, kToUpperCase,
  kAnchor, kBig, kBlink, kBold, kFixed, kFontColor, kFontSize, kItalics, kLink, kSmall,
  kStrike, kSub, kSup, kMemberCount
};

constexpr std::string_view kMemberNames[kMemberCount] = {
    "length", "charAt", "charCodeAt", "concat", "fromCharCode", "indexOf", "lastIndexOf",
    "match", "replace", "search", "slice", "split", "substr", "substring", "toLowerCase",
    "toUpperCase", "anchor", "big", "blink", "bold", "fixed", "fontColor", "fontSize",
    "italics", "link", "small", "strike", "sub", "sup",
};

// The HTML formats of kAnchor ... kSup; those with an argument take it first.
struct HtmlFormat {
  std::string_view format;
  bool takesArgument;
};
constexpr HtmlFormat kHtmlFormats[] = {
    {"<A NAME=\"%s\">%s</A>", true}, {"<BIG>%s</BIG>", false},
    {"<BLINK>%s</BLINK>", false},    {"<B>%s</B>", false},
    {"<TT>%s</TT>", false},          {"<FONT COLOR=\"%s\">%s</FONT>", true},
    {"<FONT SIZE=\"%s\">%s</FONT>", true}, {"<I>%s</I>", false},
    {"<A HREF=\"%s\">%s</A>", true}, {"<SMALL>%s</SMALL>", false},
    {"<STRIKE>%s</STRIKE>", false},  {"<SUB>%s</SUB>", false},
    {"<SUP>%s</SUP>", false},
};
static_assert(std::size(kHtmlFormats) == kSup - kAnchor + 1);

constexpr std::int64_t kNoLimit = 2147483647;

struct StringClassData {
  std::array<Atom, kMemberCount> atoms;
  NativeClass* regExpClass;
};

StringClassData& classData(const NativeClass& cls) {
  return *static_cast<StringClassData*>(cls.userData);
}

int memberOf(const NativeClass& cls, Atom name) {
  const auto& atoms = classData(cls).atoms;
  for (int i = 0; i < kMemberCount; ++i)
    if (atoms[i] == name) return i;
  return -1;
}

ScriptValue stringValue(ScriptContext& ctx, std::u16string_view text) {
  return ScriptValue::ofString(newString(ctx, text));
}

// A copy of the argument's text: converting a later argument may run script
// code, so no converted string is kept as a pointer while that happens.
std::u16string textOf(ScriptContext& ctx, const ScriptValue& value) {
  return std::u16string(toString(ctx, value)->view());
}

std::u16string argumentText(ScriptContext& ctx, const ArgumentBlock& args, int n) {
  const ScriptValue* v = args.get(n);
  return v ? textOf(ctx, *v) : std::u16string();
}

char16_t charCodeOf(const ScriptValue& v) {
  switch (v.kind) {
    case ValueKind::Integer:
      return static_cast<char16_t>(v.integer);
    case ValueKind::String:
      return static_cast<char16_t>(parseDecimalPrefix(v.string->view()));
    case ValueKind::Float: {
      if (!std::isfinite(v.number)) return 0;
      double low = std::fmod(std::trunc(v.number), 65536.0);
      return static_cast<char16_t>(low < 0 ? low + 65536.0 : low);
    }
    default:
      return 0;
  }
}

ScriptValue fromCharCode(ScriptContext& ctx, const ArgumentBlock& args) {
  std::u16string text;
  for (std::int64_t i = 1; i <= args.count(); ++i) text += charCodeOf(*args.get(i));
  return stringValue(ctx, text);
}

// An array holding the texts of the ranges of text.
ScriptArray* arrayOfRanges(ScriptContext& ctx, std::u16string_view text,
                           const std::vector<TextRange>& ranges) {
  ScriptArray* array = newArray(ctx);
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    const TextRange& r = ranges[i];
    arraySet(ctx, *array, i, stringValue(ctx, text.substr(r.start, r.end - r.start)));
  }
  array->length = ranges.size();
  return array;
}

ScriptValue emptyArray(ScriptContext& ctx) { return ScriptValue::ofArray(newArray(ctx)); }

ScriptObject* propertiesOf(ScriptContext& ctx, ScriptArray& array) {
  if (!array.props) {
    NativeClass* arrayClass = kindClass(ctx, ValueKind::Array);
    array.props = newObjectWithProto(ctx, arrayClass ? ScriptValue::ofObject(arrayClass->prototype)
                                                     : ScriptValue::null());
  }
  return array.props;
}

ScriptValue match(ScriptContext& ctx, const StringClassData& data, const ScriptValue& receiver,
                  const ArgumentBlock& args) {
  RegExpData* re = args.has(1) ? regExpDataOf(*data.regExpClass, *args.get(1)) : nullptr;
  if (!re) return emptyArray(ctx);
  const std::u16string_view text = receiver.string->view();
  auto found = regExpMatch(*re, regExpMatchState(*data.regExpClass), text);
  if (!found) return ScriptValue::null();
  ScriptArray* array = arrayOfRanges(ctx, text, *found);
  if (!re->global()) {
    ScriptObject* props = propertiesOf(ctx, *array);
    setProperty(ctx, props, ctx.intern("index"),
                ScriptValue::ofInt(static_cast<std::int64_t>((*found)[0].start)));
    setProperty(ctx, props, ctx.intern("input"), receiver);
  }
  return ScriptValue::ofArray(array);
}

ScriptValue replace(ScriptContext& ctx, const StringClassData& data, const ScriptValue& receiver,
                    const ArgumentBlock& args) {
  const std::u16string_view text = receiver.string->view();
  if (args.count() < 2 || !args.isKind(2, ValueKind::String)) return stringValue(ctx, u"");
  const std::u16string_view replacement = args.get(2)->string->view();
  if (args.isKind(1, ValueKind::String)) {
    auto replaced = replaceFirst(text, args.get(1)->string->view(), replacement);
    return stringValue(ctx, replaced ? *replaced : std::u16string());
  }
  if (RegExpData* re = regExpDataOf(*data.regExpClass, *args.get(1)))
    return stringValue(ctx, regExpReplace(*re, regExpMatchState(*data.regExpClass), text, replacement));
  return stringValue(ctx, u"");
}

ScriptValue search(ScriptContext& ctx, const StringClassData& data, const ScriptValue& receiver,
                   const ArgumentBlock& args) {
  const std::u16string_view text = receiver.string->view();
  if (args.isKind(1, ValueKind::String))
    return ScriptValue::ofInt(findForward(text, args.get(1)->string->view(), 0));
  RegExpData* re = args.has(1) ? regExpDataOf(*data.regExpClass, *args.get(1)) : nullptr;
  if (!re) return ScriptValue::ofInt(-1);
  return ScriptValue::ofInt(regExpSearch(*re, regExpMatchState(*data.regExpClass), text));
}

ScriptValue split(ScriptContext& ctx, const StringClassData& data, const ScriptValue& receiver,
                  const ArgumentBlock& args) {
  const std::u16string_view text = receiver.string->view();
  const std::int64_t limit = args.integer(2).value_or(kNoLimit);
  if (args.isKind(1, ValueKind::String)) {
    std::vector<TextRange> ranges;
    for (std::u16string_view piece : splitText(text, args.get(1)->string->view(), limit)) {
      auto start = static_cast<std::size_t>(piece.data() - text.data());
      ranges.push_back({start, start + piece.size()});
    }
    return ScriptValue::ofArray(arrayOfRanges(ctx, text, ranges));
  }
  RegExpData* re = args.has(1) ? regExpDataOf(*data.regExpClass, *args.get(1)) : nullptr;
  if (re) return ScriptValue::ofArray(arrayOfRanges(ctx, text, regExpSplit(*re, text, limit)));
  return ScriptValue::ofArray(arrayOfRanges(ctx, text, {{0, text.size()}}));
}

ScriptValue substringOf(ScriptContext& ctx, std::u16string_view text, TextRange range) {
  return stringValue(ctx, text.substr(range.start, range.end - range.start));
}

ScriptValue mappedCase(ScriptContext& ctx, std::u16string_view text, char16_t (*map)(char16_t)) {
  std::u16string mapped(text);
  for (char16_t& c : mapped) c = map(c);
  return stringValue(ctx, mapped);
}

ScriptValue html(ScriptContext& ctx, int member, std::u16string_view text,
                 const ArgumentBlock& args) {
  const HtmlFormat& f = kHtmlFormats[member - kAnchor];
  if (!f.takesArgument) return stringValue(ctx, fillHtmlFormat(f.format, text));
  const std::u16string argument = argumentText(ctx, args, 1);
  return stringValue(ctx, fillHtmlFormat(f.format, argument, text));
}

// A method called on a string value.
ScriptValue stringMethod(ScriptContext& ctx, const StringClassData& data, int member,
                         const ScriptValue& receiver, const ArgumentBlock& args) {
  const std::u16string_view text = receiver.string->view();
  const auto length = static_cast<std::int64_t>(text.size());
  switch (member) {
    case kCharAt: {
      auto i = args.integer(1);
      if (i && *i >= 0 && *i < length) return stringValue(ctx, text.substr(*i, 1));
      return stringValue(ctx, u"");
    }
    case kCharCodeAt: {
      const std::int64_t i = args.has(1) ? args.integer(1).value_or(length) : 0;
      if (static_cast<std::uint64_t>(i) < static_cast<std::uint64_t>(length))
        return ScriptValue::ofInt(text[i]);
      return ScriptValue::nan();
    }
    case kConcat: {
      std::u16string result(text);
      for (std::int64_t i = 1; i <= args.count(); ++i) result += textOf(ctx, *args.get(i));
      return stringValue(ctx, result);
    }
    case kFromCharCode:
      return fromCharCode(ctx, args);
    case kIndexOf: {
      const std::u16string part = argumentText(ctx, args, 1);
      return ScriptValue::ofInt(findForward(text, part, args.integer(2).value_or(0)));
    }
    case kLastIndexOf: {
      const std::u16string part = argumentText(ctx, args, 1);
      return ScriptValue::ofInt(findBackward(text, part, args.integer(2)));
    }
    case kMatch: return match(ctx, data, receiver, args);
    case kReplace: return replace(ctx, data, receiver, args);
    case kSearch: return search(ctx, data, receiver, args);
    case kSplit: return split(ctx, data, receiver, args);
    case kSlice:
      if (!args.integer(1) || (args.has(2) && !args.integer(2))) return stringValue(ctx, u"");
      return substringOf(ctx, text, sliceRange(text.size(), *args.integer(1), args.integer(2)));
    case kSubstr:
      if (!args.integer(1)) return stringValue(ctx, u"");
      return substringOf(ctx, text, substrRange(text.size(), *args.integer(1), args.integer(2)));
    case kSubstring:
      if (!args.integer(1)) return stringValue(ctx, u"");
      return substringOf(ctx, text, substringRange(text.size(), *args.integer(1), args.integer(2)));
    case kToLowerCase: return mappedCase(ctx, text, lowerChar);
    case kToUpperCase: return mappedCase(ctx, text, upperChar);
    default: return html(ctx, member, text, args);
  }
}

// A method called on the String class object itself.
int classMethod(ScriptContext& ctx, const StringClassData& data, Atom name, ScriptValue* result,
                const ArgumentBlock& args) {
  if (name == kAtomToString) {
    static constexpr std::u16string_view kText = u"[Object String]";
    *result = ScriptValue::ofString(newStaticString(ctx, kText));
    return 1;
  }
  if (name == kAtomValueOf) {
    *result = ctx.global(ctx.intern("String"));
    return 1;
  }
  if (name == data.atoms[kFromCharCode]) {
    *result = fromCharCode(ctx, args);
    return 1;
  }
  return 0;
}

int callMethod(ScriptContext& ctx, NativeClass& cls, void* data, Atom name, ScriptValue* result,
               ScriptValue* args) {
  const StringClassData& classInfo = classData(cls);
  const ArgumentBlock block(args);
  const auto* receiver = static_cast<const ScriptValue*>(data);
  if (!receiver || receiver->kind != ValueKind::String)
    return classMethod(ctx, classInfo, name, result, block);
  if (name == kAtomToString || name == kAtomValueOf) {
    *result = *receiver;
    return 1;
  }
  const int member = memberOf(cls, name);
  if (member < 0 || member == kLength) return 0;
  try {
    *result = stringMethod(ctx, classInfo, member, *receiver, block);
  } catch (const RegExpAbandoned& abandoned) {
    const std::u16string reason = regexErrorText(abandoned.status);
    raiseError(ctx, "Regular expression search abandoned: " + std::string(reason.begin(), reason.end()));
  }
  return 1;
}

int accessProperty(ScriptContext&, NativeClass& cls, void* data, Atom name, int set,
                   ScriptValue* value) {
  const auto* receiver = static_cast<const ScriptValue*>(data);
  if (!receiver || receiver->kind != ValueKind::String || name != classData(cls).atoms[kLength])
    return 0;
  if (!set) *value = ScriptValue::ofInt(receiver->string->length);
  return 1;  // assigning to the length is accepted and ignored
}

void call(ScriptContext& ctx, NativeClass&, void*, ScriptValue* result, ScriptValue* args) {
  const ArgumentBlock block(args);
  *result = block.has(1) ? ScriptValue::ofString(toString(ctx, *block.get(1)))
                         : stringValue(ctx, u"");
}

void construct(ScriptContext& ctx, NativeClass& cls, ScriptValue* args, ScriptValue* result) {
  const ArgumentBlock block(args);
  ScriptString* s = newString(ctx, argumentText(ctx, block, 1));
  s->props = newObjectWithProto(ctx, ScriptValue::ofObject(cls.prototype));
  *result = ScriptValue::ofString(s);
}

void finalizeClass(void* userData) { destroyHandedOver<StringClassData>(userData); }

}  // namespace

void registerStringClass(ScriptContext& ctx) {
  auto data = std::make_unique<StringClassData>();
  for (int i = 0; i < kMemberCount; ++i) data->atoms[i] = ctx.intern(kMemberNames[i]);
  data->regExpClass = registerRegExpClass(ctx);
  NativeClass* cls = newClass(ctx);
  cls->call = call;
  cls->callMethod = callMethod;
  cls->accessProperty = accessProperty;
  cls->construct = construct;
  cls->finalize = finalizeClass;
  cls->userData = handOver(std::move(data));
  registerGlobalClass(ctx, "String", cls);
  setKindClass(ctx, ValueKind::String, cls);
}

}  // namespace orvet
