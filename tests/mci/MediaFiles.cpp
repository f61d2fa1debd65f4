#include "MediaFiles.h"

#include <cstdint>
#include <fstream>
#include <string_view>
#include <vector>

namespace lumbra::test {

namespace {

// RIFF data: little-endian words and chunks whose size is patched in when
// they end.
class Riff {
public:
    void word(std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    void half(std::uint16_t value)
    {
        bytes_.push_back(static_cast<std::uint8_t>(value));
        bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void code(std::string_view fourCharacters) { bytes_.insert(bytes_.end(), fourCharacters.begin(), fourCharacters.end()); }
    void fill(std::size_t count, std::uint8_t value) { bytes_.insert(bytes_.end(), count, value); }
    // Opens a chunk (or a list, with its form type); its start.
    std::size_t open(std::string_view id, std::string_view form = {})
    {
        code(id);
        word(0);
        const std::size_t start = bytes_.size();
        if (!form.empty())
            code(form);
        return start;
    }
    void close(std::size_t start)
    {
        const auto size = static_cast<std::uint32_t>(bytes_.size() - start);
        for (int i = 0; i < 4; ++i)
            bytes_[start - 4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
        if (size % 2)
            bytes_.push_back(0); // chunks are word-aligned
    }
    std::size_t size() const { return bytes_.size(); }
    void save(const std::filesystem::path& file) const
    {
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes_.data()),
                                                    static_cast<std::streamsize>(bytes_.size()));
    }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace

void writeWave(const std::filesystem::path& file, int milliseconds)
{
    constexpr std::uint32_t kRate = 8000;
    Riff riff;
    const auto wave = riff.open("RIFF", "WAVE");
    const auto format = riff.open("fmt ");
    riff.half(1);      // PCM
    riff.half(1);      // mono
    riff.word(kRate);  // samples a second
    riff.word(kRate);  // bytes a second
    riff.half(1);      // bytes a sample frame
    riff.half(8);      // bits a sample
    riff.close(format);
    const auto data = riff.open("data");
    riff.fill(static_cast<std::size_t>(milliseconds) * kRate / 1000, 0x80); // silence
    riff.close(data);
    riff.close(wave);
    riff.save(file);
}

void writeVideo(const std::filesystem::path& file, int width, int height, int frames)
{
    const auto frameSize = static_cast<std::uint32_t>(((width * 3 + 3) & ~3) * height); // rows of 4-byte multiples
    Riff riff;
    const auto avi = riff.open("RIFF", "AVI ");
    const auto headers = riff.open("LIST", "hdrl");
    const auto main = riff.open("avih");
    riff.word(100000);        // microseconds a frame
    riff.word(frameSize * 10); // maximum bytes a second
    riff.word(0);             // padding granularity
    riff.word(0x10);          // AVIF_HASINDEX
    riff.word(static_cast<std::uint32_t>(frames));
    riff.word(0);             // initial frames
    riff.word(1);             // streams
    riff.word(frameSize);     // suggested buffer size
    riff.word(static_cast<std::uint32_t>(width));
    riff.word(static_cast<std::uint32_t>(height));
    riff.fill(16, 0); // reserved
    riff.close(main);
    const auto stream = riff.open("LIST", "strl");
    const auto streamHeader = riff.open("strh");
    riff.code("vids");
    riff.code("DIB ");
    riff.word(0);  // flags
    riff.half(0);  // priority
    riff.half(0);  // language
    riff.word(0);  // initial frames
    riff.word(1);  // scale
    riff.word(10); // rate: 10 frames a second
    riff.word(0);  // start
    riff.word(static_cast<std::uint32_t>(frames));
    riff.word(frameSize);
    riff.word(0xFFFFFFFF); // quality: default
    riff.word(0);          // sample size
    riff.half(0);
    riff.half(0);
    riff.half(static_cast<std::uint16_t>(width));
    riff.half(static_cast<std::uint16_t>(height));
    riff.close(streamHeader);
    const auto streamFormat = riff.open("strf"); // BITMAPINFOHEADER
    riff.word(40);
    riff.word(static_cast<std::uint32_t>(width));
    riff.word(static_cast<std::uint32_t>(height));
    riff.half(1);  // planes
    riff.half(24); // bits a pixel
    riff.word(0);  // BI_RGB
    riff.word(frameSize);
    riff.fill(16, 0);
    riff.close(streamFormat);
    riff.close(stream);
    riff.close(headers);
    const auto movie = riff.open("LIST", "movi");
    std::vector<std::uint32_t> offsets;
    for (int i = 0; i < frames; ++i) {
        offsets.push_back(static_cast<std::uint32_t>(riff.size() - movie)); // from the "movi" code
        const auto frame = riff.open("00db");
        riff.fill(frameSize, static_cast<std::uint8_t>(60 * i));
        riff.close(frame);
    }
    riff.close(movie);
    const auto index = riff.open("idx1");
    for (const std::uint32_t offset : offsets) {
        riff.code("00db");
        riff.word(0x10); // AVIIF_KEYFRAME
        riff.word(offset);
        riff.word(frameSize);
    }
    riff.close(index);
    riff.close(avi);
    riff.save(file);
}

} // namespace lumbra::test
