// The project settings record: every choice the author of a packaged
// application made about the player's window and behaviour. Field names are
// those the whole player (and the script-visible settings objects) use; the
// groups are the record's stored order.
#pragma once

#include "package/FixedText.h"
#include "package/StoredText.h"

#include <array>
#include <cstdint>

namespace lumbra {

// The stored form of a Windows LOGFONT; the face name has at most 31 characters.
struct LogFont {
    std::int32_t height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
    std::uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 0;
    std::uint8_t outPrecision = 0, clipPrecision = 0, quality = 0, pitchAndFamily = 0;
    FixedText<32> faceName;

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

// Group 8: read, kept and written back unchanged; the player does not use it.
struct SettingsTrailer {
    std::uint32_t value1 = 0;
    OptionalText text;
    std::uint32_t value2 = 0;
    std::array<std::uint8_t, 16> systemTime{}; // layout of a SYSTEMTIME
    std::uint32_t value3 = 0;
    PathText fixedText;
    std::uint16_t word1 = 0, word2 = 0;

    friend bool operator==(const SettingsTrailer&, const SettingsTrailer&) = default;
};

struct ProjectSettings {
    // 1: identity texts
    OptionalText productName, reservedText1, companyName, legalNotice, reservedText2, reservedText3, version;
    // 2: shape and border
    std::uint32_t windowShape = 0, borderStyle = 0, borderIcons = 0, scaleMode = 0;
    PathText shapeMaskFile, caption;
    // 3: size and position
    std::uint32_t windowSize = 0;
    std::uint16_t customWidth = 0, customHeight = 0;
    std::uint32_t pos = 0;
    std::uint16_t customX = 0, customY = 0;
    std::uint32_t bKeepRatio = 0;
    // 4: mouse and keyboard
    std::uint32_t lBtnClk = 0, rBtnClk = 0, keyPress = 0, exitKeys = 0, interactionFlags = 0;
    std::uint16_t hotKeyCode = 0, hotKeyModifiers = 0;
    // 5: menus and behaviour
    std::uint32_t contextMenuFlags = 0, behaviourFlags = 0;
    // 6: miscellaneous; helpFile is the path of the extracted help file
    std::uint32_t miscFlags = 0, backgroundColor = 0;
    PathText helpFile;
    // 7: About box
    OptionalText linkCaption1, linkTarget1, linkCaption2, linkTarget2;
    std::uint32_t linkColor1 = 0, linkColor2 = 0;
    LogFont linkFont1, linkFont2;
    std::uint32_t aboutFlags = 0, reservedFlags = 0;
    PathText aboutImage; // path of the extracted picture
    PathText reservedPath;
    // 8
    SettingsTrailer trailer;

    friend bool operator==(const ProjectSettings&, const ProjectSettings&) = default;
};

} // namespace lumbra
