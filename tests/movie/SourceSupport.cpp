#include "SourceSupport.h"

#include "ActionAssembler.h"
#include "tools/actionscript/SourceCompiler.h"

namespace lumbra::movie::test {

std::string runSource(std::string_view source, int version, long frames)
{
    return playOutput(actionscript::compileMovie(source, version, int(frames)), frames);
}

} // namespace lumbra::movie::test
