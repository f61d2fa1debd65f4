#include "MovieTestSupport.h"

#include "control/movie/MovieDescription.h"
#include "control/movie/TextCodec.h"

#include <algorithm>

namespace lumbra::movie::test {

std::vector<std::uint8_t> movieFrom(std::string_view description)
{
    return buildMovie(description);
}

std::string narrow(std::u16string_view text)
{
    return encodeUtf8(text);
}

TestPlayer::TestPlayer(std::string_view description, bool autoPlay)
{
    player.setFsCommandHandler([this](const std::u16string& command, const std::u16string& args) {
        commands.push_back(narrow(command) + "|" + narrow(args));
    });
    player.setTraceHandler([this](const std::u16string& message) { traces.push_back(narrow(message)); });
    auto bytes = movieFrom(description);
    player.load(bytes, autoPlay);
}

std::string TestPlayer::var(std::u16string_view path) const
{
    auto value = player.getVariable(path);
    return value ? narrow(*value) : "<none>";
}

Rect boundsOf(const Path& path)
{
    Rect r{1e300, 1e300, -1e300, -1e300};
    for (const auto& contour : path)
        for (Point p : contour) {
            r.xMin = std::min(r.xMin, p.x);
            r.yMin = std::min(r.yMin, p.y);
            r.xMax = std::max(r.xMax, p.x);
            r.yMax = std::max(r.yMax, p.y);
        }
    return r;
}

} // namespace lumbra::movie::test
