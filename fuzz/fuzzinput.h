#pragma once
// What every fuzz target shares: a Qt GUI application on the offscreen platform (build paths
// draw text), made once by the LLVMFuzzerInitialize every target links with, and a readable
// input format so that seed files can be written by hand.
//
// An input is text: fields separated by newlines, decoded as UTF-8 (bad bytes become the
// replacement character, as a paste would give). A target that wants characters UTF-8
// cannot carry (lone surrogates) also reads the raw bytes as UTF-16.

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

namespace fuzzing {

// The input split at newlines into exactly `count` fields: missing ones are empty, the
// last one keeps any newlines that remain.
QStringList fields(const std::uint8_t* data, std::size_t size, int count);

// The raw bytes read as UTF-16 (host byte order; an odd last byte is dropped).
QString utf16(const std::uint8_t* data, std::size_t size);

// A field as a number the way a settings file or a dialog might hold it: the text when it
// parses as a decimal number, 0 otherwise.
double number(const QString& text);
// Any double a caller could pass: also "nan", "inf" and "-inf".
double anyNumber(const QString& text);

}  // namespace fuzzing
