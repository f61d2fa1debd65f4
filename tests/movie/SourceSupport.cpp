#include "SourceSupport.h"

#include "ActionAssembler.h"
#include "tools/actionscript/SourceCompiler.h"

namespace lumbra::movie::test {

std::string runSource(std::string_view source, int version, long frames)
{
    return playOutput(actionscript::compileMovie(source, version, int(frames)), frames);
}

std::string compileError(std::string_view source)
{
    try {
        actionscript::compileActions(source, 8);
    } catch (const actionscript::SourceError& e) {
        return e.what();
    }
    return "compiled";
}

} // namespace lumbra::movie::test
