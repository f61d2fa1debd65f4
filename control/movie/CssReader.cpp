#include "control/movie/CssReader.h"

#include <algorithm>
#include <map>

namespace lumbra::movie {

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

std::u16string_view trimmed(std::u16string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The text without its comments; false when a comment never ends.
bool withoutComments(std::u16string_view text, std::u16string& out)
{
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, 2) == u"/*") {
            std::size_t end = text.find(u"*/", i + 2);
            if (end == std::u16string_view::npos)
                return false;
            out += u' ';
            i = end + 2;
            continue;
        }
        out += text[i++];
    }
    return true;
}

// "name: value; ...": false at a declaration without a name or a colon.
bool readDeclarations(std::u16string_view body, std::vector<CssDeclaration>& out)
{
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = std::min(body.find(u';', start), body.size());
        std::u16string_view item = trimmed(body.substr(start, end - start));
        start = end + 1;
        if (item.empty())
            continue;
        std::size_t colon = item.find(u':');
        if (colon == std::u16string_view::npos)
            return false;
        std::u16string_view name = trimmed(item.substr(0, colon));
        if (name.empty())
            return false;
        out.push_back({camelCased(name), std::u16string(trimmed(item.substr(colon + 1)))});
    }
    return true;
}

// Properties one rule keeps; the style formats know a dozen, so more is a crafted text.
constexpr std::size_t kMaxDeclarations = 256;

// A later declaration of the same property wins, in its first place.
void addDeclarations(CssRule& rule, const std::vector<CssDeclaration>& declarations)
{
    std::map<std::u16string, std::size_t> indexOf; // name -> place in the rule
    for (std::size_t i = 0; i < rule.declarations.size(); ++i)
        indexOf.emplace(rule.declarations[i].name, i);
    for (const CssDeclaration& d : declarations) {
        if (auto same = indexOf.find(d.name); same != indexOf.end()) {
            rule.declarations[same->second].value = d.value;
        } else if (rule.declarations.size() < kMaxDeclarations) {
            rule.declarations.push_back(d);
            indexOf.emplace(rule.declarations.back().name, rule.declarations.size() - 1);
        }
    }
}

} // namespace

std::u16string camelCased(std::u16string_view cssName)
{
    std::u16string out;
    bool raise = false;
    for (char16_t c : cssName) {
        if (c == u'-') {
            raise = !out.empty();
            continue;
        }
        out += raise && c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
        raise = false;
    }
    return out;
}

CssText readCss(std::u16string_view source)
{
    CssText css;
    std::u16string text;
    bool commentsClosed = withoutComments(source, text);
    std::size_t at = 0;
    std::map<std::u16string, std::size_t> ruleOf; // selector -> index in css.rules
    auto fail = [&] {
        css.complete = false;
        return css;
    };
    for (;;) {
        while (at < text.size() && isBlank(text[at]))
            ++at;
        if (at >= text.size())
            break;
        std::size_t open = text.find(u'{', at);
        if (open == std::u16string::npos || text.find(u'}', at) < open)
            return fail();
        std::size_t close = text.find(u'}', open + 1);
        if (close == std::u16string::npos || text.find(u'{', open + 1) < close)
            return fail();
        std::vector<CssDeclaration> declarations;
        if (!readDeclarations(std::u16string_view(text).substr(open + 1, close - open - 1), declarations))
            return fail();
        std::vector<std::u16string_view> selectors;
        std::u16string_view list(std::u16string_view(text).substr(at, open - at));
        for (std::size_t start = 0; start <= list.size();) {
            std::size_t comma = std::min(list.find(u',', start), list.size());
            std::u16string_view selector = trimmed(list.substr(start, comma - start));
            if (selector.empty())
                return fail();
            selectors.push_back(selector);
            start = comma + 1;
        }
        for (std::u16string_view selector : selectors) {
            auto [it, added] = ruleOf.emplace(std::u16string(selector), css.rules.size());
            if (added)
                css.rules.push_back({it->first, {}});
            addDeclarations(css.rules[it->second], declarations);
        }
        at = close + 1;
    }
    css.complete = commentsClosed;
    return css;
}

} // namespace lumbra::movie
