// Splits Orvet source text (8-bit, system code page) into tokens. Lines are
// counted from 0 at every line feed the lexer consumes, wherever it stands.
#pragma once

#include <cstdint>
#include <string>

#include "script/compiler/Diagnostics.h"
#include "script/compiler/Token.h"
#include "script/runtime/ByteStream.h"

namespace orvet {

struct RegExpLiteral {
    std::string pattern;
    std::uint8_t flags = 0; // 1 "g", 2 "i", 4 "m"
};

class Lexer {
public:
    // With unicodeStrings set, an escape in a string literal stands for a
    // code point, written into the literal as UTF-8 ("\u00e9", "\xE9").
    Lexer(ByteStream& source, Diagnostics& diagnostics, bool warnLineTerminatorsInStrings,
          bool unicodeStrings = false);

    Token next();
    // Reads a regular-expression literal; the parser calls it right after
    // consuming the opening "/".
    RegExpLiteral readRegExp();

    int line() const { return line_; }

private:
    int read();
    void unread(int c);
    int peek();

    void skipBlanks();
    Token lexNumber(int first);
    Token lexRadixInteger(int base);
    Token lexCharacter();
    Token lexString(int quote);
    Token lexWord(int first);
    int lexOperator(int first);
    // An escape after a backslash; returns the byte it stands for, or -1 for
    // a line continuation that stands for nothing.
    int readEscape(const char* literalKind, int startLine);
    int readHexEscape(const char* literalKind, int digits);

    ByteStream& source_;
    Diagnostics& diagnostics_;
    bool warnLineTerminators_;
    bool unicodeStrings_;
    int line_ = 0;
};

} // namespace orvet
