// Test inputs in heap buffers of exactly their size, so that AddressSanitizer reports a read
// past the end instead of letting it land in a string's spare capacity.
#pragma once

#include <cstring>
#include <memory>
#include <string_view>

namespace queue::testing {

class ExactBuffer {
 public:
  explicit ExactBuffer(std::string_view bytes)
      : size_(bytes.size()), data_(std::make_unique<char[]>(bytes.size())) {
    if (size_ != 0) std::memcpy(data_.get(), bytes.data(), size_);
  }
  std::string_view view() const { return {data_.get(), size_}; }

 private:
  std::size_t size_;
  std::unique_ptr<char[]> data_;
};

}  // namespace queue::testing
