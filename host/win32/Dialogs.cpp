#include "host/win32/Dialogs.h"

#include "host/StringArguments.h"
#include "host/win32/CommonDialogs.h"
#include "host/win32/PlayerWindow.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptArray.h"

namespace lumbra {

namespace {

using namespace orvet;

enum Member { kMsgBox, kFileOpen, kFileSave, kBrowse };

std::string textArgument(ScriptContext& ctx, const ScriptValue* args, std::int64_t n)
{
    return toAnsi(*toString(ctx, args[n]));
}

// Optional text arguments: missing or not a String reads as empty.
std::string optionalText(const ScriptValue* args, std::int64_t n) { return ansiArgument(args, n).value_or(""); }

ScriptValue messageBox(ScriptContext& ctx, HWND owner, const ScriptValue* args)
{
    if (!hasArgument(args, 1))
        return ScriptValue::undefined();
    const std::string text = textArgument(ctx, args, 1);
    const std::string caption = hasArgument(args, 2) ? textArgument(ctx, args, 2) : "Lumbra";
    const UINT type = hasArgument(args, 3) && args[3].is(ValueKind::Integer) ? UINT(args[3].integer) : 0;
    return ScriptValue::ofInt(showMessageBox(owner, text, caption, type));
}

ScriptValue fileDialog(ScriptContext& ctx, HWND owner, const ScriptValue* args, bool save)
{
    FileDialogRequest request{optionalText(args, 1), optionalText(args, 2), optionalText(args, 3)};
    if (hasArgument(args, 4)) {
        if (save && args[4].is(ValueKind::Integer))
            request.extraFlags = DWORD(args[4].integer);
        request.multiple = !save && args[4].is(ValueKind::Boolean) && args[4].boolean;
    }
    const FileDialogResult result = save ? saveFileDialog(owner, request) : openFileDialog(owner, request);
    if (!result.chosen()) {
        setErrorText(ctx, result.errorText());
        return ScriptValue::null();
    }
    if (!request.multiple)
        return ansiStringValue(ctx, result.pieces.front());
    ScriptArray* pieces = newArray(ctx);
    for (const std::string& piece : result.pieces)
        arrayAppend(ctx, *pieces, ansiStringValue(ctx, piece));
    return ScriptValue::ofArray(pieces);
}

ScriptValue browse(ScriptContext& ctx, HWND owner, const ScriptValue* args)
{
    const bool computers = hasArgument(args, 3) && toBoolean(args[3]);
    const auto folder = browseForFolder(owner, optionalText(args, 1), optionalText(args, 2), computers);
    return folder ? ansiStringValue(ctx, *folder) : ScriptValue::null();
}

int dialogsMethod(ScriptContext& ctx, NativeClass& cls, void*, Atom name, ScriptValue* result, ScriptValue* args)
{
    if (name == kAtomToString) {
        *result = staticStringValue(ctx, u"[object Dialogs]");
        return 1;
    }
    const MemberAtoms& dialogs = MemberAtoms::of(cls);
    const int member = dialogs.find(name);
    if (member < 0)
        return 0;
    const HWND owner = playerMainWindow(dialogs);
    switch (member) {
    case kMsgBox: *result = messageBox(ctx, owner, args); break;
    case kFileOpen: *result = fileDialog(ctx, owner, args, false); break;
    case kFileSave: *result = fileDialog(ctx, owner, args, true); break;
    case kBrowse: *result = browse(ctx, owner, args); break;
    }
    return 1;
}

} // namespace

void registerDialogsClass(ScriptEngine& engine, void* host)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = newClass(ctx);
    MemberAtoms::attach(engine, host, *cls, {"msgBox", "fileOpen", "fileSave", "browse"});
    cls->callMethod = dialogsMethod;
    registerGlobalClass(ctx, "Dialogs", cls);
}

} // namespace lumbra
