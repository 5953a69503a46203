// Reader for sound recipes. A file holds blocks:
//   sound NAME [rate= peak= fadein= fadeout= echo=DELAY,FEEDBACK tail=]
//     tone   wave= freq= len= at= ...       one voice
//     melody wave= step= notes=C5,E5:2,-,G5  a row of notes on one voice
//   end
//   loop NAME base=C4 len=0.3 [rate= peak= bright=]
//     layer wave= duty= steps= vol= mult=
//   end
// and "style NAME key=value..." lines whose settings a line pulls in with
// style=NAME. '#' starts a comment.
#include "recipe.h"

#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>

namespace soundgen {
namespace {

using Settings = std::vector<std::pair<std::string, std::string>>;

struct Context {
    std::string file;
    int line = 0;
    std::map<std::string, Settings> styles;

    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error(file + ":" + std::to_string(line) + ": " + what);
    }

    double Number(const std::string& key, const std::string& value) const {
        char* end = nullptr;
        double v = std::strtod(value.c_str(), &end);
        if (value.empty() || *end != '\0') Fail("'" + key + "' needs a number, got '" + value + "'");
        return v;
    }

    double Frequency(const std::string& key, const std::string& value) const {
        double hz = 0.0;
        if (!ParseFrequency(value, &hz)) Fail("'" + key + "' needs a note or Hz, got '" + value + "'");
        return hz;
    }

    Wave WaveNamed(const std::string& value, double* duty) const {
        if (value == "square") {
            *duty = 0.5;
            return Wave::Pulse;
        }
        if (value == "pulse") return Wave::Pulse;
        if (value == "triangle") return Wave::Triangle;
        if (value == "noise") return Wave::Noise;
        Fail("unknown wave '" + value + "'");
    }

    // Splits "key=value" words, expanding style=NAME in place.
    Settings Parse(std::istringstream& words) const {
        Settings out;
        std::string word;
        while (words >> word) {
            size_t eq = word.find('=');
            if (eq == std::string::npos || eq == 0) Fail("expected key=value, got '" + word + "'");
            std::string key = word.substr(0, eq), value = word.substr(eq + 1);
            if (key == "style") {
                auto it = styles.find(value);
                if (it == styles.end()) Fail("unknown style '" + value + "'");
                out.insert(out.end(), it->second.begin(), it->second.end());
            } else {
                out.emplace_back(key, value);
            }
        }
        return out;
    }
};

std::vector<std::string> SplitCommas(const std::string& s) {
    std::vector<std::string> parts;
    std::string cur;
    std::istringstream in(s);
    while (std::getline(in, cur, ',')) parts.push_back(cur);
    return parts;
}

// Applies one setting shared by tones and melodies; false if the key is not one.
bool ApplyToneKey(const Context& c, Tone* t, const std::string& k, const std::string& v) {
    if (k == "wave") t->wave = c.WaveNamed(v, &t->duty);
    else if (k == "duty") t->duty = c.Number(k, v);
    else if (k == "steps") t->steps = static_cast<int>(c.Number(k, v));
    else if (k == "short") t->shortNoise = c.Number(k, v) != 0.0;
    else if (k == "at") t->at = c.Number(k, v);
    else if (k == "len") t->len = c.Number(k, v);
    else if (k == "freq") t->freq = c.Frequency(k, v);
    else if (k == "to") t->to = c.Frequency(k, v);
    else if (k == "glide") t->glide = c.Number(k, v);
    else if (k == "vol") t->vol = c.Number(k, v);
    else if (k == "a") t->attack = c.Number(k, v);
    else if (k == "d") t->decay = c.Number(k, v);
    else if (k == "s") t->sustain = c.Number(k, v);
    else if (k == "r") t->release = c.Number(k, v);
    else if (k == "vib") t->vibDepth = c.Number(k, v);
    else if (k == "vibrate") t->vibRate = c.Number(k, v);
    else if (k == "vibdelay") t->vibDelay = c.Number(k, v);
    else if (k == "arprate") t->arpRate = c.Number(k, v);
    else if (k == "lp") t->lowpass = c.Number(k, v);
    else if (k == "hp") t->highpass = c.Number(k, v);
    else if (k == "arp") {
        t->arp.clear();
        for (const std::string& p : SplitCommas(v)) t->arp.push_back(static_cast<int>(c.Number(k, p)));
    } else {
        return false;
    }
    return true;
}

void CheckTone(const Context& c, const Tone& t) {
    if (t.len <= 0.0 || t.at < 0.0) c.Fail("a tone needs len > 0 and at >= 0");
    if (t.duty <= 0.0 || t.duty >= 1.0) c.Fail("duty must lie between 0 and 1");
    if (t.release > t.len) c.Fail("release longer than the tone");
}

void AddTone(const Context& c, const Settings& s, Sound* sound) {
    Tone t;
    for (const auto& [k, v] : s) {
        if (!ApplyToneKey(c, &t, k, v)) c.Fail("unknown tone setting '" + k + "'");
    }
    CheckTone(c, t);
    sound->tones.push_back(t);
}

// A melody expands into one tone per note: notes=C5,E5:2,-,G5 plays C5 for
// one step, E5 for two, rests one step, then G5. gate= is the sounding
// fraction of each note's steps.
void AddMelody(const Context& c, const Settings& s, Sound* sound) {
    Tone proto;
    double step = 0.1, gate = 0.9, at = 0.0;
    std::string notes;
    for (const auto& [k, v] : s) {
        if (k == "step") step = c.Number(k, v);
        else if (k == "gate") gate = c.Number(k, v);
        else if (k == "notes") notes = v;
        else if (k == "at") at = c.Number(k, v);
        else if (k == "freq" || k == "to" || k == "len") c.Fail("a melody takes its pitches from notes=");
        else if (!ApplyToneKey(c, &proto, k, v)) c.Fail("unknown melody setting '" + k + "'");
    }
    if (notes.empty()) c.Fail("a melody needs notes=");
    if (step <= 0.0 || gate <= 0.0 || gate > 1.0) c.Fail("a melody needs step > 0 and 0 < gate <= 1");
    double time = at;
    for (const std::string& word : SplitCommas(notes)) {
        std::string name = word;
        double count = 1.0;
        size_t colon = word.find(':');
        if (colon != std::string::npos) {
            name = word.substr(0, colon);
            count = c.Number("notes", word.substr(colon + 1));
        }
        if (name != "-") {
            Tone t = proto;
            t.freq = c.Frequency("notes", name);
            t.at = time;
            t.len = step * count * gate;
            if (t.release > t.len) t.release = t.len;
            CheckTone(c, t);
            sound->tones.push_back(t);
        }
        time += step * count;
    }
}

void AddLayer(const Context& c, const Settings& s, Loop* loop) {
    Layer layer;
    for (const auto& [k, v] : s) {
        if (k == "wave") layer.wave = c.WaveNamed(v, &layer.duty);
        else if (k == "duty") layer.duty = c.Number(k, v);
        else if (k == "steps") layer.steps = static_cast<int>(c.Number(k, v));
        else if (k == "vol") layer.vol = c.Number(k, v);
        else if (k == "mult") layer.mult = static_cast<int>(c.Number(k, v));
        else c.Fail("unknown layer setting '" + k + "'");
    }
    if (layer.wave == Wave::Noise) c.Fail("a looping layer cannot be noise");
    if (layer.mult < 1) c.Fail("mult must be a whole number from 1");
    loop->layers.push_back(layer);
}

}  // namespace

