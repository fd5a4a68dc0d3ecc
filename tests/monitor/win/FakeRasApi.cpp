// A stand-in for the remote-access service's library. The connections it reports are read at
// every call from PELMORA_FAKE_RAS: "fail" makes the enumeration fail, otherwise a list of
// connection states separated by commas ("8192,3"), where a trailing "!" makes the status query
// of that connection fail; "@FILE" reads that text from FILE (UTF-8 path), so a test can change
// it while the program runs. It checks the record sizes and the buffer size like the service.
#include <windows.h>
#include <ras.h>
#include <raserror.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Connection {
  DWORD state;
  bool statusFails;
};

std::string script() {
  wchar_t buffer[1024];
  const DWORD n = GetEnvironmentVariableW(L"PELMORA_FAKE_RAS", buffer, 1024);
  if (n == 0 || n >= 1024) return {};
  const std::filesystem::path value(std::wstring(buffer, n));
  const std::wstring text = value.native();
  if (text.front() != L'@') return value.string();
  std::ifstream in(std::filesystem::path(text.substr(1)), std::ios::binary);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

std::vector<Connection> connections() {
  std::vector<Connection> list;
  const std::string text = script();
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(start, end - start);
    list.push_back({static_cast<DWORD>(std::strtoul(item.c_str(), nullptr, 10)),
                    !item.empty() && item.back() == '!'});
    start = end + 1;
  }
  return list;
}

}  // namespace

extern "C" __attribute__((dllexport)) DWORD WINAPI RasEnumConnectionsA(LPRASCONNA records,
                                                                       LPDWORD bytes,
                                                                       LPDWORD count) {
  if (records == nullptr || bytes == nullptr || count == nullptr) return ERROR_INVALID_PARAMETER;
  if (records->dwSize != sizeof(RASCONNA)) return ERROR_INVALID_SIZE;
  if (script() == "fail") return ERROR_ACCESS_DENIED;
  const std::vector<Connection> list = connections();
  const DWORD needed = static_cast<DWORD>(list.size() * sizeof(RASCONNA));
  if (*bytes < needed) {
    *bytes = needed;
    *count = static_cast<DWORD>(list.size());
    return ERROR_BUFFER_TOO_SMALL;
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    records[i].hrasconn = reinterpret_cast<HRASCONN>(i + 1);
  }
  *count = static_cast<DWORD>(list.size());
  return ERROR_SUCCESS;
}

extern "C" __attribute__((dllexport)) DWORD WINAPI RasGetConnectStatusA(HRASCONN connection,
                                                                        LPRASCONNSTATUSA status) {
  if (status == nullptr || status->dwSize != sizeof(RASCONNSTATUSA)) return ERROR_INVALID_SIZE;
  const std::vector<Connection> list = connections();
  const std::size_t index = reinterpret_cast<std::size_t>(connection);
  if (index == 0 || index > list.size()) return ERROR_INVALID_HANDLE;
  if (list[index - 1].statusFails) return ERROR_INVALID_HANDLE;
  status->rasconnstate = static_cast<RASCONNSTATE>(list[index - 1].state);
  return ERROR_SUCCESS;
}
