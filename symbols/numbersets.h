#pragma once
// The EAN/UPC number sets and the 2- and 5-digit add-on, shared by every symbol of the
// EAN/UPC family. Tables are written as the standard prints them.

#include <QString>
#include <array>
#include <string_view>

namespace symbols {

// Number set A (odd parity, left half), indexed by digit.
inline constexpr std::array<std::string_view, 10> kSetA = {
    "0001101", "0011001", "0010011", "0111101", "0100011",
    "0110001", "0101111", "0111011", "0110111", "0001011"};
// Number set B (even parity, left half).
inline constexpr std::array<std::string_view, 10> kSetB = {
    "0100111", "0110011", "0011011", "0100001", "0011101",
    "0111001", "0000101", "0010001", "0001001", "0010111"};
// Number set C (right half).
inline constexpr std::array<std::string_view, 10> kSetC = {
    "1110010", "1100110", "1101100", "1000010", "1011100",
    "1001110", "1010000", "1000100", "1001000", "1110100"};

// Parity of the two add-on digits, by the add-on's value mod 4.
inline constexpr std::array<std::string_view, 4> kAddOn2Parity = {"AA", "AB", "BA", "BB"};
// Parity of the five add-on digits, by the add-on checksum.
inline constexpr std::array<std::string_view, 10> kAddOn5Parity = {
    "BBAAA", "BABAA", "BAABA", "BAAAB", "ABBAA", "AABBA", "AAABB", "ABABA", "ABAAB", "AABAB"};

// The 7-module code of one digit character in a number set; empty for a non-digit.
QLatin1String digitCode(const std::array<std::string_view, 10>& set, QChar digit);

// The 7-module code of one digit character in set A, B or C; empty for a non-digit.
QString codeA(QChar digit);
QString codeB(QChar digit);
QString codeC(QChar digit);

// The add-on module string: "1011", then the digit codes separated by "01" (20 modules
// for 2 digits, 47 for 5); "1011" alone for any other length. A non-digit throws
// ConvertError with the text that failed to convert (the whole add-on for 2 digits, the
// character for 5).
QString encodeAddOn(const QString& digits);

// UPC/EAN check digit of a digit string whose rightmost digit carries weight 3:
// weights alternate 3, 1 from the right. The string must hold digits only.
int checkDigitWeight3Right(QStringView digits);

}  // namespace symbols
