#include "platform/console/console_platform.h"

namespace tanavo {

std::string ConsoleBoxLine(const std::string& caption, const std::string& text) {
  std::string line = caption + ": ";
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    line.push_back(c == '\r' || c == '\n' ? ' ' : c);
  }
  return line;
}

BoxAnswer ConsolePlatform::MessageBox(BoxOwner, const std::string& text, const std::string& caption, BoxIcon,
                                      BoxButtons buttons) {
  *err_ += ConsoleBoxLine(caption, text) + "\n";
  ++boxesShown;
  return buttons == BoxButtons::YesNo ? BoxAnswer::Yes : BoxAnswer::Ok;
}

void ConsolePlatform::OpenWithShell(const std::string&) {}  // nothing to open without a desktop

void ConsolePlatform::Note(const std::string& line) {
  *err_ += ConsoleBoxLine("", line).substr(2) + "\n";  // one line, as a box's text is written
}

}  // namespace tanavo
