// The level tunes: note lists in assets/music/*.tune turned into Standard
// MIDI Files (format 1) with a melody, a harmony part, a bass line and drums
// on the General MIDI percussion channel. Bass and harmony are played from
// the chords in a named style; drum bars come from assets/music/drums.txt.
#include <algorithm>
#include <map>
#include <sstream>
#include <stdexcept>

#include "context.h"

namespace assetgen {

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr int kStep = kTicksPerQuarter / 4;  // one sixteenth
constexpr int kBar = 16;                     // sixteenths in a 4/4 bar
constexpr double kMinSeconds = 60.0;

struct Note {
    int start;  // in sixteenths from the tune's start
    int length;
    int pitch;
    int velocity;
};

struct Chord {
    int start, length;
    int root;                // pitch class 0..11
    std::vector<int> tones;  // semitones above the root
};

struct Section {
    int bars = 0;
    std::vector<Chord> chords;
    std::vector<Note> melody;
    std::vector<std::string> drums;  // a pattern name per bar, repeated as needed
};

using DrumPattern = std::vector<std::pair<int, std::string>>;  // (GM key, 16 steps)

std::vector<std::string> Words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::map<std::string, DrumPattern> ReadDrums(const std::string& text) {
    static const std::map<std::string, int> kKeys = {
        {"kick", 36},  {"snare", 38}, {"clap", 39},    {"hat", 42},    {"pedal", 44},
        {"open", 46},  {"crash", 49}, {"ride", 51},    {"lowtom", 45}, {"midtom", 47},
        {"hitom", 50}, {"tamb", 54},  {"cowbell", 56}, {"shaker", 70}};
    std::map<std::string, DrumPattern> out;
    DrumPattern* cur = nullptr;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const auto w = Words(StripComment(line));
        if (w.empty()) continue;
        if (w[0] == "pattern" && w.size() == 2) {
            cur = &out[w[1]];
            continue;
        }
        if (!cur || w.size() != 2 || w[1].size() != size_t(kBar) || !kKeys.count(w[0]))
            throw std::runtime_error("drums: bad line: " + line);
        cur->emplace_back(kKeys.at(w[0]), w[1]);
    }
    return out;
}

Chord ParseChord(const std::string& sym) {
    static const std::map<std::string, std::vector<int>> kQualities = {
        {"", {0, 4, 7}},         {"m", {0, 3, 7}},     {"7", {0, 4, 7, 10}}, {"m7", {0, 3, 7, 10}},
        {"maj7", {0, 4, 7, 11}}, {"dim", {0, 3, 6}},   {"sus4", {0, 5, 7}},  {"sus2", {0, 2, 7}},
        {"6", {0, 4, 7, 9}},     {"m6", {0, 3, 7, 9}}, {"aug", {0, 4, 8}}};
    size_t i = 1;
    while (i < sym.size() && (sym[i] == '#' || sym[i] == 'b')) ++i;
    const auto q = kQualities.find(sym.substr(i));
    if (q == kQualities.end()) throw std::runtime_error("unknown chord: " + sym);
    return Chord{0, 0, NoteNumber(sym.substr(0, i) + "0") % 12, q->second};
}

int Sixteenths(const std::string& d) {
    const bool dotted = !d.empty() && d.back() == '.';
    const int v = std::stoi(dotted ? d.substr(0, d.size() - 1) : d);
    if (v != 1 && v != 2 && v != 4 && v != 8 && v != 16) throw std::runtime_error("bad note length: " + d);
    const int len = kBar / v;
    return dotted ? len + len / 2 : len;
}

