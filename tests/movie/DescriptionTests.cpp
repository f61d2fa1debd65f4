// Movie descriptions: what they build, read back through the parser, and the
// errors they report.
#include "MovieTestSupport.h"

#include "control/movie/Movie.h"
#include "control/movie/MovieDescription.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

TEST(Description, RoundTripThroughTheParser)
{
    Movie movie = parseMovie(movieFrom(R"m(
# a comment line
movie 320 240 rate 15 background #abcdef version 7
shape square rect 0 0 10 10 fill #11223344 line 1 #000000
shape tri polygon 0,0 10,0 5,8
text caption 0 0 100 20 var "msg" text "ünïcode" font "Tahoma" size 14 multiline wordwrap border
button b up square on release { stop }
sprite s
  frame label first
  place square depth 1
  frame
  remove depth 1
end
frame label one
  place s depth 1 name "spr" at 10 10 scale 2 1 rotate 90
  place b depth 2
frame label two
  actions { stop }
)m"));
    EXPECT_EQ(movie.info.version, 7);
    EXPECT_DOUBLE_EQ(movie.info.frame.width(), 6400);
    EXPECT_DOUBLE_EQ(movie.info.frameRate, 15);
    EXPECT_EQ(movie.info.background, 0xFFABCDEFu);
    ASSERT_EQ(movie.root.frameCount(), 2);
    EXPECT_EQ(movie.root.frames[0].label, u"one");
    EXPECT_EQ(movie.root.findLabel(u"two"), 1);
    EXPECT_EQ(movie.root.frames[1].actions.size(), 1u);

    int shapes = 0, texts = 0, buttons = 0, sprites = 0;
    for (const auto& [id, character] : movie.characters) {
        if (auto shape = std::get_if<ShapeDef>(character.get())) {
            ++shapes;
            if (shape->lines.size() == 1) {
                EXPECT_EQ(shape->fills[0].fill.color, 0x44112233u); // #RRGGBBAA
            }
        } else if (auto text = std::get_if<EditTextDef>(character.get())) {
            ++texts;
            EXPECT_EQ(text->variable, u"msg");
            EXPECT_EQ(text->initialText, u"\u00fcn\u00efcode");
            EXPECT_EQ(text->font, u"Tahoma");
            EXPECT_EQ(text->height, 280);
            EXPECT_TRUE(text->multiline && text->wordWrap && text->border);
        } else if (auto button = std::get_if<ButtonDef>(character.get())) {
            ++buttons;
            ASSERT_EQ(button->records.size(), 1u);
            EXPECT_EQ(button->records[0].states, unsigned(StateUp | StateHit));
            ASSERT_EQ(button->actions.size(), 1u);
            EXPECT_EQ(button->actions[0].conditions, unsigned(CondOverDownToOverUp));
        } else if (auto sprite = std::get_if<SpriteDef>(character.get())) {
            ++sprites;
            EXPECT_EQ(sprite->timeline.frameCount(), 2);
            EXPECT_EQ(sprite->timeline.frames[0].label, u"first");
        }
    }
    EXPECT_EQ(shapes, 2);
    EXPECT_EQ(texts, 1);
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(sprites, 1);

    const auto& place = std::get<PlaceCommand>(movie.root.frames[0].commands[0]);
    EXPECT_EQ(*place.name, u"spr");
    EXPECT_NEAR(place.matrix->a, 0, 1e-4);
    EXPECT_NEAR(place.matrix->b, 2, 1e-4);
    EXPECT_NEAR(place.matrix->c, -1, 1e-4);
    EXPECT_EQ(place.matrix->tx, 200);
}

TEST(Description, CompressedMoviesPlayTheSame)
{
    auto plain = movieFrom("movie 10 10\nframe\n  actions { set a \"1\" }\n");
    auto packed = movieFrom("movie 10 10 compress\nframe\n  actions { set a \"1\" }\n");
    EXPECT_EQ(plain[0], 'F');
    EXPECT_EQ(packed[0], 'C');
    MoviePlayer player;
    ASSERT_TRUE(player.load(packed));
    EXPECT_EQ(narrow(*player.getVariable(u"a")), "1");
}

TEST(Description, ErrorsNameTheirLine)
{
    struct Case {
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"shape a rect 0 0 1 1", 1},                        // no movie line
        {"movie 10 10\nshape a rect 0 0 1 1\nshape a rect 0 0 1 1", 3}, // defined twice
        {"movie 10 10\nframe\n  place nothing depth 1", 3},
        {"movie 10 10\nshape a rect 0 0 1 1 fill red", 2},
        {"movie 10 10\nshape a polygon 0,0 1,1", 2},
        {"movie 10 10\nframe\n  actions { jump }", 3},
        {"movie 10 10\nframe\n  actions { stop", 3},
        {"movie 10 10\ntext t 0 0 1 1 text \"open", 2},
        {"movie 10 10\nsprite s\n  frame\n", 4},
        {"movie 0 10", 1},
        {"movie 10 10 rate 0", 1},
        {"movie 10 10\nframe\n  place depth 1", 3},
        {"movie 10 10\nbutton b on release { stop }", 2},
        {"movie 10 10\nframe\n  actions { if $a < 3 { stop } }", 3},
    };
    for (const auto& c : cases) {
        try {
            buildMovie(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const DescriptionError& e) {
            EXPECT_EQ(e.line(), c.line) << c.text << " -> " << e.what();
        }
    }
}

} // namespace
} // namespace lumbra::movie::test
