// The comparison of a signed setup with the setup as written, and its archives' check.
#include "tools/zvpack/signed_setup_check.h"

#include "tools/zvpack/archive_check.h"
#include "tools/zvpack/pe_resources.h"

#include <algorithm>

namespace zvpack {
namespace {

constexpr uint64_t kDirectoryEntrySize = 8;
constexpr uint32_t kCertificateAlignment = 8;

// Every byte of written is in signedFile at the same place, but for the fields
// a signature changes.
bool SameButSignatureFields(const std::vector<unsigned char>& written, const std::vector<unsigned char>& signedFile,
                            const PeLayout& layout) {
  const uint64_t checksum = layout.CheckSumField();
  const uint64_t certificateEntry = layout.directoryTable + kPeCertificateDirectory * kDirectoryEntrySize;
  auto skipped = [&](uint64_t at) {
    return (at >= checksum && at < checksum + 4) || (at >= certificateEntry && at < certificateEntry + 8);
  };
  for (uint64_t at = 0; at < written.size(); ++at) {
    if (written[at] != signedFile[at] && !skipped(at)) return false;
  }
  return true;
}

bool CertificateTableAtEnd(const std::vector<unsigned char>& written, const std::vector<unsigned char>& signedFile,
                           const PeDirectory& table, std::string* why) {
  if (table.size == 0) {
    *why = "it carries no signature (its certificate table is empty)";
    return false;
  }
  const uint64_t end = uint64_t{table.rva} + table.size;
  if (table.rva < written.size() || table.rva - written.size() >= kCertificateAlignment ||
      end != signedFile.size()) {
    *why = "its certificate table is not what follows the setup to the end of the file";
    return false;
  }
  const bool zeroPadding = std::all_of(signedFile.begin() + static_cast<long>(written.size()),
                                       signedFile.begin() + table.rva, [](unsigned char b) { return b == 0; });
  if (!zeroPadding) *why = "bytes other than padding lie between the setup and its certificate table";
  return zeroPadding;
}

bool ArchivesVerify(const std::vector<unsigned char>& file, std::string* why) {
  std::vector<PeResource> archives;
  if (!FindPeResources(file.data(), file.size(), "ZVArc", &archives, why)) return false;
  for (const PeResource& archive : archives) {
    std::string problem;
    if (!VerifyArchive(file.data() + archive.fileOffset, archive.size, &problem)) {
      *why = "archive " + archive.name + ": " + problem;
      return false;
    }
  }
  return true;
}

}  // namespace

bool CheckSignedSetup(const std::vector<unsigned char>& written, const std::vector<unsigned char>& signedFile,
                      std::string* why) {
  if (signedFile == written) {
    *why = "it carries no signature (the command left the setup as it was)";
    return false;
  }
  PeLayout layout;
  if (!ReadPeLayout(signedFile.data(), signedFile.size(), &layout, why)) {
    *why = "it is no PE image any more: " + *why;
    return false;
  }
  if (signedFile.size() <= written.size() || !SameButSignatureFields(written, signedFile, layout)) {
    *why = "it is not the setup written with a signature added";
    return false;
  }
  return CertificateTableAtEnd(written, signedFile, layout.Directory(kPeCertificateDirectory), why) &&
         ArchivesVerify(signedFile, why);
}

}  // namespace zvpack
