// A clean-up that runs when the scope that made it ends, however it ends: a return or a failure
// on its way to the error box.
#pragma once

#include <utility>

namespace queue {

template <class CleanUp>
class [[nodiscard]] ScopeExit {
 public:
  explicit ScopeExit(CleanUp clean_up) : clean_up_(std::move(clean_up)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ~ScopeExit() { clean_up_(); }

 private:
  CleanUp clean_up_;
};

}  // namespace queue
