#include "host/DataFile.h"

#include "host/StringArguments.h"
#include "host/datafile/DataFileCodec.h"
#include "host/datafile/ProfileStore.h"
#include "script/engine/ScriptEngine.h"

namespace lumbra {

namespace {

using namespace orvet;

enum Member { kSave, kLoad, kRemove };

// save(path, name, ...): every argument a String, at least one name.
void save(ScriptContext& ctx, const ScriptValue* args)
{
    const std::int64_t count = argumentCount(args);
    std::vector<std::string> texts;
    for (std::int64_t i = 1; i <= count; ++i) {
        auto text = ansiArgument(args, i);
        if (!text)
            return;
        texts.push_back(std::move(*text));
    }
    if (texts.size() < 2)
        return;
    const auto store = openProfileStore(texts.front());
    texts.erase(texts.begin());
    saveVariables(ctx, *store, texts);
    store->commit();
}

int dataFileMethod(ScriptContext& ctx, NativeClass& cls, void*, Atom name, ScriptValue* result, ScriptValue* args)
{
    if (name == kAtomToString) {
        *result = staticStringValue(ctx, u"[object DataFile]");
        return 1;
    }
    const auto path = [&] { return ansiArgument(args, 1); };
    switch (MemberAtoms::of(cls).find(name)) {
    case kSave:
        save(ctx, args);
        return 1;
    case kLoad:
        if (const auto file = path())
            *result = ScriptValue::ofBool(loadVariables(ctx, *openProfileStore(*file)));
        else
            *result = ScriptValue::ofBool(false);
        return 1;
    case kRemove:
        if (const auto file = path())
            removeProfileFile(*file);
        return 1;
    default:
        return 0;
    }
}

} // namespace

void registerDataFileClass(ScriptEngine& engine, void* host)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = newClass(ctx);
    MemberAtoms::attach(engine, host, *cls, {"save", "load", "remove"});
    cls->callMethod = dataFileMethod;
    registerGlobalClass(ctx, "DataFile", cls);
}

} // namespace lumbra
