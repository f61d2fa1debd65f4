// Movies loaded into clips and onto levels, and symbols imported from other
// movies. A load a script asks for happens on the next tick, as the reference
// player's loads arrive on a later frame: the file is read through the host
// (which keeps movies to their own folder), parsed once per playback, and put
// in the target's place.
#include "control/movie/Playback.h"

#include "control/movie/BitReader.h"
#include "control/movie/LocalFiles.h"
#include "control/movie/TextCodec.h"
#include "control/movie/actions/Machine.h"

#include <algorithm>

namespace lumbra::movie {

namespace {

// Loads a playback keeps waiting at once: a later request for the same target replaces an earlier one.
constexpr std::size_t kMaxPendingLoads = 64;
// Movies loaded inside movies inside movies...: deeper loads are refused.
constexpr int kMaxLoadNesting = 8;
// Different files one playback reads as movies, and their bytes together.
constexpr std::size_t kMaxFetchedMovies = 64;
constexpr std::size_t kMaxFetchedBytes = std::size_t(64) << 20;
// An imported symbol that the exporting movie imports in turn is followed this many times.
constexpr int kMaxImportHops = 8;

bool isAbsolute(std::u16string_view url)
{
    if (url.empty() || url[0] == u'/' || url[0] == u'\\')
        return true;
    std::size_t colon = url.find(u':');
    return colon != std::u16string_view::npos && url.find_first_of(u"/\\") > colon;
}

// `url` as seen from the movie that came from `base` (both relative to the main movie's folder).
std::u16string resolveUrl(std::u16string_view base, std::u16string_view url)
{
    if (isAbsolute(url))
        return std::u16string(url);
    std::size_t slash = base.find_last_of(u"/\\");
    std::u16string folder(slash == std::u16string_view::npos ? std::u16string_view() : base.substr(0, slash + 1));
    return folder + std::u16string(url);
}

int loadNesting(const DisplayObject& clip)
{
    int n = 0;
    for (const DisplayObject* p = &clip; p; p = p->parent())
        if (p->loadedUrl)
            ++n;
    return n;
}

// A movie with one empty frame in the stage of `like`: what an unloaded level 0 shows.
std::shared_ptr<const Movie> blankMovie(const Movie& like)
{
    auto blank = std::make_shared<Movie>();
    blank->info = like.info;
    blank->info.frameCount = 1;
    blank->info.fileLength = 0;
    blank->root.frames.resize(1);
    return blank;
}

} // namespace

std::optional<int> levelNumber(std::u16string_view name)
{
    constexpr std::u16string_view prefix = u"_level";
    if (name.size() <= prefix.size() || !equalsFolded(name.substr(0, prefix.size()), prefix))
        return std::nullopt;
    long number = 0;
    for (char16_t c : name.substr(prefix.size())) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        number = std::min<long>(number * 10 + (c - u'0'), long(kMaxLevel) + 1);
    }
    return int(number);
}

