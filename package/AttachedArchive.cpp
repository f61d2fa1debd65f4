#include "package/AttachedArchive.h"

#include "package/AnsiText.h"
#include "package/ByteReader.h"
#include "package/ByteWriter.h"
#include "package/InflateStream.h"
#include "package/PackagePaths.h"
#include "package/PlayerException.h"
#include "package/StoredText.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

namespace lumbra {

namespace {

constexpr std::uint8_t magic[4] = {'S', 'A', 'F', 0};
constexpr std::string_view rootName = "Application";
constexpr int maxDepth = 64; // nesting deeper than this is taken as damage
constexpr std::size_t chunkSize = 4096;
constexpr std::uint64_t maxNameUnits = 32768;

bool sameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

struct Entry {
    bool folder = false;
    std::string name;
    std::uint64_t start = 0; // of the content
    std::uint32_t size = 0;
    std::uint64_t end() const { return start + size; }
};

class ArchiveFile {
public:
    explicit ArchiveFile(const std::filesystem::path& program) : in_(program, std::ios::binary)
    {
        std::error_code error;
        size_ = std::filesystem::file_size(program, error);
        if (!in_ || error)
            throw PlayerException("Cannot open " + ansiFromPath(program));
    }

    // The offset of the magic, when the file ends like an archive.
    std::optional<std::uint64_t> start()
    {
        if (size_ < 8 || u32At(size_ - 4) == 0)
            return std::nullopt;
        std::uint64_t length = u32At(size_ - 8);
        if (length + 12 > size_)
            return std::nullopt;
        std::uint64_t at = size_ - 8 - length;
        std::uint8_t found[4];
        read(at, found);
        if (!std::equal(std::begin(found), std::end(found), std::begin(magic)))
            return std::nullopt;
        return at;
    }

    // The root entry, or nothing when the file carries no archive.
    std::optional<Entry> root()
    {
        auto at = start();
        if (!at)
            return std::nullopt;
        std::uint64_t position = *at + 4;
        auto entry = next(position, size_ - 8);
        if (!entry || !entry->folder || !sameName(entry->name, rootName))
            return std::nullopt;
        return entry;
    }

    // The entry at position (advanced past it), or nothing when its header or
    // content would run past the end of the folder.
    std::optional<Entry> next(std::uint64_t& position, std::uint64_t end)
    {
        if (position + 8 > end)
            return std::nullopt;
        Entry entry;
        entry.folder = u32At(position) != 0;
        std::uint64_t count = u32At(position + 4);
        if (count > maxNameUnits || count * 2 + 4 > end - position - 8)
            return std::nullopt;
        std::vector<std::uint8_t> text(std::size_t(4 + count * 2));
        storeU32(text.data(), std::uint32_t(count));
        read(position + 8, std::span(text).subspan(4));
        ByteReader reader(text);
        entry.name = readStoredText(reader).value_or("");
        std::uint64_t sizeAt = position + 8 + count * 2;
        entry.size = u32At(sizeAt);
        entry.start = sizeAt + 4;
        if (entry.end() > end)
            return std::nullopt;
        position = entry.end();
        return entry;
    }

    std::optional<Entry> find(const Entry& folder, std::string_view name)
    {
        std::uint64_t position = folder.start;
        while (auto entry = next(position, folder.end()))
            if (sameName(entry->name, name))
                return entry;
        return std::nullopt;
    }

    // Inflates a file entry to target, checking its CRC-32. False (and no
    // file) on a mismatch; zlib and I/O errors throw, leaving no file.
    bool extract(const Entry& file, const std::filesystem::path& target)
    {
        if (file.size < 4)
            throw CZipException(Z_DATA_ERROR);
        bool good = false;
        try {
            good = inflateTo(file, target);
        } catch (const PlayerException&) {
            discard(target);
            throw;
        }
        if (!good)
            discard(target);
        return good;
    }

