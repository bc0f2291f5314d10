// Writes the default alarm sound: a soft two-note chime (a bell-like tone on E6,
// then one on B5), RIFF WAVE, PCM, 2 channels, 22,050 Hz, 16 bits, 1.6 seconds.
// The output is the same byte for byte on every run.
// Usage: make-alarm <output.wav>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr int kChannels = 2;
constexpr double kSeconds = 1.6;
constexpr double kPi = 3.14159265358979323846;

struct Strike {
    double start;     // seconds
    double frequency; // Hz
    double gain;
    double pan; // -1 left .. 1 right
};

// A struck bell: a fundamental with a few inharmonic partials that fade faster
// than it does, and a 4 ms attack so the strike does not click.
double Bell(double t, double f) {
    if (t < 0.0)
        return 0.0;
    const double attack = std::min(1.0, t / 0.004);
    const struct {
        double ratio, amplitude, decay;
    } partials[] = {
        {1.0, 1.0, 2.2}, {2.0, 0.45, 3.5}, {2.76, 0.25, 5.0}, {5.4, 0.12, 8.0}, {0.5, 0.15, 2.0}};
    double sum = 0.0;
    for (const auto& p : partials)
        sum += p.amplitude * std::exp(-p.decay * t) * std::sin(2.0 * kPi * f * p.ratio * t);
    return attack * sum / 1.97;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-alarm <output.wav>\n");
        return 2;
    }
    const Strike strikes[] = {{0.00, 1318.51, 0.55, -0.25}, {0.38, 987.77, 0.60, 0.25}};
    const int frames = int(kSeconds * kRate);
    std::vector<short> samples(std::size_t(frames) * kChannels);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        double left = 0.0, right = 0.0;
        for (const Strike& s : strikes) {
            const double v = s.gain * Bell(t - s.start, s.frequency);
            left += v * (1.0 - s.pan) / 2.0;
            right += v * (1.0 + s.pan) / 2.0;
        }
        // Fade the last 150 ms to silence so the sound ends without a click.
        const double tail = std::min(1.0, (kSeconds - t) / 0.15);
        samples[std::size_t(i) * 2] =
            short(std::lround(std::clamp(left * tail, -1.0, 1.0) * 32000));
        samples[std::size_t(i) * 2 + 1] =
            short(std::lround(std::clamp(right * tail, -1.0, 1.0) * 32000));
    }

    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = kChannels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    const sf_count_t written = sf_writef_short(file, samples.data(), frames);
    sf_close(file);
    return written == frames ? 0 : 1;
}
