// The tag window: the tags of the record on display in the data display,
// each a label with a note, added and removed one at a time. Each change is
// saved in the case at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "case/case_view.h"
#include "platform/base_window.h"
#include "platform/platform.h"

namespace tanavo {

struct App;

constexpr int kTagRecordText = 1000;
constexpr int kTagList = 1001;
constexpr int kTagLabelCaption = 1002;
constexpr int kTagLabelEdit = 1003;
constexpr int kTagNoteCaption = 1004;
constexpr int kTagNoteEdit = 1005;
constexpr int kTagAddButton = 1006;
constexpr int kTagRemoveButton = 1007;
constexpr int kTagClose = 1008;

// The edits take what the case takes once it is UTF-8: a Shift_JIS byte
// becomes at most three.
constexpr std::size_t kTagLabelEditBytes = kMaxTagLabelBytes / 3;
constexpr std::size_t kTagNoteEditBytes = kMaxTagNoteBytes / 3;
// The label a new tag is offered with.
inline constexpr char kDefaultTagLabel[] = "要確認";

// The class the window is registered under; tests and tools find it by it.
inline constexpr char kTagWindowClass[] = "NORMAL8";

// A row of the tag list: the label, then the note's first line.
std::string TagRow(const RecordTag& tag);

class TagWindow : public BaseWindow<TagWindow, App> {
 public:
  explicit TagWindow(App& app) : BaseWindow(app) {}
  static WindowSpec Declaration();
  static std::vector<ControlSpec> Controls();

  void OnCommand(int id, int code) override;
  // Shows the tags of record n (of the open case).
  void ShowFor(std::int32_t n);

 private:
  void Created(Window&) override;
  void Refill();
  void Add();
  void Remove();
  void ShowChosen();
  // A refusal of the case, said in a box; false when there was one.
  bool Saved(TagStatus status);

  std::int32_t record_ = 0;
  std::vector<RecordTag> tags_;
};

}  // namespace tanavo
