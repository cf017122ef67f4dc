#include "index/indexed_file.h"

#include "text/path.h"
#include "platform/file_system.h"

namespace tanavo {

IndexedFile LocateIndexedFile(FileSystem& p, const std::string& stored, const std::string& indexPath) {
  const char sep = p.PathSeparator();
  IndexedFile file;
  file.path = OpenablePath(SplitPath(stored, sep), sep);
  if (NamesNetworkPath(stored)) {
    file.refusal = IndexedFileRefusal::NetworkPath;
    return file;
  }
  if (NamesDevice(stored, sep)) {
    file.refusal = IndexedFileRefusal::NotAFile;
    return file;
  }
  // Only now that the spelling names no device may the system resolve it.
  if (p.ReachesNetwork(file.path)) {
    file.refusal = IndexedFileRefusal::NetworkPath;
    return file;
  }
  // Settings never saved to a file are stored as a name of nothing: their
  // opening fails as it always has.
  const std::string name = FileNameOf(stored);
  if (name.empty()) return file;
  if (p.FileExists(file.path)) {
    if (p.IsSpecialFile(file.path)) file.refusal = IndexedFileRefusal::NotAFile;
    return file;
  }
  const std::string folder = FolderOf(indexPath, sep);
  const std::string elsewhere[] = {OtherSystemPath(stored, sep), folder.empty() ? std::string() : folder + sep + name};
  for (const std::string& path : elsewhere) {
    // Only a regular file on this computer is taken instead; anything else
    // there is passed over, and the stored path's failure is told.
    if (path.empty() || NamesNetworkPath(path) || NamesDevice(path, sep) || p.ReachesNetwork(path)) continue;
    if (!p.FileExists(path) || p.IsSpecialFile(path)) continue;
    file.path = path;
    file.moved = true;
    return file;
  }
  return file;
}

std::string IndexedFileRefusalText(IndexedFileRefusal refusal, const std::string& stored) {
  switch (refusal) {
    case IndexedFileRefusal::NetworkPath:
      return "ネットワーク上のファイルを指しているため、このインデックスファイルは読み込みません!!\r\n" + stored;
    case IndexedFileRefusal::NotAFile:
      return "通常のファイルでないもの(デバイス、パイプ等)を指しているため、このインデックスファイルは読み込みません!!\r\n" +
             stored;
    case IndexedFileRefusal::None:
      break;
  }
  return std::string();
}

}  // namespace tanavo
