#include "tools/pack/ReportTree.h"

#include <cstdio>

namespace lumbra::pack {

namespace {

void appendJsonString(std::string& out, const std::string& text)
{
    out.push_back('"');
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out.push_back(char(c));
            }
        }
    }
    out.push_back('"');
}

void appendJson(std::string& out, const ReportNode& node, int depth)
{
    std::string indent(std::size_t(2 * (depth + 1)), ' '), closing(std::size_t(2 * depth), ' ');
    std::visit(
        [&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::nullptr_t>) {
                out += "null";
            } else if constexpr (std::is_same_v<T, bool>) {
                out += value ? "true" : "false";
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                out += std::to_string(value);
            } else if constexpr (std::is_same_v<T, std::string>) {
                appendJsonString(out, value);
            } else if constexpr (std::is_same_v<T, ReportList>) {
                out += value.empty() ? "[" : "[\n";
                for (std::size_t i = 0; i < value.size(); ++i) {
                    out += indent;
                    appendJson(out, value[i], depth + 1);
                    out += i + 1 < value.size() ? ",\n" : "\n" + closing;
                }
                out += "]";
            } else {
                out += value.empty() ? "{" : "{\n";
                for (std::size_t i = 0; i < value.size(); ++i) {
                    out += indent;
                    appendJsonString(out, value[i].first);
                    out += ": ";
                    appendJson(out, value[i].second, depth + 1);
                    out += i + 1 < value.size() ? ",\n" : "\n" + closing;
                }
                out += "}";
            }
        },
        node.value);
}

} // namespace

std::string toJson(const ReportNode& node)
{
    std::string out;
    appendJson(out, node, 0);
    out += "\n";
    return out;
}

} // namespace lumbra::pack
