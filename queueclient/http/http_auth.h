// The authentication state that a 401 attaches to the client's request, and the authorization
// attempt of a 401. Basic is built in full; Digest, NTLM and Negotiate are recognised and
// attached but decline every step.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace queue {

// Attempts allowed within one call.
inline constexpr int kMaxAuthRetries = 3;

enum class AuthScheme { kBasic, kDigest, kNtlm, kNegotiate };

class AuthState {
 public:
  explicit AuthState(AuthScheme scheme) : scheme_(scheme) {}
  AuthScheme scheme() const { return scheme_; }

  // Takes the credentials and the challenges and answers whether the request can be sent.
  // Basic: when the user name is not empty; it also takes the character set the Basic challenge
  // names. The other schemes: never.
  bool NextStep(const std::u16string& username, const std::vector<std::u16string>& challenges);
  // Back to the first step, after a declined attempt.
  void Reset() { asked_ = false; }

  // The Authorization value for these credentials; empty for schemes that produce none here.
  std::u16string AuthorizationValue(const std::u16string& username,
                                    const std::u16string& password) const;

 private:
  AuthScheme scheme_;
  bool asked_ = false;
  bool utf8_ = false;  // the challenge asked for UTF-8 credentials
};

// The authorization attempt of a 401. Counts the attempt; attaches a state for the first
// challenge of a known scheme when none is attached; declines when the attempts are used up,
// no challenge names a known scheme, the password (trimmed) is empty, or the state declines.
// A declined attempt resets the state. Returns whether the attempt was accepted.
bool AttemptAuthorization(std::unique_ptr<AuthState>& state, int& attempts,
                          const std::u16string& username, const std::u16string& password,
                          const std::vector<std::u16string>& challenges);

}  // namespace queue
