// Parses ActionScript source into a syntax tree it owns; a syntax error
// throws SourceError with the error's line.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "script/compiler/Parser.h"
#include "script/compiler/SyntaxNode.h"

namespace lumbra::actionscript {

class SourceParser {
public:
    // The nodes live as long as this parser. movieClasses: the classes the
    // movie's other scripts declare (for `import a.b.*`).
    orvet::ParsedProgram parse(std::string_view source, int version, int firstLine,
                               const std::set<std::string>& movieClasses = {});
    // The dotted names of the classes and interfaces the source declares.
    std::set<std::string> declaredClasses(std::string_view source, int version, int firstLine);

private:
    orvet::ParsedProgram syntax(std::string_view source, int version, int firstLine);

    orvet::NodePool nodes_;
};

} // namespace lumbra::actionscript
