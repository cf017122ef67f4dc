// Whole-file reading and writing on the real file system, shared by the
// win32 and console back ends (one implementation per system).
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace tanavo {

ReadStatus ReadRealFile(const std::string& path, std::string* bytes);
// The regular file at path open for reading in pieces, shared with other
// readers and writers as ReadRealFile opens it.
ReadStatus OpenRealFileReader(const std::string& path, std::unique_ptr<FileReader>* reader);
// Writes beside the target and renames over it.
WriteStatus WriteRealFileReplacing(const std::string& path, const std::string& bytes);
bool RealFileExists(const std::string& path);
// Something other than a regular file is at path (links followed).
bool RealIsSpecialFile(const std::string& path);
// The path resolves to another computer (see Platform::ReachesNetwork).
bool RealReachesNetwork(const std::string& path);
bool CreateRealNewEmptyFile(const std::string& path);
bool CreateRealFolder(const std::string& path);
std::string RealCurrentDirectory();
// Relative paths are made absolute against the current directory.
std::string MakeAbsolute(const std::string& path);
char RealPathSeparator();
// The system's text for the error of the last failed file call.
std::string RealLastErrorText();

#ifndef _WIN32
// Reads the whole regular file open on fd (ReadRealFile without the open).
ReadStatus ReadOpenFile(int fd, std::string* bytes);
#endif

}  // namespace tanavo
