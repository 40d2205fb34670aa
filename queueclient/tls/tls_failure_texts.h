// The texts that start a composed TLS failure message, the same for every TLS back-end, so the
// operator reads one wording whichever library made the connection.
#pragma once

#include <string_view>

namespace queue {

// The lead texts that start a composed TLS failure message.
inline constexpr std::string_view kHandshakeLead = "Error connecting with SSL.";
inline constexpr std::string_view kBindLead = "Error binding data to SSL socket.";
inline constexpr std::string_view kFileDescriptorLead = "Error setting File Descriptor for SSL";
inline constexpr std::string_view kContextLead = "Error creating SSL context.";
// What a peer that closes in the middle of a TLS exchange gets, whatever the library version
// calls it.
inline constexpr std::string_view kUnexpectedEofText =
    "EOF was observed that violates the protocol";

}  // namespace queue
