#include "script/compiler/Lexer.h"

#include <cstdlib>
#include <string_view>
#include <vector>

#include "script/runtime/NameHash.h"

namespace orvet {

namespace {

constexpr int kEnd = ByteStream::kEnd;

// The keyword table: 32 chains keyed by the name hash of the word, built once
// from the keyword list. Reserved words ("class", "const", ...) are keywords
// that no grammar rule accepts.
class KeywordTable {
public:
    KeywordTable()
    {
        static constexpr std::string_view words[] = {
            "break", "continue", "delete", "else", "for", "function", "if", "in", "new", "return",
            "this", "typeof", "var", "void", "while", "with", "case", "catch", "class", "const",
            "debugger", "default", "do", "enum", "export", "extends", "finally", "import", "super",
            "switch", "throw", "try", "null", "true", "false"};
        int code = tk::Break;
        for (std::string_view word : words)
            add(word, code++);
        add("undefined", tk::Undefined);
    }

    // The word's token code, or tk::Identifier.
    int find(std::string_view word) const
    {
        for (const Entry& entry : chains_[nameHash(word) % kChains])
            if (entry.word == word)
                return entry.code;
        return tk::Identifier;
    }

private:
    static constexpr std::size_t kChains = 32;
    struct Entry {
        std::string_view word;
        int code;
    };

    void add(std::string_view word, int code)
    {
        if (find(word) == tk::Identifier)
            chains_[nameHash(word) % kChains].push_back({word, code});
    }

