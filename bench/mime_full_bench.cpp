// The full mail decoding of the dump's 2500 mails against the decoding the
// settings describe (DecodeItem on Date, From, Subject and the body, as
// index creation and rendering call it), on the same mails in the same run.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "display/item_decoder.h"
#include "mail_dump.h"
#include "mime/mime_full.h"
#include "platform/charset.h"
#include "platform/fake/fake_platform.h"
#include "text/bytes.h"

namespace tanavo {
namespace {

constexpr int kDumpMails = 2500;
constexpr int kDateEntry = 1, kFromEntry = 2, kSubjectEntry = 3, kBodyEntry = 4;

std::vector<std::string_view> Mails(const std::string& dump) {
  std::vector<std::string_view> mails;
  const std::string_view begin = "BEGIN:MAIL\r\n", end = "END:MAIL\r\n";
  for (std::size_t at = FindIn(dump, begin, 0); at != std::string_view::npos; at = FindIn(dump, begin, at)) {
    const std::size_t stop = FindIn(dump, end, at);
    mails.push_back(std::string_view(dump).substr(at + begin.size(), stop - at - begin.size()));
    at = stop;
  }
  return mails;
}

std::string_view Between(std::string_view text, std::string_view start, std::string_view end) {
  const std::size_t s = FindIn(text, start, 0);
  if (s == std::string_view::npos) return {};
  const std::size_t e = FindIn(text, end, s + start.size());
  return e == std::string_view::npos ? text.substr(s + start.size()) : text.substr(s + start.size(), e - s - start.size());
}

const std::string& Dump() {
  static const std::string dump = MailDump(kDumpMails);
  return dump;
}

void BM_SettingsDecodingOfDump(benchmark::State& state) {
  FakePlatform platform;
  Workspace app(platform);
  MailSettings(app);
  const std::vector<std::string_view> mails = Mails(Dump());
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (std::string_view mail : mails) {
      bytes += DecodeItem(app, kDateEntry, Between(mail, "Date: ", "\r\n"), TextOnlyDecoding()).text.size();
      bytes += DecodeItem(app, kFromEntry, Between(mail, "From: ", "\r\n"), TextOnlyDecoding()).text.size();
      bytes += DecodeItem(app, kSubjectEntry, Between(mail, "Subject: ", "\r\n"), TextOnlyDecoding()).text.size();
      bytes += DecodeItem(app, kBodyEntry, Between(mail, "Content-Type:", "END:MAIL"), TextOnlyDecoding()).text.size();
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Dump().size()));
}
BENCHMARK(BM_SettingsDecodingOfDump)->Unit(benchmark::kMillisecond);

void BM_FullDecodingOfDump(benchmark::State& state) {
  const std::vector<std::string_view> mails = Mails(Dump());
  const CharsetConverter& charsets = SystemCharsetConverter();
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (std::string_view mail : mails) {
      const FullMail m = DecodeFullMail(mail, charsets);
      bytes += m.date.size() + m.from.size() + m.subject.size() + m.body.size();
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Dump().size()));
}
BENCHMARK(BM_FullDecodingOfDump)->Unit(benchmark::kMillisecond);

// Mail made to be slow, about 1 MB each: a boundary of dashes over lines of
// dashes, 80 000 parameters in one header, and a nested multipart of many
// parts past the part cap. Each should cost what an ordinary mail of its size
// does.
std::string HostileMail(int shape) {
  constexpr std::size_t kSize = 1 << 20;
  std::string mail;
  switch (shape) {
    case 0:
      mail = "Content-Type: multipart/mixed; boundary=\"" + std::string(kMaxBoundaryBytes, '-') + "\"\r\n\r\n";
      while (mail.size() < kSize) mail += std::string(1000, '-') + "\r\n";
      break;
    case 1:
      mail = "Content-Type: application/octet-stream";
      for (int i = 0; i < 80000; ++i) mail += "; n" + std::to_string(i) + "*=x";
      mail += "\r\n\r\nz";
      break;
    default:
      mail = "Content-Type: multipart/mixed; boundary=o\r\n\r\n";
      for (int i = 0; i < 999; ++i) mail += "--o\r\n\r\ns\r\n";
      mail += "--o\r\nContent-Type: multipart/mixed; boundary=i\r\n\r\n";
      while (mail.size() < kSize) mail += "--i\r\n\r\nn\r\n";
      mail += "--i--\r\n--o--\r\n";
      break;
  }
  return mail;
}

void BM_FullDecodingOfHostileMail(benchmark::State& state) {
  const std::string mail = HostileMail(static_cast<int>(state.range(0)));
  const CharsetConverter& charsets = SystemCharsetConverter();
  for (auto _ : state) {
    const FullMail m = DecodeFullMail(mail, charsets);
    benchmark::DoNotOptimize(m.attachments.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(mail.size()));
}
BENCHMARK(BM_FullDecodingOfHostileMail)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tanavo
