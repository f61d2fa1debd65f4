#include "control/movie/LzmaBody.h"

#include "control/movie/BitReader.h"

#include <LzmaDec.h>

#include <algorithm>
#include <cstdlib>

namespace lumbra::movie {

namespace {

constexpr std::size_t kLengthFieldSize = 4;
// Output grows in steps, so that a header claiming a huge movie costs memory
// only for what the stream really holds.
constexpr std::size_t kGrowth = 1u << 20;

void* allocate(void*, size_t size) { return std::malloc(size); }
void release(void*, void* address) { std::free(address); }
ISzAlloc allocator = {allocate, release};

// The decoder's state; its probability tables are freed with it.
class Decoder {
public:
    explicit Decoder(std::span<const std::uint8_t> properties)
    {
        LzmaDec_Construct(&state_);
        SRes result = LzmaDec_AllocateProbs(&state_, properties.data(), unsigned(properties.size()), &allocator);
        if (result == SZ_ERROR_MEM)
            throw FormatError("not enough memory to decompress the movie");
        if (result != SZ_OK)
            throw FormatError("LZMA-compressed movie has invalid properties");
        LzmaDec_Init(&state_);
    }
    ~Decoder() { LzmaDec_FreeProbs(&state_, &allocator); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // The whole output is the decoder's dictionary: it never wraps, so the
    // buffer may move and grow between calls as long as the decoder is told.
    void useOutput(std::vector<std::uint8_t>& out)
    {
        state_.dic = out.data();
        state_.dicBufSize = out.size();
    }
    std::size_t produced() const { return state_.dicPos; }

    SRes decode(std::size_t outputLimit, std::span<const std::uint8_t>& input, ELzmaStatus& status)
    {
        SizeT used = input.size();
        SRes result = LzmaDec_DecodeToDic(&state_, outputLimit, input.data(), &used, LZMA_FINISH_ANY, &status);
        input = input.subspan(used);
        return result;
    }

private:
    CLzmaDec state_;
};

} // namespace

std::vector<std::uint8_t> decodeLzmaBody(std::span<const std::uint8_t> afterLength, std::size_t limit)
{
    if (afterLength.size() < kLengthFieldSize + LZMA_PROPS_SIZE)
        throw FormatError("LZMA-compressed movie header is truncated");
    std::size_t packedSize = BitReader(afterLength.first(kLengthFieldSize)).u32();
    auto input = afterLength.subspan(kLengthFieldSize + LZMA_PROPS_SIZE);
    input = input.first(std::min(input.size(), packedSize));

    Decoder decoder(afterLength.subspan(kLengthFieldSize, LZMA_PROPS_SIZE));
    std::vector<std::uint8_t> out;
    while (decoder.produced() < limit) {
        if (decoder.produced() == out.size()) {
            out.resize(std::min(limit, out.size() + kGrowth));
            decoder.useOutput(out);
        }
        ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
        std::size_t before = input.size(), producedBefore = decoder.produced();
        if (decoder.decode(out.size(), input, status) != SZ_OK)
            throw FormatError("LZMA-compressed movie data is damaged");
        bool stuck = input.size() == before && decoder.produced() == producedBefore;
        if (status == LZMA_STATUS_FINISHED_WITH_MARK || status == LZMA_STATUS_NEEDS_MORE_INPUT || stuck)
            break;
    }
    out.resize(decoder.produced());
    return out;
}

} // namespace lumbra::movie
