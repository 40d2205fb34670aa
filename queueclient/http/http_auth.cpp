// Authentication states and the authorization attempt.
#include "queueclient/http/http_auth.h"
#include "queueclient/charset/charset_table.h"

#include <optional>

#include "core/text.h"
#include "queueclient/charset/charset.h"
#include "queueclient/charset/content_type.h"
#include "queueclient/http/base64.h"

namespace queue {
namespace {

constexpr int kUtf8CodePage = 65001;

std::u16string_view SchemeOf(std::u16string_view challenge) {
  return challenge.substr(0, challenge.find(u' '));
}

std::optional<AuthScheme> KnownScheme(std::u16string_view name) {
  if (EqualsIgnoreCase(name, u"Basic")) return AuthScheme::kBasic;
  if (EqualsIgnoreCase(name, u"Digest")) return AuthScheme::kDigest;
  if (EqualsIgnoreCase(name, u"NTLM")) return AuthScheme::kNtlm;
  if (EqualsIgnoreCase(name, u"Negotiate")) return AuthScheme::kNegotiate;
  return std::nullopt;
}

// The parameters of a challenge ("Basic realm=\"a,b\", charset=UTF-8") rewritten as the ";" list
// of a Content-Type value, so one parameter reader serves both.
std::u16string ChallengeParameters(std::u16string_view challenge) {
  std::u16string list = u"scheme;";
  bool quoted = false;
  bool escaped = false;
  for (const char16_t c : challenge.substr(SchemeOf(challenge).size())) {
    if (quoted && !escaped && c == u'\\') {
      escaped = true;
    } else {
      if (c == u'"' && !escaped) quoted = !quoted;
      escaped = false;
    }
    list.push_back(!quoted && c == u',' ? u';' : c);
  }
  return list;
}

// The character set a Basic challenge names for the credentials.
std::u16string ChallengeCharset(std::u16string_view challenge) {
  const std::u16string params = ChallengeParameters(challenge);
  for (const std::u16string_view name : {u"charset", u"accept-charset", u"encoding", u"enc"}) {
    std::u16string value = ContentTypeParameter(params, name);
    if (!value.empty()) return value;
  }
  return u"ISO-8859-1";
}

// One byte per character, "?" for characters that do not fit.
std::string Latin1Bytes(std::u16string_view text) {
  std::string bytes(text.size(), '?');
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] <= 0xFF) bytes[i] = static_cast<char>(text[i]);
  }
  return bytes;
}

}  // namespace

bool AuthState::NextStep(const std::u16string& username,
                         const std::vector<std::u16string>& challenges) {
  if (scheme_ != AuthScheme::kBasic) return false;
  asked_ = true;
  utf8_ = false;
  for (const auto& challenge : challenges) {
    if (EqualsIgnoreCase(SchemeOf(challenge), u"Basic")) {
      utf8_ = CodePageOf(ChallengeCharset(challenge)) == kUtf8CodePage;
      break;
    }
  }
  return !username.empty();
}

std::u16string AuthState::AuthorizationValue(const std::u16string& username,
                                             const std::u16string& password) const {
  if (scheme_ != AuthScheme::kBasic) return {};
  const std::u16string credentials = username + u":" + password;
  const std::string bytes = asked_ && utf8_ ? Utf16ToUtf8(credentials) : Latin1Bytes(credentials);
  return u"Basic " + Widen(Base64Encode(bytes));
}

bool AttemptAuthorization(std::unique_ptr<AuthState>& state, int& attempts,
                          const std::u16string& username, const std::u16string& password,
                          const std::vector<std::u16string>& challenges) {
  const bool attempts_used_up = attempts >= kMaxAuthRetries;
  ++attempts;
  bool accepted = false;
  if (!attempts_used_up) {
    if (!state) {
      for (const auto& challenge : challenges) {
        if (const auto scheme = KnownScheme(SchemeOf(challenge))) {
          state = std::make_unique<AuthState>(*scheme);
          break;
        }
      }
    }
    accepted = state && !Trim(password).empty() && state->NextStep(username, challenges);
  }
  if (!accepted && state) state->Reset();
  return accepted;
}

}  // namespace queue