void ParseRecipes(const std::string& text, const std::string& fileName, RecipeBook* book) {
    Context c;
    c.file = fileName;
    Sound* sound = nullptr;
    Loop* loop = nullptr;
    std::istringstream lines(text);
    std::string raw;
    while (std::getline(lines, raw)) {
        ++c.line;
        std::istringstream words(StripComment(raw));
        std::string head;
        if (!(words >> head)) continue;

        if (head == "end") {
            if (!sound && !loop) c.Fail("'end' outside a block");
            if (sound && sound->tones.empty()) c.Fail("sound '" + sound->name + "' has no tones");
            if (loop && loop->layers.empty()) c.Fail("loop '" + loop->name + "' has no layers");
            sound = nullptr;
            loop = nullptr;
        } else if (head == "tone" || head == "melody") {
            if (!sound) c.Fail("'" + head + "' outside a sound block");
            Settings s = c.Parse(words);
            if (head == "tone") AddTone(c, s, sound);
            else AddMelody(c, s, sound);
        } else if (head == "layer") {
            if (!loop) c.Fail("'layer' outside a loop block");
            AddLayer(c, c.Parse(words), loop);
        } else if (sound || loop) {
            c.Fail("'" + head + "' inside a block (missing 'end'?)");
        } else if (head == "style") {
            std::string name;
            if (!(words >> name)) c.Fail("style needs a name");
            c.styles[name] = c.Parse(words);
        } else if (head == "sound") {
            book->sounds.emplace_back();
            sound = &book->sounds.back();
            if (!(words >> sound->name)) c.Fail("sound needs a name");
            for (const auto& [k, v] : c.Parse(words)) {
                if (k == "rate") sound->rate = static_cast<int>(c.Number(k, v));
                else if (k == "peak") sound->peakDb = c.Number(k, v);
                else if (k == "fadein") sound->fadeIn = c.Number(k, v);
                else if (k == "fadeout") sound->fadeOut = c.Number(k, v);
                else if (k == "tail") sound->tail = c.Number(k, v);
                else if (k == "echo") {
                    std::vector<std::string> p = SplitCommas(v);
                    if (p.size() != 2) c.Fail("echo=DELAY,FEEDBACK");
                    sound->echoDelay = c.Number(k, p[0]);
                    sound->echoFeedback = c.Number(k, p[1]);
                    if (sound->echoFeedback >= 1.0) c.Fail("echo feedback must stay below 1");
                } else c.Fail("unknown sound setting '" + k + "'");
            }
        } else if (head == "loop") {
            book->loops.emplace_back();
            loop = &book->loops.back();
            if (!(words >> loop->name)) c.Fail("loop needs a name");
            for (const auto& [k, v] : c.Parse(words)) {
                if (k == "rate") loop->rate = static_cast<int>(c.Number(k, v));
                else if (k == "base") loop->base = c.Frequency(k, v);
                else if (k == "len") loop->len = c.Number(k, v);
                else if (k == "peak") loop->peakDb = c.Number(k, v);
                else if (k == "bright") loop->bright = c.Number(k, v);
                else c.Fail("unknown loop setting '" + k + "'");
            }
            if (loop->len < 0.2 || loop->len > 0.5) c.Fail("a loop should last 0.2 to 0.5 s");
            if (loop->bright * 2.0 >= loop->rate) c.Fail("bright must stay below half the rate");
        } else {
            c.Fail("unknown word '" + head + "'");
        }
    }
    if (sound || loop) c.Fail("file ends inside a block");
}

}  // namespace soundgen
