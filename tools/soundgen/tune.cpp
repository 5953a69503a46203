// Reader for tracker-style tune sources. A source looks like
//   tune tunes/tune1
//   scale C D E G A               pitch classes the melodic lanes may use
//   pattern lead 0 [like=N] [repeat=16]
//   00  C4   24                   row, note, volume [, effect]
//   04  ---  18                   volume only (keeps a note ringing)
//   08  E4   off                  "off" silences the voice
//   10  ---  .                    a rest: keeps repeat= from filling the row
// Lanes: drums1, drums2 (drum names), lead, accomp (note 13 is C4) and bass
// (note 13 is C2). Effects: slideup:N slidedown:N fastup:N fastdown:N end.
#include "tune.h"

#include <cctype>
#include <cmath>
#include <set>
#include <sstream>
#include <stdexcept>

#include "synth.h"

namespace soundgen {

const int kDrumKeys[8] = {13, 15, 17, 18, 20, 22, 24, 25};
const char* const kDrumNames[8] = {"kick", "snare", "hat", "open", "tomlo", "tomhi", "clap", "crash"};

namespace {

const char* const kLaneNames[5] = {"drums1", "drums2", "lead", "accomp", "bass"};

struct Reader {
    std::string file;
    int line = 0;

    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error(file + ":" + std::to_string(line) + ": " + what);
    }

    int Int(const std::string& text, int lo, int hi, const char* what) const {
        char* end = nullptr;
        long v = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || v < lo || v > hi) {
            Fail(std::string(what) + " must be " + std::to_string(lo) + ".." + std::to_string(hi) + ", got '" + text +
                 "'");
        }
        return static_cast<int>(v);
    }
};

// Semitones above C of a note name ("C4", "F#3", "Bb2"), with its octave.
bool NoteNumber(const std::string& name, int* midi) {
    double hz = 0.0;
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    if (!ParseFrequency(name, &hz)) return false;
    *midi = static_cast<int>(std::lround(69.0 + 12.0 * std::log2(hz / 440.0)));
    return true;
}

int PitchClass(const std::string& name, const Reader& r) {
    int midi = 0;
    if (!NoteNumber(name + "4", &midi)) r.Fail("'" + name + "' is not a pitch class");
    return midi % 12;
}

void ParseRow(const Reader& r, std::istringstream& words, const std::string& first, Tune& tune, int pattern, int lane,
              const std::set<int>& scale) {
    const int row = r.Int(first, 0, kRows - 1, "row");
    std::string note, vol, fx;
    if (!(words >> note >> vol)) r.Fail("a row needs a note (or ---) and a volume (or .)");
    words >> fx;
    std::string extra;
    if (words >> extra) r.Fail("unexpected '" + extra + "' after the effect");

    int noteValue = 0;
    if (note != "---") {
        if (lane < 2) {
            for (int i = 0; i < 8; ++i) {
                if (note == kDrumNames[i]) noteValue = kDrumKeys[i];
            }
            if (!noteValue) r.Fail("'" + note + "' is not a drum (kick snare hat open tomlo tomhi clap crash)");
        } else {
            int midi = 0;
            if (!NoteNumber(note, &midi)) r.Fail("'" + note + "' is not a note name");
            const int base = lane == 4 ? 36 : 60;  // C2 for the bass, C4 otherwise
            noteValue = 13 + midi - base;
            if (noteValue < 1 || noteValue > 31) r.Fail("'" + note + "' is outside the lane's range");
            if (!scale.empty() && !scale.count(midi % 12)) r.Fail("'" + note + "' is not in the tune's scale");
        }
    }

    int volValue = 0;
    if (vol == "off") volValue = 31;
    else if (vol != ".") volValue = r.Int(vol, 1, 30, "volume");
    // The sequencer keeps each voice's volume at 0 until a cell sets one, so
    // a note without a volume could stay silent: every note carries its own.
    if (noteValue && (volValue == 0 || volValue == 31)) r.Fail("a note needs a volume of 1..30");

    int fxValue = 0, param = 0;
    if (!fx.empty() && fx != ".") {
        std::string name = fx, arg;
        size_t colon = fx.find(':');
        if (colon != std::string::npos) {
            name = fx.substr(0, colon);
            arg = fx.substr(colon + 1);
        }
        if (name == "slideup") fxValue = 1;
        else if (name == "slidedown") fxValue = 2;
        else if (name == "fastup") fxValue = 3;
        else if (name == "fastdown") fxValue = 4;
        else if (name == "end") fxValue = 8;
        else r.Fail("unknown effect '" + name + "'");
        if (fxValue <= 4) param = r.Int(arg, 1, 31, "slide amount");
        else if (!arg.empty()) r.Fail("'end' takes no amount");
    }

    tune.At(pattern, lane, row, 0) = static_cast<uint8_t>(noteValue);
    tune.At(pattern, lane, row, 1) = static_cast<uint8_t>(volValue);
    tune.At(pattern, lane, row, 2) = static_cast<uint8_t>(fxValue);
    tune.At(pattern, lane, row, 3) = static_cast<uint8_t>(param);
}

}  // namespace

