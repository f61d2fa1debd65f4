// The reader against movies put together byte by byte from the file format's
// description, never by our own movie writer: every form of a record the
// format allows, including those the writer never emits, and lengths that lie.
#include "control/movie/BitReader.h"
#include "control/movie/Character.h"
#include "control/movie/Movie.h"
#include "control/movie/MoviePlayer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace lumbra::movie::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes u16(unsigned v) { return {std::uint8_t(v), std::uint8_t(v >> 8)}; }
Bytes u32(std::uint32_t v) { return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}; }
Bytes text(std::string_view s) // the bytes as given, then the terminating 0
{
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return b;
}

// A tag: code and length in one u16 when the length is below 63, else the
// long form with a u32 length (which any length may use).
Bytes tag(unsigned code, const Bytes& body, bool longForm = false)
{
    if (body.size() < 63 && !longForm)
        return u16(code << 6 | unsigned(body.size())) + body;
    return u16(code << 6 | 0x3F) + u32(std::uint32_t(body.size())) + body;
}

const Bytes kShowFrame = tag(1, {});
const Bytes kEnd = tag(0, {});

// "FWS", version, file length, a 550 x 400 pixel frame (15-bit fields),
// 12 frames per second, the frame count.
Bytes movieFile(int version, const Bytes& tags, unsigned frames = 1)
{
    Bytes body = Bytes{0x78, 0x00, 0x05, 0x5f, 0x00, 0x00, 0x0f, 0xa0, 0x00} + u16(12 << 8) + u16(frames) + tags;
    return Bytes{'F', 'W', 'S', std::uint8_t(version)} + u32(std::uint32_t(8 + body.size())) + body;
}

// --- Records: matrices and colour transforms --------------------------------

// MATRIX: no scale, no rotation, 7-bit translation (20, -40).
const Bytes kTranslate = {0x0e, 0x52, 0xc0};
// MATRIX: 19-bit scale (2, 0.5), 18-bit rotate/skew (0.25, -0.25), no translation.
const Bytes kScaleRotate = {0xcd, 0x00, 0x00, 0x08, 0x00, 0x0c, 0x84, 0x00, 0x0f, 0x00, 0x00, 0x00};
// CXFORM, add terms only (9 bits): 10, -20, 255.
const Bytes kAddOnly = {0xa4, 0x15, 0xec, 0x7f, 0x80};
// CXFORM, multiply terms only (10 bits): 128, -256, 384 (0.5, -1, 1.5).
const Bytes kMultOnly = {0x68, 0x80, 0xc0, 0x18, 0x00};
// CXFORM, both (11 bits): multiply 512, 0, 256, then add -1, 0, 7.
const Bytes kBoth = {0xed, 0x00, 0x00, 0x02, 0x01, 0xff, 0xc0, 0x00, 0x07};
// CXFORMWITHALPHA, add terms only (4 bits): 1, 2, 3, -4.
const Bytes kAddOnlyAlpha = {0x90, 0x48, 0xf0};
// CXFORMWITHALPHA, multiply terms only (11 bits): 128, 256, 512, 64.
const Bytes kMultOnlyAlpha = {0x6c, 0x40, 0x10, 0x04, 0x00, 0x10, 0x00};
// CXFORMWITHALPHA, both (10 bits): multiply 128 four times, add 1, 2, 3, 4.
const Bytes kBothAlpha = {0xe8, 0x80, 0x20, 0x08, 0x02, 0x00, 0x01, 0x00, 0x80, 0x30, 0x10};

void expectTransform(const ColorTransform& cx, std::array<double, 8> expected, const char* what)
{
    std::array<double, 8> got = {cx.rMult, cx.gMult, cx.bMult, cx.aMult, cx.rAdd, cx.gAdd, cx.bAdd, cx.aAdd};
    EXPECT_EQ(got, expected) << what;
}