// Melody tokens: NOTE[:LEN] ("e5:8", "f#4:4."), "r" rests, "-" holds the
// previous note, "|" checks that a bar is full, "$name" or "$name^N" plays a
// motif (transposed by N semitones). A length, once given, carries on.
void ParseMelody(const std::vector<std::string>& tokens,
                 const std::map<std::string, std::vector<std::string>>& motifs, int transpose,
                 std::vector<Note>& out, int& pos, int& len, int& barStart, const std::string& where) {
    for (const std::string& tok : tokens) {
        if (tok == "|") {
            if (pos - barStart != kBar)
                throw std::runtime_error(where + ": a bar of " + std::to_string(pos - barStart) +
                                         " sixteenths");
            barStart = pos;
            continue;
        }
        if (tok[0] == '$') {
            const size_t caret = tok.find('^');
            const std::string name =
                tok.substr(1, caret == std::string::npos ? std::string::npos : caret - 1);
            const int shift = caret == std::string::npos ? 0 : std::stoi(tok.substr(caret + 1));
            const auto m = motifs.find(name);
            if (m == motifs.end()) throw std::runtime_error(where + ": unknown motif " + name);
            ParseMelody(m->second, motifs, transpose + shift, out, pos, len, barStart, where);
            continue;
        }
        const size_t colon = tok.find(':');
        if (colon != std::string::npos) len = Sixteenths(tok.substr(colon + 1));
        const std::string pitch = tok.substr(0, colon);
        if (pitch == "-") {
            if (out.empty()) throw std::runtime_error(where + ": a hold with nothing to hold");
            out.back().length += len;
        } else if (pitch != "r") {
            out.push_back(Note{pos, len, NoteNumber(pitch) + transpose, 100});
        }
        pos += len;
    }
}

// ------------------------------------------------------------------ parts from chords

void Bass(const std::string& style, const Chord& c, std::vector<Note>& out) {
    const int root = 36 + c.root, fifth = root + c.tones[2];
    auto add = [&](int at, int len, int pitch, int vel) {
        if (at < c.length) out.push_back(Note{c.start + at, std::min(len, c.length - at), pitch, vel});
    };
    if (style == "root8") {
        for (int s = 0; s < c.length; s += 2) add(s, 2, s % 4 == 2 ? root + 12 : root, s % 8 == 0 ? 110 : 92);
    } else if (style == "walk") {
        const int line[4] = {root, root + c.tones[1], fifth, root + 12};
        for (int s = 0; s < c.length; s += 4) add(s, 4, line[(s / 4) % 4], s % 8 == 0 ? 110 : 95);
    } else if (style == "pump") {
        for (int s = 0; s < c.length; s += 2) add(s, 1, root, s % 4 == 0 ? 112 : 84);
    } else if (style == "synco") {
        const int at[6] = {0, 3, 6, 8, 11, 14};
        for (int bar = 0; bar < c.length; bar += kBar)
            for (int i = 0; i < 6; ++i) add(bar + at[i], 2, i == 4 ? fifth : root, i % 3 == 0 ? 112 : 90);
    } else {
        throw std::runtime_error("unknown bass style: " + style);
    }
}

void Harmony(const std::string& style, const Chord& c, std::vector<Note>& out) {
    std::vector<int> voicing;
    for (int t : c.tones) voicing.push_back(60 + (c.root + t) % 12 - ((c.root + t) % 12 > 7 ? 12 : 0));
    std::sort(voicing.begin(), voicing.end());
    if (style == "stabs") {
        for (int s = 2; s < c.length; s += 4)
            for (int p : voicing) out.push_back(Note{c.start + s, 1, p, 80});
    } else if (style == "pad") {
        for (int p : voicing) out.push_back(Note{c.start, c.length, p, 64});
    } else if (style == "arp") {
        for (int s = 0; s < c.length; ++s) {
            const size_t i = size_t(s) % (voicing.size() * 2 - 2);
            const size_t k = i < voicing.size() ? i : voicing.size() * 2 - 2 - i;
            out.push_back(Note{c.start + s, 1, voicing[k] + 12, s % 4 == 0 ? 80 : 62});
        }
    } else if (style == "chop") {
        for (int s = 0; s < c.length; s += 2)
            for (int p : voicing) out.push_back(Note{c.start + s, 1, p, s % 4 == 0 ? 60 : 78});
    } else {
        throw std::runtime_error("unknown harmony style: " + style);
    }
}

// ------------------------------------------------------------------ MIDI file

void Var(std::vector<uint8_t>& b, uint32_t v) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = v & 0x7F;
    while (v >>= 7) buf[n++] = uint8_t(0x80 | (v & 0x7F));
    while (n) b.push_back(buf[--n]);
}

struct Event {
    uint32_t tick;
    int order;  // note-offs before note-ons at the same tick
    std::vector<uint8_t> data;
};

