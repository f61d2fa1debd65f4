#include "tools/pack/ReportTree.h"

#include <algorithm>
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

// A text that would lose its spaces (or look quoted) in a manifest is quoted.
std::string textValue(const std::string& text)
{
    bool quote = text.empty() || text.front() == ' ' || text.back() == ' ' || text.front() == '"';
    return quote ? "\"" + text + "\"" : text;
}

std::string scalarText(const ReportNode& node)
{
    return std::visit(
        [](const auto& value) -> std::string {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::nullptr_t>)
                return "(absent)";
            else if constexpr (std::is_same_v<T, bool>)
                return value ? "yes" : "no";
            else if constexpr (std::is_same_v<T, std::int64_t>)
                return std::to_string(value);
            else if constexpr (std::is_same_v<T, std::string>)
                return textValue(value);
            else
                return "";
        },
        node.value);
}

bool isScalar(const ReportNode& node)
{
    return !std::holds_alternative<ReportList>(node.value) && !std::holds_alternative<ReportObject>(node.value);
}

// A list item whose members are all scalars reads best on one line.
bool isFlatObject(const ReportNode& node)
{
    auto* object = std::get_if<ReportObject>(&node.value);
    return object && std::ranges::all_of(*object, [](const auto& member) { return isScalar(member.second); });
}

void appendText(std::string& out, const std::string& key, const ReportNode& node)
{
    if (isScalar(node)) {
        out += (key.empty() ? "" : key + " = ") + scalarText(node) + "\n";
        return;
    }
    if (auto* list = std::get_if<ReportList>(&node.value)) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            std::string itemKey = key.empty() ? std::to_string(i) : key + "." + std::to_string(i);
            if (!isFlatObject((*list)[i])) {
                appendText(out, itemKey, (*list)[i]);
                continue;
            }
            out += itemKey + ":";
            for (const auto& [name, member] : std::get<ReportObject>((*list)[i].value))
                out += " " + name + "=" + scalarText(member);
            out += "\n";
        }
        return;
    }
    for (const auto& [name, child] : std::get<ReportObject>(node.value))
        appendText(out, key.empty() ? name : key + "." + name, child);
}

} // namespace

std::string toJson(const ReportNode& node)
{
    std::string out;
    appendJson(out, node, 0);
    out += "\n";
    return out;
}

std::string toText(const ReportObject& report)
{
    std::string out;
    for (const auto& [section, node] : report) {
        out += (out.empty() ? "[" : "\n[") + section + "]\n";
        appendText(out, "", node);
    }
    return out;
}

} // namespace lumbra::pack
