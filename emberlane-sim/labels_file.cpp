#include "emberlane-sim/labels_file.h"

#include "prompts/labels.h"

#include <array>
#include <string_view>

namespace labels_file {
namespace {

// The prompt each line labels, in the file's order.
constexpr std::array<const char*, labelCount> labelled = {
    "washFacePrompt",   "sitGroundPrompt", "sitActivityPrompt", "smokeMenuPrompt",
    "cigarPrompt",      "smokePrompt",     "horseDrinkPrompt",  "menuPrompt",
    "drinkWaterPrompt", "menuClosePrompt"};

// The translators' guide: a word or two, as the game words its own prompts.
constexpr std::size_t longestLabel = 40;

// A label's characters, or the byte (from 1) where it stops being UTF-8.
struct Characters {
    std::size_t count = 0;
    std::size_t badByte = 0;
};

Characters charactersOf(std::string_view s) {
    Characters out;
    for (std::size_t i = 0; i < s.size(); ++out.count) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const std::size_t length = lead < 0x80             ? 1
                                   : (lead & 0xE0) == 0xC0 ? 2
                                   : (lead & 0xF0) == 0xE0 ? 3
                                   : (lead & 0xF8) == 0xF0 ? 4
                                                           : 0;
        bool ok = length != 0 && i + length <= s.size();
        std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t k = 1; ok && k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            ok = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3Fu);
        }
        // The shortest form only, and no UTF-16 halves.
        constexpr std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        ok = ok && code >= least[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!ok) {
            out.badByte = i + 1;
            return out;
        }
        i += length;
    }
    return out;
}

std::string line(std::size_t i, const std::string& what) {
    std::string head = "label line " + std::to_string(i + 1);
    head.resize(19, ' ');
    return head + labelled[i] + ": " + what + "\n";
}

// The lines missing at the file's end, with the prompts the game then shows empty.
std::string missing(std::size_t present) {
    if (present == labelCount) return "";
    const std::string head = "missing labels     ";
    if (present == 0)
        return head + "lines 1 to 10: the file is empty, so the game shows every prompt empty\n";
    std::string prompts;
    for (std::size_t i = present; i < labelCount; ++i)
        prompts += std::string(i == present          ? ""
                               : i + 1 == labelCount ? " and "
                                                     : ", ") +
                   labelled[i];
    const std::string lines =
        present + 1 == labelCount ? "line 10" : "lines " + std::to_string(present + 1) + " to 10";
    return head + lines + ": the file ends after line " + std::to_string(present) +
           ", so the game shows " + prompts + " empty\n";
}

} // namespace

std::string header(const std::string& text, const std::string& source) {
    const LabelLines labels = parseLabels(text.data(), text.size());
    std::string out = "labels             " + source + ", as the plug-in reads it\n";
    std::string_view rest = text;
    std::size_t present = 0;
    for (; present < labelCount && !rest.empty(); ++present) {
        const std::size_t end = rest.find('\n');
        const std::string_view raw = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        const std::string& label = labels[present];
        if (label.empty()) {
            out += line(present, "empty, so the game shows an empty prompt");
            continue;
        }
        if (raw.find('=') == std::string_view::npos)
            out += line(present, "no '=' on the line, so all of it is the label, key and all");
        const Characters c = charactersOf(label);
        if (c.badByte)
            out += line(present, "not UTF-8 from byte " + std::to_string(c.badByte) +
                                     " of the label on: the translators' guide asks for UTF-8");
        else if (c.count > longestLabel)
            out +=
                line(present, std::to_string(c.count) + " characters, more than the " +
                                  std::to_string(longestLabel) + " the translators' guide allows");
    }
    return out + missing(present);
}

} // namespace labels_file
