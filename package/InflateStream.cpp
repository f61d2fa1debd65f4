#include "package/InflateStream.h"

#include "package/PlayerException.h"

namespace lumbra {

InflateStream::InflateStream()
{
    int code = inflateInit(&stream_);
    if (code != Z_OK)
        throw CZipException(code);
}

InflateStream::~InflateStream()
{
    inflateEnd(&stream_);
}

} // namespace lumbra
