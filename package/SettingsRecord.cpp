#include "package/SettingsRecord.h"

#include "package/FileOutput.h"
#include "package/PackagePaths.h"

#include <fstream>
#include <iterator>

namespace lumbra {

namespace {

class SettingsReader {
public:
    SettingsReader(std::span<const std::uint8_t> record, const std::filesystem::path& workingFolder)
        : in_(record), workingFolder_(workingFolder)
    {
    }

    std::uint32_t u32() { return in_.u32(); }
    std::uint16_t u16() { return in_.u16(); }
    OptionalText text() { return readStoredText(in_); }

    template <std::size_t Size>
    void fixedText(FixedText<Size>& target)
    {
        target.assign(text().value_or(""));
    }

    void font(LogFont& font)
    {
        font.height = in_.i32();
        font.width = in_.i32();
        font.escapement = in_.i32();
        font.orientation = in_.i32();
        font.weight = in_.i32();
        for (std::uint8_t* byte : {&font.italic, &font.underline, &font.strikeOut, &font.charSet, &font.outPrecision,
                                   &font.clipPrecision, &font.quality, &font.pitchAndFamily})
            *byte = in_.u8();
        fixedText(font.faceName);
    }

    void raw(std::span<std::uint8_t> target)
    {
        auto bytes = in_.bytes(target.size());
        std::copy(bytes.begin(), bytes.end(), target.begin());
    }

    // A file that cannot be placed safely or written is skipped, so the rest
    // of the record still reads; content cut off by the record's end is the
    // end of the record.
    void embeddedFile(PathText& path)
    {
        std::string name = text().value_or("");
        std::uint32_t size = in_.u32();
        if (size == 0)
            return;
        auto content = in_.bytes(size);
        auto target = pathInside(workingFolder_, name);
        if (!target)
            return;
        std::string kept = ansiFromPath(*target);
        if (kept.size() > PathText::capacity || !writeWholeFile(*target, content))
            return;
        path.assign(kept);
    }

private:
    ByteReader in_;
    const std::filesystem::path& workingFolder_;
};

void readGroups(SettingsReader& in, ProjectSettings& s)
{
    for (OptionalText* text : {&s.productName, &s.reservedText1, &s.companyName, &s.legalNotice, &s.reservedText2,
                               &s.reservedText3, &s.version})
        *text = in.text();

    s.windowShape = in.u32();
    s.borderStyle = in.u32();
    s.borderIcons = in.u32();
    s.scaleMode = in.u32();
    in.fixedText(s.shapeMaskFile);
    in.fixedText(s.caption);

    s.windowSize = in.u32();
    s.customWidth = in.u16();
    s.customHeight = in.u16();
    s.pos = in.u32();
    s.customX = in.u16();
    s.customY = in.u16();
    s.bKeepRatio = in.u32();

    s.lBtnClk = in.u32();
    s.rBtnClk = in.u32();
    s.keyPress = in.u32();
    s.exitKeys = in.u32();
    s.interactionFlags = in.u32();
    s.hotKeyCode = in.u16();
    s.hotKeyModifiers = in.u16();

    s.contextMenuFlags = in.u32();
    s.behaviourFlags = in.u32();

    s.miscFlags = in.u32();
    s.backgroundColor = in.u32();
    in.embeddedFile(s.helpFile);

    s.linkCaption1 = in.text();
    s.linkTarget1 = in.text();
    s.linkCaption2 = in.text();
    s.linkTarget2 = in.text();
    s.linkColor1 = in.u32();
    s.linkColor2 = in.u32();
    in.font(s.linkFont1);
    in.font(s.linkFont2);
    s.aboutFlags = in.u32();
    s.reservedFlags = in.u32();
    in.embeddedFile(s.aboutImage);
    in.fixedText(s.reservedPath);

    SettingsTrailer& t = s.trailer;
    t.value1 = in.u32();
    t.text = in.text();
    t.value2 = in.u32();
    in.raw(t.systemTime);
    t.value3 = in.u32();
    in.fixedText(t.fixedText);
    t.word1 = in.u16();
    t.word2 = in.u16();
}

class SettingsWriter {
public:
    void u32(std::uint32_t value) { out_.u32(value); }
    void u16(std::uint16_t value) { out_.u16(value); }
    void text(const OptionalText& text) { writeOptionalText(out_, text); }

