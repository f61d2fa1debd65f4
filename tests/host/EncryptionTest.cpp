// The Encryption object as scripts use it.
#include "HostEngine.h"

#include "tests/package/TempFolder.h"

namespace lumbra {
namespace {

using test::scriptLiteral;

TEST(Encryption, DigestsOfTextsAndFiles)
{
    test::HostEngine engine;
    EXPECT_EQ(engine.value("Encryption.md5(\"\")"), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(engine.value("Encryption.md5(\"message digest\")"), "f96b697d7cb7938d525a2f31aaf161d0");
    // The ANSI bytes of the text: U+00E9 is the single byte E9.
    EXPECT_EQ(engine.value("Encryption.md5(\"\\u00e9\")"), "3406877694691ddd1dfb0aca54681407");

    test::TempFolder folder;
    const auto path = (folder / "data.bin").string();
    test::writeFile(path, std::string("abc"));
    EXPECT_EQ(engine.value("Encryption.md5File(" + scriptLiteral(path) + ")"), "900150983cd24fb0d6963f7d28e17f72");
    test::writeFile(path, std::string(100000, 'a'));
    EXPECT_EQ(engine.value("Encryption.md5File(" + scriptLiteral(path) + ")"), "1af6d6f2f682f76f80e606aeaaee1680");
    EXPECT_EQ(engine.value("Encryption.md5File(" + scriptLiteral((folder / "none").string()) + ")"), "null");
}

TEST(Encryption, CiphersComeBackThroughBase64)
{
    test::HostEngine engine;
    EXPECT_EQ(engine.value("Encryption.desDecode(\"key\", Encryption.desEncode(\"key\", \"secret text\"))"),
              "secret text");
    EXPECT_EQ(engine.value("Encryption.blowfishDecode(\"key\", Encryption.blowfishEncode(\"key\", \"secret\"))"),
              "secret");
    // 8 characters fill one block: 8 cipher bytes, 12 Base64 characters with one "=".
    EXPECT_EQ(engine.value("Encryption.desEncode(\"k\", \"12345678\").length"), "12");
    EXPECT_EQ(engine.value("Encryption.desEncode(\"k\", \"123456789\").length"), "24");
    EXPECT_EQ(engine.value("Encryption.blowfishEncode(\"\", \"\")"), "");
    // The Triple-DES text of "Now is t" under "abc" (checked against OpenSSL's des-ede3).
    EXPECT_EQ(engine.value("Encryption.desEncode(\"abc\", \"Now is t\")"), "cIf4hdlI9Uo=");
    EXPECT_EQ(engine.value("Encryption.desDecode(\"abc\", \"cIf4\\r\\nhdlI9Uo=\")"), "Now is t");
    // Another key gives another text.
    EXPECT_NE(engine.value("Encryption.blowfishEncode(\"a\", \"text\")"),
              engine.value("Encryption.blowfishEncode(\"b\", \"text\")"));
}

TEST(Encryption, BadArgumentsGiveNull)
{
    test::HostEngine engine;
    for (const char* call : {"Encryption.md5()", "Encryption.md5(5)", "Encryption.md5File(null)",
                             "Encryption.desEncode(\"k\")", "Encryption.desEncode(1, \"t\")",
                             "Encryption.blowfishDecode(\"k\", 3)", "Encryption.blowfishEncode()"})
        EXPECT_EQ(engine.value(call), "null") << call;
    // Cipher text that is not Base64, or not whole blocks, decodes to something without failing.
    EXPECT_EQ(engine.value("typeof Encryption.desDecode(\"k\", \"not base64 at all!\")"), "string");
    EXPECT_EQ(engine.value("Encryption.blowfishDecode(\"k\", \"QUJD\")"), "");
    EXPECT_EQ(engine.value("Encryption.toString()"), "[object Encrpytion]");
    EXPECT_EQ(engine.value("Encryption.anything"), "undefined");
}

} // namespace
} // namespace lumbra