std::vector<uint8_t> Track(std::vector<Event> events, uint32_t end) {
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<uint8_t> body;
    uint32_t now = 0;
    for (const Event& e : events) {
        Var(body, e.tick - now);
        now = e.tick;
        body.insert(body.end(), e.data.begin(), e.data.end());
    }
    Var(body, end - now);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    std::vector<uint8_t> t = {'M', 'T', 'r', 'k'};
    for (int s = 24; s >= 0; s -= 8) t.push_back(uint8_t(body.size() >> s));
    t.insert(t.end(), body.begin(), body.end());
    return t;
}

Event Meta(uint32_t tick, uint8_t type, const std::string& text) {
    Event e{tick, 0, {0xFF, type}};
    Var(e.data, uint32_t(text.size()));
    e.data.insert(e.data.end(), text.begin(), text.end());
    return e;
}

std::vector<Event> Part(const std::string& name, int channel, int program, int volume, int pan,
                        const std::vector<Note>& notes, double legato) {
    const uint8_t ch = uint8_t(channel);
    std::vector<Event> ev = {Meta(0, 0x03, name), Event{0, 1, {uint8_t(0xB0 | ch), 7, uint8_t(volume)}},
                             Event{0, 1, {uint8_t(0xB0 | ch), 10, uint8_t(pan)}}};
    if (program >= 0) ev.push_back(Event{0, 1, {uint8_t(0xC0 | ch), uint8_t(program)}});
    for (const Note& n : notes) {
        const uint32_t on = uint32_t(n.start * kStep);
        const uint32_t off = on + uint32_t(std::max(30.0, n.length * kStep * legato));
        ev.push_back(Event{on, 3, {uint8_t(0x90 | ch), uint8_t(n.pitch), uint8_t(n.velocity)}});
        ev.push_back(Event{off, 2, {uint8_t(0x80 | ch), uint8_t(n.pitch), 0}});
    }
    return ev;
}

struct Instrument {
    int program = 0, volume = 100;
    std::string style;
};

