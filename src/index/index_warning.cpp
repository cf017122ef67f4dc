#include "index/index_warning.h"

namespace tanavo {

std::string WarningText(IndexWarning warning, int64_t count, int64_t total) {
  const std::string n = std::to_string(count);
  const std::string next = std::to_string(count + 1);
  switch (warning) {
    case IndexWarning::NoMobileFile: return "携帯データを読み込んでください!!";
    case IndexWarning::NoExtractionSettings: return "抽出設定ファイルを読み込んでください!!";
    case IndexWarning::NoDisplaySettings: return "表示設定ファイルを読み込んでください!!";
    case IndexWarning::NoDSet: return "D_SETタグが設定されていません!!";
    case IndexWarning::TooManyListEntries:
      return "一覧に表示できるDataタグは" + n + "件までです。" + next + "件目以降は一覧に反映されません!!";
    case IndexWarning::RecordsLeftOut:
      return "レコードが" + n + "件を超えています(全" + std::to_string(total) + "件)。" + next +
             "件目以降はインデックスに登録されません!!";
    case IndexWarning::CreationFailed: return "インデックス作成に失敗しました！！";
    case IndexWarning::OverCapacity:
      return "インデックスファイルのレコードが" + n + "件を超えています。" + next + "件目以降は読み込みませんでした!!";
    case IndexWarning::Truncated: return "インデックスファイルが途中で終わっています。" + n + "件目までを読み込みました!!";
    case IndexWarning::Damaged:
      return "インデックスファイルの" + next + "件目が壊れています。" + n + "件目までを読み込みました!!";
  }
  return std::string();
}

void ReportIndexWarning(Platform& platform, IndexReporter* reporter, IndexWarning warning, int64_t count,
                        int64_t total) {
  Report(platform, reporter, warning, count, total);
}

}  // namespace tanavo
