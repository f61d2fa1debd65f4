// The movie of a source file: each frame's scripts as its layout gives them.
// Init actions go to DoInitAction tags of empty clips defined on their frame,
// the frame's class declarations after its #initclip blocks;
// each #clip is defined with its script and placed at the next depth, its
// handlers as the placement's clip actions; each #export is an empty clip
// symbol with an ExportAssets tag.
#include "tools/actionscript/SourceCompiler.h"

#include "control/movie/MovieWriter.h"
#include "control/movie/TagCodes.h"
#include "text/Utf8.h"
#include "tools/actionscript/ActionEmitter.h"
#include "tools/actionscript/SourceLayout.h"
#include "tools/actionscript/SourceParser.h"
#include "tools/actionscript/TextEncoding.h"

namespace lumbra::actionscript {

namespace {

void appendU32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

// Event flags are 32 bits from version 6, 16 before.
void appendEvents(Bytes& out, std::uint32_t events, int version)
{
    if (version >= 6)
        appendU32(out, events);
    else
        appendU16(out, events);
}

// PlaceObject2 with a character, an identity matrix, a name and clip actions.
Bytes placementWithActions(int depth, std::uint16_t character, const std::string& name, const ClipCode& code,
                           int version)
{
    enum : std::uint8_t { HasCharacter = 0x02, HasMatrix = 0x04, HasName = 0x20, HasClipActions = 0x80 };
    Bytes body{HasCharacter | HasMatrix | HasName | HasClipActions};
    appendU16(body, std::size_t(depth));
    appendU16(body, character);
    body.push_back(0); // a matrix with no scale, no rotation, 0-bit translation
    appendCString(body, movieText(name, version));
    appendU16(body, 0);
    std::uint32_t all = 0;
    for (const auto& handler : code.events)
        all |= handler.events;
    appendEvents(body, all, version);
    for (const auto& handler : code.events) {
        appendEvents(body, handler.events, version);
        appendU32(body, std::uint32_t(handler.actions.size()));
        body.insert(body.end(), handler.actions.begin(), handler.actions.end());
    }
    appendEvents(body, 0, version);
    return body;
}

// The classes every script of the movie declares: an import of a package
// covers those of other frames and clips too.
std::set<std::string> classesOf(const std::vector<FrameLayout>& layout, int version)
{
    std::set<std::string> names;
    auto add = [&](const Script& script) {
        names.merge(SourceParser().declaredClasses(script.source, version, script.firstLine));
    };
    for (const FrameLayout& frame : layout) {
        add(frame.actions);
        for (const Script& init : frame.initActions)
            add(init);
        for (const ClipScript& clip : frame.clips)
            add(clip.script);
    }
    return names;
}

} // namespace

std::vector<std::uint8_t> compileMovie(std::string_view source, int version, int frames)
{
    movie::MovieWriter writer(550 * 20, 400 * 20, 12, version);
    auto& timeline = writer.root();
    int depth = 1;
    const std::vector<FrameLayout> layout = layoutOf(source);
    const std::set<std::string> classes = classesOf(layout, version);
    for (const FrameLayout& frame : layout) {
        for (const std::string& label : frame.labels)
            timeline.label(text::decodeUtf8(label));
        for (const std::string& name : frame.exports) {
            movie::TimelineWriter symbol;
            symbol.showFrame();
            Bytes body;
            appendU16(body, 1);
            appendU16(body, writer.defineSprite(symbol));
            appendCString(body, movieText(name, version));
            timeline.tag(movie::tag::ExportAssets, body);
        }
        auto initActions = [&](const Bytes& code) {
            const std::uint16_t id = writer.defineSprite(movie::TimelineWriter());
            Bytes body;
            appendU16(body, id);
            body.insert(body.end(), code.begin(), code.end());
            timeline.tag(movie::tag::DoInitAction, body);
        };
        for (const Script& init : frame.initActions)
            initActions(compileActions(init.source, version, init.firstLine, classes));
        const FrameCode code = compileFrame(frame.actions.source, version, frame.actions.firstLine, classes);
        if (!code.classes.empty())
            initActions(code.classes);
        for (const ClipScript& clip : frame.clips) {
            if (depth > 0xFFFF)
                throw SourceError(clip.script.firstLine, "too many clips");
            const ClipCode code = compileClip(clip.script.source, version, clip.script.firstLine, classes);
            movie::TimelineWriter clipTimeline;
            clipTimeline.actions(code.actions);
            clipTimeline.showFrame();
            const std::uint16_t id = writer.defineSprite(clipTimeline);
            if (code.events.empty())
                timeline.place({depth++, id, {}, text::decodeUtf8(clip.name)});
            else
                timeline.tag(movie::tag::PlaceObject2, placementWithActions(depth++, id, clip.name, code, version));
        }
        timeline.actions(code.actions);
        timeline.showFrame();
    }
    while (timeline.frameCount() < frames)
        timeline.showFrame();
    return writer.finish(false);
}

} // namespace lumbra::actionscript
