#include "host/Encryption.h"

#include "host/StringArguments.h"
#include "host/crypto/Base64.h"
#include "host/crypto/TextCipher.h"
#include "package/HexText.h"
#include "package/Md5.h"
#include "script/engine/ScriptEngine.h"

#include <fstream>

namespace lumbra {

namespace {

using namespace orvet;

enum Member { kMd5, kMd5File, kBlowfishEncode, kBlowfishDecode, kDesEncode, kDesDecode };

std::optional<Md5Digest> md5OfFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    Md5 hash;
    char chunk[16384];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0)
        hash.update(std::string_view(chunk, std::size_t(file.gcount())));
    return hash.finish();
}

std::span<const std::uint8_t> bytesOf(const std::vector<std::uint8_t>& bytes) { return bytes; }

// The member's result, or nothing when an argument is missing or not a String.
std::optional<std::string> answer(int member, const ScriptValue* args)
{
    const auto first = ansiArgument(args, 1);
    if (!first)
        return std::nullopt;
    if (member == kMd5)
        return toHex(md5(*first));
    if (member == kMd5File) {
        const auto digest = md5OfFile(*first);
        return digest ? std::optional(toHex(*digest)) : std::nullopt;
    }
    const auto second = ansiArgument(args, 2);
    if (!second)
        return std::nullopt;
    switch (member) {
    case kBlowfishEncode: return encodeBase64(blowfishEncrypt(*first, *second));
    case kBlowfishDecode: return blowfishDecrypt(*first, bytesOf(decodeBase64(*second)));
    case kDesEncode: return encodeBase64(tripleDesEncrypt(*first, *second));
    case kDesDecode: return tripleDesDecrypt(*first, bytesOf(decodeBase64(*second)));
    default: return std::nullopt;
    }
}

int encryptionMethod(ScriptContext& ctx, NativeClass& cls, void*, Atom name, ScriptValue* result, ScriptValue* args)
{
    if (name == kAtomToString) {
        // The class's own spelling, which scripts may compare against.
        *result = staticStringValue(ctx, u"[object Encrpytion]");
        return 1;
    }
    const int member = MemberAtoms::of(cls).find(name);
    if (member < 0)
        return 0;
    const auto text = answer(member, args);
    *result = text ? ansiStringValue(ctx, *text) : ScriptValue::null();
    return 1;
}

} // namespace

void registerEncryptionClass(ScriptEngine& engine, void* host)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = newClass(ctx);
    MemberAtoms::attach(engine, host, *cls, {"md5", "md5File", "blowfishEncode", "blowfishDecode", "desEncode", "desDecode"});
    cls->callMethod = encryptionMethod;
    registerGlobalClass(ctx, "Encryption", cls);
}

} // namespace lumbra
