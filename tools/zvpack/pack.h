//===- pack.h - Writing "ZVArc" archives from host files -----------------===//
// Gathers the files of an archive (a directory tree or a list file), checks
// every name with the launcher's own entry-name rule, and writes the archive in
// the layout the launcher expects: the first zlib stream at offset 4, the
// streams back to back in directory order, the directory right behind the last
// stream and ending the file.
//
// Time stamps of each record:
//   time1  the file's modification time;
//   time2  the file's status-change time, the nearest the host has to a
//          Windows creation time (on Windows the creation time itself);
//   time3  the packing time: SOURCE_DATE_EPOCH when it is set, otherwise the
//          newest time1 or time2 of the whole archive, so that the archive
//          depends on its input alone. With SOURCE_DATE_EPOCH set, time1 and
//          time2 are clamped to it. time3 is never below time1 or time2.
//
// Names are UTF-8 on the host and Windows-1252 in the archive (stored_name.h):
// the gathering functions convert them and refuse a name that is not UTF-8 or
// holds a character 1252 has none for.
//
// Every function reports a failure as one line (without "zvpack:") in *error
// that names the file, and leaves no output file behind.
#ifndef VX_TOOLS_ZVPACK_PACK_H
#define VX_TOOLS_ZVPACK_PACK_H

#include "tools/zvpack/path_filter.h"
#include "tools/zvpack/progress.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zvpack {

// One file to pack: its stored name (Windows-1252, backslash-separated) and
// where it lies.
struct PackInput {
  std::string name;
  std::string hostPath;
};

struct PackOptions {
  int level = 6;            // zlib level 0..9, or kBestLevel (compress.h)
  unsigned threads = 0;     // compressing threads; 0 means one per core
  Progress* progress = nullptr;  // told of every entry; null: nothing is shown
  bool haveEpoch = false;   // SOURCE_DATE_EPOCH given
  uint32_t epoch = 0;
  // Where the warnings of CreateArchive go, one line each; null: stderr.
  std::vector<std::string>* warnings = nullptr;
  // How messages and the progress name the archive (a setup names its payload
  // folder); empty: the archive's path.
  std::string label;
};

// What the gathering functions leave out, and where a folder walk notes the
// folders it drops for holding no file (host paths; the format has no folder
// entries). Both may be null.
struct CollectOptions {
  const PathFilter* exclude = nullptr;
  std::vector<std::string>* emptyFolders = nullptr;
};

// Every regular file under dir, named by its path relative to dir with
// backslashes, sorted by the bytes of the stored names. Empty directories are
// not stored (the format has no directory records). A symbolic link is taken
// as what it points to under its own name, a link to a folder is walked; a
// dangling link, a link loop, a FIFO, socket or device, or an unreadable
// folder is refused (tree_walk.h).
// A name that cannot be stored does not end the walk: every one is reported,
// one line each (problem_list.h).
bool CollectDirectory(const std::string& dir, std::vector<PackInput>* inputs, std::string* error,
                      const CollectOptions& collect = {});

// The entries of a list file, in the order listed. Each line is either
// "name<TAB>hostpath" or a bare name, which is then also the path of the file
// relative to baseDir. Forward slashes in names become backslashes. Empty
// lines and lines starting with '#' are skipped; a CR before the line end is
// dropped. A relative hostpath is relative to baseDir as well. Names that
// exclude matches are skipped. Every bad line is reported, one line each.
bool ReadListFile(const std::string& listPath, const std::string& baseDir, std::vector<PackInput>* inputs,
                  std::string* error, const PathFilter* exclude = nullptr);

// Refuses a name that the launcher would not unpack, one above 255 bytes, and
// two names that differ only in case (the file system ignores case, for every
// letter of Windows-1252: "É" and "é" are one name). Every bad name is
// reported, one line each.
bool CheckInputNames(const std::vector<PackInput>& inputs, std::string* error);

// What CreateArchive checks of the files before it compresses anything: each
// a regular file below 4 GiB, and together within the format's 32-bit offsets
// even if nothing shrinks; label names the archive.
bool CheckInputFiles(const std::string& label, const std::vector<PackInput>& inputs, std::string* error);

// The warnings CreateArchive gives for these names, label naming the archive:
// once when names go beyond ASCII, and per entry whose path could pass the
// launcher's path limit (stored_name.h).
std::vector<std::string> NameWarnings(const std::string& label, const std::vector<PackInput>& inputs);

// Writes the archive at archivePath through a temporary file beside it that is
// renamed at the end (temp_output.h): a failed or interrupted run leaves
// nothing new and an archive already there unchanged. Before anything is
// compressed every input must be a regular file below 4 GiB, and the inputs
// must fit the format's 32-bit offsets even if nothing shrinks; the real
// offsets are checked again while writing. A file that changes while it is
// read is refused. Warns (options.warnings) as NameWarnings says. The same
// inputs and options give the same bytes, with any number of threads. *stats,
// when given, receives what it took and gave.
bool CreateArchive(const std::string& archivePath, const std::vector<PackInput>& inputs,
                   const PackOptions& options, std::string* error, PackStats* stats = nullptr);

// The same archive, into *archive in memory instead of a file.
bool PackArchive(const std::vector<PackInput>& inputs, const PackOptions& options, std::string* archive,
                 std::string* error, PackStats* stats = nullptr);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_PACK_H
