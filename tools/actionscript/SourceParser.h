// Parses ActionScript source into a syntax tree it owns; a syntax error
// throws SourceError with the error's line.
#pragma once

#include <string_view>

#include "script/compiler/Parser.h"
#include "script/compiler/SyntaxNode.h"

namespace lumbra::actionscript {

class SourceParser {
public:
    // The nodes live as long as this parser.
    orvet::ParsedProgram parse(std::string_view source, int version, int firstLine);

private:
    orvet::NodePool nodes_;
};

} // namespace lumbra::actionscript
