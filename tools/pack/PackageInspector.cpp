#include "tools/pack/PackageInspector.h"

#include "package/HexText.h"
#include "tools/pack/Manifest.h"
#include "tools/pack/SettingsFields.h"
#include "tools/pack/Utf8.h"

#include "package/AttachedArchive.h"
#include "package/PackageBlocks.h"
#include "package/PackageIdentity.h"
#include "package/PackagePaths.h"
#include "package/PackageResources.h"
#include "package/PackedBlock.h"
#include "package/PeResources.h"
#include "package/SettingsRecord.h"

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

class Inspector {
public:
    explicit Inspector(const std::filesystem::path& program) : program_(program)
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
        result.report.emplace_back("settings", settings());
        result.report.emplace_back("movies", movies());
        result.report.emplace_back("masks", masks());
        result.report.emplace_back("archive", archive());
        result.problems = std::move(problems_);
        return result;
    }

private:
    void problem(const std::string& text) { problems_.push_back(ansiFromPath(program_) + ": " + text); }

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
            ProfileLocation location = profileLocation(*text, "<application name>");
            node.emplace_back("text", ansiToUtf8(*text));
            node.emplace_back("registryKey", ansiToUtf8(location.registryKey));
            node.emplace_back("profileName", ansiToUtf8(location.profileName));
        }
        return node;
    }

    ReportNode settings()
    {
        ReportObject node;
        if (auto stamp = table_.find(packageResourceType, "CS"))
            node.emplace_back("stamp", toHex(*stamp));
        auto record = unpacked("ST");
        if (!record)
            return node;
        ScratchFolder scratch;
        ProjectSettings settings = readSettings(*record, scratch.path());
        for (const SettingsField& field : settingsFields())
            node.emplace_back(std::string(field.name), fieldValue(field, settings));
        return node;
    }

    ReportNode movies()
    {
        auto block = unpacked("ML");
        if (!block)
            return {};
        auto record = readMovieListRecord(*block);
        if (record.error)
            problem("LUMBRA/ML: " + *record.error);
        ReportList entries;
        for (const MovieRecord& entry : record.entries)
            entries.push_back(ReportObject{{"kind", entry.kind},
                                           {"name", ansiToUtf8(entry.name)},
                                           {"size", std::int64_t(entry.content.size())}});
        return ReportObject{{"flags", record.flags},
                            {"embedded", (record.flags & 0x2) != 0},
                            {"random", (record.flags & 0x1) != 0},
                            {"entries", std::move(entries)}};
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
        for (const MaskRecord& mask : record.entries)
            list.push_back(ReportObject{{"name", ansiToUtf8(mask.name)}, {"size", std::int64_t(mask.content.size())}});
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
            ReportList list;
            for (const ArchiveNode& child : tree->children)
                flatten(child, "", list);
            return list;
        } catch (const PlayerException& error) {
            problem("archive: " + error.message());
            return {};
        }
    }

    std::filesystem::path program_;
    Bytes image_;
    ResourceTable table_;
    std::vector<std::string> problems_;
};

} // namespace

Inspection inspectPackage(const std::filesystem::path& program)
{
    return Inspector(program).run();
}

} // namespace lumbra::pack
