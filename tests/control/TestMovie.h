// Small movie files for the control tests, assembled tag by tag.
#pragma once

#include "control/movie/ActionWriter.h"
#include "control/movie/Canvas.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lumbra::com::test {

class TestMovie {
public:
    // Stage in pixels.
    TestMovie(int width, int height, double frameRate, movie::Argb background);

    // Definitions; each returns its character id. Coordinates in pixels.
    int rectangle(movie::Rect pixels, movie::Argb fill);
    int textField(movie::Rect pixels, const std::string& variable, const std::string& text);
    int button(int shape, const movie::ActionBytes& onRelease);

    void place(int character, int depth);
    void label(const std::string& name);
    void actions(const movie::ActionBytes& code);
    void showFrame();

    std::vector<std::uint8_t> bytes() const;
    void save(const std::filesystem::path& path) const;

private:
    void tag(unsigned code, const std::vector<std::uint8_t>& body);

    int width_, height_;
    double frameRate_;
    int frames_ = 0;
    int nextId_ = 1;
    std::vector<std::uint8_t> tags_;
};

} // namespace lumbra::com::test
