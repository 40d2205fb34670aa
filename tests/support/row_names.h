// Names and printing for the rows of the tests' tables: every parameterised case is named by
// its row (gtest's listing and so ctest's names), and a failed row prints as that name or its
// input text, not as the bytes of its struct.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace test_rows {

// A row's name made from its input text, for tables whose rows have no name of their own:
// letters and digits kept, every other run of characters one "_", at most 48 characters, and
// the row's index after it, so that two inputs that read alike still name two cases.
std::string RowNameFromText(std::string_view text, std::size_t index);
// The same for a UTF-16 text: a unit outside ASCII counts as "every other character".
std::string RowNameFromText(std::u16string_view text, std::size_t index);

// What a row prints as: its text in quotes, a quote, a backslash and the control characters
// escaped as in C ("\"", "\\", "\r", "\n", "\t", "\x01"); a missing one as (none); lines joined
// with " | ". The printed row ends its line of the test listing that the build's test discovery
// reads: a line break there, or a backslash at its end, would run two rows into one and lose one.
void PrintRowText(const char* text, std::ostream* out);
void PrintRowText(std::string_view text, std::ostream* out);
void PrintRowText(const char16_t* text, std::ostream* out);  // as UTF-8
void PrintRowText(std::u16string_view text, std::ostream* out);
void PrintRowText(const std::vector<const char*>& lines, std::ostream* out);

}  // namespace test_rows

// Prints the rows of table type `Row` by their field `field`. Written beside the row's type, in
// its namespace, where gtest's printer looks for it.
#define QUEUE_PRINT_ROWS_BY(Row, field)                                     \
  [[maybe_unused]] inline void PrintTo(const Row& row, std::ostream* out) { \
    ::test_rows::PrintRowText(row.field, out);                              \
  }
