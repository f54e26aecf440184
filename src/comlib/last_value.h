#pragma once
// The last value worked out, kept while the inputs it came from stay the
// same: the clock measures its text when the settings change, not on every
// tick.

#include <utility>

namespace comlib {

template <typename Key, typename Value>
class LastValue {
 public:
  // The kept value when `key` equals the last one, else compute() kept.
  template <typename Compute>
  const Value& Get(const Key& key, Compute compute) {
    if (!kept_ || !(key == key_)) {
      value_ = compute();
      key_ = key;
      kept_ = true;
    }
    return value_;
  }

  void Forget() {
    kept_ = false;
    key_ = Key();
    value_ = Value();
  }

 private:
  bool kept_ = false;
  Key key_{};
  Value value_{};
};

}  // namespace comlib
