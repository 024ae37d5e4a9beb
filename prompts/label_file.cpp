// The label file as the plug-in finds it in the game's folder, or the labels of the game's
// language when there is none.
#include "host/natives.h"
#include "host/recording.h"
#include "prompts/labels.h"

#include <cstdio>

LabelLines readLabelFile() {
    std::FILE* file = std::fopen("Emberlane.dat", "rb");
    if (!file) {
        // A player's own words win; without them the prompts speak the game's language.
        if (recording::on) recording::builtInLabels();
        return builtInLabels(invoke<std::int32_t>(op::currentLanguage));
    }
    // Binary, with the line-end rule applied by parseLabels: the same texts on every platform.
    // Only the first ten lines are read.
    std::string text;
    std::size_t lines = 0;
    for (int c; lines < labelCount && (c = std::fgetc(file)) != EOF;) {
        text.push_back(static_cast<char>(c));
        if (c == '\n') ++lines;
    }
    std::fclose(file);
    LabelLines labels = parseLabels(text.data(), text.size());
    if (recording::on) recording::labelFile(labels);
    return labels;
}
