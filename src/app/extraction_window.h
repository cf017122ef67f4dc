// The extraction settings window: the tag table as a list, built by clicking.
#pragma once

#include <string>
#include <vector>

#include "extract/settings.h"
#include "platform/base_window.h"
#include "platform/platform.h"

namespace tanavo {

struct App;

// Control ids of the extraction settings window.
constexpr int kExtAddDSet = 1001;
constexpr int kExtAddGroup = 1002;
constexpr int kExtList = 1003;
constexpr int kExtDSetCaption = 1004;
constexpr int kExtGroupCaption = 1005;
constexpr int kExtAddData = 1006;
constexpr int kExtDataCaption = 1007;
constexpr int kExtDelete = 1008;
constexpr int kExtClose = 1009;
constexpr int kExtDetails = 1010;
constexpr int kExtSave = 1011;
constexpr int kExtDeleteCaption = 1012;
constexpr int kExtCheck = 1013;

// The window opens this far below the main window's top.
constexpr int kExtOffsetBelowMain = 20;

// The class the window is registered under; tests and tools find it by it.
inline constexpr char kExtractionWindowClass[] = "NORMAL1";

class ExtractionWindow : public BaseWindow<ExtractionWindow, App> {
 public:
  explicit ExtractionWindow(App& app) : BaseWindow(app) {}
  static WindowSpec Declaration();
  static std::vector<ControlSpec> Controls();
  // Place beside the main window, refill, show and focus.
  void Open();
  void OnCommand(int id, int code) override;

  // Renumbers default-named Data entries and groups in list order
  // (RenumberDefaultNames of the settings) and relabels the lines changed.
  void RenumberDefaultNames();
  // Called when the whole table was replaced (a settings file was read): a
  // list on screen is rebuilt so that its lines keep matching the entries.
  void SettingsReplaced();

 private:
  void Created(Window& w) override;
  void Refill();
  bool RoomFor(int count);
  void InsertLines(int at, int count, EntryKind kind, const std::string& label);
  // Each line that is no longer its entry's ListLabel is given it.
  void RefillChangedLines();
  void AddDSetPair();
  void AddGroupPair();
  void AddDataEntry();
  void DeleteDefinition();
  void Close();
};

}  // namespace tanavo
