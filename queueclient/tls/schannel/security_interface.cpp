// Loading the system's security interface on first use.
#include "queueclient/tls/schannel/security_interface.h"

#include <atomic>

#include "core/system_library_win.h"
#include "queueclient/failure.h"

namespace queue {
namespace {

const SecurityFunctionTableW* LoadSecurityInterface() {
  const HMODULE library = SystemLibrary(L"secur32.dll");
  if (library == nullptr) return nullptr;
  const auto initialise = reinterpret_cast<INIT_SECURITY_INTERFACE_W>(
      reinterpret_cast<void*>(GetProcAddress(library, SECURITY_ENTRYPOINT_ANSIW)));
  // The library stays loaded: the table points into it.
  return initialise != nullptr ? initialise() : nullptr;
}

}  // namespace

const SecurityFunctionTableW& SecurityInterface() {
  // Two presses on two threads may both load it; the library counts its loads, and both find
  // the same table.
  static std::atomic<const SecurityFunctionTableW*> loaded{nullptr};
  const SecurityFunctionTableW* table = loaded.load(std::memory_order_acquire);
  if (table == nullptr) {
    table = LoadSecurityInterface();
    if (table == nullptr) throw Failure(ClientFailure::kSslLoad);
    loaded.store(table, std::memory_order_release);
  }
  return *table;
}

}  // namespace queue
