#include "control/com/Clipboard.h"

#include <windows.h>

#include <cstring>
#include <utility>

namespace lumbra::com {

namespace {

// Open for the scope; closed however the scope is left.
class OpenClipboardScope {
public:
    OpenClipboardScope() : open_(OpenClipboard(nullptr) != FALSE) {}
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool open() const { return open_; }

private:
    bool open_;
};

// Global memory until the clipboard takes it over.
class GlobalBlock {
public:
    explicit GlobalBlock(SIZE_T size) : handle_(GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~GlobalBlock() {
        if (handle_) GlobalFree(handle_);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    HGLOBAL get() const { return handle_; }
    HGLOBAL release() { return std::exchange(handle_, nullptr); }

private:
    HGLOBAL handle_;
};

} // namespace

bool putClipboardText(std::u16string_view text) {
    GlobalBlock block((text.size() + 1) * sizeof(char16_t));
    if (!block.get()) return false;
    void* at = GlobalLock(block.get());
    if (!at) return false;
    std::memcpy(at, text.data(), text.size() * sizeof(char16_t));
    static_cast<char16_t*>(at)[text.size()] = 0;
    GlobalUnlock(block.get());
    OpenClipboardScope clipboard;
    if (!clipboard.open() || !EmptyClipboard()) return false;
    if (!SetClipboardData(CF_UNICODETEXT, block.get())) return false;
    block.release(); // the clipboard owns it now
    return true;
}

} // namespace lumbra::com
