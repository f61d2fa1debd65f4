#include "tools/pack/PackageInspector.h"

#include "package/HexText.h"
#include "tools/pack/Manifest.h"
#include "tools/pack/ManifestText.h"
#include "tools/pack/MenuDescription.h"
#include "tools/pack/PackageBuilder.h"
#include "tools/pack/PackagerNote.h"
#include "tools/pack/SettingsFields.h"
#include "tools/pack/Utf8.h"

#include "package/AttachedArchive.h"
#include "package/MenuRecord.h"
#include "package/FileOutput.h"
#include "package/MovieList.h"
#include "package/PackageBlocks.h"
#include "package/PackageIdentity.h"
#include "package/PackagePaths.h"
#include "package/PackageResources.h"
#include "package/PackedBlock.h"
#include "package/PeResources.h"
#include "package/SettingsRecord.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

namespace lumbra::pack {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Embedded files of the settings land here while the record is decoded.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() / ("lumbra-inspect-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

ReportNode fieldValue(const SettingsField& field, ProjectSettings& settings)
{
    if (field.embeddedFile) {
        auto* path = std::get<PathText*>(field.get(settings));
        if (path->empty())
            return ReportObject{{"name", ""}, {"size", 0}};
        std::filesystem::path file = pathFromAnsi(path->view());
        std::error_code error;
        auto size = std::filesystem::file_size(file, error);
        return ReportObject{{"name", ansiToUtf8(ansiFromPath(file.filename()))}, {"size", std::int64_t(size)}};
    }
    return std::visit(
        [](auto* value) -> ReportNode {
            using T = std::remove_pointer_t<decltype(value)>;
            if constexpr (std::is_same_v<T, OptionalText>)
                return value->has_value() ? ReportNode(ansiToUtf8(**value)) : ReportNode();
            else if constexpr (std::is_same_v<T, PathText> || std::is_same_v<T, FixedText<32>>)
                return ansiToUtf8(value->view());
            else if constexpr (std::is_same_v<T, std::array<std::uint8_t, 16>>)
                return toHex(*value);
            else
                return std::int64_t(*value);
        },
        field.get(settings));
}

// The field's value as a manifest line gives it; nothing for an absent text
// or an embedded file (those are handled by the caller).
std::optional<std::string> manifestValue(const SettingsField& field, ProjectSettings& settings)
{
    return std::visit(
        [&](auto* value) -> std::optional<std::string> {
            using T = std::remove_pointer_t<decltype(value)>;
            if constexpr (std::is_same_v<T, OptionalText>) {
                return value->has_value() ? std::optional(ansiToUtf8(**value)) : std::nullopt;
            } else if constexpr (std::is_same_v<T, PathText> || std::is_same_v<T, FixedText<32>>) {
                return ansiToUtf8(value->view());
            } else if constexpr (std::is_same_v<T, std::array<std::uint8_t, 16>>) {
                return toHex(*value);
            } else if (field.bits) {
                char text[16];
                std::snprintf(text, sizeof text, "0x%X", unsigned(std::make_unsigned_t<T>(*value)));
                return std::string(text);
            } else {
                return std::to_string(*value);
            }
        },
        field.get(settings));
}

// A resource part as the manifest writes it: ids as digits alone.
std::string manifestPart(const ResourceId& id)
{
    return id.isNumber() ? std::to_string(id.number) : ansiToUtf8(id.text());
}

class Inspector {
public:
    Inspector(const std::filesystem::path& program, const std::optional<std::filesystem::path>& extractTo)
        : program_(program), extractTo_(extractTo)
    {
        std::ifstream in(program, std::ios::binary);
        image_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in.is_open() || in.bad() || !std::filesystem::is_regular_file(program))
            throw PackError(ansiFromPath(program) + ": cannot read the file");
        try {
            table_ = readPeResources(image_);
        } catch (const PlayerException& error) {
            throw PackError(ansiFromPath(program) + ": " + error.message());
        }
    }

    Inspection run()
    {
        Inspection result;
        result.report.emplace_back("file", ansiToUtf8(ansiFromPath(program_)));
        result.report.emplace_back("resources", resources());
        result.report.emplace_back("identity", identity());
        packageFiles();
        result.report.emplace_back("settings", settings());
        result.report.emplace_back("movies", movies());
        result.report.emplace_back("masks", masks());
        result.report.emplace_back("archive", archive());
        scripts();
        result.report.emplace_back("menus", menus());
        support();
        rawResources();
        for (const std::string& text : problems_)
            manifest_.comment("", "damaged: " + text);
        result.manifest = manifest_.str();
        result.problems = std::move(problems_);
        if (extractTo_ && !writeWholeFile(*extractTo_ / manifestName, asBytes(result.manifest)))
            throw PackError(ansiFromPath(*extractTo_ / manifestName) + ": cannot write the file");
        return result;
    }

private:
    void problem(const std::string& text) { problems_.push_back(ansiFromPath(program_) + ": " + text); }

    static std::span<const std::uint8_t> asBytes(std::string_view text)
    {
        return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
    }

    // A file the manifest names, relative to the project folder; written out
    // when extracting. A name that could leave the folder is refused.
    std::optional<std::string> carried(const std::string& relative, std::span<const std::uint8_t> bytes)
    {
        if (!isSafeRelativeName(relative)) {
            problem("'" + relative + "' cannot be a file name");
            return std::nullopt;
        }
        if (extractTo_) {
            std::filesystem::path target = *extractTo_ / pathFromAnsi(relative);
            std::error_code ignored;
            std::filesystem::create_directories(target.parent_path(), ignored);
            if (!writeWholeFile(target, bytes))
                throw PackError(ansiFromPath(target) + ": cannot write the file");
        }
        return ansiToUtf8(relative);
    }

    // The note of the packaging, if the program has one.
    std::optional<PackagerNote> note() const
    {
        auto bytes = table_.find(packageResourceType, packagerNoteName);
        return bytes ? std::optional(readPackagerNote(*bytes)) : std::nullopt;
    }

    std::optional<Bytes> unpacked(std::string_view name)
    {
        auto block = table_.find(packageResourceType, name);
        if (!block)
            return std::nullopt;
        try {
            return unpackBlockOrThrow(*block);
        } catch (const PlayerException& error) {
            problem("LUMBRA/" + std::string(name) + ": " + error.message());
            return std::nullopt;
        }
    }

    ReportNode resources()
    {
        ReportList list;
        for (const ResourceEntry& entry : table_.entries()) {
            ReportObject item{{"type", ansiToUtf8(entry.type.text())},
                              {"name", ansiToUtf8(entry.name.text())},
                              {"language", int(entry.language)},
                              {"size", std::int64_t(entry.data.size())}};
            // A library the package does not carry is a 1-byte placeholder.
            bool placeholder = entry.type.matches(supportResourceType) && entry.data.size() == 1;
            bool packed = looksPacked(entry.data);
            item.emplace_back("packed", packed);
            if (placeholder) {
                item.emplace_back("placeholder", true);
            } else if (packed) {
                try {
                    item.emplace_back("unpackedSize", std::int64_t(unpackBlockOrThrow(entry.data).size()));
                } catch (const PlayerException& error) {
                    item.emplace_back("error", error.message());
                    problem(entry.type.text() + "/" + entry.name.text() + ": " + error.message());
                }
            }
            manifest_.comment("", entry.type.text() + "/" + entry.name.text() + ": " +
                                      std::to_string(entry.data.size()) + " bytes" + (packed ? ", packed" : ""));
            list.push_back(std::move(item));
        }
        return list;
    }

    ReportNode identity()
    {
        auto block = table_.find(packageResourceType, "ID");
        if (!block) {
            problem("no package identity (LUMBRA/ID)");
            return {};
        }
        auto text = checkPackageIdentity(*block);
        if (!text)
            problem("the package identity does not hold");
        ReportObject node{{"valid", text.has_value()}};
        if (text) {
            manifest_.add("package", "identity", ansiToUtf8(*text));
            manifest_.add("package", "opaque", toHex(std::span<const std::uint8_t>(*block).subspan(block->size() - 32, 16)));
            ProfileLocation location = profileLocation(*text, "<application name>");
            node.emplace_back("text", ansiToUtf8(*text));
            node.emplace_back("registryKey", ansiToUtf8(location.registryKey));
            node.emplace_back("profileName", ansiToUtf8(location.profileName));
        }
        return node;
    }

    // The rest of [package]: the compression and the files the package carries.
    void packageFiles()
    {
        if (auto written = note())
            manifest_.add("package", "compression", std::to_string(written->compression));
        if (auto about = unpacked("BK"); about && carried("aboutPicture.bmp", *about))
            manifest_.add("package", "aboutPicture", "aboutPicture.bmp");
        if (auto control = unpacked("FP"); control && carried("flashControl.ocx", *control))
            manifest_.add("package", "flashControl", "flashControl.ocx");
    }

    ReportNode settings()
    {
        ReportObject node;
        if (auto stamp = table_.find(packageResourceType, "CS")) {
            node.emplace_back("stamp", toHex(*stamp));
            if (stamp->size() == 16)
                manifest_.add("package", "stamp", toHex(*stamp));
        }
        auto record = unpacked("ST");
        if (!record)
            return node;
        ScratchFolder scratch;
        ProjectSettings settings = readSettings(*record, scratch.path());
        for (const SettingsField& field : settingsFields()) {
            node.emplace_back(std::string(field.name), fieldValue(field, settings));
            if (field.embeddedFile)
                embeddedFile(field, settings);
            else if (auto value = manifestValue(field, settings))
                manifest_.add("settings", field.name, *value);
            else
                manifest_.comment("settings", std::string(field.name) + " is absent");
        }
        return node;
    }

    void embeddedFile(const SettingsField& field, ProjectSettings& settings)
    {
        auto* path = std::get<PathText*>(field.get(settings));
        if (path->empty())
            return manifest_.comment("settings", std::string(field.name) + ": none");
        std::filesystem::path file = pathFromAnsi(path->view());
        std::ifstream in(file, std::ios::binary);
        Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (auto name = carried(ansiFromPath(file.filename()), bytes))
            manifest_.add("settings", field.name, *name);
    }

    ReportNode movies()
    {
        auto block = unpacked("ML");
        if (!block)
            return {};
        auto record = readMovieListRecord(*block);
        if (record.error)
            problem("LUMBRA/ML: " + *record.error);
        bool embedded = (record.flags & MovieList::embedded) != 0;
        manifest_.add("movies", "mode", embedded ? "embedded" : "external");
        manifest_.add("movies", "random", (record.flags & MovieList::randomFirst) ? "yes" : "no");
        ReportList entries;
        for (const MovieRecord& entry : record.entries) {
            entries.push_back(ReportObject{{"kind", entry.kind},
                                           {"name", ansiToUtf8(entry.name)},
                                           {"size", std::int64_t(entry.content.size())}});
            movieLine(entry, embedded);
        }
        return ReportObject{{"flags", record.flags},
                            {"embedded", (record.flags & 0x2) != 0},
                            {"random", (record.flags & 0x1) != 0},
                            {"entries", std::move(entries)}};
    }

    // Plug-ins go to their own folder: a movie may share a plug-in's name.
    void movieLine(const MovieRecord& entry, bool embedded)
    {
        static constexpr std::string_view keys[] = {"movie", "plugin", "file"};
        if (entry.kind < 1 || entry.kind > 3)
            return problem("LUMBRA/ML: entry " + entry.name + " has the unknown kind " + std::to_string(entry.kind));
        std::string relative = (entry.kind == MovieEntry::plugIn ? "plugins/" : "") + entry.name;
        if (!embedded && isSafeRelativeName(relative))
            return manifest_.add("movies", keys[entry.kind - 1], ansiToUtf8(relative));
        if (auto name = carried(relative, entry.content))
            manifest_.add("movies", keys[entry.kind - 1], *name);
    }

    ReportNode masks()
    {
        auto block = unpacked("RG");
        if (!block)
            return {};
        auto record = readMaskRecord(*block);
        if (record.error)
            problem("LUMBRA/RG: " + *record.error);
        ReportList list;
        for (const MaskRecord& mask : record.entries) {
            list.push_back(ReportObject{{"name", ansiToUtf8(mask.name)}, {"size", std::int64_t(mask.content.size())}});
            if (auto name = carried("masks/" + mask.name + ".msk", mask.content))
                manifest_.add("masks", ansiToUtf8(mask.name), *name);
        }
        return list;
    }

    static void flatten(const ArchiveNode& node, const std::string& prefix, ReportList& list)
    {
        std::string path = prefix + ansiToUtf8(node.name) + (node.folder ? "/" : "");
        list.push_back(ReportObject{{"path", path}, {"storedSize", node.storedSize}});
        for (const ArchiveNode& child : node.children)
            flatten(child, path, list);
    }

    ReportNode archive()
    {
        try {
            auto tree = readArchiveTree(program_);
            if (!tree)
                return {};
            manifest_.add("archive", "folder", "archive");
            if (extractTo_)
                extractArchive(program_, *extractTo_ / "archive");
            ReportList list;
            for (const ArchiveNode& child : tree->children)
                flatten(child, "", list);
            return list;
        } catch (const PlayerException& error) {
            problem("archive: " + error.message());
            return {};
        }
    }

    void scripts()
    {
        for (const ResourceEntry& entry : table_.entries()) {
            if (!entry.type.matches(scriptResourceType))
                continue;
            auto image = unpackBlockSilently(entry.data);
            if (!image) // already named among the resources
                continue;
            if (auto name = carried("scripts/" + entry.name.text() + ".ovc", *image))
                manifest_.add("scripts", manifestPart(entry.name), *name);
        }
    }

    // Menus as [menus] lines; a block that holds more than the lines can say
    // is carried as it is, so that the rebuilt program keeps its bytes.
    ReportNode menus()
    {
        ReportList list;
        const std::optional<PackagerNote> written = note();
        for (const ResourceEntry& entry : table_.entries()) {
            std::string key = entry.type.text() + "/" + entry.name.text();
            if (!entry.type.matches(menuResourceType) ||
                (written && std::ranges::find(written->resources, key) != written->resources.end()))
                continue;
            auto content = unpackBlockSilently(entry.data);
            if (!content) // already named among the resources
                continue;
            MenuRecord menu;
            try {
                menu = readMenuRecord(*content);
            } catch (const PlayerException& error) {
                problem(key + ": " + error.message());
                continue;
            }
            list.push_back(ReportObject{{"name", ansiToUtf8(entry.name.text())}, {"menu", menuReport(menu)}});
            if (auto lines = describeMenu(entry.name.text(), menu)) {
                for (const auto& [lineKey, value] : *lines)
                    manifest_.add("menus", lineKey, value);
            } else if (auto name = carried("resources/" + manifestPart(entry.type) + "." + manifestPart(entry.name),
                                           entry.data)) {
                manifest_.comment("resources", key + " holds more than [menus] can describe");
                manifest_.add("resources", manifestPart(entry.type) + "/" + manifestPart(entry.name), "raw " + *name);
            }
        }
        return list;
    }

    void support()
    {
        static constexpr std::string_view libraries[] = {"MSVCRT.DLL", "OLEAUT32.DLL", "URLMON.DLL", "WININET.DLL"};
        for (std::size_t i = 0; i < std::size(libraries); ++i) {
            std::string name = "$" + std::to_string(i + 1);
            auto block = table_.find(supportResourceType, name);
            if (!block || block->size() == 1)
                continue;
            auto library = unpackBlockSilently(*block);
            if (library && carried("support/" + std::string(libraries[i]), *library))
                manifest_.add("support", name, "support/" + std::string(libraries[i]));
        }
    }

    // The resources a packaging added by name ([resources]), as raw bytes.
    void rawResources()
    {
        auto written = note();
        if (!written)
            return;
        for (const std::string& text : written->resources) {
            std::size_t slash = text.find('/');
            if (slash == std::string::npos)
                continue;
            const ResourceEntry* entry = table_.entry(text.substr(0, slash), text.substr(slash + 1));
            if (!entry)
                continue;
            std::string key = manifestPart(entry->type) + "/" + manifestPart(entry->name);
            std::string file = "resources/" + manifestPart(entry->type) + "." + manifestPart(entry->name);
            if (auto name = carried(file, entry->data))
                manifest_.add("resources", key, "raw " + *name);
        }
    }

    std::filesystem::path program_;
    std::optional<std::filesystem::path> extractTo_;
    ManifestText manifest_;
    Bytes image_;
    ResourceTable table_;
    std::vector<std::string> problems_;
};

} // namespace

Inspection inspectPackage(const std::filesystem::path& program, const std::optional<std::filesystem::path>& extractTo)
{
    if (extractTo) {
        std::error_code error;
        std::filesystem::create_directories(*extractTo, error);
        if (error)
            throw PackError(ansiFromPath(*extractTo) + ": cannot create the folder");
    }
    return Inspector(program, extractTo).run();
}

} // namespace lumbra::pack
