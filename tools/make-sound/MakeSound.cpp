// Writes Tavrel's closure sound: a short two-note chime (E6 then B5), 16-bit mono PCM WAV.
// Usage: tavrel-make-sound OUTPUT.wav
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void put16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(v & 0xFF);
    out.push_back(v >> 8);
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back((v >> (8 * i)) & 0xFF);
}

void putText(std::vector<unsigned char>& out, const char* text) {
    for (const char* c = text; *c; ++c)
        out.push_back(static_cast<unsigned char>(*c));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argv[0]);
        return 2;
    }
    constexpr int rate = 22050;
    constexpr double pi = 3.14159265358979323846;
    struct Note {
        double start, length, frequency;
    };
    const Note notes[] = {{0.00, 0.22, 1318.51}, {0.12, 0.30, 987.77}};
    const int count = static_cast<int>(0.42 * rate);

    std::vector<double> mix(count, 0.0);
    for (const Note& n : notes) {
        const int first = static_cast<int>(n.start * rate);
        const int length = static_cast<int>(n.length * rate);
        for (int i = 0; i < length && first + i < count; ++i) {
            const double t = double(i) / rate;
            const double attack = std::fmin(1.0, t / 0.004); // no click at the start
            const double decay = std::exp(-t * 11.0);        // a struck bell fades
            const double tail = std::fmin(1.0, (length - i) / (0.01 * rate));
            const double tone =
                std::sin(2 * pi * n.frequency * t) + 0.25 * std::sin(2 * pi * 2 * n.frequency * t);
            mix[first + i] += 0.45 * attack * decay * tail * tone;
        }
    }

    std::vector<unsigned char> wav;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(count) * 2;
    putText(wav, "RIFF");
    put32(wav, 36 + dataBytes);
    putText(wav, "WAVE");
    putText(wav, "fmt ");
    put32(wav, 16);
    put16(wav, 1); // PCM
    put16(wav, 1); // mono
    put32(wav, rate);
    put32(wav, rate * 2);
    put16(wav, 2);
    put16(wav, 16);
    putText(wav, "data");
    put32(wav, dataBytes);
    for (double s : mix) {
        const double clipped = std::fmax(-1.0, std::fmin(1.0, s));
        put16(wav,
              static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(clipped * 32000))));
    }

    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(wav.data(), 1, wav.size(), f) != wav.size() || std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
