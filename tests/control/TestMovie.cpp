#include "tests/control/TestMovie.h"

#include "control/movie/BitWriter.h"
#include "control/movie/TagCodes.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace lumbra::com::test {

using movie::BitWriter;

namespace {

constexpr int kTwips = 20;

movie::Rect twips(movie::Rect px) {
    return {px.xMin * kTwips, px.yMin * kTwips, px.xMax * kTwips, px.yMax * kTwips};
}

void straightEdge(BitWriter& w, int dx, int dy) {
    unsigned n = std::max(2u, BitWriter::signedBits(dx != 0 ? dx : dy));
    w.ub(1, 1); // edge record
    w.ub(1, 1); // straight
    w.ub(n - 2, 4);
    w.ub(0, 1); // not general: horizontal or vertical
    w.ub(dx == 0 ? 1 : 0, 1);
    w.sb(dx != 0 ? dx : dy, n);
}

} // namespace

TestMovie::TestMovie(int width, int height, double frameRate, movie::Argb background)
    : width_(width), height_(height), frameRate_(frameRate) {
    BitWriter w;
    w.rgb(background);
    tag(movie::tag::SetBackgroundColor, w.take());
}

void TestMovie::tag(unsigned code, const std::vector<std::uint8_t>& body) {
    BitWriter w;
    if (body.size() < 0x3F) {
        w.u16((code << 6) | unsigned(body.size()));
    } else {
        w.u16((code << 6) | 0x3F);
        w.u32(std::uint32_t(body.size()));
    }
    w.bytes(body);
    auto header = w.take();
    tags_.insert(tags_.end(), header.begin(), header.end());
}

int TestMovie::rectangle(movie::Rect px, movie::Argb fill) {
    int id = nextId_++;
    movie::Rect r = twips(px);
    BitWriter w;
    w.u16(unsigned(id));
    w.rect(r);
    w.u8(1);    // one fill style
    w.u8(0x00); // solid
    w.rgba(fill);
    w.u8(0);    // no line styles
    w.ub(1, 4); // fill index bits
    w.ub(0, 4); // line index bits
    int x = int(r.xMin), y = int(r.yMin), dx = int(r.width()), dy = int(r.height());
    unsigned n = std::max(BitWriter::signedBits(x), BitWriter::signedBits(y));
    w.ub(0, 1);           // style change record
    w.ub(0b00101, 5);     // sets fill style 1, moves the pen
    w.ub(n, 5);
    w.sb(x, n);
    w.sb(y, n);
    w.ub(1, 1);           // fill style 1
    straightEdge(w, dx, 0);
    straightEdge(w, 0, dy);
    straightEdge(w, -dx, 0);
    straightEdge(w, 0, -dy);
    w.ub(0, 6);           // end of shape
    tag(movie::tag::DefineShape3, w.take());
    return id;
}

int TestMovie::textField(movie::Rect px, const std::string& variable, const std::string& text) {
    int id = nextId_++;
    BitWriter w;
    w.u16(unsigned(id));
    w.rect(twips(px));
    w.u8(0x80 | 0x08 | 0x04); // has text, read-only, has colour
    w.u8(0x10);               // not selectable
    w.rgba(movie::argb(255, 0, 0, 0));
    w.cstring(variable);
    w.cstring(text);
    tag(movie::tag::DefineEditText, w.take());
    return id;
}

int TestMovie::button(int shape, const movie::ActionBytes& onRelease) {
    int id = nextId_++;
    BitWriter records;
    records.u8(0x0F); // hit, down, over and up state
    records.u16(unsigned(shape));
    records.u16(1);
    records.matrix(movie::Matrix{});
    records.emptyColorTransform();
    records.u8(0); // end of records
    auto recordBytes = records.take();

    BitWriter w;
    w.u16(unsigned(id));
    w.u8(0);                                  // push button
    w.u16(unsigned(2 + recordBytes.size()));  // from this field to the actions
    w.bytes(recordBytes);
    w.u16(0);    // the last condition
    w.u8(0x08);  // over-down to over-up: released on the button
    w.u8(0x00);
    w.bytes(onRelease);
    tag(movie::tag::DefineButton2, w.take());
    return id;
}

void TestMovie::place(int character, int depth) {
    BitWriter w;
    w.u8(0x02 | 0x04); // has character, has matrix
    w.u16(unsigned(depth));
    w.u16(unsigned(character));
    w.matrix(movie::Matrix{});
    tag(movie::tag::PlaceObject2, w.take());
}

void TestMovie::label(const std::string& name) {
    BitWriter w;
    w.cstring(name);
    tag(movie::tag::FrameLabel, w.take());
}

void TestMovie::actions(const movie::ActionBytes& code) { tag(movie::tag::DoAction, code); }

void TestMovie::showFrame() {
    tag(movie::tag::ShowFrame, {});
    ++frames_;
}

std::vector<std::uint8_t> TestMovie::bytes() const {
    BitWriter body;
    body.rect({0, 0, double(width_ * kTwips), double(height_ * kTwips)});
    body.u16(unsigned(std::lround(frameRate_ * 256)));
    body.u16(unsigned(frames_));
    body.bytes(tags_);
    body.u16(0); // End
    auto rest = body.take();

    BitWriter file;
    file.bytes(std::vector<std::uint8_t>{'F', 'W', 'S', 6});
    file.u32(std::uint32_t(8 + rest.size()));
    file.bytes(rest);
    return file.take();
}

void TestMovie::save(const std::filesystem::path& path) const {
    auto data = bytes();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

} // namespace lumbra::com::test