    template <std::size_t Size>
    void fixedText(const FixedText<Size>& text)
    {
        writeStoredText(out_, text.view());
    }

    void font(const LogFont& font)
    {
        for (std::int32_t value : {font.height, font.width, font.escapement, font.orientation, font.weight})
            out_.i32(value);
        for (std::uint8_t byte : {font.italic, font.underline, font.strikeOut, font.charSet, font.outPrecision,
                                  font.clipPrecision, font.quality, font.pitchAndFamily})
            out_.u8(byte);
        fixedText(font.faceName);
    }

    void embeddedFile(const PathText& path)
    {
        if (!path.empty()) {
            std::filesystem::path file = pathFromAnsi(path.view());
            std::ifstream in(file, std::ios::binary);
            std::vector<std::uint8_t> content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (in.is_open() && !in.bad() && std::filesystem::is_regular_file(file)) {
                writeStoredText(out_, ansiFromPath(file.filename()));
                out_.u32(std::uint32_t(content.size()));
                out_.bytes(content);
                return;
            }
        }
        writeStoredText(out_, "");
        out_.u32(0);
    }

    void raw(std::span<const std::uint8_t> bytes) { out_.bytes(bytes); }
    std::vector<std::uint8_t> release() { return out_.release(); }

private:
    ByteWriter out_;
};

void writeGroups(SettingsWriter& out, const ProjectSettings& s)
{
    for (const OptionalText* text : {&s.productName, &s.reservedText1, &s.companyName, &s.legalNotice,
                                     &s.reservedText2, &s.reservedText3, &s.version})
        out.text(*text);

    out.u32(s.windowShape);
    out.u32(s.borderStyle);
    out.u32(s.borderIcons);
    out.u32(s.scaleMode);
    out.fixedText(s.shapeMaskFile);
    out.fixedText(s.caption);

    out.u32(s.windowSize);
    out.u16(s.customWidth);
    out.u16(s.customHeight);
    out.u32(s.pos);
    out.u16(s.customX);
    out.u16(s.customY);
    out.u32(s.bKeepRatio);

    out.u32(s.lBtnClk);
    out.u32(s.rBtnClk);
    out.u32(s.keyPress);
    out.u32(s.exitKeys);
    out.u32(s.interactionFlags);
    out.u16(s.hotKeyCode);
    out.u16(s.hotKeyModifiers);

    out.u32(s.contextMenuFlags);
    out.u32(s.behaviourFlags);

    out.u32(s.miscFlags);
    out.u32(s.backgroundColor);
    out.embeddedFile(s.helpFile);

    out.text(s.linkCaption1);
    out.text(s.linkTarget1);
    out.text(s.linkCaption2);
    out.text(s.linkTarget2);
    out.u32(s.linkColor1);
    out.u32(s.linkColor2);
    out.font(s.linkFont1);
    out.font(s.linkFont2);
    out.u32(s.aboutFlags);
    out.u32(s.reservedFlags);
    out.embeddedFile(s.aboutImage);
    out.fixedText(s.reservedPath);

    const SettingsTrailer& t = s.trailer;
    out.u32(t.value1);
    out.text(t.text);
    out.u32(t.value2);
    out.raw(t.systemTime);
    out.u32(t.value3);
    out.fixedText(t.fixedText);
    out.u16(t.word1);
    out.u16(t.word2);
}

} // namespace

ProjectSettings readSettings(std::span<const std::uint8_t> record, const std::filesystem::path& workingFolder)
{
    ProjectSettings settings;
    SettingsReader in(record, workingFolder);
    try {
        readGroups(in, settings);
    } catch (const PlayerException&) {
        // The record ended early: what follows stays zero and absent.
    }
    return settings;
}

std::vector<std::uint8_t> writeSettings(const ProjectSettings& settings)
{
    SettingsWriter out;
    writeGroups(out, settings);
    return out.release();
}

} // namespace lumbra
