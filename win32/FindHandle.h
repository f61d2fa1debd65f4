// A directory search: FindFirstFileA ... FindNextFileA, closed with FindClose.
//
//   for (win32::FindHandle search(folder + "*"); search; search.next())
//       use(search.entry());
#pragma once

#include <windows.h>

#include <string>

namespace lumbra::win32 {

class FindHandle {
public:
    explicit FindHandle(const std::string& pattern) : h_(FindFirstFileA(pattern.c_str(), &entry_)) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() { close(); }

    // True while the search stands on an entry.
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }
    const WIN32_FIND_DATAA& entry() const { return entry_; }
    bool isFolder() const { return (entry_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // "." and "..": entries of every folder that name no content.
    bool isDotEntry() const {
        const char* n = entry_.cFileName;
        return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0));
    }

    // Moves to the next entry; past the last one the search closes.
    void next() {
        if (h_ != INVALID_HANDLE_VALUE && !FindNextFileA(h_, &entry_)) close();
    }

private:
    void close() {
        if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

    WIN32_FIND_DATAA entry_{};
    HANDLE h_;
};

} // namespace lumbra::win32
