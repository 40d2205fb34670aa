// The profile-file layer on a fuzzed settings file. Input: a section, a key and a value (each
// up to a NUL; the value as UTF-8), then the file's bytes. The file is written to disk, read,
// written once through the layer and read again. Properties: parsing and serialising an
// untouched file gives its bytes back; a written value reads back as the read rules make it
// (line breaks as blanks, outer blanks and one pair of quotes dropped, cut to the read limit);
// another key, and a key of another section, read as they did before the write.
#include <unistd.h>

#include <filesystem>

#include "core/text.h"
#include "fuzz/fuzz_support.h"
#include "queueclient/charset/decode_utf.h"
#include "queueclient/failure.h"
#include "settings/profile/profile_document.h"
#include "settings/profile/profile_file.h"
#include "settings/profile/profile_storage.h"

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

// What a read of `value` gives after it was written.
std::u16string AsReadBack(std::u16string value) {
  for (char16_t& c : value) {
    if (c == u'\r' || c == u'\n' || c == u'\0') c = u' ';
  }
  std::u16string_view text = value;
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') &&
      text.back() == text.front()) {
    text = text.substr(1, text.size() - 2);
  }
  if (text.size() > settings::kMaxProfileValueLength) {
    text = text.substr(0, settings::kMaxProfileValueLength);
    if (text.back() >= 0xD800 && text.back() <= 0xDBFF) text.remove_suffix(1);
  }
  return std::u16string(text);
}

const std::u16string& SettingsPath() {
  static const std::u16string path = [] {
    // Memory-backed where there is one: every write is flushed to the disk, which on a real
    // disk would make the run a few executions a second.
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    const std::filesystem::path dir = base / ("profile_fuzz." + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / "operator.ini").u16string();
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const std::u16string section = queue::DecodeUtf8(input.Until('\0'));
  const std::u16string key = queue::DecodeUtf8(input.Until('\0'));
  const std::u16string value = queue::DecodeUtf8(input.Until('\0'));
  const std::string_view file = input.Rest();

  fuzz::Require(settings::ProfileDocument::Parse(std::string(file)).Serialize() == file,
                "an untouched file serialises to its own bytes");

  const std::u16string& path = SettingsPath();
  fuzz::Require(settings::ReplaceStoredFile(path, file), "the fuzzed file is stored");
  settings::ProfileFile profile(path);
  const std::u16string other_key = profile.ReadString(section, u"Top", u"\x1");
  const std::u16string other_section = profile.ReadString(u"Form", key, u"\x1");
  profile.ReadInteger(section, key, -1);
  try {
    profile.WriteString(section, key, value);
  } catch (const queue::Failure& failure) {
    // Only names that could not read back are refused; the file is then as it was.
    fuzz::Require(failure.kind() == queue::CoreFailure::kGeneric, "only a bad name is refused");
    fuzz::Require(settings::ReadStoredFile(path).bytes == file, "a refused write changes nothing");
    return 0;
  }
  fuzz::Require(profile.ReadString(section, key, u"\x1") == AsReadBack(value),
                "a written value reads back");
  if (!queue::EqualsIgnoreCase(key, u"Top")) {
    fuzz::Require(profile.ReadString(section, u"Top", u"\x1") == other_key,
                  "another key of the section is untouched");
  }
  if (!queue::EqualsIgnoreCase(section, u"Form")) {
    fuzz::Require(profile.ReadString(u"Form", key, u"\x1") == other_section,
                  "the key in another section is untouched");
  }
  return 0;
}
