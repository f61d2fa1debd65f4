// The portable profile store: the whole file is read into an IniText, changed
// there, and written to a temporary file beside it that then replaces it.
#include "host/datafile/IniText.h"
#include "host/datafile/ProfileStore.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include <stdlib.h>
#include <unistd.h>

namespace lumbra {

namespace {

class IniFileStore final : public ProfileStore {
public:
    explicit IniFileStore(std::string path) : path_(std::move(path))
    {
        std::ifstream file(path_, std::ios::binary);
        if (!file)
            return;
        std::ostringstream text;
        text << file.rdbuf();
        ini_ = IniText(text.str());
        readable_ = true;
    }

    std::optional<std::vector<std::string>> sectionNames() override
    {
        if (!readable_)
            return std::nullopt;
        return ini_.sectionNames();
    }

    std::optional<std::string> value(std::string_view section, std::string_view key) override
    {
        return ini_.value(section, key);
    }

    void setValue(std::string_view section, std::string_view key, std::string_view value) override
    {
        ini_.setValue(section, key, value);
    }

    void removeSection(std::string_view section) override { ini_.removeSection(section); }

    bool commit() override
    {
        // A new file beside the old one, so that the rename stays on one file system.
        std::string temporary = path_ + ".XXXXXX";
        const int descriptor = mkstemp(temporary.data());
        if (descriptor < 0)
            return false;
        close(descriptor);
        {
            std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
            file << ini_.text();
            file.close();
            if (!file) {
                std::remove(temporary.c_str());
                return false;
            }
        }
        if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
            std::remove(temporary.c_str());
            return false;
        }
        return true;
    }

private:
    std::string path_;
    IniText ini_;
    bool readable_ = false;
};

} // namespace

std::unique_ptr<ProfileStore> openProfileStore(const std::string& path)
{
    return std::make_unique<IniFileStore>(path);
}

bool removeProfileFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

} // namespace lumbra