TEST(HandAssembled, ColourTransformsWithOnlyOneKindOfTerm)
{
    struct Case {
        const char* what;
        const Bytes& bytes;
        bool alpha;
        std::array<double, 8> expected; // multiply r g b a, add r g b a
    };
    const Case cases[] = {
        {"add only", kAddOnly, false, {1, 1, 1, 1, 10, -20, 255, 0}},
        {"multiply only", kMultOnly, false, {0.5, -1, 1.5, 1, 0, 0, 0, 0}},
        {"both", kBoth, false, {2, 0, 1, 1, -1, 0, 7, 0}},
        {"add only, alpha", kAddOnlyAlpha, true, {1, 1, 1, 1, 1, 2, 3, -4}},
        {"multiply only, alpha", kMultOnlyAlpha, true, {0.5, 1, 2, 0.25, 0, 0, 0, 0}},
        {"both, alpha", kBothAlpha, true, {0.5, 0.5, 0.5, 0.5, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        // After the record, reading resumes at the next whole byte.
        Bytes bytes = c.bytes + Bytes{0x5A};
        BitReader in(bytes);
        expectTransform(in.colorTransform(c.alpha), c.expected, c.what);
        EXPECT_EQ(in.u8(), 0x5A) << c.what;
    }
}

TEST(HandAssembled, PlaceObjectWithAndWithoutItsColourTransform)
{
    for (const Bytes* cx : {static_cast<const Bytes*>(nullptr), &kAddOnly, &kMultOnly}) {
        Bytes body = u16(3) + u16(5) + kTranslate + (cx ? *cx : Bytes{});
        Movie movie = parseMovie(movieFile(3, tag(4, body) + kShowFrame + kEnd));
        ASSERT_EQ(movie.root.frames.at(0).commands.size(), 1u);
        const auto& place = std::get<PlaceCommand>(movie.root.frames[0].commands[0]);
        EXPECT_EQ(place.character, 3);
        EXPECT_EQ(place.depth, 5);
        ASSERT_TRUE(place.matrix);
        EXPECT_EQ(place.matrix->tx, 20);
        EXPECT_EQ(place.matrix->ty, -40);
        EXPECT_EQ(place.colorTransform.has_value(), cx != nullptr);
        if (cx == &kAddOnly)
            expectTransform(*place.colorTransform, {1, 1, 1, 1, 10, -20, 255, 0}, "add only");
        if (cx == &kMultOnly)
            expectTransform(*place.colorTransform, {0.5, -1, 1.5, 1, 0, 0, 0, 0}, "multiply only");
    }
}

// PlaceObject2 and PlaceObject3 with every combination of their optional
// fields; each present field holds a value that tells whether it was read
// from the right place.
struct PlaceFields {
    unsigned flags;
    unsigned flags3; // PlaceObject3 only
};

Bytes clipActions()
{
    // Reserved, all events (load), one record for load: Stop, End; then the end flag.
    return u16(0) + u32(0x01) + u32(0x01) + u32(2) + Bytes{0x07, 0x00} + u32(0);
}

Bytes placeBody(PlaceFields f, bool third)
{
    Bytes b = {std::uint8_t(f.flags)};
    if (third)
        b.push_back(std::uint8_t(f.flags3));
    b = b + u16(0x0102);
    if (f.flags3 & 0x08) b = b + text("Cls");
    if (f.flags & 0x02) b = b + u16(7);
    if (f.flags & 0x04) b = b + kScaleRotate;
    if (f.flags & 0x08) b = b + kAddOnlyAlpha;
    if (f.flags & 0x10) b = b + u16(0x1234);
    if (f.flags & 0x20) b = b + text("n\xC3\xA9");
    if (f.flags & 0x40) b = b + u16(9);
    // One blur filter: id 1, blur x and y as 16.16, passes (1) in the top bits.
    if (f.flags3 & 0x01) b = b + Bytes{1, 1} + u32(0x40000) + u32(0x40000) + Bytes{0x08};
    if (f.flags3 & 0x02) b = b + Bytes{3}; // multiply
    if (f.flags3 & 0x04) b = b + Bytes{1}; // cache as bitmap
    if (f.flags & 0x80) b = b + clipActions();
    return b;
}

void expectPlace(const PlaceCommand& place, PlaceFields f, const std::string& what)
{
    EXPECT_EQ(place.depth, 0x0102) << what;
    EXPECT_EQ(place.move, bool(f.flags & 0x01)) << what;
    EXPECT_EQ(place.character, (f.flags & 0x02) ? std::optional<std::uint16_t>(7) : std::nullopt) << what;
    EXPECT_EQ(place.matrix.has_value(), bool(f.flags & 0x04)) << what;
    if (place.matrix) {
        EXPECT_EQ(place.matrix->a, 2) << what;
        EXPECT_EQ(place.matrix->d, 0.5) << what;
        EXPECT_EQ(place.matrix->b, 0.25) << what;
        EXPECT_EQ(place.matrix->c, -0.25) << what;
    }
    EXPECT_EQ(place.colorTransform.has_value(), bool(f.flags & 0x08)) << what;
    if (place.colorTransform)
        expectTransform(*place.colorTransform, {1, 1, 1, 1, 1, 2, 3, -4}, what.c_str());
    EXPECT_EQ(place.ratio, (f.flags & 0x10) ? std::optional<int>(0x1234) : std::nullopt) << what;
    EXPECT_EQ(place.name, (f.flags & 0x20) ? std::optional<std::u16string>(u"n\u00e9") : std::nullopt) << what;
    EXPECT_EQ(place.clipLayer, bool(f.flags & 0x40)) << what;
}

TEST(HandAssembled, PlaceObject2EveryFlagCombination)
{
    for (unsigned flags = 0; flags < 256; ++flags) {
        PlaceFields f{flags, 0};
        // A frame label after the tag shows that its length was honoured.
        Movie movie = parseMovie(movieFile(6, tag(26, placeBody(f, false)) + tag(43, text("after")) + kShowFrame + kEnd));
        std::string what = "PlaceObject2 flags " + std::to_string(flags);
        ASSERT_EQ(movie.root.frames.at(0).commands.size(), 1u) << what;
        expectPlace(std::get<PlaceCommand>(movie.root.frames[0].commands[0]), f, what);
        EXPECT_EQ(movie.root.frames[0].label, u"after") << what;
    }
}

TEST(HandAssembled, PlaceObject3EveryFlagCombination)
{
    // Class name, filters, blend mode and bitmap caching with every PlaceObject2 flag.
    for (unsigned flags3 = 0; flags3 < 16; ++flags3)
        for (unsigned flags = 0; flags < 256; ++flags) {
            PlaceFields f{flags, flags3};
            Movie movie = parseMovie(movieFile(8, tag(70, placeBody(f, true)) + tag(43, text("after")) + kShowFrame + kEnd));
            std::string what = "PlaceObject3 flags " + std::to_string(flags) + "/" + std::to_string(flags3);
            ASSERT_EQ(movie.root.frames.at(0).commands.size(), 1u) << what;
            expectPlace(std::get<PlaceCommand>(movie.root.frames[0].commands[0]), f, what);
            EXPECT_EQ(movie.root.frames[0].label, u"after") << what;
        }
}

// --- Frame labels and scenes -------------------------------------------------

TEST(HandAssembled, FrameLabelsPlainAnchoredAndInTheOldCodePage)
{
    // Version 6 labels are UTF-8 and may carry the named-anchor flag byte;
    // a version 5 label is in Windows-1252.
    Bytes v6 = tag(43, text("one")) + kShowFrame + tag(43, text("caf\xC3\xA9") + Bytes{1}) + kShowFrame + kEnd;
    Movie movie = parseMovie(movieFile(6, v6, 2));
    ASSERT_EQ(movie.root.frameCount(), 2);
    EXPECT_EQ(movie.root.findLabel(u"ONE"), 0);
    EXPECT_EQ(movie.root.findLabel(u"caf\u00e9"), 1);

    Bytes v5 = kShowFrame + tag(43, text("\x80 caf\xE9")) + kShowFrame + kEnd;
    movie = parseMovie(movieFile(5, v5, 2));
    EXPECT_EQ(movie.root.findLabel(u"\u20ac caf\u00e9"), 1);
    EXPECT_EQ(movie.root.labelAt(0), u"");
}

TEST(HandAssembled, SceneAndLabelDataLeavesTheFramesAlone)
{
    // DefineSceneAndFrameLabelData: scene count, (offset, name)..., label count, (frame, name)...
    // Encoded u32 values are variable-length (7 bits a byte); all fit one byte here.
    Bytes scenes = Bytes{2, 0} + text("Scene 1") + Bytes{1} + text("Scene 2") + Bytes{1, 1} + text("mid");
    Bytes tags = tag(86, scenes) + tag(43, text("first")) + kShowFrame + tag(43, text("second")) + kShowFrame + kEnd;
    MoviePlayer player;
    ASSERT_TRUE(player.load(movieFile(8, tags, 2))) << player.error();
    EXPECT_EQ(player.totalFrames(), 2);
    EXPECT_TRUE(player.gotoLabel(u"second"));
    EXPECT_EQ(player.currentFrame(), 1);
}

// --- Buttons ----------------------------------------------------------------

TEST(HandAssembled, ButtonRecordsAndConditions)
{
    // DefineButton: two records (up+over at depth 2, hit at depth 1), then
    // the release actions (Play) and their end.
    Bytes first = u16(10) + Bytes{0x03} + u16(3) + u16(2) + kTranslate + Bytes{0x08} + u16(4) + u16(1) + Bytes{0x00} +
                  Bytes{0x00} + Bytes{0x06, 0x00};
    // DefineButton2: track as menu; records with alpha colour transforms, the
    // second with a blend mode (version 8); two condition records: press
    // (OverUpToOverDown) with key code 13 in the upper seven bits of the
    // second byte, then release outside plus OverDownToIdle.
    Bytes records2 = Bytes{0x04} + u16(3) + u16(1) + kTranslate + kAddOnlyAlpha + Bytes{0x20 | 0x01} + u16(4) + u16(2) +
                     kScaleRotate + kMultOnlyAlpha + Bytes{3} + Bytes{0x00};
    Bytes press = Bytes{0x04, 13 << 1} + Bytes{0x07, 0x00};
    Bytes outside = Bytes{0x40, 0x01} + Bytes{0x06, 0x00};
    Bytes conditions = u16(2 + press.size()) + press + u16(0) + outside;
    Bytes second = u16(11) + Bytes{0x01} + u16(2 + records2.size()) + records2 + conditions;
    Movie movie = parseMovie(movieFile(8, tag(7, first) + tag(34, second) + kShowFrame + kEnd));

    const auto* one = std::get_if<ButtonDef>(movie.find(10));
    ASSERT_TRUE(one);
    ASSERT_EQ(one->records.size(), 2u);
    EXPECT_EQ(one->records[0].depth, 1); // in depth order
    EXPECT_EQ(one->records[0].states, 0x08u);
    EXPECT_EQ(one->records[1].states, 0x03u);
    EXPECT_EQ(one->records[1].matrix.tx, 20);
    ASSERT_EQ(one->actions.size(), 1u);
    EXPECT_EQ(one->actions[0].conditions, unsigned(CondOverDownToOverUp));
    EXPECT_EQ(one->actions[0].actions, (ActionBytes{0x06, 0x00}));

    const auto* two = std::get_if<ButtonDef>(movie.find(11));
    ASSERT_TRUE(two);
    ASSERT_EQ(two->records.size(), 2u);
    expectTransform(two->records[0].colorTransform, {1, 1, 1, 1, 1, 2, 3, -4}, "first record");
    expectTransform(two->records[1].colorTransform, {0.5, 1, 2, 0.25, 0, 0, 0, 0}, "second record");
    EXPECT_EQ(two->records[1].matrix.a, 2);
    ASSERT_EQ(two->actions.size(), 2u);
    EXPECT_EQ(two->actions[0].conditions & 0x1FF, unsigned(CondOverUpToOverDown));
    EXPECT_EQ(two->actions[0].actions, (ActionBytes{0x07, 0x00}));
    EXPECT_EQ(two->actions[1].conditions & 0x1FF, unsigned(CondOutDownToIdle | CondOverDownToIdle));
    EXPECT_EQ(two->actions[1].actions, (ActionBytes{0x06, 0x00}));
}

// Off until button records read their filter lists: today a record with one
// ends the list, losing itself and every record after it.
TEST(HandAssembled, ButtonRecordWithFiltersKeepsTheRecordsAfterIt)
{
    // Version 8 records may carry a filter list (one blur here) and a blend
    // mode (multiply on the second); the record after them is still part of
    // the button, and both effects reach the placed parts.
    Bytes blur = Bytes{1, 1} + u32(0x40000) + u32(0x28000) + Bytes{0x08};
    Bytes records = Bytes{0x10 | 0x01} + u16(3) + u16(1) + kTranslate + kAddOnlyAlpha + blur + Bytes{0x20 | 0x02} +
                    u16(4) + u16(2) + kTranslate + kAddOnlyAlpha + Bytes{3} + Bytes{0x00};
    Bytes body = u16(12) + Bytes{0x00} + u16(0) + records;
    Movie movie = parseMovie(movieFile(8, tag(34, body) + kShowFrame + kEnd));
    const auto* button = std::get_if<ButtonDef>(movie.find(12));
    ASSERT_TRUE(button);
    ASSERT_EQ(button->records.size(), 2u);
    EXPECT_EQ(button->records[0].character, 3);
    EXPECT_EQ(button->records[0].states, 1u);
    ASSERT_EQ(button->records[0].effects.filters.size(), 1u);
    const auto* filter = std::get_if<BlurFilter>(&button->records[0].effects.filters[0]);
    ASSERT_TRUE(filter);
    EXPECT_EQ(filter->blurX, 4.0);
    EXPECT_EQ(filter->blurY, 2.5);
    EXPECT_EQ(button->records[0].effects.blend, BlendMode::Normal);
    EXPECT_EQ(button->records[1].character, 4);
    EXPECT_EQ(button->records[1].states, 2u);
    EXPECT_TRUE(button->records[1].effects.filters.empty());
    EXPECT_EQ(button->records[1].effects.blend, BlendMode::Multiply);
}

// --- Actions ----------------------------------------------------------------

// Runs one action block on the first frame of a movie of `version`; the traces.
std::vector<std::u16string> traces(int version, const Bytes& actions)
{
    MoviePlayer player;
    std::vector<std::u16string> out;
    player.setTraceHandler([&](const std::u16string& message) { out.push_back(message); });
    EXPECT_TRUE(player.load(movieFile(version, tag(12, actions + Bytes{0x00}) + kShowFrame + kEnd)));
    return out;
}

// ActionPush of one value of `type`.
Bytes push(std::uint8_t type, const Bytes& value)
{
    Bytes item = Bytes{type} + value;
    return Bytes{0x96} + u16(unsigned(item.size())) + item;
}
Bytes pushInt(std::uint32_t v) { return push(7, u32(v)); }
// Version 4 knows only strings and single-precision floats.
Bytes pushFloat(float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return push(1, u32(bits));
}
Bytes pushText(std::string_view s) { return push(0, text(s)); }
const Bytes kTrace = {0x26};

TEST(HandAssembled, PushForms)
{
    // Integers are signed 32-bit; doubles store their high word first;
    // floats are single precision; null, undefined and booleans.
    Bytes code = pushInt(0xFFFFFFFF) + kTrace + pushInt(0x80000000) + kTrace + pushInt(0x7FFFFFFF) + kTrace +
                 push(6, Bytes{0x00, 0x00, 0xF8, 0x3F, 0x00, 0x00, 0x00, 0x00}) + kTrace +
                 push(1, Bytes{0x00, 0x00, 0x80, 0x3E}) + kTrace + push(2, {}) + kTrace + push(3, {}) + kTrace +
                 push(5, Bytes{1}) + kTrace;
    EXPECT_EQ(traces(6, code), (std::vector<std::u16string>{u"-1", u"-2147483648", u"2147483647", u"1.5", u"0.25",
                                                            u"null", u"undefined", u"true"}));

    // Several values in one record, a constant pool entry and a register.
    Bytes pool = Bytes{0x88} + u16(2 + 4 + 4) + u16(2) + text("abc") + text("xyz");
    Bytes several = Bytes{0x96} + u16(2 + 3 + 5) + Bytes{8, 1} + Bytes{9, 0, 0} + Bytes{7} + u32(42);
    Bytes store = Bytes{0x87, 0x01, 0x00, 0x02} + Bytes{0x17}; // StoreRegister 2, Pop
    Bytes code2 = pool + several + store + kTrace + kTrace + push(4, Bytes{2}) + kTrace;
    EXPECT_EQ(traces(6, code2), (std::vector<std::u16string>{u"abc", u"xyz", u"42"}));
}

TEST(HandAssembled, GreaterComparesNumbersAndStrings)
{
    const Bytes kGreater = {0x67};
    Bytes code = pushInt(3) + pushInt(2) + kGreater + kTrace + pushInt(2) + pushInt(3) + kGreater + kTrace +
                 pushInt(2) + pushInt(2) + kGreater + kTrace + pushText("b") + pushText("a") + kGreater + kTrace +
                 pushText("10") + pushText("9") + kGreater + kTrace;
    // Two strings compare as strings: "10" sorts before "9".
    EXPECT_EQ(traces(6, code), (std::vector<std::u16string>{u"true", u"false", u"false", u"true", u"false"}));
}

TEST(HandAssembled, VersionFourComparisonsGiveNumbersLaterOnesBooleans)
{
    const Bytes kEquals = {0x0E}, kLess = {0x0F}, kAnd = {0x10}, kOr = {0x11}, kNot = {0x12},
                kStringEquals = {0x13}, kStringLess = {0x29};
    Bytes code = pushFloat(1) + pushFloat(2) + kLess + kTrace +      // 1 < 2
                 pushFloat(2) + pushFloat(2) + kEquals + kTrace +    // 2 == 2
                 pushFloat(1) + pushFloat(0) + kAnd + kTrace +       // 1 and 0
                 pushFloat(1) + pushFloat(0) + kOr + kTrace +        // 1 or 0
                 pushFloat(0) + kNot + kTrace +                      // not 0
                 pushText("a") + pushText("a") + kStringEquals + kTrace + //
                 pushText("b") + pushText("a") + kStringLess + kTrace;     // "b" < "a"
    EXPECT_EQ(traces(4, code), (std::vector<std::u16string>{u"1", u"1", u"0", u"1", u"1", u"1", u"0"}));
    EXPECT_EQ(traces(5, code), (std::vector<std::u16string>{u"true", u"true", u"false", u"true", u"true", u"true",
                                                            u"false"}));
}

TEST(HandAssembled, StringsBeforeVersionSixAreWindows1252)
{
    // 0x80 is the euro sign, 0xE9 e acute, 0x9F Y diaeresis; from version 6 on
    // the same characters come as UTF-8.
    EXPECT_EQ(traces(5, pushText("\x80\xE9\x9F") + kTrace), std::vector<std::u16string>{u"\u20ac\u00e9\u0178"});
    EXPECT_EQ(traces(6, pushText("\xE2\x82\xAC\xC3\xA9") + kTrace), std::vector<std::u16string>{u"\u20ac\u00e9"});
    Bytes pool = Bytes{0x88} + u16(2 + 3) + u16(1) + text("\xE9\xE8");
    EXPECT_EQ(traces(5, pool + push(8, Bytes{0}) + kTrace), std::vector<std::u16string>{u"\u00e9\u00e8"});
}

// --- Lengths that lie ---------------------------------------------------------

TEST(HandAssembled, BadLengths)
{
    // A tag shorter than its fields is dropped; the tags after it still count.
    Bytes shortPlace = tag(26, Bytes{0x06} + u16(1)); // character and matrix announced, not there
    Bytes longFormSmall = tag(43, text("long"), true); // the long form for a short tag is legal
    Movie movie = parseMovie(movieFile(6, shortPlace + longFormSmall + kShowFrame + kEnd));
    EXPECT_TRUE(movie.root.frames.at(0).commands.empty());
    EXPECT_EQ(movie.root.frames[0].label, u"long");

    // A tag longer than the file ends the stream; what came before stays.
    Bytes runsOut = tag(43, text("kept")) + kShowFrame + u16(43 << 6 | 0x3F) + u32(1000) + Bytes{'x'};
    movie = parseMovie(movieFile(6, runsOut));
    EXPECT_EQ(movie.root.findLabel(u"kept"), 0);

    // An action record whose length runs past its block, and a push record of
    // length 0, end the block without harm; the next block runs.
    Bytes pastEnd = pushText("first") + kTrace + Bytes{0x96} + u16(200) + Bytes{7, 1};
    Bytes emptyPush = Bytes{0x96} + u16(0) + kTrace;
    MoviePlayer player;
    std::vector<std::u16string> out;
    player.setTraceHandler([&](const std::u16string& m) { out.push_back(m); });
    ASSERT_TRUE(player.load(movieFile(6, tag(12, pastEnd) + tag(12, emptyPush + Bytes{0}) +
                                             tag(12, pushText("last") + kTrace + Bytes{0}) + kShowFrame + kEnd)));
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.front(), u"first");
    EXPECT_EQ(out.back(), u"last");

    // A DefineButton2 whose action offset points back into its records.
    Bytes records = Bytes{0x01} + u16(3) + u16(1) + kTranslate + kAddOnlyAlpha + Bytes{0x00};
    Bytes button = u16(13) + Bytes{0x00} + u16(2) + records + u16(0) + Bytes{0x08, 0x00, 0x00};
    movie = parseMovie(movieFile(6, tag(34, button) + tag(43, text("next")) + kShowFrame + kEnd));
    EXPECT_EQ(movie.find(13), nullptr);
    EXPECT_EQ(movie.root.frames.at(0).label, u"next");
}

} // namespace
} // namespace lumbra::movie::test
