#include "emberlane-sim/picture.h"

#include "emberlane-sim/timeline.h"
#include "sim/sim.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace picture {
namespace {

constexpr double width = 1200, left = 170, right = 10;
constexpr double barHeight = 14, nameRow = 11, panelHeight = 40, panelGap = 14;
// Small names (font size 9) are drawn at this width a letter, whatever the font, so the
// layout can rely on it; the scene's actions stand at least a line apart.
constexpr double smallLetter = 5.6, actionSpacing = 12;
constexpr const char* promptColour = "#d9822b";
constexpr const char* scenarioColour = "#8a6d3b";
constexpr const char* waitColour = "#6b46c1";
constexpr const char* discardColour = "#c53030";
constexpr const char* actionColour = "#7a8a99";
constexpr const char* loadColour = "#4a5568";
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
    // Text squeezed or stretched to `length`, whatever the font.
    void fitted(double x, double y, const std::string& s, double length, const char* attributes) {
        add("<text x=\"%.1f\" y=\"%.1f\" textLength=\"%.1f\" lengthAdjust=\"spacingAndGlyphs\"%s>",
            x, y, length, attributes);
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

double nameWidth(const std::string& scenario) {
    return smallLetter * static_cast<double>(shortName(scenario).size());
}

// Ticks at a round step that gives no more than about a dozen of them.
std::int64_t tickStep(std::int64_t endMs) {
    for (const std::int64_t step :
         {1000, 2000, 5000, 10000, 15000, 30000, 60000, 120000, 300000, 600000, 1800000, 3600000})
        if (endMs / step <= 12) return step;
    return 3600000;
}

// A scene line as a mark's label: the place and heading left out, a control without its
// "INPUT_", a scenario without its family prefix.
std::string actionLabel(const std::string& text) {
    std::vector<std::string> words;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t end = std::min(text.find(' ', i), text.size());
        words.push_back(text.substr(i, end - i));
        i = end + 1;
    }
    if (words.empty()) return text;
    if (words[0] == "stand" && words.size() > 2) return "stand";
    if (words[0] == "horse" && words.size() > 2) return "horse " + words[1];
    if (words[0] == "scenario" && words.size() == 3) words[2] = shortName(words[2]);
    if ((words[0] == "press" || words[0] == "release") && words.size() == 2 &&
        words[1].rfind("INPUT_", 0) == 0)
        words[1].erase(0, 6);
    std::string label;
    for (const std::string& w : words) label += (label.empty() ? "" : " ") + w;
    return label;
}

struct Lane {
    std::string name;
    bool scenario = false;
    int nameRows = 0; // rows of scenario names under the bar
    double top = 0;
    std::vector<std::pair<const observer::Span*, int>> spans; // each with its name's row
};

// Where everything stands: the time scale, the lanes with their rows of names, the scene's
// actions, the cores' panels, and the tops of the parts below the lanes.
struct Layout {
    std::int64_t endMs = 0;
    double span = 1;
    std::vector<Lane> lanes;
    struct Action {
        const observer::Event* event;
        std::string label;
        double labelX;
    };
    std::vector<Action> actions;
    double labelsLength = 0;
    std::vector<std::string> series;
    double marksTop = 0, panelsTop = 0, axisTop = 0, actionsTop = 0, legendTop = 0;

