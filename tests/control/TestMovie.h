// Small movie files for the control tests, in stage pixels, written with the
// movie writer.
#pragma once

#include "control/movie/ActionWriter.h"
#include "control/movie/MovieWriter.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lumbra::com::test {

class TestMovie {
public:
    TestMovie(int width, int height, double frameRate, movie::Argb background);

    // Definitions; each returns its character id.
    int rectangle(movie::Rect pixels, movie::Argb fill);
    int textField(movie::Rect pixels, const std::u16string& variable, const std::u16string& text);
    int button(int shape, const movie::ActionBytes& onRelease);

    void place(int character, int depth);
    void label(const std::u16string& name) { writer_.root().label(name); }
    void actions(const movie::ActionBytes& code) { writer_.root().actions(code); }
    void showFrame() { writer_.root().showFrame(); }
    // The main timeline, for tags assembled by hand.
    movie::TimelineWriter& timeline() { return writer_.root(); }

    void save(const std::filesystem::path& path) const;

private:
    movie::MovieWriter writer_;
};

} // namespace lumbra::com::test
