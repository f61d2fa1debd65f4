// The result of an inspection as a small tree, printed as JSON.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace lumbra::pack {

struct ReportNode;
using ReportList = std::vector<ReportNode>;
using ReportObject = std::vector<std::pair<std::string, ReportNode>>;

struct ReportNode {
    std::variant<std::nullptr_t, bool, std::int64_t, std::string, ReportList, ReportObject> value;

    ReportNode() : value(nullptr) {}
    ReportNode(bool b) : value(b) {}
    ReportNode(std::int64_t n) : value(n) {}
    ReportNode(std::uint32_t n) : value(std::int64_t(n)) {}
    ReportNode(int n) : value(std::int64_t(n)) {}
    ReportNode(std::string s) : value(std::move(s)) {}
    ReportNode(const char* s) : value(std::string(s)) {}
    ReportNode(ReportList l) : value(std::move(l)) {}
    ReportNode(ReportObject o) : value(std::move(o)) {}
};

// Strings in the tree are UTF-8.
std::string toJson(const ReportNode& node);

} // namespace lumbra::pack
