// The platform converter for named code pages, with a cache of single-byte tables.
#include "queueclient/charset/codepage_converter.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <cerrno>
#endif

namespace queue {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

using ByteTable = std::array<char16_t, 256>;

// What is known about one code page after its first use.
struct CodePageInfo {
  bool convertible = false;
  std::unique_ptr<ByteTable> single_byte;  // set when every byte stands for one unit alone
};

std::u16string DecodeWithTable(std::string_view bytes, const ByteTable& table) {
  std::u16string text(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[i] = table[static_cast<std::uint8_t>(bytes[i])];
  }
  return text;
}

#ifdef _WIN32

// UTF-32 is no code page of MultiByteToWideChar (only managed code has it), so it is decoded
// here, the same way the other platform's converter does: an invalid unit or an incomplete one
// at the end becomes U+FFFD.
constexpr int kUtf32LittleEndian = 12000;
constexpr int kUtf32BigEndian = 12001;

bool IsUtf32(int code_page) {
  return code_page == kUtf32LittleEndian || code_page == kUtf32BigEndian;
}

std::u16string DecodeUtf32(std::string_view bytes, bool big_endian) {
  std::u16string text;
  text.reserve(bytes.size() / 4 + 1);
  std::size_t at = 0;
  for (; at + 4 <= bytes.size(); at += 4) {
    std::uint32_t unit = 0;
    for (int i = 0; i < 4; ++i) {
      const auto byte = static_cast<std::uint8_t>(bytes[at + (big_endian ? i : 3 - i)]);
      unit = (unit << 8) | byte;
    }
    if (unit > 0x10FFFF || (unit >= 0xD800 && unit <= 0xDFFF)) {
      text.push_back(kReplacement);
    } else if (unit >= 0x10000) {
      unit -= 0x10000;
      text.push_back(static_cast<char16_t>(0xD800 + (unit >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + (unit & 0x3FF)));
    } else {
      text.push_back(static_cast<char16_t>(unit));
    }
  }
  if (at < bytes.size()) text.push_back(kReplacement);
  return text;
}

bool IsConvertible(int code_page) {
  return IsUtf32(code_page) || IsValidCodePage(static_cast<UINT>(code_page)) != 0;
}

// The code pages whose flags must be 0 for MultiByteToWideChar (the stateful and the UTF ones):
// they cannot report invalid input, and replace it themselves.
bool TakesNoFlags(int code_page) {
  return code_page == 42 || code_page == 65000 || (code_page >= 50220 && code_page <= 50229) ||
         (code_page >= 57002 && code_page <= 57011);
}

// Converts one piece; empty with `failed` set when a flag made the system refuse invalid input.
std::u16string ConvertPiece(std::string_view piece, int code_page, DWORD flags, bool& failed) {
  const int size = static_cast<int>(piece.size());
  const UINT page = static_cast<UINT>(code_page);
  const int units = MultiByteToWideChar(page, flags, piece.data(), size, nullptr, 0);
  failed = units <= 0;
  if (failed) return {};
  std::u16string text(static_cast<std::size_t>(units), u'\0');
  MultiByteToWideChar(page, flags, piece.data(), size, reinterpret_cast<wchar_t*>(text.data()),
                      units);
  return text;
}

// A double-byte code page character by character, from its lead bytes: a character the code
// page does not define, or a lead byte without its second byte at the end, becomes U+FFFD.
std::u16string ConvertByCharacter(std::string_view bytes, int code_page) {
  std::u16string text;
  text.reserve(bytes.size());
  const UINT page = static_cast<UINT>(code_page);
  for (std::size_t at = 0; at < bytes.size();) {
    const bool lead = IsDBCSLeadByteEx(page, static_cast<BYTE>(bytes[at])) != 0;
    const std::size_t length = lead ? 2 : 1;
    if (at + length > bytes.size()) {
      text.push_back(kReplacement);
      break;
    }
    bool failed = false;
    const std::u16string character =
        ConvertPiece(bytes.substr(at, length), code_page, MB_ERR_INVALID_CHARS, failed);
    if (failed) {
      text.push_back(kReplacement);
    } else {
      text += character;
    }
    at += length;
  }
  return text;
}

std::u16string Convert(std::string_view bytes, int code_page) {
  if (bytes.empty()) return {};
  if (IsUtf32(code_page)) return DecodeUtf32(bytes, code_page == kUtf32BigEndian);
  // MultiByteToWideChar takes int sizes; larger bodies are converted in pieces cut only
  // where a piece ends, which for the multi-byte code pages may split a character.
  constexpr std::size_t kPiece = 1u << 30;
  const DWORD flags = TakesNoFlags(code_page) ? 0 : MB_ERR_INVALID_CHARS;
  CPINFO info{};
  const bool double_byte = GetCPInfo(static_cast<UINT>(code_page), &info) && info.MaxCharSize == 2;
  std::u16string text;
  for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
    const std::string_view piece = bytes.substr(at, kPiece);
    bool failed = false;
    std::u16string converted = ConvertPiece(piece, code_page, flags, failed);
    // Invalid input: the double-byte code pages are walked character by character, so that
    // only what is invalid is replaced; the others take the system's own replacement.
    if (failed) {
      converted = double_byte ? ConvertByCharacter(piece, code_page)
                              : ConvertPiece(piece, code_page, 0, failed);
    }
    text += converted;
  }
  return text;
}

// The Windows code pages (874, 1250 to 1258) put printable characters at 0x80 to 0x9F; the
// system passes the few bytes there that they leave undefined through as the control character
// of that number, which these code pages otherwise never give.
bool IsUndefinedWindowsByte(int code_page, int byte, wchar_t unit) {
  const bool windows_page = code_page == 874 || (code_page >= 1250 && code_page <= 1258);
  return windows_page && byte >= 0x80 && byte <= 0x9F && unit == static_cast<wchar_t>(byte);
}

// A table when the code page has one byte per character; a byte it does not define is U+FFFD.
std::unique_ptr<ByteTable> SingleByteTable(int code_page) {
  CPINFO info;
  if (IsUtf32(code_page) || !GetCPInfo(static_cast<UINT>(code_page), &info) ||
      info.MaxCharSize != 1) {
    return nullptr;
  }
  auto table = std::make_unique<ByteTable>();
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    wchar_t unit = kReplacement;
    if (MultiByteToWideChar(static_cast<UINT>(code_page), MB_ERR_INVALID_CHARS, &byte, 1, &unit,
                            1) != 1 ||
        IsUndefinedWindowsByte(code_page, b, unit)) {
      unit = kReplacement;
    }
    (*table)[static_cast<std::size_t>(b)] = static_cast<char16_t>(unit);
  }
  return table;
}

