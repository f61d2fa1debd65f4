// Reading the argument block of a native call: args[0] holds the count,
// args[1..count] the arguments. A missing argument is never read.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptValue.h"

namespace orvet {

class ArgumentBlock {
 public:
  explicit ArgumentBlock(const ScriptValue* args) : args_(args) {}

  std::int64_t count() const { return argumentCount(args_); }
  bool has(std::int64_t n) const { return n >= 1 && n <= count(); }
  // Argument n (from 1), or null when it was not passed.
  const ScriptValue* get(std::int64_t n) const { return has(n) ? &args_[n] : nullptr; }
  // Argument n when it is of kind Integer.
  std::optional<std::int64_t> integer(std::int64_t n) const {
    const ScriptValue* v = get(n);
    if (v && v->kind == ValueKind::Integer) return v->integer;
    return std::nullopt;
  }
  bool isKind(std::int64_t n, ValueKind kind) const {
    const ScriptValue* v = get(n);
    return v && v->kind == kind;
  }

 private:
  const ScriptValue* args_;
};

// Native data and class data owned by the runtime's records: handed over at
// creation and destroyed by the destroy or finalize callback.
template <class T>
void* handOver(std::unique_ptr<T> owned) {
  return owned.release();
}
template <class T>
void destroyHandedOver(void* data) {
  std::unique_ptr<T> owned(static_cast<T*>(data));
}

}  // namespace orvet
