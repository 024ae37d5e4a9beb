// What a player sees of a game, in one place: told what happens (a scenario starts, a core
// moves, a prompt comes on screen), the observer words it as the lines of the timeline
// (emberlane-sim/timeline.h) and the marks of the picture (emberlane-sim/picture.h), and says
// what a player sees at any moment. The stand-in game tells it what its world does during a
// play (emberlane-sim/session.h); a replay tells it what the recorded calls show
// (emberlane-sim/call_watcher.h). Both therefore print the same words for the same game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace observer {

// Who made a change: the plug-in by its calls, a line of the scene, or the game on its own
// (a timed scenario that ends, an overpower that wears off, the player as the game reports).
enum class Cause { Plugin, Scene, Game };

struct Event {
    std::int64_t ms; // since the game began
    std::string what;
    std::string detail;
    Cause cause = Cause::Plugin;
};

// A time something lasted: a prompt on screen, a scenario.
struct Span {
    std::string lane;
    std::string label;
    std::int64_t from, to;
};

struct Sample {
    std::int64_t ms;
    std::string series;
    std::int32_t value;
};

// A moment the picture marks: a wait inside a pass, a held prop discarded, or a load.
struct Mark {
    enum Kind { Wait, PropDiscard, Load };
    Kind kind;
    std::int64_t ms;
    std::int64_t lengthMs; // how long the wait or the loading screen was; 0 for a discard
    std::string label;
};

// What happened over a game: the timeline's lines, the picture's spans, samples and marks,
// and the summary's numbers.
struct History {
    std::vector<Event> events; // in time order once finished
    std::vector<Span> spans;
    std::vector<Sample> samples;
    std::vector<Mark> marks;
    std::vector<std::uint64_t> callsPerPass;
    std::int64_t endMs = 0;
    std::size_t pointsLeft = 0;
    std::uint64_t digest = 0;
    std::int64_t fullAt = -1; // when it stopped taking more, past its size; -1: it never did
};

// What a player sees at a moment, item by item: the game time, the prompts on screen, and for
// each one in the game, the scenario, the cores, the props discarded and a horse's points.
using Sight = std::vector<std::pair<std::string, std::string>>;

// A prompt on screen: its name in the plug-in and its label.
struct OnScreen {
    std::string prompt;
    std::string label;
};

// A text from a file as the timeline and the reports show it, where the text stands alone (a
// name, a version): as it is when it is a plain name (letters, digits, '_', '.', '-'), which
// can be nothing else, and otherwise between quotation marks, as sim::printable gives it. A
// label between the timeline's own quotation marks is sim::printable's alone.
std::string readable(const std::string& text);

class Observer {
  public:
    std::int64_t now = 0; // the game time of what it is told next
    History history;

    // Someone in the game, by the name the timeline gives them ("player", a horse's): in no
    // scenario, no prop discarded, not overpowered; the first telling of a core or of the
    // points learns them.
    void meet(const std::string& who);
    void scenario(const std::string& who, const std::string& scenario, Cause cause); // "": none
    void core(const std::string& who, int core, std::int32_t value, Cause cause);
    void overpowered(const std::string& who, bool overpowered, Cause cause);
    void propsDiscarded(const std::string& who, int total, Cause cause);
    void points(const std::string& who, std::int32_t points, Cause cause);
    void washing(const std::string& who, bool washing);

    // The prompts on screen as a frame is drawn, in the plug-in's creation order.
    void screen(const std::vector<OnScreen>& prompts);

    void scriptWaits(std::uint32_t ms); // a wait inside a pass
    // The game loads a session: the prompts on screen go with the script's run, which starts
    // again after `loadingMs`.
    void sessionLoads(std::int64_t loadingMs, Cause cause);
    void scriptEases(int frames); // the camera eased in, a frame at a time
    void sceneLine(const std::string& text);
    void playerDoes(const std::string& what); // as the game reports it: a line of the game's

    Sight sight() const;

    // Closes what is still open (prompts on screen, scenarios, refills under way) at `now`,
    // so that the history reads whole.
    void finish();

    // Past this many bytes of history (a recording can tell of any number of changes), it
    // takes no more and says from when.
    static constexpr std::size_t maxBytes = 24 << 20;

  private:
    struct Someone {
        std::string name;
        std::string scenario;
        std::int64_t scenarioSince = 0;
        bool coreKnown[2] = {false, false};
        std::int32_t cores[2] = {0, 0};
        bool overpowered = false;
        int props = 0;
        bool pointsKnown = false;
        std::int32_t points = 0;
        bool washing = false;
    };
    // A core raised a point at a time is one line: from the first point to the last.
    struct Run {
        bool open = false;
        std::int32_t from = 0, to = 0;
        std::int64_t since = 0, last = 0;
    };

    std::vector<Someone> people;
    std::map<std::string, Run> runs;
    std::vector<OnScreen> shown;
    std::map<std::string, std::int64_t> shownSince;
    std::size_t bytes = 0;

    Someone& someone(const std::string& who);
    bool room(std::size_t more);
    void note(const std::string& what, const std::string& detail, Cause cause,
              std::int64_t at = -1);
    void span(const std::string& lane, const std::string& label, std::int64_t from);
    void sample(const std::string& series, std::int32_t value);
    void coreChanged(const std::string& series, std::int32_t from, std::int32_t to, Cause cause);
    void closeRun(const std::string& series, Run& run);
    void hidden(const OnScreen& p, Cause cause);
};

} // namespace observer
