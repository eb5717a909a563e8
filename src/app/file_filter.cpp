#include "app/file_filter.h"

#include <vector>

namespace sw {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Qt splits a filter's patterns at blanks only, so "*.a;*.b" must become "*.a *.b".
std::string JoinPatterns(const std::string& patterns) {
    std::string joined;
    for (const std::string& part : Split(patterns, ';')) {
        for (const std::string& word : Split(part, ' ')) {
            const std::string pattern = Trim(word);
            if (pattern.empty()) {
                continue;
            }
            if (!joined.empty()) {
                joined += ' ';
            }
            joined += pattern;
        }
    }
    return joined;
}

// Qt reads a filter's patterns from its last parenthesised group, so a name that already shows
// its patterns would otherwise list them twice.
std::string WithoutTrailingPatterns(const std::string& name, const std::string& patterns) {
    if (name.empty() || name.back() != ')') {
        return name;
    }
    const size_t open = name.rfind('(');
    if (open == std::string::npos) {
        return name;
    }
    const std::string inside = name.substr(open + 1, name.size() - open - 2);
    if (JoinPatterns(inside) != patterns) {
        return name;
    }
    return Trim(name.substr(0, open));
}

}  // namespace

std::string FilterExtension(const std::string& qtFilter) {
    const size_t open = qtFilter.rfind('(');
    const size_t close = qtFilter.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return "";
    }
    const std::string pattern = qtFilter.substr(open + 1, close - open - 1);
    if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0 ||
        pattern.find_first_of(" *?[", 2) != std::string::npos) {
        return "";
    }
    return pattern.substr(2);
}

std::string ConvertFileFilter(const std::string& filter) {
    const std::vector<std::string> parts = Split(filter, '|');
    std::string converted;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        const std::string patterns = JoinPatterns(parts[i + 1]);
        if (patterns.empty()) {
            continue;
        }
        const std::string name = WithoutTrailingPatterns(Trim(parts[i]), patterns);
        if (!converted.empty()) {
            converted += ";;";
        }
        if (!name.empty()) {
            converted += name + ' ';
        }
        converted += '(' + patterns + ')';
    }
    return converted;
}

}  // namespace sw