    void extractFolder(const Entry& folder, const std::filesystem::path& target, int depth)
    {
        if (depth > maxDepth)
            throw PlayerException("The archive is nested too deeply");
        std::filesystem::create_directories(target);
        std::uint64_t position = folder.start;
        while (auto entry = next(position, folder.end())) {
            auto child = pathInside(target, entry->name);
            if (!child || entry->name.find_first_of("\\/") != std::string::npos)
                throw PlayerException("Invalid name in the archive: " + entry->name);
            if (entry->folder)
                extractFolder(*entry, *child, depth + 1);
            else if (!std::filesystem::exists(*child) && !extract(*entry, *child))
                throw PlayerException("Damaged file in the archive: " + entry->name);
        }
        if (position != folder.end())
            throw runsPast(folder);
    }

    ArchiveNode tree(const Entry& entry, int depth)
    {
        if (depth > maxDepth)
            throw PlayerException("The archive is nested too deeply");
        ArchiveNode node{entry.name, entry.folder, entry.size, {}};
        if (entry.folder) {
            std::uint64_t position = entry.start;
            while (auto child = next(position, entry.end()))
                node.children.push_back(tree(*child, depth + 1));
            if (position != entry.end())
                throw runsPast(entry);
        }
        return node;
    }

private:
    static PlayerException runsPast(const Entry& folder)
    {
        return PlayerException("The archive is damaged: an entry in the folder " + folder.name +
                               " runs past the folder's end");
    }

    static void discard(const std::filesystem::path& target)
    {
        std::error_code ignored;
        std::filesystem::remove(target, ignored);
    }

    bool inflateTo(const Entry& file, const std::filesystem::path& target)
    {
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        if (!out)
            throw PlayerException("Cannot write " + ansiFromPath(target));
        InflateStream stream;
        std::uint8_t input[chunkSize], output[chunkSize];
        std::uint64_t position = file.start, packedEnd = file.end() - 4;
        uLong crc = crc32(0, nullptr, 0);
        int code = Z_OK;
        while (code != Z_STREAM_END) {
            if (stream->avail_in == 0) {
                if (position == packedEnd)
                    throw CZipException(Z_DATA_ERROR); // the stream stops short
                std::size_t take = std::size_t(std::min<std::uint64_t>(chunkSize, packedEnd - position));
                read(position, std::span(input, take));
                position += take;
                stream->next_in = input;
                stream->avail_in = uInt(take);
            }
            stream->next_out = output;
            stream->avail_out = uInt(chunkSize);
            code = stream.inflate(Z_NO_FLUSH);
            if (code != Z_OK && code != Z_STREAM_END)
                throw CZipException(code);
            std::size_t produced = chunkSize - stream->avail_out;
            crc = crc32(crc, output, uInt(produced));
            if (!out.write(reinterpret_cast<const char*>(output), std::streamsize(produced)))
                throw PlayerException("Cannot write " + ansiFromPath(target));
        }
        if (!out.flush())
            throw PlayerException("Cannot write " + ansiFromPath(target));
        return u32At(file.end() - 4) == std::uint32_t(crc);
    }

    void read(std::uint64_t at, std::span<std::uint8_t> bytes)
    {
        in_.clear();
        in_.seekg(std::streamoff(at));
        if (!in_.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size())))
            throw PlayerException("Cannot read the program file");
    }

    std::uint32_t u32At(std::uint64_t at)
    {
        std::uint8_t bytes[4];
        read(at, bytes);
        return loadU32(bytes);
    }

    std::ifstream in_;
    std::uint64_t size_ = 0;
};

std::vector<std::string> components(std::string_view path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!part.empty())
                parts.push_back(std::move(part));
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty())
        parts.push_back(std::move(part));
    return parts;
}

std::filesystem::path withTrailingSeparator(const std::filesystem::path& folder)
{
    return folder / "";
}

std::filesystem::path fromProgramFolder(const std::filesystem::path& programFile, const std::vector<std::string>& parts)
{
    std::filesystem::path path = programFile.parent_path();
    for (const std::string& part : parts)
        path /= pathFromAnsi(part);
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return withTrailingSeparator(path);
    return std::filesystem::exists(path, error) ? path : std::filesystem::path();
}

} // namespace

