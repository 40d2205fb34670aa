// The text encodings of the settings file: which one a file uses, and how one line of it is
// decoded for reading and encoded for writing.
//
// A file that begins with the UTF-16 byte-order mark (FF FE, or FE FF for big-endian) is
// UTF-16 throughout and is written back as UTF-16. Every other file is 8-bit text: the
// program writes UTF-8 (without a byte-order mark), which is what a Linux locale uses and what
// any editor opens. A line that is not valid UTF-8 is read as Windows-1251, the code page in
// which the clerks' Windows desktops keep their 8-bit files, so a file carried over from one
// still reads as the text its author saw. A UTF-8 byte-order mark is skipped on reading and
// kept in the file.
#pragma once

#include <string>
#include <string_view>

namespace settings {

enum class ProfileEncoding {
  kEightBit,  // UTF-8 as written; lines that are not UTF-8 are read as Windows-1251
  kUtf16LittleEndian,
  kUtf16BigEndian,
};

// The byte-order mark a file begins with: UTF-16 of either order, UTF-8, or none.
std::string_view ByteOrderMarkOf(std::string_view bytes);

// The encoding that a file's byte-order mark (or its absence) stands for.
ProfileEncoding EncodingOfMark(std::string_view mark);

// The number of bytes one code unit takes: 1 for 8-bit text, 2 for UTF-16.
std::size_t CodeUnitBytes(ProfileEncoding encoding);

// Decodes the bytes of one line (line break and byte-order mark already removed).
// Never fails: an odd trailing byte of UTF-16 is dropped.
std::u16string DecodeProfileLine(std::string_view bytes, ProfileEncoding encoding);

// Encodes one line of text for a file of this encoding.
std::string EncodeProfileLine(std::u16string_view text, ProfileEncoding encoding);

}  // namespace settings
