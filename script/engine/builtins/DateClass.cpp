#include "script/engine/builtins/DateClass.h"

#include <array>
#include <cmath>
#include <memory>
#include <optional>

#include "script/runtime/AnsiCodec.h"
#include "script/runtime/AtomTable.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptString.h"
#include "script/engine/builtins/ArgumentBlock.h"
#include "script/engine/builtins/DateCalendar.h"
#include "script/engine/builtins/DateClock.h"
#include "script/engine/builtins/DateFormat.h"
#include "script/engine/builtins/DateParse.h"

namespace orvet {

namespace {

// The members in the order of the class's atom table.
enum Member {
  kGetDate, kGetDay, kGetFullYear, kGetHours, kGetMilliseconds, kGetMinutes, kGetMonth,
  kGetSeconds, kGetTime, kGetTimezoneOffset, kGetUTCDate, kGetUTCDay, kGetUTCFullYear,
  kGetUTCHours, kGetUTCMilliseconds, kGetUTCMinutes, kGetUTCMonth, kGetUTCSeconds, kGetYear,
  kParse, kSetDate, kSetFullYear, kSetHours, kSetMinutes, kSetMilliseconds, kSetMonth,
  kSetSeconds, kSetTime, kSetUTCDate, kSetUTCFullYear, kSetUTCHours, kSetUTCMilliseconds,
  kSetUTCMinutes, kSetUTCMonth, kSetUTCSeconds, kSetYear, kToGMTString, kToLocaleString, kUTC,
  kMemberCount
};

constexpr std::string_view kMemberNames[kMemberCount] = {
    "getDate", "getDay", "getFullYear", "getHours", "getMilliseconds", "getMinutes",
    "getMonth", "getSeconds", "getTime", "getTimezoneOffset", "getUTCDate", "getUTCDay",
    "getUTCFullYear", "getUTCHours", "getUTCMilliseconds", "getUTCMinutes", "getUTCMonth",
    "getUTCSeconds", "getYear", "parse", "setDate", "setFullYear", "setHours", "setMinutes",
    "setMilliseconds", "setMonth", "setSeconds", "setTime", "setUTCDate", "setUTCFullYear",
    "setUTCHours", "setUTCMilliseconds", "setUTCMinutes", "setUTCMonth", "setUTCSeconds",
    "setYear", "toGMTString", "toLocaleString", "UTC",
};

struct DateClassData {
  std::array<Atom, kMemberCount> atoms;
  double localTZA;
};

DateClassData& classData(const NativeClass& cls) {
  return *static_cast<DateClassData*>(cls.userData);
}

int memberOf(const NativeClass& cls, Atom name) {
  const auto& atoms = classData(cls).atoms;
  for (int i = 0; i < kMemberCount; ++i)
    if (atoms[i] == name) return i;
  return -1;
}

// The calendar fields a date is built from, in MakeDate's order.
enum Field { kYear, kMonth, kDay, kHour, kMinute, kSecond, kMs, kFieldCount };
using Fields = std::array<double, kFieldCount>;
constexpr Fields kDefaultFields = {1970, 0, 1, 0, 0, 0, 0};

double dateOfFields(const Fields& f) {
  return makeDate(f[kYear], f[kMonth], f[kDay], f[kHour], f[kMinute], f[kSecond], f[kMs]);
}

Fields fieldsOf(double t) {
  return {yearFromTime(t), static_cast<double>(monthFromTime(t)),
          static_cast<double>(dateFromTime(t)), static_cast<double>(hourFromTime(t)),
          static_cast<double>(minFromTime(t)), static_cast<double>(secFromTime(t)),
          static_cast<double>(msFromTime(t))};
}

// A setter's argument: an integer, or a number floored; nothing otherwise.
std::optional<double> fieldArgument(const ArgumentBlock& args, std::int64_t n) {
  const ScriptValue* v = args.get(n);
  if (!v) return std::nullopt;
  if (v->kind == ValueKind::Integer) return static_cast<double>(v->integer);
  if (v->kind == ValueKind::Float) return std::floor(v->number);
  return std::nullopt;
}

double numberOf(ScriptContext& ctx, const ScriptValue& value) {
  ScriptValue n = toNumber(ctx, value);
  if (n.kind == ValueKind::Integer) return static_cast<double>(n.integer);
  if (n.kind == ValueKind::Float) return n.number;
  return NAN;
}

// The fields of a constructor or UTC call, with the defaults for missing ones.
double dateFromArguments(ScriptContext& ctx, const ArgumentBlock& args) {
  Fields fields = kDefaultFields;
  for (int i = 0; i < kFieldCount && args.has(i + 1); ++i) fields[i] = numberOf(ctx, *args.get(i + 1));
  const double t = dateOfFields(fields);
  return isValidTime(t) ? t : 0;
}

double validOrZero(double t) { return isValidTime(t) ? t : 0; }

// ToTime: numbers as they are, text parsed; anything else (or text that is
// not a date) is the current time.
double timeFromValue(const ScriptValue& value, double localTZA) {
  switch (value.kind) {
    case ValueKind::Float:
      return validOrZero(value.number);
    case ValueKind::Integer:
      return validOrZero(static_cast<double>(value.integer));
    case ValueKind::String:
      if (auto t = parseDateText(utf16ToAnsi(value.string->view()), localTZA))
        return validOrZero(*t);
      return currentTimeValue();
    default:
      return currentTimeValue();
  }
}

ScriptValue timeResult(double t) { return ScriptValue::ofInt(static_cast<std::int64_t>(t)); }

ScriptValue textResult(ScriptContext& ctx, const std::u16string& text) {
  return ScriptValue::ofString(newString(ctx, text));
}

// The setters: the first field each replaces and how many fields it takes.
struct Setter {
  Field first;
  int count;
  bool local;
};

std::optional<Setter> setterOf(int member) {
  switch (member) {
    case kSetMilliseconds: return Setter{kMs, 1, true};
    case kSetSeconds: return Setter{kSecond, 2, true};
    case kSetMinutes: return Setter{kMinute, 3, true};
    case kSetHours: return Setter{kHour, 4, true};
    case kSetDate: return Setter{kDay, 1, true};
    case kSetMonth: return Setter{kMonth, 2, true};
    case kSetFullYear: return Setter{kYear, 3, true};
    case kSetUTCMilliseconds: return Setter{kMs, 1, false};
    case kSetUTCSeconds: return Setter{kSecond, 2, false};
    case kSetUTCMinutes: return Setter{kMinute, 3, false};
    case kSetUTCHours: return Setter{kHour, 4, false};
    case kSetUTCDate: return Setter{kDay, 1, false};
    case kSetUTCMonth: return Setter{kMonth, 2, false};
    case kSetUTCFullYear: return Setter{kYear, 3, false};
    default: return std::nullopt;
  }
}

// Stores t when it is a valid time; gives the date's value either way.
ScriptValue store(double& date, double t) {
  if (isValidTime(t)) date = t;
  return timeResult(date);
}

ScriptValue setFields(double& date, Setter setter, double localTZA, const ArgumentBlock& args) {
  if (!fieldArgument(args, 1)) return timeResult(date);
  const double shift = setter.local ? localTZA : 0;
  Fields fields = fieldsOf(date - shift);
  for (int i = 0; i < setter.count; ++i) {
    if (auto value = fieldArgument(args, i + 1)) fields[setter.first + i] = *value;
  }
  return store(date, dateOfFields(fields) + shift);
}

ScriptValue setYear(double& date, double localTZA, const ArgumentBlock& args) {
  auto year = fieldArgument(args, 1);
  if (!year) return timeResult(date);
  Fields fields = fieldsOf(date - localTZA);
  fields[kYear] = (*year >= 0 && *year <= 99) ? 1900 + *year : *year;
  return store(date, dateOfFields(fields) + localTZA);
}

std::optional<int> getter(int member, double t, double localTZA) {
  const double local = t - localTZA;
  switch (member) {
    case kGetDate: return dateFromTime(local);
    case kGetDay: return weekDay(local);
    case kGetFullYear: return static_cast<int>(yearFromTime(local));
    case kGetHours: return hourFromTime(local);
    case kGetMinutes: return minFromTime(local);
    case kGetMonth: return monthFromTime(local);
    case kGetSeconds: return secFromTime(local);
    case kGetMilliseconds:
    case kGetUTCMilliseconds: return msFromTime(t);
    case kGetUTCDate: return dateFromTime(t);
    case kGetUTCDay: return weekDay(t);
    case kGetUTCFullYear: return static_cast<int>(yearFromTime(t));
    case kGetUTCHours: return hourFromTime(t);
    case kGetUTCMinutes: return minFromTime(t);
    case kGetUTCMonth: return monthFromTime(t);
    case kGetUTCSeconds: return secFromTime(t);
    case kGetYear: {
      const int year = static_cast<int>(yearFromTime(local));
      return year >= 1900 && year <= 1999 ? year - 1900 : year;
    }
    case kGetTimezoneOffset: return static_cast<int>(std::floor(localTZA / kMsPerMinute));
    default: return std::nullopt;
  }
}

// parse and UTC, which also work on the class object.
std::optional<ScriptValue> classWideMethod(ScriptContext& ctx, int member, double localTZA,
                                           const ArgumentBlock& args) {
  if (member == kParse)
    return timeResult(args.has(1) ? timeFromValue(*args.get(1), localTZA) : 0);
  if (member == kUTC) return timeResult(dateFromArguments(ctx, args));
  return std::nullopt;
}

std::optional<ScriptValue> dateMethod(ScriptContext& ctx, int member, Atom name, double& date,
                                      double localTZA, const ArgumentBlock& args) {
  if (name == kAtomToString || member == kToLocaleString)
    return textResult(ctx, formatLocalDate(date, localTZA));
  if (name == kAtomValueOf || member == kGetTime) return timeResult(date);
  if (member == kToGMTString) return textResult(ctx, formatUtcDate(date));
  if (member == kSetTime) {
    const ScriptValue* v = args.get(1);
    if (v && v->kind == ValueKind::Integer) return store(date, static_cast<double>(v->integer));
    if (v && v->kind == ValueKind::Float) return store(date, v->number);
    return timeResult(date);
  }
  if (member == kSetYear) return setYear(date, localTZA, args);
  if (auto setter = setterOf(member)) return setFields(date, *setter, localTZA, args);
  if (auto field = getter(member, date, localTZA)) return ScriptValue::ofInt(*field);
  return classWideMethod(ctx, member, localTZA, args);
}

int callMethod(ScriptContext& ctx, NativeClass& cls, void* data, Atom name, ScriptValue* result,
               ScriptValue* args) {
  const DateClassData& info = classData(cls);
  const ArgumentBlock block(args);
  const int member = memberOf(cls, name);
  std::optional<ScriptValue> answer;
  if (data) {
    answer = dateMethod(ctx, member, name, *static_cast<double*>(data), info.localTZA, block);
  } else if (name == kAtomToString) {
    static constexpr std::u16string_view kText = u"[object Date]";
    answer = ScriptValue::ofString(newStaticString(ctx, kText));
  } else {
    answer = classWideMethod(ctx, member, info.localTZA, block);
  }
  if (!answer) return 0;
  *result = *answer;
  return 1;
}

void call(ScriptContext& ctx, NativeClass& cls, void*, ScriptValue* result, ScriptValue*) {
  *result = textResult(ctx, formatLocalDate(currentTimeValue(), classData(cls).localTZA));
}

void construct(ScriptContext& ctx, NativeClass& cls, ScriptValue* args, ScriptValue* result) {
  const double localTZA = classData(cls).localTZA;
  const ArgumentBlock block(args);
  double t;
  if (block.count() == 0) {
    t = currentTimeValue();
  } else if (block.count() == 1) {
    t = timeFromValue(*block.get(1), localTZA);
  } else {
    // The fields are local time.
    t = validOrZero(dateFromArguments(ctx, block) + localTZA);
  }
  auto date = std::make_unique<double>(t);
  *result = newInstance(ctx, &cls, date.get());
  date.release();  // the instance owns it now
}

void destroyData(ScriptContext&, NativeClass&, void* data) { destroyHandedOver<double>(data); }

void finalizeClass(void* userData) { destroyHandedOver<DateClassData>(userData); }

}  // namespace

void registerDateClass(ScriptContext& ctx) { registerDateClass(ctx, systemLocalTimeAdjustment()); }

void registerDateClass(ScriptContext& ctx, double localTZA) {
  auto data = std::make_unique<DateClassData>();
  for (int i = 0; i < kMemberCount; ++i) data->atoms[i] = ctx.intern(kMemberNames[i]);
  data->localTZA = localTZA;
  NativeClass* cls = newClass(ctx);
  cls->call = call;
  cls->callMethod = callMethod;
  cls->construct = construct;
  cls->destroyData = destroyData;
  cls->finalize = finalizeClass;
  cls->userData = handOver(std::move(data));
  registerGlobalClass(ctx, "Date", cls);
}

}  // namespace orvet
