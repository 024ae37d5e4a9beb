#include "prompts/labels.h"

#include <cstdio>
#include <string_view>

LabelLines parseLabels(const char* text, std::size_t size) {
    LabelLines labels;
    std::string_view rest(text, size);
    for (std::string& label : labels) {
        if (rest.empty()) break;
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (end == std::string_view::npos) {
            rest = {};
        } else {
            rest.remove_prefix(end + 1);
            // The file is text: a CR LF line end reads as a plain line feed.
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        }
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos) line.remove_prefix(equals + 1);
        label.assign(line);
    }
    return labels;
}

LabelLines readLabelFile() {
    // Binary, with the line-end rule applied by parseLabels: the same texts on every platform.
    // Only the first ten lines are read.
    std::string text;
    if (std::FILE* file = std::fopen("Emberlane.dat", "rb")) {
        std::size_t lines = 0;
        for (int c; lines < labelCount && (c = std::fgetc(file)) != EOF;) {
            text.push_back(static_cast<char>(c));
            if (c == '\n') ++lines;
        }
        std::fclose(file);
    }
    return parseLabels(text.data(), text.size());
}
