#include "control/movie/MovieDescription.h"

#include "control/movie/ActionWriter.h"
#include "control/movie/MovieWriter.h"
#include "control/movie/TextCodec.h"

#include <cctype>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <optional>

namespace lumbra::movie {

namespace {

struct Token {
    enum Kind { Word, String, Open, Close, Separator, EndOfLine, EndOfText };
    Kind kind;
    std::string text;
    int line;
};

std::vector<Token> tokenize(std::string_view text)
{
    std::vector<Token> tokens;
    int line = 1;
    std::size_t i = 0;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (i < text.size()) {
        char c = text[i];
        if (blank(c)) {
            ++i;
        } else if (c == '\n') {
            tokens.push_back({Token::EndOfLine, "", line++});
            ++i;
        } else if (c == '#' && (i + 1 == text.size() || blank(text[i + 1]) || text[i + 1] == '\n')) {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (c == '{' || c == '}' || c == ';') {
            tokens.push_back({c == '{' ? Token::Open : c == '}' ? Token::Close : Token::Separator, std::string(1, c), line});
            ++i;
        } else if (c == '"') {
            std::string value;
            int startLine = line;
            for (++i;; ++i) {
                if (i >= text.size())
                    throw DescriptionError(startLine, "unterminated string");
                char d = text[i];
                if (d == '"')
                    break;
                if (d == '\n')
                    ++line;
                if (d == '\\' && i + 1 < text.size()) {
                    char e = text[++i];
                    value += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
                } else {
                    value += d;
                }
            }
            ++i;
            tokens.push_back({Token::String, value, startLine});
        } else {
            std::size_t start = i;
            while (i < text.size() && !blank(text[i]) && text[i] != '\n' && text[i] != '{' && text[i] != '}' &&
                   text[i] != ';' && text[i] != '"')
                ++i;
            tokens.push_back({Token::Word, std::string(text.substr(start, i - start)), line});
        }
    }
    tokens.push_back({Token::EndOfLine, "", line});
    tokens.push_back({Token::EndOfText, "", line});
    return tokens;
}

class DescriptionParser {
public:
    explicit DescriptionParser(std::string_view text) : tokens_(tokenize(text)) {}

    std::vector<std::uint8_t> parse()
    {
        skipLines();
        expectWord("movie");
        movieHeader();
        while (skipLines(), peek().kind != Token::EndOfText)
            statement();
        closeFrame(writer_->root(), rootFrameOpen_);
        return writer_->finish(compress_);
    }

private:
    // --- tokens ----------------------------------------------------------------

    const Token& peek() const { return tokens_[pos_]; }
    const Token& next() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }
    [[noreturn]] void fail(const std::string& message) const { throw DescriptionError(peek().line, message); }

    void skipLines()
    {
        while (peek().kind == Token::EndOfLine || peek().kind == Token::Separator)
            ++pos_;
    }
    bool atLineEnd() const { return peek().kind == Token::EndOfLine || peek().kind == Token::EndOfText; }
    void endLine()
    {
        if (!atLineEnd())
            fail("unexpected '" + peek().text + "'");
    }
    bool acceptWord(std::string_view word)
    {
        if (peek().kind == Token::Word && peek().text == word) {
            ++pos_;
            return true;
        }
        return false;
    }
    void expectWord(std::string_view word)
    {
        if (!acceptWord(word))
            fail("expected '" + std::string(word) + "'");
    }
    std::string word()
    {
        if (peek().kind != Token::Word)
            fail("expected a name");
        return next().text;
    }
    std::u16string text()
    {
        if (peek().kind != Token::String && peek().kind != Token::Word)
            fail("expected a text");
        return decodeUtf8(next().text);
    }
    double number()
    {
        if (peek().kind != Token::Word)
            fail("expected a number");
        std::string w = next().text;
        char* end = nullptr;
        double v = std::strtod(w.c_str(), &end);
        if (w.empty() || *end != '\0' || !std::isfinite(v) || std::abs(v) > 1e6)
            fail("'" + w + "' is not a number");
        return v;
    }
    int integer(int low, int high)
    {
        double v = number();
        if (v != std::floor(v) || v < low || v > high)
            fail("expected a whole number from " + std::to_string(low) + " to " + std::to_string(high));
        return int(v);
    }
    Argb color()
    {
        std::string w = word();
        if (w.size() != 7 && w.size() != 9)
            fail("colours are written #RRGGBB or #RRGGBBAA");
        if (w[0] != '#' || w.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
            fail("colours are written #RRGGBB or #RRGGBBAA");
        auto value = std::uint32_t(std::stoul(w.substr(1), nullptr, 16));
        return w.size() == 7 ? 0xFF000000 | value : (value >> 8) | ((value & 0xFF) << 24);
    }

    // --- statements --------------------------------------------------------------

    void movieHeader()
    {
        double width = number(), height = number();
        if (width <= 0 || height <= 0)
            fail("the stage needs a positive size");
        double rate = 12;
        int version = 6;
        std::optional<Argb> background;
        while (!atLineEnd()) {
            if (acceptWord("rate")) {
                rate = number();
                if (rate <= 0 || rate > 120)
                    fail("the frame rate must be above 0 and at most 120");
            } else if (acceptWord("background")) {
                background = color();
            } else if (acceptWord("compress")) {
                compress_ = true;
            } else if (acceptWord("version")) {
                version = integer(6, 10);
            } else {
                fail("unknown movie setting '" + peek().text + "'");
            }
        }
        writer_.emplace(width * kTwips, height * kTwips, rate, version);
        if (background)
            writer_->setBackground(*background);
    }

    void statement()
    {
        std::string keyword = word();
        if (keyword == "shape")
            shape();
        else if (keyword == "text")
            textField();
        else if (keyword == "button")
            button();
        else if (keyword == "sprite")
            sprite();
        else
            frameItem(keyword, writer_->root(), rootFrameOpen_);
        endLine();
    }

    void define(const std::string& name, std::uint16_t id)
    {
        if (!characters_.emplace(name, id).second)
            fail("'" + name + "' is defined twice");
    }

    std::uint16_t character()
    {
        std::string name = word();
        auto it = characters_.find(name);
        if (it == characters_.end())
            fail("'" + name + "' is not defined");
        return it->second;
    }

    Point point()
    {
        double x = number(), y = number();
        return {x * kTwips, y * kTwips};
    }

    void shape()
    {
        std::string name = word();
        std::vector<Outline> outlines;
        std::string kind = word();
        if (kind == "rect") {
            Point p = point(), size = point();
            outlines.push_back(Outline::rectangle({p.x, p.y, p.x + size.x, p.y + size.y}));
        } else if (kind == "ellipse") {
            Point c = point(), r = point();
            outlines.push_back(Outline::ellipse(c, r.x, r.y));
        } else if (kind == "polygon") {
            std::vector<Point> points;
            while (peek().kind == Token::Word && peek().text.find(',') != std::string::npos) {
                std::string pair = next().text;
                std::size_t comma = pair.find(',');
                char* end1 = nullptr;
                char* end2 = nullptr;
                std::string xs = pair.substr(0, comma), ys = pair.substr(comma + 1);
                double x = std::strtod(xs.c_str(), &end1), y = std::strtod(ys.c_str(), &end2);
                if (xs.empty() || ys.empty() || *end1 || *end2 || std::abs(x) > 1e6 || std::abs(y) > 1e6)
                    fail("polygon points are written X,Y");
                points.push_back({x * kTwips, y * kTwips});
            }
            if (points.size() < 3)
                fail("a polygon needs at least three points");
            outlines.push_back(Outline::polygon(points));
        } else {
            fail("shapes are rect, ellipse or polygon");
        }
        ShapeStyle style;
        while (!atLineEnd()) {
            if (acceptWord("fill")) {
                style.fill = color();
            } else if (acceptWord("line")) {
                style.lineWidth = number() * kTwips;
                style.lineColor = color();
                if (style.lineWidth <= 0 || style.lineWidth > 65535)
                    fail("line width out of range");
            } else {
                fail("unknown shape setting '" + peek().text + "'");
            }
        }
        if (!style.fill && style.lineWidth <= 0)
            style.fill = 0xFF000000;
        define(name, writer_->defineShape(outlines, style));
    }

    void textField()
    {
        std::string name = word();
        TextFieldDefinition definition;
        Point p = point(), size = point();
        definition.bounds = {p.x, p.y, p.x + size.x, p.y + size.y};
        while (!atLineEnd()) {
            if (acceptWord("var"))
                definition.variable = text();
            else if (acceptWord("text"))
                definition.text = text();
            else if (acceptWord("font"))
                definition.font = text();
            else if (acceptWord("size"))
                definition.height = integer(1, 1000) * kTwips;
            else if (acceptWord("color"))
                definition.color = color();
            else if (acceptWord("align"))
                definition.align = alignment();
            else if (acceptWord("multiline"))
                definition.multiline = true;
            else if (acceptWord("wordwrap"))
                definition.wordWrap = true;
            else if (acceptWord("border"))
                definition.border = true;
            else if (acceptWord("editable"))
                definition.editable = true;
            else
                fail("unknown text setting '" + peek().text + "'");
        }
        if (encodeUtf8(definition.font).size() > 255)
            fail("font name too long");
        define(name, writer_->defineTextField(definition));
    }

    TextAlign alignment()
    {
        std::string w = word();
        if (w == "left")
            return TextAlign::Left;
        if (w == "right")
            return TextAlign::Right;
        if (w == "center")
            return TextAlign::Center;
        fail("text aligns left, right or center");
    }

    void button()
    {
        std::string name = word();
        ButtonDefinition definition;
        static const std::map<std::string, unsigned, std::less<>> kStates{
            {"up", StateUp}, {"over", StateOver}, {"down", StateDown}, {"hit", StateHit}};
        static const std::map<std::string, unsigned, std::less<>> kEvents{
            {"press", CondOverUpToOverDown}, {"release", CondOverDownToOverUp},
            {"rollover", CondIdleToOverUp}, {"rollout", CondOverUpToIdle},
            {"releaseoutside", CondOutDownToIdle}};
        while (!atLineEnd()) {
            std::string key = word();
            if (auto state = kStates.find(key); state != kStates.end()) {
                definition.parts.push_back({character(), state->second, {}});
            } else if (key == "on") {
                auto event = kEvents.find(word());
                if (event == kEvents.end())
                    fail("button events are press, release, rollover, rollout and releaseoutside");
                definition.actions.push_back({event->second, script().finish()});
            } else {
                fail("unknown button setting '" + key + "'");
            }
        }
        if (definition.parts.empty())
            fail("a button needs at least its up state");
        // Without a hit shape the up shape is the active area.
        bool hasHit = false;
        for (const auto& part : definition.parts)
            hasHit = hasHit || (part.states & StateHit);
        if (!hasHit)
            for (auto& part : definition.parts)
                if (part.states & StateUp)
                    part.states |= StateHit;
        define(name, writer_->defineButton(definition));
    }

    void sprite()
    {
        std::string name = word();
        endLine();
        TimelineWriter timeline;
        bool open = false;
        for (;;) {
            skipLines();
            if (peek().kind == Token::EndOfText)
                fail("sprite '" + name + "' has no 'end'");
            std::string keyword = word();
            if (keyword == "end")
                break;
            frameItem(keyword, timeline, open);
            endLine();
        }
        closeFrame(timeline, open);
        define(name, writer_->defineSprite(timeline));
    }

    void closeFrame(TimelineWriter& timeline, bool& open)
    {
        if (open)
            timeline.showFrame();
        open = false;
    }

    int depth() { return integer(1, 16000); }

    struct Transform {
        Point at;
        double sx = 1, sy = 1, degrees = 0;

        Matrix matrix() const
        {
            double r = degrees * std::numbers::pi / 180;
            return {sx * std::cos(r), sx * std::sin(r), -sy * std::sin(r), sy * std::cos(r), at.x, at.y};
        }
    };

    // at X Y, scale S [SY], rotate DEGREES; false when the word is none of them.
    bool transformSetting(Transform& t)
    {
        if (acceptWord("at")) {
            t.at = point();
        } else if (acceptWord("scale")) {
            t.sx = t.sy = number();
            if (startsNumber(peek()))
                t.sy = number();
        } else if (acceptWord("rotate")) {
            t.degrees = number();
        } else {
            return false;
        }
        return true;
    }

    static bool startsNumber(const Token& token)
    {
        if (token.kind != Token::Word || token.text.empty())
            return false;
        char c = token.text[0];
        return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '+';
    }

    void frameItem(const std::string& keyword, TimelineWriter& timeline, bool& open)
    {
        if (keyword == "frame") {
            closeFrame(timeline, open);
            open = true;
            if (acceptWord("label"))
                timeline.label(text());
            return;
        }
        open = true;
        if (keyword == "place") {
            Placement placement;
            placement.character = character();
            Transform transform;
            while (!atLineEnd()) {
                if (acceptWord("depth"))
                    placement.depth = depth();
                else if (acceptWord("name"))
                    placement.name = text();
                else if (!transformSetting(transform))
                    fail("unknown place setting '" + peek().text + "'");
            }
            placement.matrix = transform.matrix();
            timeline.place(placement);
        } else if (keyword == "move") {
            expectWord("depth");
            int at = depth();
            Transform transform;
            while (!atLineEnd())
                if (!transformSetting(transform))
                    fail("unknown move setting '" + peek().text + "'");
            timeline.move(at, transform.matrix());
        } else if (keyword == "remove") {
            expectWord("depth");
            timeline.remove(depth());
        } else if (keyword == "actions") {
            timeline.actions(script().finish());
        } else {
            fail("unknown statement '" + keyword + "'");
        }
    }

    // --- scripts -----------------------------------------------------------------

    ActionWriter script()
    {
        if (peek().kind != Token::Open)
            fail("expected '{'");
        ++pos_;
        ActionWriter out;
        for (;;) {
            skipLines();
            if (peek().kind == Token::Close) {
                ++pos_;
                return out;
            }
            if (peek().kind == Token::EndOfText)
                fail("missing '}'");
            scriptStatement(out);
        }
    }

    // A value: "text", a number, or $path for a variable's value.
    void value(ActionWriter& out)
    {
        if (peek().kind == Token::Word && peek().text.size() > 1 && peek().text[0] == '$') {
            out.pushString(decodeUtf8(next().text.substr(1)));
            out.op(action::GetVariable);
        } else {
            out.pushString(text());
        }
    }

    void jumpOver(ActionWriter& out, const ActionWriter& block, bool conditional)
    {
        if (block.size() > std::size_t(std::numeric_limits<std::int16_t>::max()))
            fail("script block too long");
        auto offset = std::int16_t(block.size());
        conditional ? out.branchIf(offset) : out.jump(offset);
    }

    void scriptStatement(ActionWriter& out)
    {
        std::string keyword = word();
        if (keyword == "stop") {
            out.stop();
        } else if (keyword == "play") {
            out.play();
        } else if (keyword == "next") {
            out.nextFrame();
        } else if (keyword == "prev") {
            out.prevFrame();
        } else if (keyword == "goto") {
            // A frame number or a label, written as the records authoring tools use.
            if (startsNumber(peek()))
                out.gotoFrame(integer(1, 65535) - 1);
            else
                out.gotoLabel(text());
        } else if (keyword == "gotoplay") {
            out.gotoFrame2(text(), true);
        } else if (keyword == "set") {
            out.pushString(text());
            value(out);
            out.op(action::SetVariable);
        } else if (keyword == "fscommand") {
            out.pushString(u"FSCommand:");
            value(out);
            out.op(action::StringAdd);
            if (atStatementEnd())
                out.pushString(u"");
            else
                value(out);
            out.getUrl2();
        } else if (keyword == "geturl") {
            value(out);
            if (atStatementEnd())
                out.pushString(u"");
            else
                value(out);
            out.getUrl2();
        } else if (keyword == "trace") {
            value(out);
            out.op(action::Trace);
        } else if (keyword == "call") {
            out.call(text());
        } else if (keyword == "tell") {
            out.setTarget(text());
            out.append(script());
            out.setTarget(u"");
        } else if (keyword == "if") {
            ifStatement(out);
        } else {
            fail("unknown script statement '" + keyword + "'");
        }
        if (!atStatementEnd())
            fail("unexpected '" + peek().text + "' in script");
    }

    bool atStatementEnd() const
    {
        auto k = peek().kind;
        return k == Token::Separator || k == Token::EndOfLine || k == Token::Close || k == Token::EndOfText;
    }

    // if A == B { ... } [else { ... }], or != ; compares as text.
    void ifStatement(ActionWriter& out)
    {
        value(out);
        std::string comparison = word();
        if (comparison != "==" && comparison != "!=")
            fail("if compares with == or !=");
        value(out);
        out.op(action::StringEquals);
        if (comparison == "==")
            out.op(action::Not);
        ActionWriter thenBlock = script();
        std::optional<ActionWriter> elseBlock;
        if (acceptWord("else"))
            elseBlock = script();
        ActionWriter body = thenBlock;
        if (elseBlock)
            jumpOver(body, *elseBlock, false);
        jumpOver(out, body, true); // condition false: past the then block
        out.append(body);
        if (elseBlock)
            out.append(*elseBlock);
    }

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    std::optional<MovieWriter> writer_;
    std::map<std::string, std::uint16_t> characters_;
    bool compress_ = false;
    bool rootFrameOpen_ = false;
};

} // namespace

std::vector<std::uint8_t> buildMovie(std::string_view description)
{
    return DescriptionParser(description).parse();
}

} // namespace lumbra::movie
