//===- file_system.h - Unique names and directory creation ----------------===//
// FindUniqueName picks a file or folder name that does not exist yet;
// CreatePathDirs makes every missing directory of a path and records each one
// that it made in a CreatedDirList, whose walk later gives the clean-up
// script's "rmdir" lines, newest first. Both report by their results and show
// nothing.
#ifndef VX_LAUNCHER_FILE_SYSTEM_H
#define VX_LAUNCHER_FILE_SYSTEM_H

#include "string/vx_string.h"

#include <cstdint>

// The full paths of the directories that CreatePathDirs made, without trailing
// backslashes, the most recently made first. The list owns its strings and
// releases them when it is destroyed. It only grows.
class CreatedDirList {
 public:
  class Iterator;

  CreatedDirList() = default;
  ~CreatedDirList();
  CreatedDirList(const CreatedDirList&) = delete;
  CreatedDirList& operator=(const CreatedDirList&) = delete;

  void AddHead(const VxString& dir);
  int GetCount() const { return count_; }
  bool IsEmpty() const { return head_ == nullptr; }

  // Front to back: the newest directory first.
  Iterator begin() const;
  Iterator end() const;

 private:
  struct Node {
    VxString dir;
    Node* next;
  };

 public:
  class Iterator {
   public:
    const VxString& operator*() const { return node_->dir; }
    const VxString* operator->() const { return &node_->dir; }
    Iterator& operator++() {
      node_ = node_->next;
      return *this;
    }
    bool operator==(const Iterator& other) const { return node_ == other.node_; }
    bool operator!=(const Iterator& other) const { return node_ != other.node_; }

   private:
    friend class CreatedDirList;
    explicit Iterator(const Node* node) : node_(node) {}
    const Node* node_;
  };

 private:
  Node* head_ = nullptr;
  int count_ = 0;
};

// A name made by formatting pattern (which holds one "%d" and is used whole as
// the format) with a number, for which nothing exists yet: the number 0 first,
// then numbers from 0 to 32767 of the process-wide generator, which is seeded
// from the millisecond clock at the first call. The empty string after 1000
// candidates that all exist.
VxString FindUniqueName(VxString pattern);

// Makes every missing directory of path, a directory path without a trailing
// backslash: absolute with a drive letter, absolute on the current drive, or
// relative. 0 when the directory exists afterwards, 1 when a step failed.
// Each directory made is recorded at the front of dirs (unless dirs is null) as
// the full path that the current-directory query gives. Directories made
// before a failure stay and stay recorded, one that was made but could not be
// entered too (as the current directory's path and its name). The current
// drive and directory are the same afterwards as before, on success, on
// failure and when an exception (no memory for a record) goes through; a folder
// whose record could not be made is removed again first.
int CreatePathDirs(const char* path, CreatedDirList* dirs);

// Makes the one directory path (a full path without a trailing backslash, its
// parent existing) and records it in dirs as CreatePathDirs would. 1, with
// nothing recorded, when anything of that name exists already or it cannot be
// made: a folder that someone else made in between is never taken for one's
// own. 1 too when it was made but cannot be entered; it is removed again at
// once and nothing is recorded (only when that removal fails is it recorded,
// as path, so that it goes with the rest). The current drive and directory are
// the same afterwards, also when an exception goes through, and the folder is
// then removed again. A security descriptor (platform/security.h), when not
// null, is the new folder's.
int CreateFreshDir(const char* path, CreatedDirList* dirs, const void* security = nullptr);

// Inner steps of CreatePathDirs, 0 for success and 1 for failure.
// Makes the drive of path current; a path without a colon keeps the current
// drive, a colon anywhere but as the second character is a failure.
int SelectPathDrive(const char* path);
// When rest begins with a backslash, enters the root of the current drive.
int EnterRootIfAbsolute(const char* rest);
// Enters (making it when missing) each backslash-separated component of rest
// in turn, starting from the current directory. A component of 256 characters
// or more is a failure.
int CreateDirsStepwise(const char* rest, CreatedDirList* dirs);

#endif  // VX_LAUNCHER_FILE_SYSTEM_H
