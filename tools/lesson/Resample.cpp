#include "Resample.h"

#include <algorithm>
#include <cmath>

namespace nelo::lesson {

std::vector<int16_t> ResampleTo16k(const std::vector<int16_t>& in, int inRate) {
    if (inRate == 16000) return in;
    const double step = static_cast<double>(inRate) / 16000.0;
    // Cut below the lower of the two Nyquist frequencies, with a little room.
    const double cutoff = 0.95 * std::min(1.0, 16000.0 / inRate);
    const int half = 24;
    const double pi = 3.14159265358979323846;
    const size_t outCount = static_cast<size_t>(in.size() / step);
    std::vector<int16_t> out(outCount);
    for (size_t n = 0; n < outCount; ++n) {
        const double t = n * step;
        const long centre = static_cast<long>(std::floor(t));
        double sum = 0;
        for (long k = centre - half + 1; k <= centre + half; ++k) {
            if (k < 0 || k >= static_cast<long>(in.size())) continue;
            const double x = t - k;
            const double sinc = x == 0 ? 1.0 : std::sin(pi * cutoff * x) / (pi * cutoff * x);
            const double window = 0.5 + 0.5 * std::cos(pi * x / half);
            const double w = cutoff * sinc * window;
            sum += w * in[k];
        }
        out[n] = static_cast<int16_t>(std::lround(std::max(-32768.0, std::min(32767.0, sum))));
    }
    return out;
}

}  // namespace nelo::lesson
