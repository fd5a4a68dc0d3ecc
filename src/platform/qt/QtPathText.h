#pragma once

#include <filesystem>
#include <string>

#include <QString>

namespace pelmora {

// Paths cross into Qt as UTF-8 text and come back from it the same way, so names outside ASCII
// survive whatever the process locale is.
inline QString pathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return QString::fromUtf8(reinterpret_cast<const char*>(text.data()),
                           static_cast<qsizetype>(text.size()));
}

inline std::filesystem::path pathFromText(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace pelmora