void MakeTune(Context& cx, const fs::path& file, const std::map<std::string, DrumPattern>& drums) {
    const std::string where = file.filename().string();
    std::string title = where;
    int tempo = 0;
    Instrument melody, harmony, bass, kit;
    std::map<std::string, std::vector<std::string>> motifs;
    std::map<std::string, std::pair<std::vector<std::string>, std::vector<std::string>>>
        rawSections;  // chords, melody
    std::map<std::string, std::vector<std::string>> sectionDrums;
    std::map<std::string, int> sectionBars;
    std::vector<std::string> song;
    std::string current;

    std::istringstream in(ReadText(file));
    for (std::string line; std::getline(in, line);) {
        line = Trim(StripComment(line));
        if (line.empty()) continue;
        auto w = Words(line);
        const std::string key = w[0];
        w.erase(w.begin());
        auto append = [](std::vector<std::string>& to, const std::vector<std::string>& words) {
            to.insert(to.end(), words.begin(), words.end());
        };
        auto instrument = [&](Instrument& ins) {
            ins.program = std::stoi(w.at(0));
            ins.volume = std::stoi(w.at(1));
            if (w.size() > 2) ins.style = w[2];
        };
        if (!current.empty()) {
            // Inside a section: its chords, melody and drum bars.
            if (key == "chords")
                append(rawSections[current].first, w);
            else if (key == "melody")
                append(rawSections[current].second, w);
            else if (key == "drums")
                append(sectionDrums[current], w);
            else if (key == "end")
                current.clear();
            else
                throw std::runtime_error(where + ": unknown line in a section: " + line);
        } else if (key == "title")
            title = line.substr(6);
        else if (key == "tempo")
            tempo = std::stoi(w.at(0));
        else if (key == "melody")
            instrument(melody);
        else if (key == "harmony")
            instrument(harmony);
        else if (key == "bass")
            instrument(bass);
        else if (key == "drums")
            kit.volume = std::stoi(w.at(0));
        else if (key == "motif") {
            if (w.size() < 3 || w[1] != "=") throw std::runtime_error(where + ": bad motif line");
            motifs[w[0]] = std::vector<std::string>(w.begin() + 2, w.end());
        } else if (key == "section") {
            current = w.at(0);
            sectionBars[current] = std::stoi(w.at(1));
        } else if (key == "song")
            song = w;
        else
            throw std::runtime_error(where + ": unknown line: " + line);
    }
    if (tempo <= 0 || song.empty()) throw std::runtime_error(where + ": needs a tempo and a song line");

    std::vector<Note> lead, chords, low, beat;
    int at = 0;
    for (const std::string& name : song) {
        if (!sectionBars.count(name)) throw std::runtime_error(where + ": unknown section " + name);
        const int bars = sectionBars[name];
        const auto& [chordTokens, melodyTokens] = rawSections[name];
        // Chords: bars split by "|", the chords of a bar share it equally.
        std::vector<std::vector<std::string>> barChords(1);
        for (const std::string& t : chordTokens) {
            if (t == "|")
                barChords.emplace_back();
            else
                barChords.back().push_back(t);
        }
        if (int(barChords.size()) != bars)
            throw std::runtime_error(where + ": section " + name + " has the wrong number of chord bars");
        for (int b = 0; b < bars; ++b) {
            const auto& syms = barChords[size_t(b)];
            for (size_t i = 0; i < syms.size(); ++i) {
                Chord c = ParseChord(syms[i]);
                c.length = kBar / int(syms.size());
                c.start = at + b * kBar + int(i) * c.length;
                Bass(bass.style, c, low);
                Harmony(harmony.style, c, chords);
            }
            const auto& pats = sectionDrums[name];
            if (pats.empty()) throw std::runtime_error(where + ": section " + name + " has no drums");
            const auto d = drums.find(pats[size_t(b) % pats.size()]);
            if (d == drums.end())
                throw std::runtime_error(where + ": unknown drum pattern " + pats[size_t(b) % pats.size()]);
            for (const auto& [keyNumber, steps] : d->second)
                for (int s = 0; s < kBar; ++s)
                    if (steps[size_t(s)] != '.')
                        beat.push_back(
                            Note{at + b * kBar + s, 1, keyNumber, steps[size_t(s)] == 'X' ? 118 : 88});
        }
        int pos = at, len = 4, barStart = at;
        ParseMelody(melodyTokens, motifs, 0, lead, pos, len, barStart, where + " section " + name);
        if (pos != at + bars * kBar)
            throw std::runtime_error(where + ": section " + name + " melody does not fill its bars");
        at += bars * kBar;
    }
    const double seconds = at / 4.0 * 60.0 / tempo;
    if (seconds < kMinSeconds) throw std::runtime_error(where + ": shorter than a minute");

    const uint32_t end = uint32_t(at * kStep);
    const uint32_t usPerQuarter = uint32_t(60000000 / tempo);
    std::vector<Event> conductor = {Meta(0, 0x03, title),
                                    Event{0,
                                          0,
                                          {0xFF, 0x51, 0x03, uint8_t(usPerQuarter >> 16),
                                           uint8_t(usPerQuarter >> 8), uint8_t(usPerQuarter)}},
                                    Event{0, 0, {0xFF, 0x58, 0x04, 4, 2, 24, 8}}};
    std::vector<uint8_t> out = {'M',
                                'T',
                                'h',
                                'd',
                                0,
                                0,
                                0,
                                6,
                                0,
                                1,
                                0,
                                5,
                                uint8_t(kTicksPerQuarter >> 8),
                                uint8_t(kTicksPerQuarter & 0xFF)};
    for (const auto& t :
         {Track(conductor, end), Track(Part("Melody", 0, melody.program, melody.volume, 72, lead, 0.9), end),
          Track(Part("Harmony", 1, harmony.program, harmony.volume, 44, chords, 0.85), end),
          Track(Part("Bass", 2, bass.program, bass.volume, 64, low, 0.8), end),
          Track(Part("Drums", 9, -1, kit.volume, 64, beat, 1.0), end)})
        out.insert(out.end(), t.begin(), t.end());
    WriteBytes(cx.Output() / "Music" / (file.stem().string() + ".mid"), out);
}

}  // namespace

void MakeTunes(Context& cx) {
    const fs::path dir = cx.Source() / "music";
    const auto drums = ReadDrums(ReadText(dir / "drums.txt"));
    std::vector<fs::path> tunes;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".tune") tunes.push_back(e.path());
    std::sort(tunes.begin(), tunes.end());
    for (const fs::path& t : tunes) MakeTune(cx, t, drums);
}

}  // namespace assetgen
