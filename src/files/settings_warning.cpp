#include "files/settings_warning.h"

#include "extract/kta_file.h"
#include "extract/settings.h"

namespace tanavo {

std::string WarningText(SettingsWarning warning, int64_t count, std::string_view detail) {
  switch (warning) {
    case SettingsWarning::NotDisplaySettings: return "表示設定ファイルではありません!!";
    case SettingsWarning::TooManyEntries:
      return "抽出設定ファイルのタグ定義が" + std::to_string(kTagEntries) + "件を超えています。" +
             std::to_string(kTagEntries + 1) + "件目以降は読み込みませんでした!!";
    case SettingsWarning::OverlongFields: {
      std::string text = "次の設定は" + std::to_string(kFieldBytes) + "バイトを超えるため、" +
                         std::to_string(kFieldBytes + 1) + "バイト目以降は保存されません!!" + std::string(detail);
      if (count > kListedOverlongFields) text += "\nほか" + std::to_string(count - kListedOverlongFields) + "件";
      return text;
    }
  }
  return std::string();
}

}  // namespace tanavo
