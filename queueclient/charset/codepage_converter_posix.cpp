// Named code pages on POSIX systems: glibc's iconv, under the names it knows them by.
#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "queueclient/charset/codepage_platform.h"

namespace queue {
namespace {

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
// The converter's own name for a code page; nullptr when none of ours maps it.
const char* IconvNameOf(int code_page) {
  for (const auto& entry : kIconvNames) {
    if (entry.code_page == code_page) return entry.name;
  }
  return nullptr;
}

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

}  // namespace

bool PlatformConverts(int code_page) {
  const char* name = IconvNameOf(code_page);
  return name != nullptr && IconvHandle(name).valid();
}

namespace {

void AppendUnits(std::u16string& text, const char* bytes, std::size_t size) {
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                         (static_cast<std::uint8_t>(bytes[i + 1]) << 8)));
  }
}

}  // namespace

// Converts the whole input; an invalid byte becomes U+FFFD and the conversion goes on after
// it, an incomplete sequence at the end becomes one U+FFFD.
std::u16string ConvertWithPlatform(std::string_view bytes, int code_page) {
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
std::unique_ptr<ByteTable> PlatformSingleByteTable(int code_page) {
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

}  // namespace queue
