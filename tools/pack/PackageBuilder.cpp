#include "tools/pack/PackageBuilder.h"

#include "package/HexText.h"
#include "tools/pack/ContentChecks.h"
#include "tools/pack/Manifest.h"
#include "tools/pack/MaskPicture.h"
#include "tools/pack/MenuDescription.h"
#include "tools/pack/PackagerNote.h"
#include "tools/pack/SettingsFields.h"
#include "tools/pack/Utf8.h"

#include "package/AttachedArchive.h"
#include "package/Md5.h"
#include "package/MenuRecord.h"
#include "package/MovieList.h"
#include "package/PackageBlocks.h"
#include "package/PackageIdentity.h"
#include "package/PackagePaths.h"
#include "package/PackageResources.h"
#include "package/PeResources.h"
#include "package/SettingsRecord.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>
#include <set>

namespace lumbra::pack {

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readBinary(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad() || !std::filesystem::is_regular_file(file))
        throw PackError(ansiFromPath(file) + ": cannot read the file");
    return bytes;
}

class Builder {
public:
    Builder(const BuildRequest& request, const ScriptCompilers& compilers)
        : request_(request), compilers_(compilers),
          manifest_(Manifest::load(request.project / manifestName)), player_(readBinary(request.player))
    {
        checkSections();
        // An archive appended by an earlier packaging would otherwise travel
        // on as bytes after the sections.
        if (auto start = archiveStart(request.player)) {
            player_.resize(std::size_t(*start));
            earlier_.push_back("its archive");
        }
        if (auto* entry = manifest_.single("package", "compression")) {
            auto [end, error] = std::from_chars(entry->value.data(), entry->value.data() + entry->value.size(), level_);
            if (error != std::errc() || end != entry->value.data() + entry->value.size() || level_ < 0 || level_ > 9)
                manifest_.fail(*entry, "compression must be 0 to 9");
        }
    }

    Bytes build()
    {
        ResourceTable table;
        try {
            table = readPeResources(player_);
        } catch (const PlayerException& error) {
            throw PackError(ansiFromPath(request_.player) + ": " + error.message());
        }
        std::vector<std::string> removed = stripEarlierPackaging(table);
        earlier_.insert(earlier_.begin(), removed.begin(), removed.end());
        note_.compression = level_;
        identity(table);
        settings(table);
        movies(table);
        masks(table);
        optionalBlocks(table);
        support(table);
        scripts(table);
        menus(table);
        rawResources(table);
        put(table, packageResourceType, packagerNoteName, writePackagerNote(note_));
        Bytes program;
        try {
            program = writePeResources(player_, table);
        } catch (const PlayerException& error) {
            throw PackError(ansiFromPath(request_.player) + ": " + error.message());
        }
        if (auto* folder = manifest_.single("archive", "folder")) {
            std::filesystem::path source = projectPath(*folder);
            if (!std::filesystem::is_directory(source))
                manifest_.fail(*folder, ansiFromPath(source) + " is not a folder");
            Bytes archive = buildArchive(source, level_);
            program.insert(program.end(), archive.begin(), archive.end());
        }
        table_ = std::move(table);
        return program;
    }

    // What the player file carried from an earlier packaging and the new
    // program leaves out ("TYPE/NAME", "its archive").
    const std::vector<std::string>& earlierPackaging() const { return earlier_; }
    // The resources the program was built to carry, for reading it back.
    const ResourceTable& resources() const { return table_; }

private:
    // Misspelt sections and keys are errors rather than silently ignored.
    void checkSections() const
    {
        static const std::set<std::string> sections = {"package", "settings", "movies",    "masks",
                                                       "scripts", "support",  "resources", "archive",
                                                       "menus"};
        static const std::set<std::string> packageKeys = {"identity",     "opaque",      "stamp",
                                                          "compression", "aboutPicture", "flashControl"};
        for (const ManifestEntry& entry : manifest_.entries()) {
            if (!sections.contains(entry.section))
                manifest_.fail(entry, "unknown section [" + entry.section + "]");
            if (entry.section == "package" && !packageKeys.contains(entry.key))
                manifest_.fail(entry, "unknown key '" + entry.key + "' in [package]");
            if (entry.section == "archive" && entry.key != "folder")
                manifest_.fail(entry, "unknown key '" + entry.key + "' in [archive]");
        }
    }

