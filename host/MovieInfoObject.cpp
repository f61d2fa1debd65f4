#include "host/MovieInfoObject.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "package/MovieInfo.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"

namespace lumbra::host {

using orvet::ScriptValue;

namespace {

bool endsWithNoCase(const std::string& text, std::string_view suffix)
{
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); });
}

// A program with a movie appended: its last four bytes give the movie's
// length L, and a movie signature starts L + 8 bytes before the end.
bool carriesMovie(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    const std::streamoff size = in.tellg();
    if (!in || size < 12)
        return false;
    unsigned char tail[4];
    in.seekg(size - 4);
    if (!in.read(reinterpret_cast<char*>(tail), 4))
        return false;
    const std::streamoff length = tail[0] | tail[1] << 8 | tail[2] << 16 | static_cast<std::streamoff>(tail[3]) << 24;
    if (length + 8 > size)
        return false;
    char signature[3];
    in.seekg(size - length - 8);
    if (!in.read(signature, 3))
        return false;
    return (signature[0] == 'F' || signature[0] == 'C') && signature[1] == 'W' && signature[2] == 'S';
}

void put(orvet::ScriptContext& ctx, orvet::ScriptObject* object, std::string_view name, std::int64_t value)
{
    orvet::setProperty(ctx, object, ctx.intern(name), ScriptValue::ofInt(value));
}

} // namespace

ScriptValue movieInfoObject(orvet::ScriptContext& ctx, const std::string& path)
{
    const std::filesystem::path file(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return ScriptValue::null();
    const bool movie = endsWithNoCase(path, ".swf");
    if (!movie && !(endsWithNoCase(path, ".exe") && carriesMovie(file)))
        return ScriptValue::null();
    const MovieInfo info = readMovieInfo(file);
    orvet::ScriptObject* object = orvet::newObject(ctx);
    const ScriptValue result = ScriptValue::ofObject(object);
    orvet::ScriptObject* frame = orvet::newObject(ctx);
    orvet::setProperty(ctx, object, ctx.intern("frameSize"), ScriptValue::ofObject(frame));
    put(ctx, frame, "xMin", info.left);
    put(ctx, frame, "xMax", info.right);
    put(ctx, frame, "yMin", info.top);
    put(ctx, frame, "yMax", info.bottom);
    put(ctx, object, "rate", info.frameRate);
    put(ctx, object, "frameCount", info.frameCount);
    put(ctx, object, "version", info.version);
    put(ctx, object, "size", info.fileLength);
    return result;
}

} // namespace lumbra::host
