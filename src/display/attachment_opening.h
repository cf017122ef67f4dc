// Which attachments the shell may open. A mobile file is evidence from a
// suspect: an attachment named photo.jpg may hold a program, and a shell that
// has no viewer for a type may run what it is handed. So an attachment is
// opened only when its extension names a document type that a viewer shows
// and its first bytes are no program or script container; everything else is
// only written.
#pragma once

#include <string_view>

namespace tanavo {

enum class AttachmentOpening {
  Open,            // a viewer shows it
  TypeNotAllowed,  // the extension is not one of the document types below
  ProgramContent,  // the bytes start as a program, script or installer
};

// What the first bytes of a file show it to be, whatever its name says.
enum class ContentHeader {
  None,          // nothing that runs or installs
  Executable,    // MZ / ZM (DOS, PE), ELF, Mach-O, Java class
  Script,        // "#!"
  Shortcut,      // Windows shell link (.lnk)
  Cabinet,       // MSCF, InstallShield cabinet
  CompoundFile,  // OLE2 compound file: MSI, MSP, and legacy Office documents alike
  Zip,           // ZIP: JAR, APPX/MSIX, and the Office Open XML documents alike
};

ContentHeader ReadContentHeader(std::string_view bytes);

// extension: of the written file, without the dot, any case; bytes: what
// was written.
AttachmentOpening JudgeAttachment(std::string_view extension, std::string_view bytes);

}  // namespace tanavo
