#pragma once
// Owners of COM's own kinds: an interface pointer released exactly once, a
// VARIANT cleared exactly once.

#include <unknwn.h>
#include <oleauto.h>

namespace comlib {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  void reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }
  // For functions that hand back an interface through a void**.
  void** put_void() {
    reset();
    return reinterpret_cast<void**>(&pointer_);
  }

 private:
  T* pointer_ = nullptr;
};

// A VARIANT, initialised empty and cleared on every path out of its scope.
class UniqueVariant {
 public:
  UniqueVariant() { VariantInit(&value_); }
  ~UniqueVariant() { VariantClear(&value_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;

  VARIANT* get() { return &value_; }

 private:
  VARIANT value_;
};

}  // namespace comlib
