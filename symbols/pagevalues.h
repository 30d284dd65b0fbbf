#pragma once
// The five page values of the main window, in mils: blank space around a symbol and the
// interval space inside it.

namespace symbols {

struct PageValues {
    double ftop = 0;
    double fdown = 0;
    double fleft = 0;
    double fright = 0;
    double fiwidth = 0;
};

}  // namespace symbols
