#include "control/movie/HeadlessPlay.h"

#include "control/movie/LocalFiles.h"
#include "control/movie/MoviePlayer.h"
#include "control/movie/TextCodec.h"

#include <algorithm>

namespace lumbra::movie {

std::optional<std::string> playHeadless(std::span<const std::uint8_t> bytes, long frames,
                                        const std::function<void(std::string_view line)>& write,
                                        const HeadlessFolders& folders)
{
    MoviePlayer player;
    player.setClock(MovieClock::Kind::Frames);
    if (!folders.movie.empty())
        player.setFileReader([folder = folders.movie](const std::u16string& url) {
            auto file = fileInFolder(folder, url);
            return file ? readDataFile(*file) : std::nullopt;
        });
    player.setSharedObjectFolder(folders.sharedObjects);
    bool quit = false;
    player.setTraceHandler([&write](const std::u16string& message) {
        std::string line = encodeUtf8(message);
        std::ranges::replace(line, '\r', '\n');
        line += '\n';
        write(line);
    });
    player.setFsCommandHandler([&quit](const std::u16string& command, const std::u16string&) {
        if (equalsFolded(command, u"quit"))
            quit = true;
    });
    if (!player.load(bytes))
        return player.error();
    if (frames < 0)
        frames = std::max(1, player.totalFrames());
    for (long frame = 1; frame < frames && !quit; ++frame)
        player.advance();
    return std::nullopt;
}

} // namespace lumbra::movie
