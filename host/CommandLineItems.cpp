#include "host/CommandLineItems.h"

namespace lumbra::host {

std::vector<std::string> commandLineItems(std::string_view line)
{
    std::vector<std::string> items;
    bool program = true;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == line.size())
            break;
        std::size_t begin = i, end;
        if (line[i] == '"' || line[i] == '\'') {
            const char quote = line[i];
            begin = i + 1;
            end = line.find(quote, begin);
            if (end == std::string_view::npos)
                end = line.size();
            i = end < line.size() ? end + 1 : end;
        } else {
            end = line.find(' ', begin);
            if (end == std::string_view::npos)
                end = line.size();
            i = end;
        }
        if (!program && end > begin)
            items.emplace_back(line.substr(begin, end - begin));
        program = false;
    }
    return items;
}

} // namespace lumbra::host
