// RAII ownership of a zlib inflate stream.
#pragma once

#include <zlib.h>

namespace lumbra {

class InflateStream {
public:
    // Throws CZipException when zlib cannot set the stream up.
    InflateStream();
    ~InflateStream();
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;

    z_stream* operator->() { return &stream_; }
    int inflate(int flush) { return ::inflate(&stream_, flush); }

private:
    z_stream stream_{};
};

} // namespace lumbra
