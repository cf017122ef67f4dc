// The texts of the evidence export: Shift_JIS values made into UTF-8 for the
// TSV table and the HTML report, escaped so that no value can break a row,
// inject markup or be mistaken for another.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "codec/carrier_emoji.h"

namespace tanavo {

// Takes a converted text in pieces (an escaped text may be many times as long
// as its value, so the large ones are never held whole).
using TextSink = std::function<void(std::string_view)>;

// UTF-8 of a Shift_JIS text: ASCII as it is, every byte that is no
// character as \xHH, so that the result is always valid UTF-8. In this and
// every UTF-8 text below, an emoji of the carrier is its Unicode character.
std::string Utf8Text(std::string_view shiftJis, Carrier carrier = Carrier::None);

// A TSV field in UTF-8: TAB, CR, LF and backslash as \t \r \n \\; other
// control bytes and bytes that are no Shift_JIS character as \xHH.
std::string TsvField(std::string_view shiftJis);
std::string TsvField(std::string_view shiftJis, Carrier carrier);
// The same given to sink in pieces.
void TsvFieldTo(const TextSink& sink, std::string_view shiftJis);
void TsvFieldTo(const TextSink& sink, std::string_view shiftJis, Carrier carrier);

// A whole TSV cell (fields already escaped and joined) as spreadsheet programs
// may import it: a cell that starts with = + - @ (a formula), " (a quoted field
// that would swallow the row ends after it) or ' gets one leading apostrophe.
// TAB and CR never start a cell: TsvField writes them escaped. Reading the
// table back, one leading apostrophe is dropped.
std::string TsvCell(std::string cell);
// Whether a cell that starts with this byte gets the apostrophe.
bool TsvCellNeedsApostrophe(char first);

// HTML text in UTF-8: & < > " ' as character references; TAB, CR and LF kept
// (for <pre>); other control bytes and bytes that are no Shift_JIS character
// as \xHH in a <span class="x">.
std::string HtmlText(std::string_view shiftJis);
std::string HtmlText(std::string_view shiftJis, Carrier carrier);
void HtmlTextTo(const TextSink& sink, std::string_view shiftJis);
void HtmlTextTo(const TextSink& sink, std::string_view shiftJis, Carrier carrier);
// The same for a text in UTF-8 (file names of the platform); bytes that are
// not UTF-8 as \xHH.
std::string HtmlUtf8(std::string_view utf8);

// A relative URL path of a name in UTF-8: every byte but letters, digits and
// - . _ ~ percent-encoded, so that no name can end the attribute or point
// elsewhere.
std::string UrlPathSegment(std::string_view utf8);

// One line of SHA256SUMS as sha256sum writes it: hash, two spaces, the name;
// a name with a backslash or a line feed has them escaped and the line
// starts with a backslash.
std::string Sha256SumsLine(const std::string& hexDigest, std::string_view name);

}  // namespace tanavo
