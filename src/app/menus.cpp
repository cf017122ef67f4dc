#include "app/menus.h"

namespace tanavo {

const std::vector<MenuSpec>& MenuBar() {
  static const std::vector<MenuSpec> bar = {
      {"ファイル(&F)",
       {{"携帯ファイル読込み(&O)", kCmdOpenMobileFile},
        {nullptr, 0},
        {"抽出設定ファイル読込み(&C)", kCmdLoadExtractionSettings},
        {"表示設定ファイル読込み(&D)", kCmdLoadDisplaySettings},
        {nullptr, 0},
        {"インデックスファイル読込(&R)", kCmdLoadIndexFile},
        {nullptr, 0},
        {"終　了(&Q)", kCmdExit}}},
      {"表　　示(&S)",
       {{"インデックスファイル作成(&I)", kCmdCreateIndex},
        {"網羅性(&V)", kCmdCoverage},
        {nullptr, 0},
        {"データ表示(&Z)", kCmdDataDisplay},
        {nullptr, 0},
        {"生データをUTF-8として表示(&U)", kCmdRawUtf8}}},
      {"分　　析(&A)",
       {{"分析メモ(&M)", kCmdAnalysisMemo}, {nullptr, 0}, {"文字コード変換(&J)", kCmdConversionTool}}},
      {"設　　定(&P)",
       {{"データ抽出設定(&A)", kCmdExtractionSettings},
        {nullptr, 0},
        {"データ表示設定(&B)", kCmdDisplaySettings}}},
      {"ヘルプ(&H)", {{"使用説明書(&H)", kCmdUserManual}, {nullptr, 0}, {"バージョン情報(&A)", kCmdVersion}}},
  };
  return bar;
}

}  // namespace tanavo
