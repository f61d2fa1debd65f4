// A context with the String, RegExp and Date classes, and calls into their
// callbacks the way the interpreter makes them.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "script/runtime/NativeClass.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"
#include "script/runtime/ScriptString.h"

namespace orvet::test {

class ClassHarness {
 public:
  ScriptContext ctx;

  ScriptValue str(std::u16string_view s) { return ScriptValue::ofString(newString(ctx, s)); }
  static ScriptValue num(std::int64_t i) { return ScriptValue::ofInt(i); }
  static ScriptValue real(double d) { return ScriptValue::ofFloat(d); }

  ScriptValue global(std::string_view name) { return ctx.global(ctx.intern(name)); }
  NativeClass& classOf(std::string_view globalName) { return *global(globalName).native->cls; }

  // callMethod with data (the receiver, or native data, or null for the class
  // object); fails the test when the class declines.
  ScriptValue method(NativeClass& cls, void* data, std::string_view name,
                     std::initializer_list<ScriptValue> args = {}) {
    std::vector<ScriptValue> block = argumentBlock(args);
    ScriptValue result;
    int handled = 0;
    bool completed = protectedCall(ctx, [&] {
      handled = cls.callMethod(ctx, cls, data, ctx.intern(name), &result, block.data());
    });
    EXPECT_TRUE(completed) << ctx.errorBuffer;
    EXPECT_EQ(handled, 1) << name;
    return result;
  }
  bool declines(NativeClass& cls, void* data, std::string_view name) {
    std::vector<ScriptValue> block = argumentBlock({});
    ScriptValue result;
    return cls.callMethod(ctx, cls, data, ctx.intern(name), &result, block.data()) == 0;
  }
  ScriptValue construct(NativeClass& cls, std::initializer_list<ScriptValue> args) {
    std::vector<ScriptValue> block = argumentBlock(args);
    ScriptValue result;
    EXPECT_TRUE(protectedCall(ctx, [&] { cls.construct(ctx, cls, block.data(), &result); }))
        << ctx.errorBuffer;
    return result;
  }
  ScriptValue callClass(NativeClass& cls, std::initializer_list<ScriptValue> args) {
    std::vector<ScriptValue> block = argumentBlock(args);
    ScriptValue result;
    EXPECT_TRUE(protectedCall(ctx, [&] { cls.call(ctx, cls, nullptr, &result, block.data()); }))
        << ctx.errorBuffer;
    return result;
  }

  static std::u16string text(const ScriptValue& v) {
    EXPECT_EQ(v.kind, ValueKind::String);
    return v.kind == ValueKind::String ? std::u16string(v.string->view()) : std::u16string();
  }
  // The elements of an array as texts ("<undefined>" for a missing one).
  static std::vector<std::u16string> texts(const ScriptValue& v) {
    std::vector<std::u16string> out;
    EXPECT_EQ(v.kind, ValueKind::Array);
    if (v.kind != ValueKind::Array) return out;
    for (std::uint64_t i = 0; i < v.array->length; ++i) {
      const ScriptValue* e = arrayGet(*v.array, i);
      out.push_back(e && e->kind == ValueKind::String ? std::u16string(e->string->view())
                                                       : u"<undefined>");
    }
    return out;
  }
  ScriptValue property(ScriptObject* object, std::string_view name) {
    ScriptValue out;
    getProperty(object, ctx.intern(name), out);
    return out;
  }

 private:
  static std::vector<ScriptValue> argumentBlock(std::initializer_list<ScriptValue> args) {
    std::vector<ScriptValue> block{ScriptValue::ofInt(static_cast<std::int64_t>(args.size()))};
    block.insert(block.end(), args.begin(), args.end());
    return block;
  }
};

}  // namespace orvet::test
