// The XML reader against hand-written documents: the tree it builds, the
// status code of each kind of fault (as the language reference numbers them),
// and that a fault keeps what was read before it.
#include "control/movie/actions/XmlParser.h"

#include <gtest/gtest.h>

#include <string>

namespace lumbra::movie {
namespace {

const XmlParsedNode& child(const XmlDocument& doc, const XmlParsedNode& node, std::size_t i)
{
    return doc.nodes.at(node.children.at(i));
}

TEST(XmlReader, ElementsAttributesTextAndEntities)
{
    XmlDocument doc = parseXmlText(
        u"<?xml version=\"1.0\"?><!DOCTYPE note><!-- c --><note id='7' t=\"a&amp;b\">Hi &lt;you&gt; &#65;&#x42;"
        u"<br/><![CDATA[<raw> & ]]></note>",
        false);
    EXPECT_EQ(doc.status, XmlOk);
    EXPECT_EQ(doc.xmlDecl, u"<?xml version=\"1.0\"?>");
    EXPECT_EQ(doc.docTypeDecl, u"<!DOCTYPE note>");
    const XmlParsedNode& root = doc.nodes[0];
    ASSERT_EQ(root.children.size(), 1u);
    const XmlParsedNode& note = child(doc, root, 0);
    EXPECT_TRUE(note.element);
    EXPECT_EQ(note.name, u"note");
    ASSERT_EQ(note.attributes.size(), 2u);
    EXPECT_EQ(note.attributes[0], (std::pair<std::u16string, std::u16string>{u"id", u"7"}));
    EXPECT_EQ(note.attributes[1].second, u"a&b");
    ASSERT_EQ(note.children.size(), 3u);
    EXPECT_EQ(child(doc, note, 0).value, u"Hi <you> AB");
    EXPECT_EQ(child(doc, note, 1).name, u"br");
    EXPECT_TRUE(child(doc, note, 1).children.empty());
    EXPECT_EQ(child(doc, note, 2).value, u"<raw> & ");
    EXPECT_FALSE(child(doc, note, 2).element);
}

TEST(XmlReader, IgnoreWhiteDropsOnlyBlankText)
{
    std::u16string text = u"<a>\n  <b> x </b>\n\t</a>";
    XmlDocument kept = parseXmlText(text, false);
    EXPECT_EQ(kept.nodes[kept.nodes[0].children[0]].children.size(), 3u);
    XmlDocument dropped = parseXmlText(text, true);
    const XmlParsedNode& a = dropped.nodes[dropped.nodes[0].children[0]];
    ASSERT_EQ(a.children.size(), 1u);
    EXPECT_EQ(dropped.nodes[dropped.nodes[a.children[0]].children[0]].value, u" x ");
}

TEST(XmlReader, EveryFaultHasItsStatus)
{
    struct Case {
        const char16_t* text;
        int status;
    };
    const Case cases[] = {
        {u"<a>text</a>", XmlOk},
        {u"plain text only", XmlOk},
        {u"<a><![CDATA[never closed</a>", XmlCdataOpen},
        {u"<?xml version='1.0'", XmlDeclarationOpen},
        {u"<!DOCTYPE a", XmlDoctypeOpen},
        {u"<a><!-- open </a>", XmlCommentOpen},
        {u"<a", XmlMalformedElement},
        {u"< a/>", XmlMalformedElement},
        {u"<a b='1'", XmlMalformedElement},
        {u"<a b></a>", XmlBadAttribute},
        {u"<a b=1></a>", XmlBadAttribute},
        {u"<a b='1></a>", XmlBadAttribute},
        {u"<a><b></b>", XmlEndTagMissing},
        {u"</a>", XmlUnexpectedEndTag},
        {u"<a></b>", XmlUnexpectedEndTag},
        {u"<a></a></a>", XmlUnexpectedEndTag},
    };
    for (const auto& [text, status] : cases)
        EXPECT_EQ(parseXmlText(text, false).status, status) << std::string(text, text + std::char_traits<char16_t>::length(text));
}

TEST(XmlReader, AFaultKeepsWhatCameBefore)
{
    XmlDocument doc = parseXmlText(u"<a x='1'><b/>tail</c>more<d/>", false);
    EXPECT_EQ(doc.status, XmlUnexpectedEndTag);
    const XmlParsedNode& a = doc.nodes[doc.nodes[0].children[0]];
    ASSERT_EQ(a.children.size(), 2u);
    EXPECT_EQ(doc.nodes[a.children[1]].value, u"tail");
}

TEST(XmlReader, DeepAndHugeDocumentsStayBounded)
{
    std::u16string deep;
    for (int i = 0; i < 40000; ++i)
        deep += u"<a>";
    XmlDocument nested = parseXmlText(deep, false);
    EXPECT_EQ(nested.status, XmlEndTagMissing);
    EXPECT_EQ(nested.nodes.size(), 40001u);

    std::u16string wide;
    for (int i = 0; i < 60000; ++i)
        wide += u"<b/>";
    EXPECT_EQ(parseXmlText(wide, false).status, XmlOutOfMemory);
}

TEST(XmlReader, EscapingForOutput)
{
    EXPECT_EQ(escapeXml(u"a<b>&\"c'"), u"a&lt;b&gt;&amp;&quot;c&apos;");
}

} // namespace
} // namespace lumbra::movie
