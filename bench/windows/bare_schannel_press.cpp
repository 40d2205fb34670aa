// The floor of the Windows https press: a bare Schannel client (through SSPI) that makes the same
// GET as qget.exe to the same loopback TLS server, COUNT times in one process, with the
// program's protocol settings: credentials acquired afresh for each connection with the same
// protocol versions (TLS 1.0 to 1.3, without 1.3 where the system refuses it), no certificate
// check, no server name check, no default client certificate, and the same context
// requirements. Each press: connect, handshake, send the request, read the whole answer, send
// the close notification, close. Usage: see bare_press_win.h.
#include <windows.h>
#include <winsock2.h>
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>

#include <string>

#include "bench/windows/bare_press_win.h"

namespace {

constexpr DWORD kProtocolsUpTo12 =
    SP_PROT_TLS1_0_CLIENT | SP_PROT_TLS1_1_CLIENT | SP_PROT_TLS1_2_CLIENT;
constexpr DWORD kProtocols = kProtocolsUpTo12 | SP_PROT_TLS1_3_CLIENT;
constexpr DWORD kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                  ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY |
                                  ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
wchar_t kServerName[] = L"127.0.0.1";
// The system's security interface, loaded before the first press from the system folder, as the
// client loads it at its first https connection: a run without presses does not load it.
const SecurityFunctionTableW* sspi = nullptr;

void LoadSecurityInterface() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  const std::wstring path = std::wstring(folder, length) + L"\\secur32.dll";
  const HMODULE library = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (library == nullptr) bench::Fail("LoadLibrary secur32", static_cast<int>(GetLastError()));
  const auto initialise = reinterpret_cast<INIT_SECURITY_INTERFACE_W>(
      reinterpret_cast<void*>(GetProcAddress(library, SECURITY_ENTRYPOINT_ANSIW)));
  sspi = initialise != nullptr ? initialise() : nullptr;
  if (sspi == nullptr) bench::Fail("InitSecurityInterface", static_cast<int>(GetLastError()));
}

CredHandle AcquireCredentials() {
  SCHANNEL_CRED wanted{};
  wanted.dwVersion = SCHANNEL_CRED_VERSION;
  wanted.grbitEnabledProtocols = kProtocols;
  wanted.dwFlags =
      SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_SERVERNAME_CHECK | SCH_CRED_NO_DEFAULT_CREDS;
  CredHandle credentials;
  TimeStamp expiry;
  auto acquire = [&] {
    return sspi->AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W),
                                           SECPKG_CRED_OUTBOUND, nullptr, &wanted, nullptr, nullptr,
                                           &credentials, &expiry);
  };
  SECURITY_STATUS status = acquire();
  if (status == SEC_E_ALGORITHM_MISMATCH || status == SEC_E_UNSUPPORTED_FUNCTION) {
    wanted.grbitEnabledProtocols = kProtocolsUpTo12;
    status = acquire();
  }
  if (status != SEC_E_OK) bench::Fail("AcquireCredentialsHandle", status);
  return credentials;
}

// Sends a token the system allocated and frees it.
void SendToken(SOCKET socket, SecBuffer& token) {
  if (token.cbBuffer > 0 && token.pvBuffer != nullptr) {
    bench::SendAll(socket, static_cast<const char*>(token.pvBuffer), token.cbBuffer);
  }
  if (token.pvBuffer != nullptr) sspi->FreeContextBuffer(token.pvBuffer);
}

// Appends one receive's bytes to `incoming`.
void Receive(SOCKET socket, std::string& incoming) {
  char buffer[16384];
  const int count = ::recv(socket, buffer, sizeof buffer, 0);
  if (count <= 0) bench::Fail("recv", WSAGetLastError());
  incoming.append(buffer, static_cast<std::size_t>(count));
}

