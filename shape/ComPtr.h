// Owns one reference to a COM object.
#pragma once

#include <utility>

namespace perchette {

template <class Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  Interface* get() const { return object_; }
  Interface* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

  // For a call that hands out a new reference: drops the one held first.
  Interface** put() {
    reset();
    return &object_;
  }

  void reset() {
    if (Interface* object = std::exchange(object_, nullptr)) object->Release();
  }

 private:
  Interface* object_ = nullptr;
};

}  // namespace perchette
