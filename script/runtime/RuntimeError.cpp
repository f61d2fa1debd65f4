#include "script/runtime/RuntimeError.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "script/runtime/Conversions.h"
#include "script/runtime/ScriptString.h"

namespace orvet {

void setErrorText(ScriptContext& ctx, std::string_view text)
{
    std::size_t n = std::min(text.size(), sizeof ctx.errorBuffer - 1);
    std::memcpy(ctx.errorBuffer, text.data(), n);
    ctx.errorBuffer[n] = '\0';
}

namespace {

bool endsRun(std::string_view text)
{
    return text == kErrStackOverflow || text == kErrOutOfMemory || text.starts_with(kErrHookBreak);
}

} // namespace

void noteError(ScriptContext& ctx, std::string_view text)
{
    // Short texts: no allocation, even when memory ran out.
    if (endsRun(text))
        ctx.runEndingError = text;
    else
        ctx.runEndingError.clear();
    std::string message = "Runtime error: ";
    message += text;
    setErrorText(ctx, message);
    if (ctx.recovery.empty() || ctx.recovery.back().kind != RecoveryRecord::Kind::ScriptTry)
        return;
    // Making the thrown string may itself run out of memory; that nested error
    // must not try again.
    RecoveryRecord& record = ctx.recovery.back();
    record.thrown = ScriptValue::undefined();
    if (ctx.makingErrorValue)
        return;
    ctx.makingErrorValue = true;
    try {
        record.thrown = ScriptValue::ofString(newStringFromAnsi(ctx, ctx.errorBuffer));
    } catch (const ScriptError&) {
    } catch (const std::bad_alloc&) {
    }
    ctx.makingErrorValue = false;
    setErrorText(ctx, message);
}

void raiseError(ScriptContext& ctx, std::string_view text)
{
    noteError(ctx, text);
    throw ScriptError{};
}

void raiseOutOfMemory(ScriptContext& ctx)
{
    raiseError(ctx, kErrOutOfMemory);
}

bool lastErrorEndsRun(const ScriptContext& ctx)
{
    return !ctx.runEndingError.empty();
}

void raiseLastErrorAgain(ScriptContext& ctx)
{
    const std::string text = ctx.runEndingError;
    raiseError(ctx, text);
}

void throwValue(ScriptContext& ctx, const ScriptValue& value)
{
    ctx.runEndingError.clear();
    if (!ctx.recovery.empty() && ctx.recovery.back().kind == RecoveryRecord::Kind::ScriptTry) {
        ctx.recovery.back().thrown = value;
        throw ScriptError{};
    }
    setErrorText(ctx, toAnsi(*toString(ctx, value)));
    throw ScriptError{};
}

HostRecovery::HostRecovery(ScriptContext& ctx) : ctx_(ctx), depth_(ctx.recovery.size()), sp_(ctx.sp)
{
    ctx.recovery.push_back({});
}

HostRecovery::~HostRecovery()
{
    ctx_.recovery.resize(depth_);
    ctx_.sp = sp_;
}

} // namespace orvet
