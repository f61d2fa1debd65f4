// Tag codes of the movie format that the player reads or the writer produces.
#pragma once

namespace lumbra::movie::tag {

enum : unsigned {
    End = 0,
    ShowFrame = 1,
    DefineShape = 2,
    PlaceObject = 4,
    RemoveObject = 5,
    DefineButton = 7,
    SetBackgroundColor = 9,
    DefineFontInfo = 13,
    DoAction = 12,
    DefineShape2 = 22,
    PlaceObject2 = 26,
    RemoveObject2 = 28,
    DefineShape3 = 32,
    DefineButton2 = 34,
    DefineEditText = 37,
    DefineSprite = 39,
    FrameLabel = 43,
    DefineFont2 = 48,
    DoInitAction = 59,
    DefineFontInfo2 = 62,
    PlaceObject3 = 70,
    DefineFont3 = 75,
    DefineShape4 = 83,
    // Pictures, glyphs, static text and morph shapes.
    DefineBits = 6,
    JPEGTables = 8,
    DefineFont = 10,
    DefineText = 11,
    DefineBitsLossless = 20,
    DefineBitsJPEG2 = 21,
    DefineText2 = 33,
    DefineBitsJPEG3 = 35,
    DefineBitsLossless2 = 36,
    DefineMorphShape = 46,
    DefineMorphShape2 = 84,
    DefineBitsJPEG4 = 90,
    // Video placed on the stage (its frames are not decoded).
    DefineVideoStream = 60,
    // Symbols shared by name.
    ExportAssets = 56,
    ImportAssets = 57,
    ImportAssets2 = 71,
};

} // namespace lumbra::movie::tag
