#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace pelmora {

// One open key of the settings store. Used and closed within one event; closing (or
// destroying) the handle makes its writes durable.
class StoreKey {
 public:
  virtual ~StoreKey() = default;
  // Closes the handle; later calls on it are errors.
  virtual void CloseKey() = 0;
  // True when a value of that name exists, whatever its type.
  virtual bool ValueExists(const std::string& name) = 0;
  // The integer value; StoreError when it is missing or not an integer.
  virtual std::int32_t ReadInteger(const std::string& name) = 0;
  // The text value; empty when missing; StoreError when it exists and is not a text.
  virtual std::string ReadString(const std::string& name) = 0;
  // Creates or replaces the value as an integer; StoreError when the write is refused.
  virtual void WriteInteger(const std::string& name, std::int32_t value) = 0;
  // Creates or replaces the value as a text (UTF-8); StoreError when the write is refused.
  virtual void WriteString(const std::string& name, const std::string& value) = 0;
  // Removes the value; a missing value is no error.
  virtual void DeleteValue(const std::string& name) = 0;
};

// A tree of named keys holding named 32-bit integers and texts. Key paths are relative to the
// machine root and written with backslashes ("Software\Kedrun\Pelmora\Tariffs\3"); key and
// value names are case-insensitive.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Opens the key, creating it and its parents when create is set; null when it cannot be
  // opened (missing and not created). StoreError when the store itself cannot be used.
  virtual std::unique_ptr<StoreKey> OpenKey(const std::string& path, bool create) = 0;
  // Removes the key with all its subkeys and values; a missing key is no error.
  virtual void DeleteKey(const std::string& path) = 0;
  // Runs the steps as one unit: everything they write through keys opened inside is kept when
  // they return, and nothing of it when they throw (the exception is passed on). Open no key
  // before and keep none after: the unit is made durable when the steps return. StoreBusy when
  // another process holds the store beyond a short wait; nothing was written then.
  virtual void Atomically(const std::function<void()>& steps) = 0;
};

// Opens the key, creating it when missing; StoreError when even that fails.
std::unique_ptr<StoreKey> openKey(SettingsStore& store, const std::string& path);

}  // namespace pelmora
