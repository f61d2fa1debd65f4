#include "package/PlayerException.h"

#include <zlib.h>

namespace lumbra {

PlayerException::PlayerException()
    : std::runtime_error(lastSystemErrorText())
{
}

PlayerException::PlayerException(const std::string& message)
    : std::runtime_error(message)
{
}

namespace {

const char* zlibMessage(int code)
{
    switch (code) {
    case Z_BUF_ERROR: return "There was not enough room in the compress(uncompress) output buffer";
    case Z_MEM_ERROR: return "There was not enough memory for compress(uncompress)";
    case Z_DATA_ERROR: return "The compress(uncompress) input data was corrupted";
    case Z_STREAM_ERROR: return "The compress level parameter is invalid";
    default: return "Compression or uncompression failed";
    }
}

} // namespace

CZipException::CZipException(const std::string& message)
    : PlayerException(message)
{
}

CZipException::CZipException(int zlibCode)
    : PlayerException(zlibMessage(zlibCode))
{
}

} // namespace lumbra
