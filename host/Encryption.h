// "Encryption": MD5 digests of texts and files, Blowfish and Triple-DES
// encryption of texts with Base64 cipher text.
#pragma once

namespace orvet {
struct ScriptEngine;
}

namespace lumbra {

void registerEncryptionClass(orvet::ScriptEngine& engine, void* host);

} // namespace lumbra
