#include "player/TraceFile.h"

#include "script/engine/ScriptEngine.h"

namespace lumbra {

bool TraceFile::open(const std::string& path)
{
    close();
    file_.reset(std::fopen(path.c_str(), "w"));
    return file_ != nullptr;
}

void TraceFile::close()
{
    file_.reset();
}

void TraceFile::attach(orvet::ScriptEngine& engine)
{
    // The sink checks for an open file on every line, so the engine keeps
    // this output across later opens and closes.
    orvet::SetTraceOutput(engine, &TraceFile::sink, this);
}

void TraceFile::write(std::string_view line)
{
    if (!file_)
        return;
    std::fwrite(line.data(), 1, line.size(), file_.get());
    std::fputc('\n', file_.get());
    std::fflush(file_.get());
}

void TraceFile::sink(void* data, std::string_view line)
{
    static_cast<TraceFile*>(data)->write(line);
}

} // namespace lumbra