Tune ParseTune(const std::string& text, const std::string& fileName) {
    Tune tune;
    Reader r;
    r.file = fileName;
    std::set<int> scale;
    std::set<std::pair<int, int>> defined;
    std::set<int> rowsSeen;  // rows written in the current pattern, rests included
    int lane = -1, pattern = -1, repeat = 0;

    // repeat=N fills every row from N on that the pattern did not write
    // itself; this happens when the next pattern (or the file) starts.
    auto finishPattern = [&]() {
        if (lane < 0 || repeat <= 0) return;
        for (int row = repeat; row < kRows; ++row) {
            if (rowsSeen.count(row)) continue;
            for (int f = 0; f < kFields; ++f) tune.At(pattern, lane, row, f) = tune.At(pattern, lane, row % repeat, f);
        }
    };

    std::istringstream lines(text);
    std::string raw;
    while (std::getline(lines, raw)) {
        ++r.line;
        std::istringstream words(StripComment(raw));
        std::string head;
        if (!(words >> head)) continue;
        if (head == "tune") {
            if (!(words >> tune.name)) r.Fail("tune needs a name");
        } else if (head == "scale") {
            std::string pc;
            while (words >> pc) scale.insert(PitchClass(pc, r));
        } else if (head == "pattern") {
            finishPattern();
            std::string laneName, index;
            if (!(words >> laneName >> index)) r.Fail("pattern needs a lane and a number");
            lane = -1;
            for (int i = 0; i < 5; ++i) {
                if (laneName == kLaneNames[i]) lane = i;
            }
            if (lane < 0) r.Fail("unknown lane '" + laneName + "' (drums1 drums2 lead accomp bass)");
            // Frame 63 of the image is never read by the sequencer.
            pattern = r.Int(index, 0, kPatterns - 2, "pattern number");
            if (!defined.insert({lane, pattern}).second) r.Fail("pattern given twice");
            repeat = 0;
            rowsSeen.clear();
            std::string opt;
            while (words >> opt) {
                if (opt.rfind("repeat=", 0) == 0) {
                    repeat = r.Int(opt.substr(7), 1, kRows, "repeat");
                } else if (opt.rfind("like=", 0) == 0) {
                    int from = r.Int(opt.substr(5), 0, kPatterns - 2, "like");
                    if (!defined.count({lane, from}) || from == pattern)
                        r.Fail("like= needs an earlier pattern of this lane");
                    for (int row = 0; row < kRows; ++row) {
                        for (int f = 0; f < kFields; ++f) tune.At(pattern, lane, row, f) = tune.At(from, lane, row, f);
                    }
                } else {
                    r.Fail("unknown pattern option '" + opt + "'");
                }
            }
        } else if (lane >= 0 && std::isdigit(static_cast<unsigned char>(head[0]))) {
            // A "like" copy may be overridden row by row.
            const int row = r.Int(head, 0, kRows - 1, "row");
            if (!rowsSeen.insert(row).second) r.Fail("row " + head + " given twice");
            for (int f = 0; f < kFields; ++f) tune.At(pattern, lane, row, f) = 0;
            ParseRow(r, words, head, tune, pattern, lane, scale);
        } else {
            r.Fail("unknown word '" + head + "'");
        }
    }
    finishPattern();
    r.line = 0;
    if (tune.name.empty()) r.Fail("missing 'tune NAME'");
    // The sequencer picks any pattern from 0 up to a lane's highest one, so a
    // gap would be a silent pattern.
    for (int l = 0; l < 5; ++l) {
        int count = 0;
        while (defined.count({l, count})) ++count;
        if (count == 0) r.Fail(std::string("lane ") + kLaneNames[l] + " has no patterns");
        for (const auto& d : defined) {
            if (d.first == l && d.second >= count)
                r.Fail(std::string("lane ") + kLaneNames[l] + " skips a pattern number");
        }
    }
    return tune;
}

std::vector<uint8_t> TunePixels(const Tune& tune) {
    const int size = 512;
    std::vector<uint8_t> px(size * size * 4, 0);
    for (size_t i = 3; i < px.size(); i += 4) px[i] = 255;
    for (int p = 0; p < kPatterns; ++p) {
        const int ox = (p % 8) * 64, oy = (p / 8) * 64;
        for (int lane = 0; lane < kLanes; ++lane) {
            for (int row = 0; row < kRows; ++row) {
                for (int f = 0; f < kFields; ++f) {
                    const size_t at = (static_cast<size_t>(oy + row) * size + ox + lane * 8 + f) * 4;
                    px[at + 2] = static_cast<uint8_t>((tune.At(p, lane, row, f) & 31) << 3);
                }
            }
        }
    }
    return px;
}

}  // namespace soundgen
