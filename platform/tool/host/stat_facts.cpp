// FileFacts from a struct stat, and failures from errno.
#include "platform/tool/host/stat_facts.h"

#include <cerrno>
#include <cstring>

namespace platform_tool {
namespace {

FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kFolder;
  if (S_ISFIFO(mode)) return FileKind::kFifo;
  if (S_ISSOCK(mode)) return FileKind::kSocket;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::kDevice;
  return FileKind::kOther;
}

}  // namespace

FileFacts FactsFromStat(const struct stat& info) {
  FileFacts facts;
  facts.kind = KindOf(info.st_mode);
  facts.size = static_cast<uint64_t>(info.st_size);
  facts.modified = info.st_mtime;
  facts.changedOrCreated = info.st_ctime;
  facts.modifiedStamp = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  facts.identity.device = static_cast<uint64_t>(info.st_dev);
  facts.identity.index = static_cast<uint64_t>(info.st_ino);
  return facts;
}

FileFailure FailureFromErrno(int error) {
  FileFailure failure;
  if (error == ENOENT) failure.problem = FileProblem::kNotFound;
  if (error == ELOOP) failure.problem = FileProblem::kLinkLoop;
  failure.reason = std::strerror(error);
  return failure;
}

}  // namespace platform_tool
