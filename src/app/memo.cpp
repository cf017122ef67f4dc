#include "app/memo.h"

#include "app/app.h"

namespace tanavo {

std::string AnalysisMemoPath(const App& app) {
  return app.state.programFolder + app.files.PathSeparator() + "分析メモ" +
         app.state.mobileFilePath.extension + ".txt";
}

void OpenAnalysisMemo(App& app) {
  std::string path = AnalysisMemoPath(app);
  // An existing memo is only opened: what the examiner wrote is never touched.
  if (!app.files.FileExists(path) && !app.files.CreateNewEmptyFile(path)) {
    ShowOpenFailure(app.platform, "インデックス保存");
    return;
  }
  app.platform.OpenWithShell(path);
}

void OpenUserManual(App& app) {
  app.platform.OpenWithShell(app.state.programFolder + app.files.PathSeparator() + "使用説明書.pdf");
}

void ShowVersionBox(App& app) {
  app.platform.MessageBox(BoxOwner::None, "  Tanavo   \r\n     Ver1.00\r\n\r\n  2006/02/01", "ﾊﾞｰｼﾞｮﾝ情報",
                          BoxIcon::None);
}

}  // namespace tanavo
