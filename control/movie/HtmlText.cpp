#include "control/movie/HtmlText.h"

#include "control/movie/TextCodec.h"

namespace lumbra::movie {

namespace {

struct Entity {
    std::u16string_view name;
    char16_t value;
};

constexpr Entity kEntities[] = {{u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&amp;", u'&'},
                                {u"&quot;", u'"'}, {u"&apos;", u'\''}, {u"&nbsp;", 0xA0}};

bool breaksLine(std::u16string_view tag)
{
    std::u16string name = foldCase(tag);
    return name == u"br" || name == u"br/" || name == u"/p" || name.starts_with(u"br ");
}

} // namespace

std::u16string plainTextFromHtml(std::u16string_view html)
{
    std::u16string out;
    std::size_t i = 0;
    while (i < html.size()) {
        char16_t c = html[i];
        if (c == u'<') {
            std::size_t close = html.find(u'>', i);
            if (close == std::u16string_view::npos)
                break;
            if (breaksLine(html.substr(i + 1, close - i - 1)))
                out += u'\r';
            i = close + 1;
            continue;
        }
        if (c == u'&') {
            bool matched = false;
            for (const auto& e : kEntities)
                if (html.substr(i, e.name.size()) == e.name) {
                    out += e.value;
                    i += e.name.size();
                    matched = true;
                    break;
                }
            if (matched)
                continue;
        }
        out += c;
        ++i;
    }
    if (!out.empty() && out.back() == u'\r')
        out.pop_back();
    return out;
}

} // namespace lumbra::movie
