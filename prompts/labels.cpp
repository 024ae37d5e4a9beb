#include "prompts/labels.h"

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

LabelLines builtInLabels(std::int32_t language) {
    const bool known = language >= 0 && static_cast<std::size_t>(language) < gameLanguages;
    const BuiltInLabels& set = builtInLabelSets[known ? static_cast<std::size_t>(language) : 0];
    return parseLabels(set.text, set.size);
}