    std::filesystem::path projectPath(const ManifestEntry& entry) const
    {
        std::filesystem::path path = pathFromAnsi(utf8ToAnsi(entry.value));
        return path.is_absolute() ? path : request_.project / path;
    }

    Bytes fileOf(const ManifestEntry& entry) const
    {
        std::filesystem::path path = projectPath(entry);
        if (!std::filesystem::is_regular_file(path))
            manifest_.fail(entry, ansiFromPath(path) + " is not a file");
        return readBinary(path);
    }

    void put(ResourceTable& table, std::string_view type, std::string_view name, Bytes bytes)
    {
        table.put(ResourceId::fromText(type), ResourceId::fromText(name), std::move(bytes));
    }

    void identity(ResourceTable& table)
    {
        const ManifestEntry* text = manifest_.single("package", "identity");
        if (!text)
            throw PackError(ansiFromPath(request_.project / manifestName) + ": [package] identity is required");
        std::array<std::uint8_t, 16> opaque{};
        if (auto* entry = manifest_.single("package", "opaque"); entry && !parseHex16(entry->value, opaque))
            manifest_.fail(*entry, "opaque must be 32 hexadecimal digits");
        put(table, packageResourceType, "ID", makePackageIdentity(utf8ToAnsi(text->value), opaque));
    }

    void settings(ResourceTable& table)
    {
        ProjectSettings settings = defaultSettings();
        for (const ManifestEntry* entry : manifest_.section("settings")) {
            const SettingsField* field = findSettingsField(entry->key);
            if (!field)
                manifest_.fail(*entry, "unknown setting '" + entry->key + "'");
            std::string value = entry->value;
            if (field->embeddedFile && !value.empty()) {
                std::filesystem::path file = projectPath(*entry);
                if (!std::filesystem::is_regular_file(file))
                    manifest_.fail(*entry, ansiFromPath(file) + " is not a file");
                value = ansiToUtf8(ansiFromPath(std::filesystem::absolute(file)));
            }
            if (!setField(*field, settings, value))
                manifest_.fail(*entry, "'" + entry->value + "' does not fit " + entry->key);
        }
        Bytes record = writeSettings(settings);
        std::array<std::uint8_t, 16> stamp = md5(record);
        if (auto* entry = manifest_.single("package", "stamp"); entry && !parseHex16(entry->value, stamp))
            manifest_.fail(*entry, "stamp must be 32 hexadecimal digits");
        put(table, packageResourceType, "ST", packBlock(record, level_));
        put(table, packageResourceType, "CS", Bytes(stamp.begin(), stamp.end()));
    }

    void movies(ResourceTable& table)
    {
        std::uint32_t flags = MovieList::embedded;
        if (auto* mode = manifest_.single("movies", "mode")) {
            if (mode->value != "embedded" && mode->value != "external")
                manifest_.fail(*mode, "mode is embedded or external");
            flags = mode->value == "embedded" ? MovieList::embedded : 0;
        }
        if (auto* random = manifest_.single("movies", "random")) {
            if (random->value != "yes" && random->value != "no")
                manifest_.fail(*random, "random is yes or no");
            flags |= random->value == "yes" ? MovieList::randomFirst : 0;
        }
        std::vector<MovieRecord> entries;
        std::set<std::string> names;
        for (const ManifestEntry* entry : manifest_.section("movies")) {
            if (entry->key == "mode" || entry->key == "random")
                continue;
            MovieRecord record = movieEntry(*entry, names);
            if (flags & MovieList::embedded) {
                record.content = fileOf(*entry);
                if (record.kind == MovieEntry::movie)
                    check(*entry, movieProblem(record.content));
            }
            entries.push_back(std::move(record));
        }
        put(table, packageResourceType, "ML", packBlock(writeMovieListRecord(flags, entries), level_));
    }

    MovieRecord movieEntry(const ManifestEntry& entry, std::set<std::string>& names) const
    {
        std::uint32_t kind;
        if (entry.key == "movie")
            kind = MovieEntry::movie;
        else if (entry.key == "plugin")
            kind = MovieEntry::plugIn;
        else if (entry.key == "file")
            kind = 3;
        else
            manifest_.fail(entry, "unknown key '" + entry.key + "' (movie, plugin, file, mode, random)");
        std::string name = ansiFromPath(pathFromAnsi(utf8ToAnsi(entry.value)).filename());
        if (!isSafeRelativeName(name))
            manifest_.fail(entry, "'" + entry.value + "' does not name a file");
        if (!names.insert((kind == MovieEntry::plugIn ? "Plug_Ins\\" : "") + name).second)
            manifest_.fail(entry, "a second file named '" + name + "'");
        return {kind, name, {}};
    }

