// The label file as the plug-in finds it in the game's folder.
#include "host/recording.h"
#include "prompts/labels.h"

#include <cstdio>

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
    LabelLines labels = parseLabels(text.data(), text.size());
    if (recording::on) recording::labelLines(labels);
    return labels;
}
