#include "display/attachment_opening.h"

#include <gtest/gtest.h>

#include <string>

namespace tanavo {
namespace {

using namespace std::string_literals;

const std::string kJpeg = "\xFF\xD8\xFF\xE0\0\x10JFIF"s;
const std::string kPe = "MZ\x90\0\x03\0\0\0"s;
const std::string kLnk = "L\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46"s;
const std::string kOle2 = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"s;
const std::string kZip = "PK\x03\x04\x14\0\0\0"s;

TEST(ReadContentHeader, TellsProgramsAndContainersByTheirFirstBytes) {
  const std::pair<std::string, ContentHeader> cases[] = {
      {kPe, ContentHeader::Executable},
      {"ZM\0\0"s, ContentHeader::Executable},
      {"\x7F" "ELF\x02\x01"s, ContentHeader::Executable},
      {"\xCA\xFE\xBA\xBE"s, ContentHeader::Executable},
      {"\xCF\xFA\xED\xFE"s, ContentHeader::Executable},
      {"#!/bin/sh\n", ContentHeader::Script},
      {kLnk, ContentHeader::Shortcut},
      {"MSCF\0\0\0\0"s, ContentHeader::Cabinet},
      {kOle2, ContentHeader::CompoundFile},
      {kZip, ContentHeader::Zip},
      {"PK\x05\x06"s, ContentHeader::Zip},
      {kJpeg, ContentHeader::None},
      {"%PDF-1.4", ContentHeader::None},
      {"M", ContentHeader::None},
      {"", ContentHeader::None},
      {" MZ", ContentHeader::None},
      {"L\0\0\0"s, ContentHeader::None},
  };
  for (const auto& [bytes, header] : cases) {
    EXPECT_EQ(ReadContentHeader(bytes), header) << "[" << bytes << "]";
  }
}

TEST(JudgeAttachment, OpensOnlyAllowedTypesWhoseBytesAreNoProgram) {
  struct Case {
    const char* extension;
    std::string bytes;
    AttachmentOpening expected;
  };
  const Case cases[] = {
      // The allowed types, any case, with ordinary content (or none).
      {"jpg", kJpeg, AttachmentOpening::Open},
      {"JPG", kJpeg, AttachmentOpening::Open},
      {"Jpeg", "", AttachmentOpening::Open},
      {"png", "\x89PNG\r\n\x1A\n", AttachmentOpening::Open},
      {"gif", "GIF89a", AttachmentOpening::Open},
      {"bmp", "BM", AttachmentOpening::Open},
      {"pdf", "%PDF-1.7", AttachmentOpening::Open},
      {"txt", "こんにちは", AttachmentOpening::Open},
      {"docx", kZip, AttachmentOpening::Open},
      {"XLSX", kZip, AttachmentOpening::Open},
      {"pptx", kZip, AttachmentOpening::Open},
      {"mp3", "ID3", AttachmentOpening::Open},
      {"m4a", "\0\0\0\x20" "ftypM4A "s, AttachmentOpening::Open},
      {"mp4", "\0\0\0\x18" "ftypmp42"s, AttachmentOpening::Open},
      {"3gp", "\0\0\0\x14" "ftyp3gp4"s, AttachmentOpening::Open},
      {"3g2", "", AttachmentOpening::Open},
      {"wav", "RIFF\0\0\0\0WAVE"s, AttachmentOpening::Open},
      // The bytes decide, not the name: a program or container under an
      // allowed name is only written.
      {"jpg", kPe, AttachmentOpening::ProgramContent},
      {"txt", "#!/bin/sh\nrm -rf ~\n", AttachmentOpening::ProgramContent},
      {"jpg", kOle2, AttachmentOpening::ProgramContent},
      {"jpg", kZip, AttachmentOpening::ProgramContent},
      {"pdf", kZip, AttachmentOpening::ProgramContent},
      {"docx", kPe, AttachmentOpening::ProgramContent},
      {"docx", kOle2, AttachmentOpening::ProgramContent},
      // Types a browser, mounter, installer, script host or macro runs.
      {"exe", "", AttachmentOpening::TypeNotAllowed},
      {"bin", kJpeg, AttachmentOpening::TypeNotAllowed},
      {"html", "<p>", AttachmentOpening::TypeNotAllowed},
      {"mht", "", AttachmentOpening::TypeNotAllowed},
      {"svg", "<svg>", AttachmentOpening::TypeNotAllowed},
      {"xml", "", AttachmentOpening::TypeNotAllowed},
      {"xsl", "", AttachmentOpening::TypeNotAllowed},
      {"website", "", AttachmentOpening::TypeNotAllowed},
      {"iso", "", AttachmentOpening::TypeNotAllowed},
      {"img", "", AttachmentOpening::TypeNotAllowed},
      {"vhd", "", AttachmentOpening::TypeNotAllowed},
      {"wsb", "", AttachmentOpening::TypeNotAllowed},
      {"diagcab", "", AttachmentOpening::TypeNotAllowed},
      {"appinstaller", "", AttachmentOpening::TypeNotAllowed},
      {"msixbundle", "", AttachmentOpening::TypeNotAllowed},
      {"xbap", "", AttachmentOpening::TypeNotAllowed},
      {"rdp", "", AttachmentOpening::TypeNotAllowed},
      {"sct", "", AttachmentOpening::TypeNotAllowed},
      {"docm", kZip, AttachmentOpening::TypeNotAllowed},
      {"xlsm", kZip, AttachmentOpening::TypeNotAllowed},
      {"xll", "", AttachmentOpening::TypeNotAllowed},
      {"py", "", AttachmentOpening::TypeNotAllowed},
      {"doc", kOle2, AttachmentOpening::TypeNotAllowed},
      {"xls", kOle2, AttachmentOpening::TypeNotAllowed},
      {"csv", "=1+1", AttachmentOpening::TypeNotAllowed},
      {"", "", AttachmentOpening::TypeNotAllowed},
      {"jpg.exe", "", AttachmentOpening::TypeNotAllowed},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JudgeAttachment(c.extension, c.bytes), c.expected) << c.extension << " [" << c.bytes << "]";
  }
}

}  // namespace
}  // namespace tanavo
