// The label reader always yields ten texts, none with a line feed, each what the line rules
// give, checked against a plain model written apart from the reader.
#include "prompts/labels.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> model(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (char c : text) {
        if (lines.size() == 10) break;
        open = true;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            line.clear();
            open = false;
        } else {
            line += c;
        }
    }
    if (open && lines.size() < 10) lines.push_back(line);
    while (lines.size() < 10) lines.emplace_back();
    for (std::string& l : lines) {
        const auto equals = l.find('=');
        if (equals != std::string::npos) l = l.substr(equals + 1);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const LabelLines labels = parseLabels(text.data(), text.size());
    const std::vector<std::string> expected = model(text);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (labels[i].find('\n') != std::string::npos) std::abort();
        if (labels[i] != expected[i]) std::abort();
    }
    return 0;
}