std::shared_ptr<DisplayObject> Playback::level(int number) const
{
    if (number == 0)
        return root_;
    auto it = upperLevels_.find(number);
    return it == upperLevels_.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<DisplayObject>> Playback::levels() const
{
    std::vector<std::shared_ptr<DisplayObject>> list{root_};
    for (const auto& [number, root] : upperLevels_)
        list.push_back(root);
    return list;
}

std::shared_ptr<DisplayObject> Playback::rootOf(DisplayObject& object) const
{
    DisplayObject* top = &object;
    for (DisplayObject* p = &object; p; p = p->parent()) {
        if (p->lockRoot)
            return p->shared_from_this();
        top = p;
    }
    // An object whose clip left the stage still finds the main movie.
    return level(top->level).get() == top ? top->shared_from_this() : root_;
}

std::optional<std::shared_ptr<DisplayObject>> Playback::rootNamed(DisplayObject& from, std::u16string_view name) const
{
    if (equalsFolded(name, u"_root"))
        return rootOf(from);
    if (auto number = levelNumber(name))
        return level(*number);
    return std::nullopt;
}

const Movie& Playback::movieOf(const DisplayObject& object) const
{
    return *definitionsOf(object);
}

std::shared_ptr<const Movie> Playback::definitionsOf(const DisplayObject& object) const
{
    for (const DisplayObject* p = &object; p; p = p->parent())
        if (p->definitions)
            return p->definitions;
    return movie_;
}

std::optional<Playback::LoadTarget> Playback::loadTarget(DisplayObject& from, const Value& target)
{
    if (target.isNumber()) {
        double n = target.toNumber(version());
        if (!(n >= 0 && n <= kMaxLevel))
            return std::nullopt;
        return LoadTarget{{}, int(n)};
    }
    std::shared_ptr<DisplayObject> clip = target.toClip();
    if (!clip && target.isString()) {
        std::u16string path = target.toString();
        if (auto number = levelNumber(path))
            return *number <= kMaxLevel ? std::optional<LoadTarget>(LoadTarget{{}, *number}) : std::nullopt;
        clip = resolveTarget(from, path);
    }
    if (!clip || !clip->isClip())
        return std::nullopt;
    // A level's root stands for its level.
    if (!clip->parent() && level(clip->level) == clip)
        return LoadTarget{{}, clip->level};
    return LoadTarget{clip, -1};
}

void Playback::getUrl(DisplayObject& from, const std::u16string& url, const std::u16string& window)
{
    constexpr std::u16string_view kFsCommandPrefix = u"FSCommand:";
    if (url.size() >= kFsCommandPrefix.size() && equalsFolded(url.substr(0, kFsCommandPrefix.size()), kFsCommandPrefix)) {
        if (hooks_.fsCommand)
            hooks_.fsCommand(url.substr(kFsCommandPrefix.size()), window);
    } else if (levelNumber(window)) {
        if (auto target = loadTarget(from, Value(window))) // loadMovieNum, unloadMovieNum
            requestLoad(from, *target, url);
    } else if (hooks_.url) {
        hooks_.url(url, window);
    }
}

bool Playback::requestLoad(DisplayObject& from, const LoadTarget& target, std::u16string url, Value loader)
{
    if (!url.empty()) {
        const DisplayObject* loaded = &from;
        while (loaded && !loaded->loadedUrl)
            loaded = loaded->parent();
        url = resolveUrl(loaded ? *loaded->loadedUrl : u"", url);
    }
    auto sameTarget = [&](const PendingLoad& p) {
        return p.target.level == target.level && !p.target.clip.owner_before(target.clip) &&
               !target.clip.owner_before(p.target.clip);
    };
    std::erase_if(loads_, sameTarget);
    if (loads_.size() >= kMaxPendingLoads)
        return false;
    loads_.push_back({target, std::move(url), std::move(loader)});
    return true;
}

void Playback::runLoads()
{
    auto loads = std::exchange(loads_, {});
    for (const auto& load : loads)
        if (!closed_ && !mainReplacement_)
            applyLoad(load);
}

void Playback::applyLoad(const PendingLoad& load)
{
    auto clip = load.target.clip.lock();
    if (load.target.level < 0 && !clip)
        return; // the clip left the stage meanwhile
    if (load.url.empty()) {
        unloadTarget(load.target);
        return;
    }
    Value where = clip ? Value(clip) : Value();
    auto movie = fetchMovie(load.url);
    if (!movie || (clip && loadNesting(*clip) >= kMaxLoadNesting)) {
        if (auto existing = clip ? clip : level(load.target.level))
            where = Value(existing);
        tellLoader(load.loader, u"onLoadError", {where, Value(std::u16string(u"URLNotFound"))});
        return;
    }
    if (load.target.level == 0) {
        // The whole movie is replaced, in the stage of the one it replaces.
        auto replacement = std::make_shared<Movie>(*movie);
        replacement->info.frame = movie_->info.frame;
        mainReplacement_ = std::move(replacement);
        return;
    }
    auto placed = placeMovie(load.target, movie, load.url);
    if (!placed)
        return;
    where = Value(placed);
    double bytes = movie->info.fileLength;
    tellLoader(load.loader, u"onLoadStart", {where});
    tellLoader(load.loader, u"onLoadProgress", {where, bytes, bytes});
    tellLoader(load.loader, u"onLoadComplete", {where, 0.0});
    runQueuedActions(); // its first frame, then the load events of the clip
    tellLoader(load.loader, u"onLoadInit", {where});
}

std::shared_ptr<const Movie> Playback::fetchMovie(const std::u16string& url)
{
    if (auto it = fetched_.find(url); it != fetched_.end())
        return it->second;
    if (isNetworkUrl(url) || !hooks_.readFile || fetched_.size() >= kMaxFetchedMovies)
        return nullptr;
    auto bytes = hooks_.readFile(url);
    if (!bytes || bytes->size() > kMaxFetchedBytes - fetchedBytes_)
        return nullptr;
    fetchedBytes_ += bytes->size();
    std::shared_ptr<const Movie> movie;
    try {
        movie = std::make_shared<const Movie>(parseMovie(*bytes));
    } catch (const FormatError&) {
        return nullptr;
    }
    fetched_[url] = movie;
    fetchedUrls_[movie.get()] = url;
    return movie;
}

std::shared_ptr<DisplayObject> Playback::placeMovie(const LoadTarget& target, std::shared_ptr<const Movie> movie,
                                                    const std::u16string& url)
{
    std::shared_ptr<DisplayObject> clip = target.clip.lock();
    if (clip) {
        auto children = std::exchange(clip->children(), {});
        for (const auto& [depth, child] : children)
            queueUnload(child);
    } else {
        clip = std::make_shared<DisplayObject>(nullptr, 0, nullptr, census_);
        clip->level = target.level;
        if (auto previous = level(target.level))
            queueUnload(previous);
        upperLevels_[target.level] = clip;
    }
    clip->loadContent(std::move(movie), url);
    clip->bornTick = tick_;
    dirty = true;
    // Its first frame's actions come before the load event, as for onLoadInit.
    enterFrame(*clip, 0);
    queueEvent(*clip, ClipLoad, u"onLoad");
    return clip;
}

void Playback::unloadTarget(const LoadTarget& target)
{
    if (target.level == 0) {
        mainReplacement_ = blankMovie(*movie_);
        return;
    }
    if (target.level > 0) {
        unloadLevel(target.level);
        return;
    }
    if (auto clip = target.clip.lock()) {
        // The clip stays, empty: unloading takes its content, not its place.
        auto children = std::exchange(clip->children(), {});
        for (const auto& [depth, child] : children)
            queueUnload(child);
        queueEvent(*clip, ClipUnload, u"onUnload");
        clip->loadContent(blankMovie(movieOf(*clip)), u"");
        clip->frame = 0;
        dirty = true;
        runQueuedActions();
    }
}

void Playback::loadLevel(int number, std::shared_ptr<const Movie> movie)
{
    if (number < 1 || number > kMaxLevel)
        return;
    placeMovie(LoadTarget{{}, number}, std::move(movie), u"");
    runQueuedActions();
}

void Playback::unloadLevel(int number)
{
    auto it = upperLevels_.find(number);
    if (it == upperLevels_.end())
        return;
    auto root = std::move(it->second);
    upperLevels_.erase(it);
    queueUnload(root);
    dirty = true;
    runQueuedActions();
}

void Playback::tellLoader(const Value& loader, std::u16string_view event, std::vector<Value> args)
{
    if (!loader.isObject())
        return;
    guarded([&] {
        args.insert(args.begin(), Value(std::u16string(event)));
        machine_->callMethod(loader, u"broadcastMessage", args);
    });
}

std::pair<const Character*, std::shared_ptr<const Movie>> Playback::characterFor(const DisplayObject& parent,
                                                                                std::uint16_t id)
{
    const Movie* movie = &movieOf(parent);
    std::shared_ptr<const Movie> source;
    for (int hop = 0; hop <= kMaxImportHops; ++hop) {
        if (const Character* character = movie->find(id))
            return {character, source};
        auto imported = movie->imports.find(id);
        if (imported == movie->imports.end())
            break;
        auto from = fetchedUrls_.find(movie);
        source = fetchMovie(resolveUrl(from == fetchedUrls_.end() ? u"" : from->second, imported->second.url));
        auto exported = source ? source->exported(imported->second.name) : std::nullopt;
        if (!exported)
            break;
        movie = source.get();
        id = *exported;
    }
    return {nullptr, nullptr};
}

std::optional<std::uint16_t> Playback::symbolFor(const DisplayObject& parent, std::u16string_view exportName)
{
    const Movie& movie = movieOf(parent);
    if (auto id = movie.exported(exportName))
        return id;
    for (const auto& [id, imported] : movie.imports)
        if (equalsFolded(imported.name, exportName))
            return id;
    return std::nullopt;
}

} // namespace lumbra::movie
