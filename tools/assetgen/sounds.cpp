// The sound effects: small synthesizer voices described in
// assets/sounds/effects.txt, matched in loudness and written as 16-bit mono
// PCM WAVE files.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

#include "context.h"
#include "formats/file_writers.h"

namespace assetgen {

namespace {

constexpr int kRate = 22050;
constexpr double kTwoPi = 6.283185307179586;
// Loudness every sound is brought to: the RMS of its loudest 50 ms.
constexpr double kTargetRms = 0.2;
constexpr double kPeakLimit = 0.95;

struct Voice {
    std::string wave;
    double start = 0, length = 0, f0 = 0, f1 = 0, amp = 0;
    double duty = 0.5, attack = 0.004, release = 0.02, decay = 0, vibRate = 0, vibDepth = 0;
    bool expGlide = false;
};

double NoteHz(const std::string& name) { return 440.0 * std::pow(2.0, (NoteNumber(name) - 69) / 12.0); }

void ReadOptions(std::istringstream& in, Voice& v, double* len) {
    std::string opt;
    while (in >> opt) {
        if (opt == ":") break;
        const size_t eq = opt.find('=');
        if (eq == std::string::npos) throw std::runtime_error("sound option without '=': " + opt);
        const std::string key = opt.substr(0, eq), val = opt.substr(eq + 1);
        if (key == "duty")
            v.duty = std::stod(val);
        else if (key == "attack")
            v.attack = std::stod(val);
        else if (key == "release")
            v.release = std::stod(val);
        else if (key == "decay")
            v.decay = std::stod(val);
        else if (key == "glide")
            v.expGlide = val == "exp";
        else if (key == "len" && len)
            *len = std::stod(val);
        else if (key == "vib") {
            const auto parts = Split(val, ':');
            v.vibRate = std::stod(parts.at(0));
            v.vibDepth = std::stod(parts.at(1));
        } else {
            throw std::runtime_error("unknown sound option: " + opt);
        }
    }
}

// A small deterministic noise source.
struct Noise {
    uint32_t state = 0x1234567u;
    double Next() {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1u << 23) - 1.0;
    }
};

void Render(const Voice& v, std::vector<double>& out, Noise& noise) {
    const size_t first = size_t(v.start * kRate), count = size_t(v.length * kRate);
    if (out.size() < first + count) out.resize(first + count, 0.0);
    double phase = 0, low = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = double(i) / kRate, u = v.length > 0 ? t / v.length : 0;
        double f = v.expGlide ? v.f0 * std::pow(v.f1 / v.f0, u) : v.f0 + (v.f1 - v.f0) * u;
        if (v.vibRate > 0) f *= 1.0 + v.vibDepth * std::sin(kTwoPi * v.vibRate * t);
        phase += f / kRate;
        phase -= std::floor(phase);
        double s = 0;
        if (v.wave == "square")
            s = phase < v.duty ? 1.0 : -1.0;
        else if (v.wave == "triangle")
            s = 4.0 * std::fabs(phase - 0.5) - 1.0;
        else if (v.wave == "sine")
            s = std::sin(kTwoPi * phase);
        else if (v.wave == "saw")
            s = 2.0 * phase - 1.0;
        else if (v.wave == "noise") {
            // One-pole low-pass: the frequency sets how bright the noise is.
            const double k = 1.0 - std::exp(-kTwoPi * f / kRate);
            low += k * (noise.Next() - low);
            s = low * 2.0;
        } else {
            throw std::runtime_error("unknown wave: " + v.wave);
        }
        double env = std::min(1.0, v.attack > 0 ? t / v.attack : 1.0);
        if (v.release > 0 && t > v.length - v.release) env *= std::max(0.0, (v.length - t) / v.release);
        if (v.decay > 0) env *= std::exp(-v.decay * t);
        out[first + i] += s * env * v.amp;
    }
}

std::vector<int16_t> Finish(std::vector<double> s, double gainDb) {
    const size_t window = kRate / 20;
    double loudest = 0, sum = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        sum += s[i] * s[i];
        if (i >= window) sum -= s[i - window] * s[i - window];
        loudest = std::max(loudest, std::sqrt(std::max(0.0, sum) / double(std::min(i + 1, window))));
    }
    double k = loudest > 0 ? kTargetRms * std::pow(10.0, gainDb / 20.0) / loudest : 1.0;
    double peak = 0;
    for (double v : s) peak = std::max(peak, std::fabs(v));
    if (peak * k > kPeakLimit) k = kPeakLimit / peak;
    // A short fade at the end keeps the last sample from clicking.
    const size_t fade = std::min(s.size(), size_t(kRate / 200));
    std::vector<int16_t> out(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        double v = s[i] * k;
        if (i + fade >= s.size()) v *= double(s.size() - i) / double(fade);
        out[i] = int16_t(std::lrint(std::clamp(v, -1.0, 1.0) * 32767.0));
    }
    return out;
}

}  // namespace

void MakeSounds(Context& cx) {
    std::istringstream in(ReadText(cx.Source() / "sounds" / "effects.txt"));
    std::string line, name;
    std::vector<double> samples;
    double gain = 0;
    Noise noise;
    auto flush = [&] {
        if (name.empty()) return;
        if (samples.empty()) throw std::runtime_error("sound " + name + " is empty");
        WriteBytes(cx.Output() / "Data" / "Sounds" / (name + ".wav"),
                   formats::EncodeWav(Finish(samples, gain), kRate));
    };
    while (std::getline(in, line)) {
        line = Trim(StripComment(line));
        if (line.empty()) continue;
        if (line.front() == '[') {
            flush();
            name = line.substr(1, line.size() - 2);
            samples.clear();
            gain = 0;
            noise = Noise{};
            continue;
        }
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "gain") {
            words >> gain;
        } else if (kind == "tone") {
            Voice v;
            words >> v.wave >> v.start >> v.length >> v.f0 >> v.f1 >> v.amp;
            ReadOptions(words, v, nullptr);
            Render(v, samples, noise);
        } else if (kind == "notes") {
            Voice v;
            double step = 0, len = 0.9;
            words >> v.wave >> v.start >> step >> v.amp;
            ReadOptions(words, v, &len);
            std::string note;
            for (int i = 0; words >> note; ++i) {
                if (note == "r") continue;
                Voice n = v;
                n.start = v.start + i * step;
                n.length = step * len;
                n.f0 = n.f1 = NoteHz(note);
                n.release = std::min(n.release, n.length * 0.5);
                Render(n, samples, noise);
            }
        } else {
            throw std::runtime_error("sound " + name + ": unknown line: " + line);
        }
    }
    flush();
}

}  // namespace assetgen