std::filesystem::path extractAdditionalFile(const std::filesystem::path& programFile, std::string_view relativePath,
                                            const std::filesystem::path& workingFolder, ErrorReporter& reporter)
{
    std::string trimmed(relativePath);
    trimmed.erase(0, trimmed.find_first_not_of("\\/"));
    std::vector<std::string> parts = components(trimmed);
    if (parts.empty() || !isSafeRelativeName(trimmed))
        return {};
    try {
        ArchiveFile archive(programFile);
        auto folder = archive.root();
        if (!folder)
            return fromProgramFolder(programFile, parts);
        std::filesystem::path target = workingFolder / "_extra";
        std::filesystem::create_directories(target);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            auto entry = archive.find(*folder, parts[i]);
            if (!entry)
                return {};
            target /= pathFromAnsi(entry->name);
            if (!entry->folder) {
                if (i + 1 != parts.size())
                    return {}; // a file where a folder was asked for
                if (std::filesystem::exists(target))
                    return target;
                return archive.extract(*entry, target) ? target : std::filesystem::path();
            }
            std::filesystem::create_directories(target);
            folder = entry;
        }
        archive.extractFolder(*folder, target, 0);
        return withTrailingSeparator(target);
    } catch (const PlayerException& error) {
        reporter.report(error.message());
    } catch (const std::filesystem::filesystem_error& error) {
        reporter.report(error.what());
    }
    return {};
}

std::optional<ArchiveNode> readArchiveTree(const std::filesystem::path& programFile)
{
    ArchiveFile archive(programFile);
    auto root = archive.root();
    if (root)
        return archive.tree(*root, 0);
    // The player serves such a file from its own folder; for inspection an
    // archive whose magic is in place but whose root is not is damaged.
    if (archive.start())
        throw PlayerException("The archive is damaged: its root folder entry is missing or does not fit");
    return std::nullopt;
}

bool extractArchive(const std::filesystem::path& programFile, const std::filesystem::path& folder)
{
    ArchiveFile archive(programFile);
    auto root = archive.root();
    if (!root)
        return false;
    archive.extractFolder(*root, folder, 0);
    return true;
}

std::optional<std::uint64_t> archiveStart(const std::filesystem::path& programFile)
{
    return ArchiveFile(programFile).start();
}

namespace {

void writeEntry(ByteWriter& out, std::string_view name, bool folder, std::span<const std::uint8_t> content)
{
    out.u32(folder ? 1 : 0);
    writeStoredText(out, name);
    out.u32(std::uint32_t(content.size()));
    out.bytes(content);
}

std::vector<std::uint8_t> folderContent(const std::filesystem::path& folder, int level, int depth)
{
    if (depth > maxDepth)
        throw PlayerException("Folder nested too deeply: " + ansiFromPath(folder));
    std::vector<std::filesystem::directory_entry> children(std::filesystem::directory_iterator(folder), {});
    std::ranges::sort(children, {}, [](const auto& e) { return e.path().filename(); });
    ByteWriter out;
    for (const auto& child : children) {
        std::string name = ansiFromPath(child.path().filename());
        if (child.is_directory()) {
            writeEntry(out, name, true, folderContent(child.path(), level, depth + 1));
            continue;
        }
        std::ifstream in(child.path(), std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.is_open() || in.bad())
            throw PlayerException("Cannot read " + ansiFromPath(child.path()));
        uLongf packedSize = compressBound(uLong(bytes.size()));
        std::vector<std::uint8_t> packed(packedSize + 4);
        int code = compress2(packed.data(), &packedSize, bytes.data(), uLong(bytes.size()), level);
        if (code != Z_OK)
            throw CZipException(code);
        packed.resize(packedSize + 4);
        storeU32(&packed[packedSize], std::uint32_t(crc32(0, bytes.data(), uInt(bytes.size()))));
        writeEntry(out, name, false, packed);
    }
    return out.release();
}

} // namespace

std::vector<std::uint8_t> buildArchive(const std::filesystem::path& folder, int level)
{
    ByteWriter root;
    writeEntry(root, rootName, true, folderContent(folder, level, 0));
    ByteWriter out;
    out.bytes(magic);
    out.bytes(root.data());
    out.u32(std::uint32_t(sizeof magic + root.data().size())); // the reader finds the magic B bytes back
    out.u32(1);
    return out.release();
}

} // namespace lumbra
