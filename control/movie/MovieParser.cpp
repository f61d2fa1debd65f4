#include "control/movie/Movie.h"

#include "control/movie/BitmapParsers.h"
#include "control/movie/DefinitionParsers.h"
#include "control/movie/FilterParser.h"
#include "control/movie/FontParser.h"
#include "control/movie/MorphShape.h"
#include "control/movie/MovieFile.h"
#include "control/movie/ShapeParser.h"
#include "control/movie/TagCodes.h"
#include "control/movie/TextCodec.h"

#include <algorithm>

namespace lumbra::movie {

namespace {

class MovieParser {
public:
    explicit MovieParser(Movie& movie) : movie_(movie) {}

    // Reads one timeline's tags; definitions are accepted on the main one only.
    Timeline timeline(std::span<const std::uint8_t> tags, bool main)
    {
        Timeline timeline;
        Frame frame;
        TagReader reader(tags);
        while (auto tag = reader.next()) {
            if (tag->code == tag::End)
                break;
            try {
                BitReader in(tag->body);
                if (tag->code == tag::ShowFrame) {
                    timeline.frames.push_back(std::move(frame));
                    frame = {};
                } else if (!controlTag(tag->code, in, frame) && main) {
                    definitionTag(tag->code, in);
                }
            } catch (const FormatError&) {
                // A damaged tag is left out; the ones after it still count.
            }
        }
        if (!frame.commands.empty() || !frame.actions.empty() || !frame.initActions.empty() || !frame.label.empty() ||
            timeline.frames.empty())
            timeline.frames.push_back(std::move(frame));
        return timeline;
    }

private:
    int version() const { return movie_.info.version; }

    bool controlTag(unsigned code, BitReader& in, Frame& frame)
    {
        switch (code) {
        case tag::PlaceObject: {
            PlaceCommand place;
            place.character = in.u16();
            place.depth = in.u16();
            place.matrix = in.matrix();
            if (!in.atEnd())
                place.colorTransform = in.colorTransform(false);
            frame.commands.emplace_back(std::move(place));
            return true;
        }
        case tag::PlaceObject2:
        case tag::PlaceObject3:
            frame.commands.emplace_back(placeObject2(in, code == tag::PlaceObject3));
            return true;
        case tag::RemoveObject:
            in.u16();
            frame.commands.emplace_back(RemoveCommand{in.u16()});
            return true;
        case tag::RemoveObject2:
            frame.commands.emplace_back(RemoveCommand{in.u16()});
            return true;
        case tag::DoAction:
            frame.actions.push_back(readActionBytes(in));
            return true;
        case tag::DoInitAction:
            in.u16(); // the sprite it initialises: run with the frame that holds it
            frame.initActions.push_back(readActionBytes(in));
            return true;
        case tag::FrameLabel:
            frame.label = decodeMovieString(in.cstring(), version());
            return true;
        case tag::SetBackgroundColor:
            // The first colour the movie sets is the one it keeps.
            if (!backgroundSet_) {
                movie_.info.background = in.rgb();
                backgroundSet_ = true;
            }
            return true;
        default:
            return false;
        }
    }

    PlaceCommand placeObject2(BitReader& in, bool third)
    {
        PlaceCommand place;
        unsigned flags = in.u8();
        unsigned flags3 = third ? in.u8() : 0;
        place.depth = in.u16();
        place.move = flags & 0x01;
        if (flags3 & 0x08) // class name
            in.cstring();
        if (flags & 0x02)
            place.character = in.u16();
        if (flags & 0x04)
            place.matrix = in.matrix();
        if (flags & 0x08)
            place.colorTransform = in.colorTransform(true);
        if (flags & 0x10)
            place.ratio = in.u16();
        if (flags & 0x20)
            place.name = decodeMovieString(in.cstring(), version());
        if (flags & 0x40) {
            place.clipDepth = in.u16();
            place.clipLayer = true;
        }
        if (flags3 & 0x03) {
            LayerEffects effects;
            try {
                if (flags3 & 0x01)
                    effects.filters = parseFilterList(in);
                if (flags3 & 0x02)
                    effects.blend = blendModeFrom(in.u8());
            } catch (const FormatError&) {
                return place; // a filter we cannot read: the object is still placed, plain
            }
            place.effects = std::move(effects);
        }
        if (flags3 & 0x04)
            in.u8(); // bitmap caching: drawing is the same either way
        if (flags & 0x80)
            place.clipActions = std::make_shared<const std::vector<ClipAction>>(clipActions(in));
        return place;
    }

    // onClipEvent handlers: each record its event flags, size, key code and actions.
    std::vector<ClipAction> clipActions(BitReader& in)
    {
        bool wide = version() >= 6;
        auto eventFlags = [&]() -> std::uint32_t { return wide ? in.u32() : in.u16(); };
        in.u16();
        eventFlags(); // all events together
        std::vector<ClipAction> out;
        while (!in.atEnd()) {
            ClipAction action;
            action.events = eventFlags();
            if (action.events == 0)
                break;
            std::size_t size = in.u32();
            if (size > in.remaining())
                throw FormatError("clip action beyond its tag");
            if (action.events & ClipKeyPress) {
                if (size == 0)
                    throw FormatError("clip action without its key");
                action.keyCode = in.u8();
                --size;
            }
            auto bytes = in.bytes(size);
            action.actions.assign(bytes.begin(), bytes.end());
            out.push_back(std::move(action));
        }
        return out;
    }

