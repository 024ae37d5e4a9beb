#include "emberlane-sim/picture.h"

#include "emberlane-sim/timeline.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace picture {
namespace {

constexpr double width = 1200, left = 170, right = 10;
constexpr double barHeight = 14, nameRow = 11, chartHeight = 120;
constexpr const char* promptColour = "#d9822b";
constexpr const char* scenarioColour = "#8a6d3b";
constexpr const char* waitColour = "#6b46c1";
constexpr const char* discardColour = "#c53030";
constexpr const char* coreColours[] = {"#2b6cb0", "#c53030", "#2f855a",
                                       "#6b46c1", "#b7791f", "#319795"};

std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
        }
    }
    return out;
}

struct Picture {
    std::string out;

    [[gnu::format(printf, 2, 3)]] void add(const char* format, ...) {
        char b[512];
        va_list args;
        va_start(args, format);
        std::vsnprintf(b, sizeof b, format, args);
        va_end(args);
        out += b;
    }
    void text(double x, double y, const std::string& s, const char* attributes = "") {
        add("<text x=\"%.1f\" y=\"%.1f\"%s>", x, y, attributes);
        out += escape(s) + "</text>\n";
    }
};

// The scenario as a bar's name: the family prefix says nothing the lane does not.
std::string shortName(const std::string& scenario) {
    for (const char* prefix : {"WORLD_ANIMAL_HORSE_", "WORLD_HUMAN_", "WORLD_PLAYER_", "WORLD_"})
        if (scenario.rfind(prefix, 0) == 0)
            return scenario.substr(std::char_traits<char>::length(prefix));
    return scenario;
}

// Ticks at a round step that gives no more than about a dozen of them.
std::int64_t tickStep(std::int64_t endMs) {
    for (const std::int64_t step :
         {1000, 2000, 5000, 10000, 15000, 30000, 60000, 120000, 300000, 600000, 1800000, 3600000})
        if (endMs / step <= 12) return step;
    return 3600000;
}

struct Lane {
    std::string name;
    bool scenario = false;
    int nameRows = 0; // rows of scenario names under the bar
    double top = 0;
    std::vector<std::pair<const session::Span*, int>> spans; // each with its name's row
};

} // namespace

