#include "symbols/symbolgeometry.h"

namespace symbols {

QRect modulesRect(int x0, int m, int first, int last, int top, int bottom) {
    return QRect(x0 + (first - 1) * m, top, (last - first + 1) * m, bottom - top);
}

void addGuards(SymbolGeometry& g, std::span<const GuardModules> guards, int x0, int m, int top,
               int bottom) {
    for (const GuardModules& gm : guards)
        g.guards.push_back(
            {QString::fromLatin1(gm.name), modulesRect(x0, m, gm.first, gm.last, top, bottom)});
}

int addOnModules(const QString& addOn) {
    return addOn.size() == 2 ? 20 : addOn.size() == 5 ? 47 : 0;
}

}  // namespace symbols
