#pragma once
#include <cstddef>

// Reads a decimal number the way atof does in the "C" locale, but only its
// decimal forms: leading white space, an optional sign, digits with an optional
// point, an optional exponent. The longest such prefix counts; text with no
// such prefix (also "nan", "inf" and hexadecimal forms) reads as 0.0.
// Magnitudes beyond the double range read as infinity, as atof gives them.
// `end`, when given, receives the first character after the number.
double parseDecimal(const char* text, const char** end = nullptr);

// Formats `value` as printf's "%.*g" does in the "C" locale, but with at least
// three exponent digits ("1.5e-007"): the form of every number this system
// writes to a file. Returns the length; the text is cut to fit `capacity`.
int formatReal(char* buffer, std::size_t capacity, int precision, double value);

// Groups the digits of a non-negative integer text by threes with commas, in
// place: "4004000" becomes "4,004,000". `capacity` bounds the buffer.
void insertThousandsSeparators(char* digits, std::size_t capacity);

// The "%.0f" text of `value` with thousands separators and " bytes" appended.
void formatByteCount(char* buffer, std::size_t capacity, double value);

// Reads an integer the way atoi does (white space, sign, decimal digits, the
// first other character ends it), with values beyond the int range clamped to
// it, and returns the result taken as unsigned: "-1" gives 4294967295.
unsigned parseIntegerOption(const char* text);
