// The seven fonts of the program; each window class uses one for all its
// controls. The win32 back end creates them at start-up from this table.
#pragma once

namespace tanavo {

enum class FontPitch { Fixed, Variable };
enum class FontFamily { Roman, Modern, DontCare };
enum class FontPrecision { Stroke, String };

struct FontSpec {
  const char* face;
  int height;
  FontPrecision precision;
  FontPitch pitch;
  FontFamily family;
};

constexpr int kFontCount = 7;

inline const FontSpec (&Fonts())[kFontCount] {
  static const FontSpec fonts[kFontCount] = {
      {"ＭＳ 明朝", -15, FontPrecision::Stroke, FontPitch::Fixed, FontFamily::Roman},
      {"ＭＳ Ｐゴシック", -12, FontPrecision::Stroke, FontPitch::Variable, FontFamily::Modern},
      {"ＭＳ 明朝", -15, FontPrecision::Stroke, FontPitch::Fixed, FontFamily::Roman},
      {"ＭＳ Ｐゴシック", -12, FontPrecision::Stroke, FontPitch::Variable, FontFamily::Modern},
      {"ＭＳ Ｐ明朝", -13, FontPrecision::Stroke, FontPitch::Variable, FontFamily::Roman},
      {"FixedSys", -15, FontPrecision::String, FontPitch::Fixed, FontFamily::DontCare},
      {"FixedSys", -12, FontPrecision::String, FontPitch::Fixed, FontFamily::DontCare},
  };
  return fonts;
}

}  // namespace tanavo