    void masks(ResourceTable& table)
    {
        std::vector<MaskRecord> masks;
        for (const ManifestEntry* entry : manifest_.section("masks")) {
            std::string name = utf8ToAnsi(entry->key);
            if (!isSafeRelativeName(name + ".msk") || name.find_first_of("\\/") != std::string::npos)
                manifest_.fail(*entry, "'" + entry->key + "' cannot name a mask");
            Bytes content = maskOf(*entry);
            check(*entry, maskProblem(content));
            masks.push_back({name, std::move(content)});
        }
        put(table, packageResourceType, "RG", packBlock(writeMaskRecord(masks), level_));
    }

    // A mask file as it is, or a PNG picture turned into one by its alpha.
    Bytes maskOf(const ManifestEntry& entry) const
    {
        Bytes content = fileOf(entry);
        if (!isPng(content))
            return content;
        try {
            return maskFile(maskFromPicture(content, MaskRule{}));
        } catch (const PackError& error) {
            manifest_.fail(entry, error.what());
        }
    }

    void optionalBlocks(ResourceTable& table)
    {
        if (auto* entry = manifest_.single("package", "aboutPicture"))
            put(table, packageResourceType, "BK", packBlock(fileOf(*entry), level_));
        if (auto* entry = manifest_.single("package", "flashControl")) {
            Bytes control = fileOf(*entry);
            check(*entry, controlLibraryProblem(control));
            put(table, packageResourceType, "FP", packBlock(control, level_));
        }
    }

    // Libraries the package does not carry are 1-byte placeholders.
    void support(ResourceTable& table)
    {
        for (const ManifestEntry* entry : manifest_.section("support"))
            if (entry->key != "$1" && entry->key != "$2" && entry->key != "$3" && entry->key != "$4")
                manifest_.fail(*entry, "support libraries are $1 to $4");
        for (std::string_view name : {"$1", "$2", "$3", "$4"}) {
            auto* entry = manifest_.single("support", name);
            put(table, supportResourceType, name, entry ? packBlock(fileOf(*entry), level_) : Bytes{0});
        }
    }

    void scripts(ResourceTable& table)
    {
        for (const ManifestEntry* entry : manifest_.section("scripts")) {
            std::filesystem::path script = projectPath(*entry);
            if (!std::filesystem::is_regular_file(script))
                manifest_.fail(*entry, ansiFromPath(script) + " is not a file");
            Bytes image;
            try {
                image = compilers_.compile(script);
            } catch (const PackError& error) {
                manifest_.fail(*entry, error.what());
            }
            put(table, scriptResourceType, utf8ToAnsi(entry->key), packBlock(image, level_));
        }
    }

    void menus(ResourceTable& table)
    {
        for (const NamedMenu& menu : menusOf(manifest_))
            put(table, menuResourceType, menu.name, packBlock(writeMenuRecord(menu.menu), level_));
    }

    // A manifest line cannot start with "#" (a comment), so digits alone
    // stand for an integer id there.
    static std::string resourcePart(const std::string& text)
    {
        bool digits = std::ranges::all_of(text, [](unsigned char c) { return std::isdigit(c); });
        return digits ? "#" + text : utf8ToAnsi(text);
    }

    // "TYPE/NAME = [packed|raw] FILE"
    void rawResources(ResourceTable& table)
    {
        for (const ManifestEntry* entry : manifest_.section("resources")) {
            std::size_t slash = entry->key.find('/');
            if (slash == std::string::npos || slash == 0 || slash + 1 == entry->key.size())
                manifest_.fail(*entry, "resources are named TYPE/NAME");
            std::string value = entry->value;
            bool packed = false;
            for (std::string_view form : {"packed ", "raw "})
                if (value.starts_with(form)) {
                    packed = form == "packed ";
                    value.erase(0, form.size());
                }
            ManifestEntry file = *entry;
            file.value = value;
            Bytes bytes = fileOf(file);
            ResourceId type = ResourceId::fromText(resourcePart(entry->key.substr(0, slash)));
            ResourceId name = ResourceId::fromText(resourcePart(entry->key.substr(slash + 1)));
            note_.resources.push_back(type.text() + "/" + name.text());
            table.put(type, name, packed ? packBlock(bytes, level_) : std::move(bytes));
        }
    }

