#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace pelmora {

// The program's own text files (Internet.LOG, Account.LOG, Duration.tmp): CR LF line ends, and
// the platform's text encoding (UTF-8 here, the Russian code page on Windows). Every function
// opens, writes and closes within the call; a failure returns false and leaves no half-written
// file behind.

inline constexpr const char* kLineEnd = "\r\n";

// Program text (UTF-8) as the files hold it.
std::string toFileText(std::string_view utf8);
// File bytes back into program text (UTF-8).
std::string fromFileText(std::string_view bytes);

// Appends the bytes at the end of the file, creating it when missing, and makes them durable
// before it returns (the file's data, and its name when it was created): what a later step
// relies on survives a power cut.
bool appendToFile(const std::filesystem::path& file, std::string_view bytes);

// Why the last appendToFile or replaceFile of this thread failed (the system's error).
std::error_code lastFileError();

// Replaces the whole file with the bytes in one step: they are written to a temporary file in
// the same folder, flushed to the disk and renamed over the file. A crash at any moment leaves
// either the previous complete file or the new complete one.
bool replaceFile(const std::filesystem::path& file, std::string_view bytes);

// Deletes the file and makes the deletion durable; a missing file is no error. The system's
// reason when the file is still there.
std::error_code removeFile(const std::filesystem::path& file);

// The temporary file replaceFile writes first; a crash can leave it behind.
std::filesystem::path replacementPath(const std::filesystem::path& file);

// True when the file can be opened for reading.
bool canOpenForReading(const std::filesystem::path& file);

// The platform half of replaceFile (linux/TextFile.cpp, win/TextFile.cpp).
namespace detail {
// fopen for a path in the platform's own path encoding.
std::FILE* openFile(const std::filesystem::path& file, const char* mode);
// Pushes the file's written bytes to the disk.
bool syncToDisk(std::FILE* file);
// Renames `from` over `to`, replacing it, and makes the rename itself durable.
bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to);
// Makes the names in the file's folder (a file made, renamed or deleted there) durable.
void syncFolderOf(const std::filesystem::path& file);
}  // namespace detail

}  // namespace pelmora
