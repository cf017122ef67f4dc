#include "engine/pointer_stack.h"

namespace tanavo {

std::string WarningText(StackWarning warning) {
  switch (warning) {
    case StackWarning::TooDeep: return "ファイルポインタの階層が深すぎます!!";
    case StackWarning::PoppedTooFar: return "ファイルポインタが戻りすぎます!!";
  }
  return std::string();
}

FilePointerStack::FilePointerStack(Platform& platform, const ExtractionSettings& settings,
                                   const std::string& mobileFile, StackReporter* warnings)
    : platform_(platform), warnings_(warnings), settings_(settings), mobileFile_(mobileFile) {}

bool FilePointerStack::Push(int entryIndex) {
  if (depth_ >= kMaxStackDepth) {
    Report(platform_, warnings_, StackWarning::TooDeep);
    return false;
  }
  ++depth_;
  text_[depth_].clear();
  owner_[depth_] = (entryIndex >= 0 && entryIndex < kTagEntries) ? settings_.entries[entryIndex].name : "";
  return true;
}

bool FilePointerStack::Pop() {
  if (depth_ <= 0) {
    Report(platform_, warnings_, StackWarning::PoppedTooFar);
    return false;
  }
  text_[depth_].clear();
  owner_[depth_].clear();
  --depth_;
  return true;
}

void FilePointerStack::SetTopText(std::string text) {
  // Level 0 is the mobile file itself and is only replaced by loading.
  if (depth_ > 0) text_[depth_] = std::move(text);
}

std::string_view FilePointerStack::TopText() const {
  return depth_ == 0 ? std::string_view(mobileFile_) : std::string_view(text_[depth_]);
}

const std::string& FilePointerStack::TopOwner() const { return owner_[depth_]; }

void FilePointerStack::Reset() {
  while (depth_ > 0) {
    text_[depth_].clear();
    owner_[depth_].clear();
    --depth_;
  }
}

}  // namespace tanavo
