#include "monitor/win/RasConnectionProbe.h"

#include <windows.h>
#include <ras.h>
#include <raserror.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/win/WideText.h"

namespace pelmora {

namespace {

using EnumConnections = DWORD(WINAPI*)(LPRASCONNA, LPDWORD, LPDWORD);
using GetConnectStatus = DWORD(WINAPI*)(HRASCONN, LPRASCONNSTATUSA);

// A function of the loaded library, null when it has none of that name. The detour through a
// function type without parameters is the conversion the compiler accepts without a warning.
template <typename Function>
Function lookUp(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// Room for a few links at the first try; the service names the size it needs when more are up.
constexpr std::size_t kFirstRecords = 4;
constexpr int kAttempts = 3;

// The records carry the size of this build's own structures: the service knows each layout by
// its size.
bool anyConnected(EnumConnections enumerate, GetConnectStatus status) {
  std::vector<RASCONNA> records(kFirstRecords);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    for (RASCONNA& record : records) record.dwSize = sizeof(RASCONNA);
    DWORD bytes = static_cast<DWORD>(records.size() * sizeof(RASCONNA));
    DWORD count = 0;
    const DWORD rc = enumerate(records.data(), &bytes, &count);
    if (rc == ERROR_BUFFER_TOO_SMALL) {
      // More links came up than there was room for: ask again with the size named.
      records.resize(std::max<std::size_t>(bytes / sizeof(RASCONNA) + 1, records.size() * 2));
      continue;
    }
    if (rc != ERROR_SUCCESS) return false;
    count = std::min<DWORD>(count, static_cast<DWORD>(records.size()));
    for (DWORD i = 0; i < count; ++i) {
      RASCONNSTATUSA state{};
      state.dwSize = sizeof state;
      if (status(records[i].hrasconn, &state) == ERROR_SUCCESS &&
          state.rasconnstate == RASCS_Connected) {
        return true;
      }
    }
    return false;
  }
  return false;
}

}  // namespace

RasConnectionProbe::RasConnectionProbe(std::string library) : m_library(std::move(library)) {}

bool RasConnectionProbe::probe() {
  HMODULE library = LoadLibraryW(widen(m_library).c_str());
  if (library == nullptr) return false;
  const auto enumerate = lookUp<EnumConnections>(library, "RasEnumConnectionsA");
  const auto status = lookUp<GetConnectStatus>(library, "RasGetConnectStatusA");
  const bool result = enumerate != nullptr && status != nullptr && anyConnected(enumerate, status);
  FreeLibrary(library);
  return result;
}

}  // namespace pelmora
