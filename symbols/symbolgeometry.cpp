#include "symbols/symbolgeometry.h"

namespace symbols {

std::vector<BarArea> guardAreas(const QString& modules, std::span<const ModuleRange> ranges, int x0,
                                int m, int top, int bottom) {
    const auto isBar = [&modules](int k) {  // module k, 1-based
        return k >= 1 && k <= modules.size() &&
               (modules[k - 1] == QLatin1Char('1') || modules[k - 1] == QLatin1Char('b'));
    };
    std::vector<BarArea> out;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        int first = ranges[i].first, last = ranges[i].last;
        while (first < last && !isBar(first)) ++first;
        while (last > first && !isBar(last)) --last;
        const char* name = i == 0                   ? "start guard"
                           : i + 1 == ranges.size() ? "end guard"
                                                    : "centre guard";
        out.push_back({QString::fromLatin1(name),
                       QRect(x0 + (first - 1) * m, top, (last - first + 1) * m, bottom - top)});
    }
    return out;
}

}  // namespace symbols
