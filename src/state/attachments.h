// The attachments of the record on display.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tanavo {

constexpr int kAttachmentSlots = 5;

struct AttachmentTable {
  std::array<std::string, kAttachmentSlots + 1> names;     // slots 1 to 5; slot 0 never written
  std::array<std::string, kAttachmentSlots + 1> contents;  // as ItemAttachment::content
  std::array<bool, kAttachmentSlots + 1> decoded{};        // as ItemAttachment::decoded
  int32_t count = 0;
};

}  // namespace tanavo