    void definitionTag(unsigned code, BitReader& in)
    {
        switch (code) {
        case tag::DefineShape:
        case tag::DefineShape2:
        case tag::DefineShape3:
        case tag::DefineShape4: {
            std::uint16_t id = in.u16();
            int shapeVersion = code == tag::DefineShape ? 1 : code == tag::DefineShape2 ? 2
                             : code == tag::DefineShape3 ? 3 : 4;
            define(id, parseShape(in, shapeVersion, &bitmaps_));
            break;
        }
        case tag::DefineMorphShape:
        case tag::DefineMorphShape2: {
            std::uint16_t id = in.u16();
            define(id, parseMorphShape(in, code == tag::DefineMorphShape2, &bitmaps_));
            break;
        }
        case tag::JPEGTables: {
            auto tables = in.bytes(in.remaining());
            jpegTables_.assign(tables.begin(), tables.end());
            break;
        }
        case tag::DefineBits:
        case tag::DefineBitsJPEG2:
        case tag::DefineBitsJPEG3:
        case tag::DefineBitsJPEG4:
        case tag::DefineBitsLossless:
        case tag::DefineBitsLossless2: {
            std::uint16_t id = in.u16();
            auto picture = std::make_shared<const PixelBuffer>(
                parseBitmap(in, code, jpegTables_, std::min(picturePixelsLeft_, kMaxPicturePixels)));
            picturePixelsLeft_ -= std::size_t(picture->width()) * std::size_t(picture->height());
            movie_.pictures[id] = picture;
            bitmaps_[id] = std::move(picture);
            break;
        }
        case tag::DefineEditText: {
            std::uint16_t id = in.u16();
            define(id, parseEditText(in, fonts_, version()));
            break;
        }
        case tag::DefineButton:
        case tag::DefineButton2: {
            std::uint16_t id = in.u16();
            define(id, parseButton(in, code));
            break;
        }
        case tag::DefineVideoStream: {
            std::uint16_t id = in.u16();
            in.u16(); // frame count
            VideoDef video;
            video.width = in.u16();
            video.height = in.u16();
            define(id, video);
            break;
        }
        case tag::DefineSprite: {
            std::uint16_t id = in.u16();
            in.u16(); // frame count: the frames present count
            auto body = in.bytes(in.remaining());
            define(id, SpriteDef{timeline(body, false)});
            break;
        }
        case tag::DefineFont2:
        case tag::DefineFont3:
        case tag::DefineFontInfo:
        case tag::DefineFontInfo2: {
            std::uint16_t id = in.u16();
            BitReader body = in; // read again past the name
            fonts_[id] = parseFontName(in, code, version());
            if (code == tag::DefineFontInfo || code == tag::DefineFontInfo2) {
                // Names the characters of the DefineFont before it.
                if (auto found = embeddedFonts_.find(id); found != embeddedFonts_.end()) {
                    auto font = std::make_shared<EmbeddedFont>(*found->second);
                    font->codes = parseFontInfoCodes(body, code, font->glyphs.size());
                    font->name = fonts_[id].name;
                    found->second = std::move(font);
                }
            } else {
                auto parsed = parseEmbeddedFont(body, code);
                parsed.name = fonts_[id].name;
                auto font = std::make_shared<const EmbeddedFont>(std::move(parsed));
                embeddedFonts_[id] = font;
                if (!font->glyphs.empty())
                    movie_.fieldFonts[fonts_[id].name] = std::make_shared<const FieldFont>(font);
            }
            break;
        }
        case tag::DefineFont: {
            std::uint16_t id = in.u16();
            embeddedFonts_[id] = std::make_shared<const EmbeddedFont>(parseEmbeddedFont(in, code));
            break;
        }
        case tag::ExportAssets:
            for (unsigned n = in.u16(); n > 0; --n) {
                std::uint16_t id = in.u16();
                movie_.exports[foldCase(decodeMovieString(in.cstring(), version()))] = id;
            }
            break;
        case tag::ImportAssets:
        case tag::ImportAssets2: {
            std::u16string url = decodeMovieString(in.cstring(), version());
            if (code == tag::ImportAssets2)
                in.skip(2); // two reserved bytes
            for (unsigned n = in.u16(); n > 0; --n) {
                std::uint16_t id = in.u16();
                movie_.imports[id] = {url, decodeMovieString(in.cstring(), version())};
            }
            break;
        }
        case tag::DefineText:
        case tag::DefineText2: {
            std::uint16_t id = in.u16();
            define(id, parseStaticText(in, code, embeddedFonts_));
            break;
        }
        default:
            break; // not drawn by this player: skipped by its length
        }
    }

    void define(std::uint16_t id, Character&& character)
    {
        movie_.characters[id] = std::make_shared<const Character>(std::move(character));
    }

    Movie& movie_;
    FontTable fonts_;
    BitmapTable bitmaps_;
    EmbeddedFontTable embeddedFonts_;
    std::vector<std::uint8_t> jpegTables_;
    // All pictures of a movie together stay within this many pixels (128 MB),
    // however many tags a hostile file repeats.
    std::size_t picturePixelsLeft_ = std::size_t(32) << 20;
    bool backgroundSet_ = false;
};

} // namespace

Movie parseMovie(std::span<const std::uint8_t> bytes)
{
    MovieFile file = openMovieFile(bytes);
    Movie movie;
    movie.info = file.info;
    movie.root = MovieParser(movie).timeline(file.tags, true);
    movie.info.frameCount = movie.root.frameCount();
    return movie;
}

} // namespace lumbra::movie
