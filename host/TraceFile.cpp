#include "host/TraceFile.h"

namespace lumbra::host {

bool TraceFile::open(const std::string& path)
{
    close();
    // Binary mode: the line ends are written as they are on every system.
    file_.reset(std::fopen(path.c_str(), "wb"));
    return isOpen();
}

void TraceFile::writeLine(std::string_view line)
{
    if (!file_)
        return;
    std::fwrite(line.data(), 1, line.size(), file_.get());
    std::fputs("\r\n", file_.get());
    std::fflush(file_.get());
}

void TraceFile::sink(void* data, std::string_view line)
{
    static_cast<TraceFile*>(data)->writeLine(line);
}

} // namespace lumbra::host