    // A file that is not what its manifest entry says it is stops the build.
    void check(const ManifestEntry& entry, const std::optional<std::string>& problem) const
    {
        if (problem)
            manifest_.fail(entry, entry.value + ": " + *problem);
    }

    const BuildRequest& request_;
    const ScriptCompilers& compilers_;
    Manifest manifest_;
    Bytes player_;
    int level_ = 9;
    PackagerNote note_;
    std::vector<std::string> earlier_;
    ResourceTable table_;
};

// The written program must give back what was packed: every resource byte
// for byte (identity, settings, movie list, scripts...), a holding identity,
// packed blocks that unpack, and an archive that reads whole.
void verifyProgram(const std::filesystem::path& file, const Bytes& program, const ResourceTable& expected)
{
    auto fail = [&](const std::string& why) {
        throw PackError(ansiFromPath(file) + ": the written program does not read back: " + why);
    };
    ResourceTable written;
    try {
        written = readPeResources(program);
    } catch (const PlayerException& error) {
        fail(error.message());
    }
    auto sameKey = [](const ResourceEntry& a, const ResourceEntry& b) {
        return a.type.sameAs(b.type) && a.name.sameAs(b.name) && a.language == b.language;
    };
    auto firstOf = [&](const std::vector<ResourceEntry>& entries, const ResourceEntry& key) {
        auto found = std::ranges::find_if(entries, [&](const ResourceEntry& e) { return sameKey(e, key); });
        return found == entries.end() ? nullptr : &*found;
    };
    for (const ResourceEntry& entry : expected.entries()) {
        if (firstOf(expected.entries(), entry) != &entry)
            continue; // a duplicate: the image keeps the first
        std::string name = entry.type.text() + "/" + entry.name.text();
        const ResourceEntry* found = firstOf(written.entries(), entry);
        if (!found || found->data != entry.data)
            fail(name + (found ? " differs" : " is missing"));
        if (looksPacked(found->data) && !unpackBlockSilently(found->data))
            fail(name + " does not unpack");
    }
    auto identity = written.find(packageResourceType, "ID");
    if (!identity || !checkPackageIdentity(*identity))
        fail("the package identity does not hold");
    try {
        readArchiveTree(file);
    } catch (const PlayerException& error) {
        fail(error.message());
    }
}

// The partial output, removed unless it became the output.
class PartialFile {
public:
    explicit PartialFile(const std::filesystem::path& output) : path_(output) { path_ += ".partial"; }
    ~PartialFile()
    {
        std::error_code ignored;
        if (!kept_)
            std::filesystem::remove(path_, ignored);
    }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;
    const std::filesystem::path& path() const { return path_; }
    void keep() { kept_ = true; }

private:
    std::filesystem::path path_;
    bool kept_ = false;
};

// The output appears only once it is written whole, executable, and read
// back as the program that was built.
void writeVerified(const std::filesystem::path& output, const Bytes& bytes, const ResourceTable& resources)
{
    PartialFile partial(output);
    {
        std::ofstream out(partial.path(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out.flush())
            throw PackError(ansiFromPath(output) + ": cannot write the output");
    }
    verifyProgram(partial.path(), bytes, resources);
    using std::filesystem::perms;
    std::error_code error;
    std::filesystem::permissions(partial.path(), perms::owner_exec | perms::group_exec | perms::others_exec,
                                 std::filesystem::perm_options::add, error);
    if (!error)
        std::filesystem::rename(partial.path(), output, error);
    if (error)
        throw PackError(ansiFromPath(output) + ": cannot write the output");
    partial.keep();
}

} // namespace

void buildPackage(const BuildRequest& request, const ScriptCompilers& compilers, std::ostream& log)
{
    try {
        Builder builder(request, compilers);
        Bytes program = builder.build();
        if (!builder.earlierPackaging().empty()) {
            std::string list;
            for (const std::string& item : builder.earlierPackaging())
                list += (list.empty() ? "" : ", ") + item;
            log << "lumbra-pack: " << ansiToUtf8(ansiFromPath(request.player))
                << " was already packaged; left out what that packaging added: " << ansiToUtf8(list) << "\n";
        }
        writeVerified(request.output, program, builder.resources());
        log << "lumbra-pack: wrote " << ansiToUtf8(ansiFromPath(request.output)) << " (" << program.size()
            << " bytes)\n";
    } catch (const PlayerException& error) {
        throw PackError(error.message());
    }
}

} // namespace lumbra::pack