// The handshake; what arrived after it stays in `incoming`.
void Handshake(SOCKET socket, CredHandle& credentials, CtxtHandle& context, std::string& incoming) {
  unsigned long attributes = 0;
  SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc out_desc{SECBUFFER_VERSION, 1, &out};
  SECURITY_STATUS status =
      sspi->InitializeSecurityContextW(&credentials, nullptr, kServerName, kContextRequest, 0, 0,
                                       nullptr, 0, &context, &out_desc, &attributes, nullptr);
  SendToken(socket, out);
  while (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_INCOMPLETE_MESSAGE) {
    if (incoming.empty() || status == SEC_E_INCOMPLETE_MESSAGE) Receive(socket, incoming);
    SecBuffer in[2] = {
        {static_cast<unsigned long>(incoming.size()), SECBUFFER_TOKEN, incoming.data()},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc in_desc{SECBUFFER_VERSION, 2, in};
    out = {0, SECBUFFER_TOKEN, nullptr};
    status =
        sspi->InitializeSecurityContextW(&credentials, &context, kServerName, kContextRequest, 0, 0,
                                         &in_desc, 0, nullptr, &out_desc, &attributes, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) continue;
    SendToken(socket, out);
    if (in[1].BufferType == SECBUFFER_EXTRA) {
      incoming.erase(0, incoming.size() - in[1].cbBuffer);
    } else {
      incoming.clear();
    }
  }
  if (status != SEC_E_OK) bench::Fail("InitializeSecurityContext", status);
}

void SendEncrypted(SOCKET socket, CtxtHandle& context, const SecPkgContext_StreamSizes& sizes,
                   const std::string& data) {
  std::string record(sizes.cbHeader, '\0');
  record += data;
  record.append(sizes.cbTrailer, '\0');
  SecBuffer buffers[4] = {
      {sizes.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
      {static_cast<unsigned long>(data.size()), SECBUFFER_DATA, record.data() + sizes.cbHeader},
      {sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes.cbHeader + data.size()},
      {0, SECBUFFER_EMPTY, nullptr}};
  SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
  if (const SECURITY_STATUS status = sspi->EncryptMessage(&context, 0, &desc, 0);
      status != SEC_E_OK)
    bench::Fail("EncryptMessage", status);
  bench::SendAll(socket, record.data(),
                 buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
}

// Decrypts records until `wanted` bytes of data have come.
void ReceiveDecrypted(SOCKET socket, CtxtHandle& context, std::string& incoming,
                      std::size_t wanted) {
  std::size_t received = 0;
  while (received < wanted) {
    if (incoming.empty()) Receive(socket, incoming);
    SecBuffer buffers[4] = {
        {static_cast<unsigned long>(incoming.size()), SECBUFFER_DATA, incoming.data()},
        {0, SECBUFFER_EMPTY, nullptr},
        {0, SECBUFFER_EMPTY, nullptr},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = sspi->DecryptMessage(&context, &desc, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
      Receive(socket, incoming);
      continue;
    }
    if (status != SEC_E_OK) bench::Fail("DecryptMessage", status);
    std::size_t extra = 0;
    for (const SecBuffer& buffer : buffers) {
      if (buffer.BufferType == SECBUFFER_DATA) received += buffer.cbBuffer;
      if (buffer.BufferType == SECBUFFER_EXTRA) extra = buffer.cbBuffer;
    }
    incoming.erase(0, incoming.size() - extra);
  }
}

// The close notification, made by the system as the last token.
void SendCloseNotify(SOCKET socket, CredHandle& credentials, CtxtHandle& context) {
  DWORD shutdown = SCHANNEL_SHUTDOWN;
  SecBuffer control{sizeof shutdown, SECBUFFER_TOKEN, &shutdown};
  SecBufferDesc control_desc{SECBUFFER_VERSION, 1, &control};
  if (sspi->ApplyControlToken(&context, &control_desc) != SEC_E_OK) return;
  SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc out_desc{SECBUFFER_VERSION, 1, &out};
  unsigned long attributes = 0;
  sspi->InitializeSecurityContextW(&credentials, &context, kServerName, kContextRequest, 0, 0,
                                   nullptr, 0, nullptr, &out_desc, &attributes, nullptr);
  SendToken(socket, out);
}

}  // namespace

int main(int argc, char** argv) {
  const bench::PressArguments arguments = bench::ParsePressArguments(argc, argv);
  if (arguments.count > 0) LoadSecurityInterface();
  for (int press = 0; press < arguments.count; ++press) {
    const SOCKET socket = bench::RawConnectToLoopback(arguments.port);
    CredHandle credentials = AcquireCredentials();
    CtxtHandle context;
    std::string incoming;
    Handshake(socket, credentials, context, incoming);
    SecPkgContext_StreamSizes sizes;
    if (const SECURITY_STATUS status =
            sspi->QueryContextAttributesW(&context, SECPKG_ATTR_STREAM_SIZES, &sizes);
        status != SEC_E_OK) {
      bench::Fail("QueryContextAttributes", status);
    }
    SendEncrypted(socket, context, sizes, arguments.request);
    ReceiveDecrypted(socket, context, incoming, arguments.answer_bytes);
    SendCloseNotify(socket, credentials, context);
    sspi->DeleteSecurityContext(&context);
    sspi->FreeCredentialsHandle(&credentials);
    bench::RawClose(socket);
  }
  if (arguments.count > 0) WSACleanup();
  return 0;
}
