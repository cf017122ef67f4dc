#include "index/capacity_setting.h"

#include "state/workspace.h"

namespace tanavo {

namespace {

constexpr char kKey[] = "MaxRecords=";

std::string SettingPath(const Workspace& ws) {
  return ws.state.programFolder + ws.files.PathSeparator() + kCapacitySettingFile;
}

}  // namespace

bool ParseRecordCapacity(const std::string& text, int32_t* capacity) {
  if (text == "all") {
    *capacity = kAllRecords;
    return true;
  }
  if (text.empty() || text.size() > 10) return false;
  long long n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > kAllRecords) return false;
  *capacity = static_cast<int32_t>(n);
  return true;
}

std::string RecordCapacitySettingText(int32_t capacity) {
  return std::string(kKey) + (capacity == kAllRecords ? std::string("all") : std::to_string(capacity)) + "\r\n";
}

int32_t ReadRecordCapacitySetting(const std::string& text) {
  std::string line = text;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  int32_t capacity = kIndexSlots;
  if (line.compare(0, sizeof kKey - 1, kKey) != 0) return kIndexSlots;
  if (!ParseRecordCapacity(line.substr(sizeof kKey - 1), &capacity)) return kIndexSlots;
  return capacity;
}

void LoadRecordCapacity(Workspace& ws) {
  std::string text;
  const std::string path = SettingPath(ws);
  // Anything but a small regular file is no setting of ours.
  if (ws.files.IsSpecialFile(path) || ws.files.ReadWholeFile(path, &text) != ReadStatus::Ok ||
      text.size() > 64) {
    text.clear();
  }
  SetRecordCapacity(ws.index, ReadRecordCapacitySetting(text));
}

bool RememberRecordCapacity(Workspace& ws, int32_t capacity) {
  SetRecordCapacity(ws.index, capacity);
  if (ws.files.WriteFileReplacing(SettingPath(ws), RecordCapacitySettingText(capacity)) == WriteStatus::Ok) {
    return true;
  }
  ws.platform.MessageBox(BoxOwner::Main, "設定ファイル(" + std::string(kCapacitySettingFile) +
                                             ")に書き込めません。登録件数の上限は今回の実行中だけ有効です!!",
                         "注意", BoxIcon::Warning, BoxButtons::Ok);
  return false;
}

}  // namespace tanavo
