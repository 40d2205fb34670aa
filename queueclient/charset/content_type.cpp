// Content-Type values: parameter parsing, media type comparison and the character set that a
// media type implies when no charset parameter names one.
#include "queueclient/charset/content_type.h"

#include <vector>

#include "core/text.h"
#include "queueclient/charset/charset.h"
#include "queueclient/http/response_record.h"

namespace queue {
namespace {

// One parameter of a Content-Type value; [begin, end) spans it from its ";" up to the next
// parameter's ";" (or the end), so removing that span removes the parameter whole.
struct Parameter {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::u16string name;
  std::u16string value;
};

bool EndsToken(char16_t c) {
  if (c <= 0x20 || c == 0x7F) return true;
  return std::u16string_view(u"\"()<>@,;:\\/[]?={}").find(c) != std::u16string_view::npos;
}

std::size_t SkipBlanks(std::u16string_view text, std::size_t pos) {
  while (pos < text.size() && text[pos] <= 0x20) ++pos;
  return pos;
}

// Reads a quoted string whose opening quote is at `pos`; returns the position after the
// closing quote (or the end of the text when it is missing).
std::size_t ReadQuoted(std::u16string_view text, std::size_t pos, std::u16string& value) {
  ++pos;
  while (pos < text.size() && text[pos] != u'"') {
    if (text[pos] == u'\\' && pos + 1 < text.size()) ++pos;
    value += text[pos++];
  }
  return pos < text.size() ? pos + 1 : pos;
}

std::vector<Parameter> ParseParameters(std::u16string_view text) {
  std::vector<Parameter> parameters;
  std::size_t pos = text.find(u';');
  while (pos < text.size()) {
    Parameter parameter;
    parameter.begin = pos++;
    const std::size_t name_start = pos;
    while (pos < text.size() && text[pos] != u'=' && text[pos] != u';') ++pos;
    parameter.name = std::u16string(Trim(text.substr(name_start, pos - name_start)));
    if (pos < text.size() && text[pos] == u'=') {
      pos = SkipBlanks(text, pos + 1);
      if (pos < text.size() && text[pos] == u'"') {
        pos = ReadQuoted(text, pos, parameter.value);
      } else {
        const std::size_t value_start = pos;
        while (pos < text.size() && !EndsToken(text[pos])) ++pos;
        parameter.value = std::u16string(text.substr(value_start, pos - value_start));
      }
      // Whatever follows the value up to the next ";" belongs to no parameter.
      while (pos < text.size() && text[pos] != u';') ++pos;
    }
    parameter.end = pos;
    parameters.push_back(std::move(parameter));
  }
  return parameters;
}

// The media type part of a value: before the first ";", trimmed.
std::u16string_view MediaTypeOf(std::u16string_view content_type) {
  return Trim(content_type.substr(0, content_type.find(u';')));
}

}  // namespace

std::u16string ContentTypeParameter(std::u16string_view content_type, std::u16string_view name) {
  for (auto& parameter : ParseParameters(content_type)) {
    if (EqualsIgnoreCase(parameter.name, name)) return std::move(parameter.value);
  }
  return {};
}

std::u16string RemoveContentTypeParameter(std::u16string_view content_type,
                                          std::u16string_view name, std::u16string& removed_value) {
  removed_value.clear();
  bool found = false;
  std::u16string rest;
  std::size_t kept_from = 0;
  for (auto& parameter : ParseParameters(content_type)) {
    if (!EqualsIgnoreCase(parameter.name, name)) continue;
    if (!found) removed_value = std::move(parameter.value);
    found = true;
    rest += content_type.substr(kept_from, parameter.begin - kept_from);
    kept_from = parameter.end;
  }
  rest += content_type.substr(kept_from);
  return std::u16string(Trim(rest));
}

bool MediaTypeIs(std::u16string_view content_type, std::u16string_view pattern) {
  const std::u16string_view media_type = MediaTypeOf(content_type);
  if (pattern.find(u'/') != std::u16string_view::npos) {
    return EqualsIgnoreCase(media_type, pattern);
  }
  return media_type.size() > pattern.size() && media_type[pattern.size()] == u'/' &&
         StartsWithIgnoreCase(media_type, pattern);
}

void ApplyContentTypeCharset(bool has_content_type, std::u16string_view content_type,
                             std::u16string_view charset_parameter, std::u16string& charset) {
  if (!has_content_type) {
    charset.clear();
    return;
  }
  if (!charset_parameter.empty()) {
    charset = charset_parameter;
    return;
  }
  if (!MediaTypeIs(content_type, u"text")) return;
  const std::u16string_view media_type = MediaTypeOf(content_type);
  const std::u16string_view subtype = media_type.substr(media_type.find(u'/') + 1);
  const bool is_xml = EqualsIgnoreCase(subtype, u"xml") ||
                      EqualsIgnoreCase(subtype, u"xml-external-parsed-entity") ||
                      EndsWithIgnoreCase(subtype, u"+xml");
  charset = is_xml ? u"us-ascii" : u"ISO-8859-1";
}

}  // namespace queue
