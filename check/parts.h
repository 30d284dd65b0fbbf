#pragma once
// The topics of the symbol check, each on its own; symbolcheck.cpp runs them in turn.

#include <vector>

#include "check/measure.h"
#include "check/symbolcheck.h"

namespace check {

// The rows a verifier's beam crosses the symbol along: the middle of the main symbol's
// bars and of the add-on's (-1 when that part has no row inside the picture).
int mainScanRow(const GreyPicture& g, const Geometry& geometry);
int addOnScanRow(const GreyPicture& g, const Geometry& geometry);

// Every row band read back by both decoders.
std::vector<Finding> decodeFindings(const GreyPicture& g, const CheckInput& in);

// Missing bars, cut guards, short bars, text outside the picture or over the bars.
// `measurable` is set when the main symbol stands whole in the picture, so that its widths
// can be measured.
std::vector<Finding> completenessFindings(const GreyPicture& g, const CheckInput& in,
                                          bool* measurable);

// Quiet zones, the module (narrow bar) width and the width of each element class.
std::vector<Finding> dimensionFindings(const GreyPicture& g, const CheckInput& in);

// The usual least quiet zones, in modules (Code 39: narrow widths), left and right, and
// after an add-on.
struct QuietZones {
    int left, right;
};
QuietZones leastQuietZones(Symbology s);
constexpr int kLeastAfterAddOn = 5;

// The bars' contrast as a red-light scanner sees it, first among the findings when it is
// too low to scan.
std::vector<Finding> contrastFindings(const GreyPicture& g, const CheckInput& in);

// How the module falls on a printer's dots, and how much the bars may grow or shrink in
// print before a decoder stops reading a row band (judged only for a picture both decoders
// read as drawn).
std::vector<Finding> printingFindings(const GreyPicture& g, const CheckInput& in,
                                      bool readsAsDrawn);

// What the number means to GS1: restricted circulation, coupons, book and serial numbers,
// prices, the zero-suppressed UPC-E.
std::vector<Finding> dataFindings(const CheckInput& in);

inline Finding finding(Grade grade, const char* topic, QString text) {
    return {grade, QString::fromLatin1(topic), std::move(text)};
}

}  // namespace check