    double x(std::int64_t ms) const {
        return left + (width - left - right) * static_cast<double>(ms) / span;
    }
};

// A lane for each prompt, the player's scenario, and each lane the history has besides; a
// scenario's name goes in the first row where it does not run into the one before it.
void layOutLanes(Layout& l, const observer::History& r) {
    for (const char* p : sim::promptNames) l.lanes.push_back({p, false, 0, 0, {}});
    l.lanes.push_back({"player scenario", true, 0, 0, {}});
    for (const observer::Span& s : r.spans)
        if (std::none_of(l.lanes.begin(), l.lanes.end(),
                         [&](const Lane& lane) { return lane.name == s.lane; }))
            l.lanes.push_back({s.lane, s.lane.find("scenario") != std::string::npos, 0, 0, {}});
    for (Lane& lane : l.lanes) {
        std::vector<double> rowEnds;
        for (const observer::Span& s : r.spans) {
            if (s.lane != lane.name) continue;
            int row = 0;
            if (lane.scenario) {
                const double from = l.x(s.from);
                const double to = from + nameWidth(s.label) + 6;
                while (static_cast<std::size_t>(row) < rowEnds.size() && rowEnds[row] > from) ++row;
                if (static_cast<std::size_t>(row) == rowEnds.size()) rowEnds.push_back(0);
                rowEnds[row] = to;
            }
            lane.spans.push_back({&s, row});
        }
        lane.nameRows = static_cast<int>(rowEnds.size());
    }
}

// The scene's own actions, marked on the time axis: each label hangs below its moment, pushed
// right past the one before when they would touch.
void layOutActions(Layout& l, const observer::History& r) {
    for (const observer::Event& e : r.events) {
        if (e.what != "scene") continue;
        const double at = l.actions.empty()
                              ? l.x(e.ms)
                              : std::max(l.x(e.ms), l.actions.back().labelX + actionSpacing);
        l.actions.push_back({&e, actionLabel(e.detail), at});
        l.labelsLength = std::max(l.labelsLength,
                                  smallLetter * static_cast<double>(l.actions.back().label.size()));
    }
}

Layout layOut(const observer::History& r) {
    Layout l;
    l.endMs = r.endMs;
    l.span = std::max<double>(1, static_cast<double>(r.endMs));
    layOutLanes(l, r);
    double y = 30;
    for (Lane& lane : l.lanes) {
        lane.top = y;
        y += barHeight + 6 + nameRow * lane.nameRows;
    }
    layOutActions(l, r);
    for (const observer::Sample& s : r.samples)
        if (std::find(l.series.begin(), l.series.end(), s.series) == l.series.end())
            l.series.push_back(s.series);
    l.marksTop = y;
    l.panelsTop = l.marksTop + barHeight + 6 + 12;
    l.axisTop = l.panelsTop + static_cast<double>(l.series.size()) * (panelHeight + panelGap);
    l.actionsTop = l.axisTop + 24;
    l.legendTop = l.actionsTop + (l.actions.empty() ? 0 : 18 + l.labelsLength) + 10;
    return l;
}

// The time axis: a light line through every lane at each tick, its time underneath.
void drawAxis(Picture& p, const Layout& l) {
    const std::int64_t step = tickStep(l.endMs);
    p.out += "<g class=\"axis\">\n";
    for (std::int64_t ms = 0; ms <= l.endMs; ms += step) {
        p.add("<line x1=\"%.1f\" y1=\"30\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#e6e0d4\"/>\n", l.x(ms),
              l.x(ms), l.axisTop + 4);
        p.text(std::min(l.x(ms) - 14, width - right - 30), l.axisTop + 16,
               timeline::clock(ms).substr(0, 5));
    }
    p.text(10, l.axisTop + 16, "game time (mm:ss)");
    p.out += "</g>\n";
}

void drawActions(Picture& p, const Layout& l) {
    p.out += "<g class=\"actions\">";
    if (!l.actions.empty()) p.text(10, l.actionsTop + 12, "the scene's actions");
    p.out += "\n";
    for (const Layout::Action& a : l.actions) {
        const double at = l.x(a.event->ms), labelTop = l.actionsTop + 14;
        p.add("<g class=\"action\"><title>");
        p.out += escape(timeline::clock(a.event->ms) + " " + a.event->detail) + "</title>";
        p.add("<line x1=\"%.1f\" y1=\"30\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" "
              "stroke-dasharray=\"1,3\"/>",
              at, at, l.axisTop, actionColour);
        p.add("<path d=\"M%.1f %.1f l-4 8 h8 z M%.1f %.1f L%.1f %.1f\" fill=\"%s\" stroke=\"%s\"/>",
              at, l.actionsTop - 2, at, l.actionsTop + 6, a.labelX, labelTop - 2, actionColour,
              actionColour);
        char rotate[64];
        std::snprintf(rotate, sizeof rotate, " font-size=\"9\" transform=\"rotate(90 %.1f %.1f)\"",
                      a.labelX - 3, labelTop);
        p.fitted(a.labelX - 3, labelTop, a.label, smallLetter * static_cast<double>(a.label.size()),
                 rotate);
        p.out += "</g>\n";
    }
    p.out += "</g>\n";
}

void drawLanes(Picture& p, const Layout& l) {
    for (const Lane& lane : l.lanes) {
        const double bottom = lane.top + barHeight + 3;
        p.add("<g class=\"lane\"><line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" "
              "stroke=\"#ddd\"/>",
              left, bottom + nameRow * lane.nameRows, width - right,
              bottom + nameRow * lane.nameRows);
        p.text(10, lane.top + 14, lane.name);
        p.out += "</g>\n";
        for (const auto& [s, row] : lane.spans) {
            p.add("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\"><title>",
                  l.x(s->from), lane.top + 3, std::max(1.0, l.x(s->to) - l.x(s->from)),
                  barHeight - 3, lane.scenario ? scenarioColour : promptColour);
            p.out += escape(s->label) + "</title></rect>\n";
            if (lane.scenario)
                p.fitted(l.x(s->from), bottom + nameRow * (row + 1) - 2, shortName(s->label),
                         nameWidth(s->label),
                         " class=\"scenario-name\" font-size=\"9\" fill=\"#5c4826\"");
        }
    }
}

bool hasLoads(const observer::History& r) {
    return std::any_of(r.marks.begin(), r.marks.end(),
                       [](const observer::Mark& m) { return m.kind == observer::Mark::Load; });
}

// A load across every lane, as long as its loading screen: the script's run ends there and
// the next starts after it.
void drawLoads(Picture& p, const Layout& l, const observer::History& r) {
    if (!hasLoads(r)) return;
    p.out += "<g class=\"loads\">\n";
    for (const observer::Mark& m : r.marks) {
        if (m.kind != observer::Mark::Load) continue;
        p.add("<g class=\"load\"><title>");
        p.out += escape(m.label + " at " + timeline::clock(m.ms) + "; the script starts again at " +
                        timeline::clock(m.ms + m.lengthMs)) +
                 "</title>";
        p.add("<rect x=\"%.1f\" y=\"30\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\" "
              "fill-opacity=\"0.15\"/><line x1=\"%.1f\" y1=\"30\" x2=\"%.1f\" y2=\"%.1f\" "
              "stroke=\"%s\" stroke-width=\"1.5\"/></g>\n",
              l.x(m.ms), std::max(1.0, l.x(m.ms + m.lengthMs) - l.x(m.ms)), l.axisTop - 30,
              loadColour, l.x(m.ms), l.x(m.ms), l.axisTop, loadColour);
    }
    p.out += "</g>\n";
}

// Waits inside a pass as bars as long as the wait; prop discards as red marks.
void drawMarks(Picture& p, const Layout& l, const observer::History& r) {
    p.out += "<g class=\"marks\">";
    p.text(10, l.marksTop + 14, "waits, prop discards");
    p.out += "\n";
    for (const observer::Mark& m : r.marks) {
        if (m.kind == observer::Mark::Load) continue;
        if (m.kind == observer::Mark::Wait)
            p.add("<rect class=\"wait\" x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" "
                  "fill=\"%s\"><title>",
                  l.x(m.ms), l.marksTop + 3, std::max(1.0, l.x(m.ms + m.lengthMs) - l.x(m.ms)),
                  barHeight - 3, waitColour);
        else
            p.add("<path class=\"discard\" d=\"M%.1f %.1f l-5 -9 h10 z\" fill=\"%s\"><title>",
                  l.x(m.ms), l.marksTop + barHeight, discardColour);
        p.out += escape(m.label + " at " + timeline::clock(m.ms)) +
                 (m.kind == observer::Mark::Wait ? "</title></rect>\n" : "</title></path>\n");
    }
    p.out += "</g>\n";
}

// One core's panel: its frame, its scale, and its values as a line in steps.
void drawCore(Picture& p, const Layout& l, const observer::History& r, std::size_t k) {
    const double top = l.panelsTop + static_cast<double>(k) * (panelHeight + panelGap);
    const char* colour = coreColours[k % std::size(coreColours)];
    auto level = [&](double value) { return top + panelHeight * (1 - value / 100.0); };
    p.text(10, top + panelHeight / 2 + 4, l.series[k]);
    p.add("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"none\" "
          "stroke=\"#ddd\"/><line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" "
          "stroke=\"#eee\"/>\n",
          left, top, width - right - left, panelHeight, left, level(50), width - right, level(50));
    for (const int mark : {0, 50, 100})
        p.text(left - 4, level(mark) + 3, std::to_string(mark),
               " font-size=\"9\" text-anchor=\"end\" fill=\"#888\"");
    std::string points;
    char b[64];
    double lastY = -1;
    for (const observer::Sample& s : r.samples) {
        if (s.series != l.series[k]) continue;
        const double v = level(std::clamp(s.value, 0, 100));
        if (lastY >= 0) {
            std::snprintf(b, sizeof b, "%.1f,%.1f ", l.x(s.ms), lastY);
            points += b;
        }
        std::snprintf(b, sizeof b, "%.1f,%.1f ", l.x(s.ms), v);
        points += b;
        lastY = v;
    }
    std::snprintf(b, sizeof b, "%.1f,%.1f", l.x(r.endMs), lastY);
    points += b;
    p.out += "<polyline class=\"core\" fill=\"none\" stroke-width=\"1.5\" stroke=\"";
    p.out += colour;
    p.out += "\" points=\"" + points + "\"><title>" + escape(l.series[k]) + "</title></polyline>\n";
}

// A panel for each core, so lines at the same value never hide one another.
void drawCores(Picture& p, const Layout& l, const observer::History& r) {
    p.out += "<g class=\"cores\">\n";
    for (std::size_t k = 0; k < l.series.size(); ++k) drawCore(p, l, r, k);
    p.out += "</g>\n";
}

// The legend: what each colour and mark means, in rows; where its last row is.
double drawLegend(Picture& p, const Layout& l, bool loads) {
    p.out += "<g class=\"legend\">\n";
    double lx = left, ly = l.legendTop;
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
    entry("the scene's action", [&](double bx, double by) {
        p.add("<path d=\"M%.1f %.1f l-4 8 h8 z\" fill=\"%s\"/>", bx + 6, by + 2, actionColour);
    });
    if (loads)
        entry("the game loads a session (the loading screen)", [&](double bx, double by) {
            p.add("<rect x=\"%.1f\" y=\"%.1f\" width=\"12\" height=\"10\" fill=\"%s\" "
                  "fill-opacity=\"0.15\" stroke=\"%s\"/>",
                  bx, by + 2, loadColour, loadColour);
        });
    p.out += "</g>\n</svg>\n";
    return ly;
}

} // namespace

std::string svg(const observer::History& r, const std::string& title) {
    const Layout l = layOut(r);
    Picture p;
    p.text(10, 18, title + ": " + timeline::clock(r.endMs) + " of game time", " font-size=\"13\"");
    drawAxis(p, l);
    drawActions(p, l);
    drawLanes(p, l);
    drawLoads(p, l, r);
    drawMarks(p, l, r);
    drawCores(p, l, r);
    const double legendBottom = drawLegend(p, l, hasLoads(r));

    // The size is known only now that the legend has its rows.
    Picture head;
    head.add(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "width=\"%.0f\" height=\"%.0f\" font-family=\"sans-serif\" font-size=\"11\">\n"
        "<rect width=\"100%%\" height=\"100%%\" fill=\"#fbf8f1\"/>\n",
        width, legendBottom + 28);
    return head.out + p.out;
}

} // namespace picture
