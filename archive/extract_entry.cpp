// Archive entry extraction.
#include "archive/extract_entry.h"

#include "stream/file_stream.h"
#include "stream/inflate_copier.h"
#include "stream/mem_reader.h"

#include <cstring>

namespace {

// Deletes a file stream whose closing may raise, keeping an earlier failure:
// only the first failure of an entry is passed on.
void DeleteFileQuietly(VxFile* file) {
  try {
    delete file;
  } catch (VxStreamException* e) {
    delete e;
  }
}

}  // namespace

void ExtractArchiveEntry(const unsigned char* data, uint32_t compressedSize, const char* destination,
                         CreatedDirList* dirs) {
  using archive_format::kDestinationBufferSize;
  size_t length = std::strlen(destination);
  if (length >= kDestinationBufferSize) return;
  char path[kDestinationBufferSize];
  char directory[kDestinationBufferSize];
  std::memcpy(path, destination, length + 1);
  std::memcpy(directory, destination, length + 1);
  if (char* lastBackslash = std::strrchr(directory, '\\')) {
    *lastBackslash = '\0';
    CreatePathDirs(directory, dirs);  // a failure shows when the file is opened
  }

  VxMemReader* reader = new VxMemReader(data, compressedSize);
  VxFile* file = nullptr;
  VxInflateCopier* copier = nullptr;
  try {
    file = new VxFile(path, VxFile::OpenWrite | VxFile::OpenCreate);
    copier = new VxInflateCopier();
    copier->Copy(*file, *reader, 0);  // its count is not compared with uncompressedSize
  } catch (...) {
    delete copier;
    DeleteFileQuietly(file);
    delete reader;
    throw;
  }
  delete copier;
  try {
    delete file;
  } catch (...) {
    delete reader;
    throw;
  }
  delete reader;
}

ArchiveError UnpackArchive(const unsigned char* base, uint32_t size, const VxString& workDir,
                           CreatedDirList* dirs, ArchiveEntrySink* sink) {
  ArchiveReader reader(base, size, workDir);
  ArchiveError error = reader.Check();
  if (error != ArchiveError::kNone) return error;
  ArchiveEntry entry;
  while (reader.Next(&entry)) {
    ExtractArchiveEntry(entry.data, entry.compressedSize, entry.destination, dirs);
    if (sink != nullptr) sink->EntryUnpacked(entry);
  }
  return ArchiveError::kNone;
}