#else

// Our code pages under the names glibc's iconv knows them by. Code pages without an entry
// (and entries the installed iconv lacks) decode with the 8-bit decoding.
struct IconvName {
  int code_page;
  const char* name;
};

constexpr IconvName kIconvNames[] = {
    {37, "IBM037"},          {437, "IBM437"},
    {500, "IBM500"},         {708, "ASMO-708"},
    {737, "CP737"},          {775, "IBM775"},
    {850, "IBM850"},         {852, "IBM852"},
    {855, "IBM855"},         {857, "IBM857"},
    {858, "IBM858"},         {860, "IBM860"},
    {861, "IBM861"},         {862, "IBM862"},
    {863, "IBM863"},         {864, "IBM864"},
    {865, "IBM865"},         {866, "CP866"},
    {869, "IBM869"},         {870, "IBM870"},
    {874, "WINDOWS-874"},    {875, "IBM875"},
    {932, "CP932"},          {936, "CP936"},
    {949, "CP949"},          {950, "CP950"},
    {1026, "IBM1026"},       {1047, "IBM1047"},
    {1140, "IBM1140"},       {1141, "IBM1141"},
    {1142, "IBM1142"},       {1143, "IBM1143"},
    {1144, "IBM1144"},       {1145, "IBM1145"},
    {1146, "IBM1146"},       {1147, "IBM1147"},
    {1148, "IBM1148"},       {1149, "IBM1149"},
    {1250, "CP1250"},        {1251, "CP1251"},
    {1252, "CP1252"},        {1253, "CP1253"},
    {1254, "CP1254"},        {1255, "CP1255"},
    {1256, "CP1256"},        {1257, "CP1257"},
    {1258, "CP1258"},        {1361, "JOHAB"},
    {10000, "MACINTOSH"},    {10007, "MAC-CYRILLIC"},
    {10017, "MACUKRAINIAN"}, {10029, "MAC-CENTRALEUROPE"},
    {10079, "MAC-IS"},       {12000, "UTF-32LE"},
    {12001, "UTF-32BE"},     {20106, "ISO646-DE"},
    {20107, "ISO646-SE"},    {20108, "ISO646-NO"},
    {20261, "T.61-8BIT"},    {20269, "ISO_6937"},
    {20273, "IBM273"},       {20277, "IBM277"},
    {20278, "IBM278"},       {20280, "IBM280"},
    {20284, "IBM284"},       {20285, "IBM285"},
    {20290, "IBM290"},       {20297, "IBM297"},
    {20420, "IBM420"},       {20423, "IBM423"},
    {20424, "IBM424"},       {20866, "KOI8-R"},
    {20871, "IBM871"},       {20880, "IBM880"},
    {20905, "IBM905"},       {20932, "EUC-JP"},
    {20936, "GB2312"},       {20949, "EUC-KR"},
    {21025, "IBM1025"},      {21866, "KOI8-U"},
    {28591, "ISO-8859-1"},   {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"},   {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},   {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},   {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"},   {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"},  {38598, "ISO-8859-8"},
    {50220, "ISO-2022-JP"},  {50221, "ISO-2022-JP"},
    {50225, "ISO-2022-KR"},  {50227, "ISO-2022-CN"},
    {50930, "IBM930"},       {50933, "IBM933"},
    {50935, "IBM935"},       {50937, "IBM937"},
    {50939, "IBM939"},       {51936, "EUC-CN"},
    {51949, "EUC-KR"},       {54936, "GB18030"},
};

// iconv writes UTF-16 little-endian; the units are put together from the bytes so that the
// host's byte order plays no part.
constexpr const char* kIconvTarget = "UTF-16LE";

class IconvHandle {
 public:
  explicit IconvHandle(const char* from) : handle_(iconv_open(kIconvTarget, from)) {}
  ~IconvHandle() {
    if (valid()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

bool IsConvertible(int code_page) {
  const char* name = IconvNameOf(code_page);
  return name != nullptr && IconvHandle(name).valid();
}

void AppendUnits(std::u16string& text, const char* bytes, std::size_t size) {
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                         (static_cast<std::uint8_t>(bytes[i + 1]) << 8)));
  }
}

// Converts the whole input; an invalid byte becomes U+FFFD and the conversion goes on after
// it, an incomplete sequence at the end becomes one U+FFFD.
std::u16string Convert(std::string_view bytes, int code_page) {
  IconvHandle converter(IconvNameOf(code_page));
  std::u16string text;
  text.reserve(bytes.size());
  // Output in slices: a bound on memory per step, and E2BIG just means "flush and go on".
  std::array<char, 16384> slice;
  char* in = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  bool flushing = false;
  while (true) {
    char* out = slice.data();
    std::size_t out_left = slice.size();
    const std::size_t result = flushing ? iconv(converter.get(), nullptr, nullptr, &out, &out_left)
                                        : iconv(converter.get(), &in, &in_left, &out, &out_left);
    const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
    AppendUnits(text, slice.data(), slice.size() - out_left);
    if (error == E2BIG) continue;
    if (error == EILSEQ) {
      text.push_back(kReplacement);
      ++in;
      --in_left;
      continue;
    }
    if (error == EINVAL) {
      // Only the end of the input can hold an incomplete sequence.
      text.push_back(kReplacement);
      in_left = 0;
    }
    if (flushing) break;
    flushing = true;  // a stateful code page may still hold a unit for its final state
  }
  return text;
}

// Each byte converted alone from the initial state. A table when every byte gives exactly one
// unit or is invalid; nothing when a byte needs more bytes after it (a lead byte, an escape) or
// gives no unit or more than one (a shift of a stateful code page, a pair of units).
std::unique_ptr<ByteTable> SingleByteTable(int code_page) {
  IconvHandle converter(IconvNameOf(code_page));
  auto table = std::make_unique<ByteTable>();
  for (int b = 0; b < 256; ++b) {
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    char byte = static_cast<char>(b);
    char* in = &byte;
    std::size_t in_left = 1;
    char units[8];
    char* out = units;
    std::size_t out_left = sizeof units;
    if (iconv(converter.get(), &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1)) {
      if (errno != EILSEQ) return nullptr;
      (*table)[static_cast<std::size_t>(b)] = kReplacement;
      continue;
    }
    if (iconv(converter.get(), nullptr, nullptr, &out, &out_left) == static_cast<std::size_t>(-1) ||
        out - units != 2) {
      return nullptr;
    }
    (*table)[static_cast<std::size_t>(b)] = static_cast<char16_t>(
        static_cast<std::uint8_t>(units[0]) | (static_cast<std::uint8_t>(units[1]) << 8));
  }
  return table;
}

#endif

const CodePageInfo& InfoOf(int code_page) {
  static std::mutex mutex;
  static std::map<int, CodePageInfo> known;
  const std::lock_guard lock(mutex);
  auto [it, inserted] = known.try_emplace(code_page);
  if (inserted) {
    it->second.convertible = IsConvertible(code_page);
    if (it->second.convertible) it->second.single_byte = SingleByteTable(code_page);
  }
  return it->second;
}

}  // namespace

const char* IconvNameOf(int code_page) {
#ifdef _WIN32
  (void)code_page;
  return nullptr;
#else
  for (const auto& entry : kIconvNames) {
    if (entry.code_page == code_page) return entry.name;
  }
  return nullptr;
#endif
}

std::optional<std::u16string> DecodeWithCodePage(std::string_view bytes, int code_page) {
  const CodePageInfo& info = InfoOf(code_page);
  if (!info.convertible) return std::nullopt;
  if (info.single_byte) return DecodeWithTable(bytes, *info.single_byte);
  return Convert(bytes, code_page);
}

}  // namespace queue
