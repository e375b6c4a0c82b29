#pragma once
// Text and file helpers shared by the command channel, the reply decoders and the dialogs.
// Positions are 1-based, searches are case-sensitive and find the first occurrence, and
// "trim" removes spaces only: the reply decoders depend on these exact edges.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tessivar {

class IFileSystem;
class IOperatorPrompt;

// Appends text + CR LF to the file (created when missing). On failure the operator is told
// "Error in Writing to log file: " + path + CR and the text is lost; the caller goes on.
void appendLineToFile(IFileSystem& files, IOperatorPrompt& prompt, const std::string& text,
                      const std::string& path);

// True when the file was deleted; every failure is silent.
bool deleteFile(IFileSystem& files, const std::string& path);

// Hexadecimal digits after the first "0x" (or of the whole text), trimmed, read up to the
// first non-digit; 0 when there is none. Digits beyond 7FFFFFFF saturate at 7FFFFFFF
// (2147483647): a reply decoder gets the largest value the field can hold, never a wrapped
// negative one.
std::int32_t parseHexValue(const std::string& text);

// The value after key, "=" and spaces, up to the first space or CR; empty when missing.
// The character directly after the key is skipped before "=" is looked for.
std::string findKeyValue(const std::string& key, const std::string& reply);

// Splits at "," with each field trimmed; text is left holding the last field.
std::vector<std::string> splitCommaList(std::string& text);

// The smaller value first; equal values keep their order.
template <typename T> std::pair<T, T> orderPair(T first, T second) {
    if (first > second)
        return {second, first};
    return {first, second};
}

// False for an empty text; true when every character is 0 to 9.
bool isAllDigits(const std::string& text);

// Strips characters outside 32..126 from both ends; inner ones stay.
std::string trimNonPrintable(const std::string& text);

// Spaces only, both ends.
std::string trimSpaces(const std::string& text);

// The leading decimal number of a text (after spaces and an optional sign, fraction kept),
// or nothing when the text does not begin with a number. Callers round as their field needs.
std::optional<double> leadingNumber(const std::string& text);

} // namespace tessivar
