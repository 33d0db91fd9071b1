//===- archive_summary.h - What one packed archive holds ------------------===//
// The setup starter's look at an archive that the launcher left packed: how
// many entries it has, how many bytes they inflate to through the product's
// own inflate streams, and whether it passes the full check of layout, sizes
// and checksums. Nothing is unpacked.
#ifndef VX_NEXT_STAGE_ARCHIVE_SUMMARY_H
#define VX_NEXT_STAGE_ARCHIVE_SUMMARY_H

#include <cstdint>
#include <string>

struct ArchiveSummary {
  std::string name;
  bool found = false;          // the module has the resource and it yields data
  uint32_t entries = 0;        // 0 when the directory is out of bounds
  uint64_t inflatedBytes = 0;  // what the entries really inflate to
  bool sound = false;          // passed the full check
  std::string problem;         // the check's one-line reason when not sound
};

// Summarises the "ZVArc" resource name of module (a handle from
// OpenDataModule or the executable's own).
ArchiveSummary SummariseArchive(void* module, const char* name);

// The same for archive bytes that are already at hand; fills everything but
// name and found.
void SummariseArchiveBytes(const unsigned char* base, uint32_t size, ArchiveSummary* summary);

#endif  // VX_NEXT_STAGE_ARCHIVE_SUMMARY_H