    std::vector<Entry> chains_[kChains];
};

int keywordCode(std::string_view word)
{
    static const KeywordTable keywords;
    return keywords.find(word);
}

bool isBlank(int c) { return (c >= 9 && c <= 13) || c == ' '; }
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isOctalDigit(int c) { return c >= '0' && c <= '7'; }
bool isLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isWordStart(int c) { return isLetter(c) || c == '$' || c == '_'; }
bool isWordPart(int c) { return isWordStart(c) || isDigit(c); }

int hexValue(int c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

Token integerToken(std::int64_t value)
{
    Token token;
    token.kind = tk::Integer;
    token.integer = value;
    return token;
}

Token numberToken(const std::string& text)
{
    Token token;
    token.kind = tk::Number;
    token.number = std::strtod(text.c_str(), nullptr);
    return token;
}

// A literal of decimal digits only: an integer when it fits in 64 bits.
bool parseDecimalInteger(const std::string& digits, std::int64_t& value)
{
    std::uint64_t v = 0;
    for (char c : digits) {
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (v > (static_cast<std::uint64_t>(INT64_MAX) - digit) / 10)
            return false;
        v = v * 10 + digit;
    }
    value = static_cast<std::int64_t>(v);
    return true;
}

// A code point below 0x10000 (a \u escape has four digits) as UTF-8.
void appendUtf8(std::string& text, int codePoint)
{
    const auto put = [&text](int byte) { text += static_cast<char>(byte); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

} // namespace

Lexer::Lexer(ByteStream& source, Diagnostics& diagnostics, bool warnLineTerminatorsInStrings, bool unicodeStrings)
    : source_(source), diagnostics_(diagnostics), warnLineTerminators_(warnLineTerminatorsInStrings),
      unicodeStrings_(unicodeStrings)
{
}

// A byte 0 ends the input like the end of the stream.
int Lexer::read()
{
    int c = source_.get();
    if (c == 0) {
        source_.unget(0);
        return kEnd;
    }
    if (c == '\n')
        ++line_;
    return c;
}

void Lexer::unread(int c)
{
    if (c == kEnd)
        return;
    if (c == '\n')
        --line_;
    source_.unget(c);
}

int Lexer::peek()
{
    int c = read();
    unread(c);
    return c;
}

void Lexer::skipBlanks()
{
    for (;;) {
        int c = read();
        if (isBlank(c))
            continue;
        if (c == '/' && peek() == '*') {
            read();
            int previous = 0;
            while ((c = read()) != kEnd && !(previous == '*' && c == '/'))
                previous = c;
            continue;
        }
        if ((c == '/' && peek() == '/') || (c == '#' && peek() == '!')) {
            while ((c = read()) != kEnd && c != '\n') {
            }
            continue;
        }
        unread(c);
        return;
    }
}

Token Lexer::next()
{
    skipBlanks();
    const int line = line_;
    const int c = read();
    Token token;
    if (c == kEnd)
        token.kind = tk::End;
    else if (c == '0' && peek() != '.' && peek() != 'e' && peek() != 'E')
        token = (peek() == 'x' || peek() == 'X') ? (read(), lexRadixInteger(16)) : lexRadixInteger(8);
    else if (isDigit(c) || (c == '.' && isDigit(peek())))
        token = lexNumber(c);
    else if (c == '#' && peek() == '\'')
        token = (read(), lexCharacter());
    else if (c == '"' || c == '\'')
        token = lexString(c);
    else if (isWordStart(c))
        token = lexWord(c);
    else
        token.kind = lexOperator(c);
    token.line = line;
    return token;
}

Token Lexer::lexRadixInteger(int base)
{
    std::uint64_t value = 0; // wraps on overflow
    for (;;) {
        int c = read();
        int digit = hexValue(c);
        if (digit < 0 || digit >= base) {
            unread(c);
            break;
        }
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    }
    return integerToken(static_cast<std::int64_t>(value));
}

Token Lexer::lexNumber(int first)
{
    std::string text(1, static_cast<char>(first));
    bool integral = first != '.';
    int c;
    while (isDigit(c = read()))
        text += static_cast<char>(c);
    if (first != '.' && c == '.') {
        integral = false;
        text += '.';
        while (isDigit(c = read()))
            text += static_cast<char>(c);
    }
    if (c == 'e' || c == 'E') {
        integral = false;
        text += 'e';
        c = read();
        if (c == '+' || c == '-') {
            text += static_cast<char>(c);
            c = read();
        }
        if (!isDigit(c))
            diagnostics_.error(line_, "invalid exponent part in a decimal literal");
        while (isDigit(c)) {
            text += static_cast<char>(c);
            c = read();
        }
    }
    unread(c);
    std::int64_t value;
    if (integral && parseDecimalInteger(text, value))
        return integerToken(value);
    return numberToken(text);
}

Token Lexer::lexCharacter()
{
    const int startLine = line_;
    int c = read();
    if (c == kEnd)
        diagnostics_.error(startLine, "unterminated %s constant", "character");
    if (c == '\\')
        c = readEscape("character", startLine);
    else if (c == '\'')
        c = -1; // empty literal
    if (c < 0 || read() != '\'')
        diagnostics_.error(line_, "illegal character");
    return integerToken(static_cast<std::int8_t>(c));
}

Token Lexer::lexString(int quote)
{
    const int startLine = line_;
    Token token;
    token.kind = tk::String;
    bool warned = false;
    for (;;) {
        int c = read();
        if (c == kEnd)
            diagnostics_.error(startLine, "unterminated %s constant", "string");
        if (c == quote)
            return token;
        if (c == '\n' && warnLineTerminators_ && !warned) {
            warned = true;
            diagnostics_.warning(line_ - 1, "ECMAScript don't allow line terminators in %s constants", "string");
        }
        if (c == '\\') {
            if ((c = readEscape("string", startLine)) < 0)
                continue;
            if (unicodeStrings_) {
                appendUtf8(token.text, c);
                continue;
            }
        }
        token.text += static_cast<char>(c);
    }
}

int Lexer::readHexEscape(const char* literalKind, int digits)
{
    int bytes[4];
    for (int i = 0; i < digits; ++i)
        if ((bytes[i] = read()) == kEnd)
            diagnostics_.error(line_, "unterminated %s constant", literalKind);
    int value = 0;
    for (int i = 0; i < digits; ++i) {
        if (hexValue(bytes[i]) < 0) {
            if (digits == 2)
                diagnostics_.error(line_, "illegal character '%s%c%c'", "\\x", bytes[0], bytes[1]);
            diagnostics_.error(line_, "illegal unicode character '%s%c%c%c%c'", "\\u", bytes[0], bytes[1],
                               bytes[2], bytes[3]);
        }
        value = value * 16 + hexValue(bytes[i]);
    }
    if (unicodeStrings_)
        return value;
    return value & 0xFF; // strings are 8-bit here: only the low byte counts
}

int Lexer::readEscape(const char* literalKind, int startLine)
{
    const int c = read();
    switch (c) {
    case kEnd: diagnostics_.error(startLine, "unterminated %s constant", literalKind);
    case '\n': return -1; // line continuation
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    case '\\': case '\'': case '"': case '?': return c;
    case 'x': return readHexEscape(literalKind, 2);
    case 'u': return readHexEscape(literalKind, 4);
    default:
        break;
    }
    if (isOctalDigit(c)) {
        int value = c - '0';
        for (int more = c == '0' ? 3 : 2; more > 0 && isOctalDigit(peek()); --more)
            value = value * 8 + (read() - '0');
        return value & 0xFF;
    }
    diagnostics_.warning(line_, "unknown escape sequence '%c%c'", '\\', c);
    return c;
}

RegExpLiteral Lexer::readRegExp()
{
    const int startLine = line_;
    RegExpLiteral literal;
    std::string& pattern = literal.pattern;
    for (;;) {
        int c = read();
        if (c == kEnd)
            diagnostics_.error(startLine, "unterminated %s constant", "regular expression");
        if (c == '/')
            break;
        if (c != '\\') {
            pattern += static_cast<char>(c);
            continue;
        }
        c = read();
        switch (c) {
        case kEnd:
            diagnostics_.error(startLine, "unterminated %s constant", "regular expression");
        case '\n':
            break; // line continuation
        case '0': case 'u': case 'x':
            unread(c);
            pattern += static_cast<char>(readEscape("regular expression", startLine));
            break;
        case 'c':
            if ((c = read()) == kEnd)
                diagnostics_.error(startLine, "unterminated %s constant", "regular expression");
            pattern += "\\c";
            pattern += static_cast<char>(c);
            break;
        case 'f': pattern += '\f'; break;
        case 'n': pattern += '\n'; break;
        case 'r': pattern += '\r'; break;
        case 't': pattern += '\t'; break;
        case 'v': pattern += '\v'; break;
        case '/': case '\\':
            // Kept as two-byte escapes, so a pattern can hold a slash or
            // end in a backslash escape.
            pattern += '\\';
            pattern += static_cast<char>(c);
            break;
        default:
            pattern += '\\';
            unread(c);
            break;
        }
    }
    for (;;) {
        int c = read();
        if (c == 'g')
            literal.flags |= 1;
        else if (c == 'i')
            literal.flags |= 2;
        else if (c == 'm')
            literal.flags |= 4;
        else {
            unread(c);
            return literal;
        }
    }
}

Token Lexer::lexWord(int first)
{
    Token token;
    token.text = static_cast<char>(first);
    int c;
    while (isWordPart(c = read()))
        token.text += static_cast<char>(c);
    unread(c);
    token.kind = keywordCode(token.text);
    if (token.kind != tk::Identifier)
        token.text.clear();
    return token;
}

int Lexer::lexOperator(int first)
{
    auto follows = [this](int c) {
        if (peek() != c)
            return false;
        read();
        return true;
    };
    switch (first) {
    case '=':
        return follows('=') ? (follows('=') ? tk::StrictEq : tk::EqEq) : '=';
    case '!':
        return follows('=') ? (follows('=') ? tk::StrictNotEq : tk::NotEq) : '!';
    case '<':
        if (follows('='))
            return tk::LessEq;
        if (follows('<'))
            return follows('=') ? tk::ShlAssign : tk::Shl;
        return '<';
    case '>':
        if (follows('='))
            return tk::GreaterEq;
        if (!follows('>'))
            return '>';
        if (follows('='))
            return tk::ShrAssign;
        if (follows('>'))
            return follows('=') ? tk::UshrAssign : tk::Ushr;
        return tk::Shr;
    case '&':
        return follows('&') ? tk::AndAnd : follows('=') ? tk::AndAssign : '&';
    case '|':
        return follows('|') ? tk::OrOr : follows('=') ? tk::OrAssign : '|';
    case '+':
        return follows('+') ? tk::PlusPlus : follows('=') ? tk::AddAssign : '+';
    case '-':
        return follows('-') ? tk::MinusMinus : follows('=') ? tk::SubAssign : '-';
    case '*':
        return follows('=') ? tk::MulAssign : '*';
    case '/':
        return follows('=') ? tk::DivAssign : '/';
    case '%':
        return follows('=') ? tk::ModAssign : '%';
    case '^':
        return follows('=') ? tk::XorAssign : '^';
    default:
        return first < 128 ? first : tk::HighByte + first;
    }
}

} // namespace orvet
