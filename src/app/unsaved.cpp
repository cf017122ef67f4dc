#include "app/unsaved.h"

#include <string>

#include "app/app.h"
#include "text/path.h"
#include "app/display_window.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "app/detail_window.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"

namespace tanavo {

namespace {

// The settings as their file holds them; an empty table when there is no
// file, or it cannot be read.
ExtractionSettings SettingsInFile(App& app) {
  ExtractionSettings s;
  const std::string path = OpenablePath(app.state.extractionFilePath, app.files.PathSeparator());
  std::string bytes;
  if (app.state.extractionFilePath.baseName.empty() || app.files.ReadWholeFile(path, &bytes) != ReadStatus::Ok) {
    return s;
  }
  for (std::size_t i = 0; i < s.entries.size() && i * kEntryBytes < bytes.size(); ++i) {
    DecodeEntry(std::string_view(bytes).substr(i * kEntryBytes, kEntryBytes), s.entries[i]);
  }
  return s;
}

bool SameEntry(const TagDefinition& a, const TagDefinition& b) {
  std::string TagDefinition::*const fields[] = {
      &TagDefinition::name,
      &TagDefinition::rangeStartTag,  &TagDefinition::rangeEndTag,
      &TagDefinition::dataTypeStartTag, &TagDefinition::dataTypeEndTag,
      &TagDefinition::encodingStartTag, &TagDefinition::encodingEndTag,
      &TagDefinition::japaneseCodeStartTag, &TagDefinition::japaneseCodeEndTag,
      &TagDefinition::contentStartTag, &TagDefinition::contentEndTag,
      &TagDefinition::lineEnd,        &TagDefinition::nextLineHead,
  };
  for (auto f : fields) {
    if (a.*f != b.*f) return false;
  }
  // As the file would hold them: a respelled kind or flag is a change too.
  return a.kind.Text() == b.kind.Text() && a.applyToMultiple.Text() == b.applyToMultiple.Text() &&
         a.searchAfterPrevious.Text() == b.searchAfterPrevious.Text();
}

bool ExtractionChanged(App& app) {
  if (app.detailWindow && app.detailWindow->HasEditsNotApplied()) return true;
  const ExtractionSettings saved = SettingsInFile(app);
  const int used = UsedCount(app.extraction);
  if (used != UsedCount(saved)) return true;
  for (int i = 0; i < used; ++i) {
    if (!SameEntry(app.extraction.entries[static_cast<std::size_t>(i)], saved.entries[static_cast<std::size_t>(i)]))
      return true;
  }
  return false;
}

bool DisplayChanged(App& app) {
  DisplaySettingsTexts now{app.display.listLineTemplate, app.display.layoutText};
  Window* editor = app.displayWindow ? app.displayWindow->window : nullptr;
  if (editor && editor->IsVisible() && app.display.mode == DisplayMode::Editor) {
    now.listLineTemplate = editor->Text(kDispTemplateEdit);
    now.layoutText = editor->Text(kDispLayoutEdit);
  }
  DisplaySettingsTexts saved;
  std::string bytes;
  const std::string path = OpenablePath(app.state.displayFilePath, app.files.PathSeparator());
  if (!app.state.displayFilePath.baseName.empty() && app.files.ReadWholeFile(path, &bytes) == ReadStatus::Ok) {
    ParseDisplaySettingsFile(bytes, &saved);
  }
  return now.listLineTemplate != saved.listLineTemplate || now.layoutText != saved.layoutText;
}

}  // namespace

bool HasUnsavedSettings(App& app) { return ExtractionChanged(app) || DisplayChanged(app); }

}  // namespace tanavo
