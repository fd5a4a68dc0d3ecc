#include "platform/win/ConsoleOutput.h"

#include <windows.h>

#include <streambuf>
#include <string>

#include "platform/Utf8Text.h"
#include "platform/win/WideText.h"

namespace pelmora {

namespace {

bool isConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

bool writeToConsole(HANDLE handle, std::string_view utf8) {
  const std::wstring wide = widen(utf8);
  DWORD written = 0;
  return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) !=
         0;
}

// Collects the stream's bytes and hands whole characters to the console.
class ConsoleBuffer final : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE handle) : m_handle(handle) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    m_pending += traits_type::to_char_type(c);
    if (m_pending.size() >= 4096) flushWhole();
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    m_pending.append(s, static_cast<std::size_t>(n));
    if (m_pending.size() >= 4096) flushWhole();
    return n;
  }
  int sync() override {
    flushWhole();
    return 0;
  }

 private:
  void flushWhole() {
    const std::size_t whole = wholeUtf8Length(m_pending);
    writeToConsole(m_handle, std::string_view(m_pending).substr(0, whole));
    m_pending.erase(0, whole);
  }

  HANDLE m_handle;
  std::string m_pending;
};

}  // namespace

bool writeText(void* handle, std::string_view utf8) {
  if (isConsole(handle)) return writeToConsole(handle, utf8);
  DWORD written = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) != 0;
}

void writeStreamToConsole(std::ostream& stream, unsigned long standardHandle) {
  const HANDLE handle = GetStdHandle(standardHandle);
  if (!isConsole(handle)) return;
  // Kept for the process's life: the stream writes through it until the end.
  static ConsoleBuffer* buffers[2] = {};
  ConsoleBuffer*& buffer = buffers[standardHandle == STD_ERROR_HANDLE ? 1 : 0];
  if (buffer == nullptr) buffer = new ConsoleBuffer(handle);
  stream.rdbuf(buffer);
}

}  // namespace pelmora