std::string svg(const session::Record& r) {
    const double span = std::max<double>(1, static_cast<double>(r.endMs));
    auto x = [&](std::int64_t ms) {
        return left + (width - left - right) * static_cast<double>(ms) / span;
    };

    std::vector<Lane> lanes;
    for (const char* p : sim::promptNames) lanes.push_back({p, false, 0, 0, {}});
    lanes.push_back({"player scenario", true, 0, 0, {}});
    for (const session::Span& s : r.spans)
        if (std::none_of(lanes.begin(), lanes.end(),
                         [&](const Lane& l) { return l.name == s.lane; }))
            lanes.push_back({s.lane, s.lane.find("scenario") != std::string::npos, 0, 0, {}});
    for (Lane& lane : lanes) {
        // A name goes in the first row where it does not run into the one before it.
        std::vector<double> rowEnds;
        for (const session::Span& s : r.spans) {
            if (s.lane != lane.name) continue;
            int row = 0;
            if (lane.scenario) {
                const double from = x(s.from);
                const double to = from + 5.5 * static_cast<double>(shortName(s.label).size()) + 6;
                while (static_cast<std::size_t>(row) < rowEnds.size() && rowEnds[row] > from) ++row;
                if (static_cast<std::size_t>(row) == rowEnds.size()) rowEnds.push_back(0);
                rowEnds[row] = to;
            }
            lane.spans.push_back({&s, row});
        }
        lane.nameRows = static_cast<int>(rowEnds.size());
    }
    double y = 30;
    for (Lane& lane : lanes) {
        lane.top = y;
        y += barHeight + 6 + nameRow * lane.nameRows;
    }
    const double marksTop = y;
    const double chartTop = marksTop + barHeight + 6 + 24;
    const double axisTop = chartTop + chartHeight;
    const double legendTop = axisTop + 34;

    Picture p;
    p.text(10, 18, "Emberlane in the stand-in game: " + timeline::clock(r.endMs) + " of game time",
           " font-size=\"13\"");

    // The time axis: a light line through every lane at each tick, its time underneath.
    const std::int64_t step = tickStep(r.endMs);
    p.out += "<g class=\"axis\">\n";
    for (std::int64_t ms = 0; ms <= r.endMs; ms += step) {
        p.add("<line x1=\"%.1f\" y1=\"30\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#e6e0d4\"/>\n", x(ms),
              x(ms), axisTop + 4);
        p.text(x(ms) - 14, axisTop + 16, timeline::clock(ms).substr(0, 5));
    }
    p.text(10, axisTop + 16, "game time (mm:ss)");
    p.out += "</g>\n";

    for (const Lane& lane : lanes) {
        const double bottom = lane.top + barHeight + 3;
        p.add("<g class=\"lane\"><line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" "
              "stroke=\"#ddd\"/>",
              left, bottom + nameRow * lane.nameRows, width - right,
              bottom + nameRow * lane.nameRows);
        p.text(10, lane.top + 14, lane.name);
        p.out += "</g>\n";
        for (const auto& [s, row] : lane.spans) {
            p.add("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\"><title>",
                  x(s->from), lane.top + 3, std::max(1.0, x(s->to) - x(s->from)), barHeight - 3,
                  lane.scenario ? scenarioColour : promptColour);
            p.out += escape(s->label) + "</title></rect>\n";
            if (lane.scenario)
                p.text(x(s->from), bottom + nameRow * (row + 1) - 2, shortName(s->label),
                       " class=\"scenario-name\" font-size=\"9\" fill=\"#5c4826\"");
        }
    }

    // Waits inside a pass as bars as long as the wait; prop discards as red marks.
    p.out += "<g class=\"marks\">";
    p.text(10, marksTop + 14, "waits, prop discards");
    p.out += "\n";
    for (const session::Mark& m : r.marks) {
        if (m.kind == session::Mark::Wait)
            p.add("<rect class=\"wait\" x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" "
                  "fill=\"%s\"><title>",
                  x(m.ms), marksTop + 3, std::max(1.0, x(m.ms + m.lengthMs) - x(m.ms)),
                  barHeight - 3, waitColour);
        else
            p.add("<path class=\"discard\" d=\"M%.1f %.1f l-5 -9 h10 z\" fill=\"%s\"><title>",
                  x(m.ms), marksTop + barHeight, discardColour);
        p.out += escape(m.label + " at " + timeline::clock(m.ms)) +
                 (m.kind == session::Mark::Wait ? "</title></rect>\n" : "</title></path>\n");
    }
    p.out += "</g>\n";

    std::vector<std::string> series;
    for (const session::Sample& s : r.samples)
        if (std::find(series.begin(), series.end(), s.series) == series.end())
            series.push_back(s.series);
    p.out += "<g class=\"cores\">";
    p.text(10, chartTop + 14, "cores (0-100)");
    p.add("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"none\" "
          "stroke=\"#ccc\"/>\n",
          left, chartTop, width - right - left, chartHeight);
    for (std::size_t k = 0; k < series.size(); ++k) {
        std::string points;
        char b[64];
        double lastY = -1;
        for (const session::Sample& s : r.samples) {
            if (s.series != series[k]) continue;
            const double v = chartTop + chartHeight * (1 - std::clamp(s.value, 0, 100) / 100.0);
            if (lastY >= 0) {
                std::snprintf(b, sizeof b, "%.1f,%.1f ", x(s.ms), lastY);
                points += b;
            }
            std::snprintf(b, sizeof b, "%.1f,%.1f ", x(s.ms), v);
            points += b;
            lastY = v;
        }
        if (lastY >= 0) {
            std::snprintf(b, sizeof b, "%.1f,%.1f", x(r.endMs), lastY);
            points += b;
        }
        const char* colour = coreColours[k % std::size(coreColours)];
        p.out += "<polyline fill=\"none\" stroke=\"" + std::string(colour) + "\" points=\"" +
                 points + "\"/>\n";
    }
    p.out += "</g>\n";

    // The legend: what each colour and mark means, the cores' series among them, in rows.
    p.out += "<g class=\"legend\">\n";
    double lx = left, ly = legendTop;
    auto entry = [&](const std::string& label, auto swatch) {
        const double w = 26 + 6.2 * static_cast<double>(label.size());
        if (lx + w > width - right && lx > left) {
            lx = left;
            ly += 18;
        }
        swatch(lx, ly);
        p.text(lx + 16, ly + 11, label);
        lx += w;
    };
    auto box = [&](const char* colour) {
        return [&p, colour](double bx, double by) {
            p.add("<rect x=\"%.1f\" y=\"%.1f\" width=\"12\" height=\"10\" fill=\"%s\"/>", bx,
                  by + 2, colour);
        };
    };
    entry("prompt on screen", box(promptColour));
    entry("scenario", box(scenarioColour));
    entry("wait inside a pass", box(waitColour));
    entry("prop discarded", [&](double bx, double by) {
        p.add("<path d=\"M%.1f %.1f l-5 -9 h10 z\" fill=\"%s\"/>", bx + 6, by + 12, discardColour);
    });
    for (std::size_t k = 0; k < series.size(); ++k)
        entry(series[k], [&](double bx, double by) {
            p.add("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" "
                  "stroke-width=\"2\"/>",
                  bx, by + 7, bx + 12, by + 7, coreColours[k % std::size(coreColours)]);
        });
    p.out += "</g>\n</svg>\n";

    // The size is known only now that the legend has its rows.
    Picture head;
    head.add(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "width=\"%.0f\" height=\"%.0f\" font-family=\"sans-serif\" font-size=\"11\">\n"
        "<rect width=\"100%%\" height=\"100%%\" fill=\"#fbf8f1\"/>\n",
        width, ly + 28);
    return head.out + p.out;
}

} // namespace picture
