// The working data of a run: the single instances every command reads and
// changes. The window program's App holds one together with the windows that
// show it; tanavo-cli holds one alone. Nothing here knows of a window.
#pragma once

#include "dispset/display_settings.h"
#include "engine/pointer_stack.h"
#include "engine/walk.h"
#include "extract/item_charset.h"
#include "extract/settings.h"
#include "mime/mime_full.h"
#include "platform/platform.h"
#include "state/app_state.h"
#include "state/attachments.h"
#include "state/coverage.h"
#include "state/record_history.h"
#include "state/record_index.h"

namespace tanavo {

// What a view of the working data must hear at the moment a command changes
// it under it, so that nothing on screen ever shows freed or stale bytes. The
// window program gives one; without one, nothing is shown.
class WorkspaceViews {
 public:
  virtual ~WorkspaceViews() = default;
  // The mobile file was replaced: views showing its bytes in place show the
  // new ones (the old ones are freed right after this returns).
  virtual void MobileFileReplaced() = 0;
  // The extraction settings table was replaced as a whole.
  virtual void ExtractionSettingsReplaced() = 0;
  // Saving the display settings: texts edited on screen and not yet taken
  // over are taken into the settings now.
  virtual void TakeEditedDisplayTexts() = 0;
};

// The last mail decoded in full, by its bytes (the converter is the
// platform's, the same for the whole run).
struct LastFullMail {
  bool valid = false;
  bool whole = false;  // decoded whole, not only its header
  std::string bytes;
  FullMail decoded;
};

struct Workspace {
  // Files through the platform's file system, or through files (a wrapper
  // over it, such as the export's).
  explicit Workspace(Platform& platform);
  Workspace(Platform& platform, FileSystem& files);
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  Platform& platform;
  FileSystem& files;
  WorkspaceViews* views = nullptr;
  AppState state;
  ExtractionSettings extraction;
  DisplaySettings display;
  FilePointerStack stack;
  WalkState walk;
  RecordHistory history;
  AttachmentTable attachments;
  RecordIndex index;
  Coverage coverage;  // of the last index creation
  LastFullMail lastFullMail;  // not a single instance of its own: a cache of decoding
  // What the record being walked says its values are in (display/record_charset.h).
  ItemCharset recordCharset = ItemCharset::Tags;
};

}  // namespace tanavo
