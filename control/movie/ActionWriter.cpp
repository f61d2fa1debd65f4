#include "control/movie/ActionWriter.h"

#include "control/movie/BitWriter.h"
#include "control/movie/TextCodec.h"

namespace lumbra::movie {

namespace {

std::vector<std::uint8_t> stringBody(std::u16string_view s)
{
    BitWriter w;
    w.cstring(encodeUtf8(s));
    return w.take();
}

} // namespace

ActionWriter& ActionWriter::record(std::uint8_t code, const std::vector<std::uint8_t>& body)
{
    code_.push_back(code);
    if (code >= 0x80) {
        code_.push_back(std::uint8_t(body.size() & 0xFF));
        code_.push_back(std::uint8_t(body.size() >> 8));
        code_.insert(code_.end(), body.begin(), body.end());
    }
    return *this;
}

ActionWriter& ActionWriter::op(std::uint8_t code) { return record(code, {}); }
ActionWriter& ActionWriter::play() { return op(0x06); }
ActionWriter& ActionWriter::stop() { return op(0x07); }
ActionWriter& ActionWriter::nextFrame() { return op(0x04); }
ActionWriter& ActionWriter::prevFrame() { return op(0x05); }

ActionWriter& ActionWriter::gotoFrame(int frame)
{
    return record(0x81, {std::uint8_t(frame & 0xFF), std::uint8_t((frame >> 8) & 0xFF)});
}

ActionWriter& ActionWriter::gotoLabel(std::u16string_view label) { return record(0x8C, stringBody(label)); }

ActionWriter& ActionWriter::gotoFrame2(std::u16string_view frameOrLabel, bool play)
{
    pushString(frameOrLabel);
    return record(0x9F, {std::uint8_t(play ? 0x01 : 0x00)});
}

ActionWriter& ActionWriter::append(const ActionWriter& other)
{
    code_.insert(code_.end(), other.code_.begin(), other.code_.end());
    return *this;
}

ActionWriter& ActionWriter::getUrl(std::u16string_view url, std::u16string_view target)
{
    auto body = stringBody(url);
    auto second = stringBody(target);
    body.insert(body.end(), second.begin(), second.end());
    return record(0x83, body);
}

ActionWriter& ActionWriter::fsCommand(std::u16string_view command, std::u16string_view args)
{
    return getUrl(u"FSCommand:" + std::u16string(command), args);
}

ActionWriter& ActionWriter::setTarget(std::u16string_view path) { return record(0x8B, stringBody(path)); }

ActionWriter& ActionWriter::call(std::u16string_view frameOrLabel)
{
    pushString(frameOrLabel);
    return record(0x9E, {});
}

ActionWriter& ActionWriter::pushString(std::u16string_view s)
{
    auto body = stringBody(s);
    body.insert(body.begin(), 0);
    return record(0x96, body);
}

ActionWriter& ActionWriter::pushNumber(double n)
{
    BitWriter w;
    w.u8(6);
    w.f64(n);
    return record(0x96, w.take());
}

ActionWriter& ActionWriter::jump(std::int16_t offset)
{
    return record(0x99, {std::uint8_t(offset & 0xFF), std::uint8_t((offset >> 8) & 0xFF)});
}

ActionWriter& ActionWriter::branchIf(std::int16_t offset)
{
    return record(0x9D, {std::uint8_t(offset & 0xFF), std::uint8_t((offset >> 8) & 0xFF)});
}

ActionWriter& ActionWriter::getUrl2(std::uint8_t flags) { return record(0x9A, {flags}); }

ActionBytes ActionWriter::finish() const
{
    ActionBytes out = code_;
    out.push_back(0);
    return out;
}

} // namespace lumbra::movie
