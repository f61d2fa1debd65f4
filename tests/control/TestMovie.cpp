#include "tests/control/TestMovie.h"

#include <fstream>

namespace lumbra::com::test {

namespace {

using movie::kTwips;

movie::Rect twips(movie::Rect px) { return {px.xMin * kTwips, px.yMin * kTwips, px.xMax * kTwips, px.yMax * kTwips}; }

} // namespace

TestMovie::TestMovie(int width, int height, double frameRate, movie::Argb background)
    : writer_(width * kTwips, height * kTwips, frameRate) {
    writer_.setBackground(background);
}

int TestMovie::rectangle(movie::Rect pixels, movie::Argb fill) {
    movie::ShapeStyle style;
    style.fill = fill;
    return writer_.defineShape({movie::Outline::rectangle(twips(pixels))}, style);
}

int TestMovie::textField(movie::Rect pixels, const std::u16string& variable, const std::u16string& text) {
    movie::TextFieldDefinition definition;
    definition.bounds = twips(pixels);
    definition.variable = variable;
    definition.text = text;
    return writer_.defineTextField(definition);
}

int TestMovie::button(int shape, const movie::ActionBytes& onRelease) {
    movie::ButtonDefinition definition;
    definition.parts.push_back({std::uint16_t(shape),
                          movie::StateUp | movie::StateOver | movie::StateDown | movie::StateHit, {}});
    definition.actions.push_back({movie::CondOverDownToOverUp, onRelease});
    return writer_.defineButton(definition);
}

void TestMovie::place(int character, int depth) {
    movie::Placement placement;
    placement.depth = depth;
    placement.character = std::uint16_t(character);
    writer_.root().place(placement);
}

void TestMovie::save(const std::filesystem::path& path) const {
    auto data = writer_.finish(false);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

} // namespace lumbra::com::test
