#pragma once

#include <stdexcept>
#include <string>

namespace pelmora {

// A value of the wrong type, a missing value or a refused write. It names the key, the value
// and what was expected, so the user can repair the store by hand.
class StoreError : public std::runtime_error {
 public:
  StoreError(std::string key, std::string value, std::string expected);

  const std::string& key() const { return m_key; }
  const std::string& value() const { return m_value; }
  const std::string& expected() const { return m_expected; }

 private:
  std::string m_key;
  std::string m_value;
  std::string m_expected;
};

// The disk has no room for the store's write. Nothing was written; the same step succeeds once
// there is room again.
class StoreFull : public StoreError {
 public:
  using StoreError::StoreError;
};

// Another process holds the store's write lock beyond a short wait. Nothing was written; the
// same step may be tried again later.
class StoreBusy : public StoreError {
 public:
  using StoreError::StoreError;
};

}  // namespace pelmora
