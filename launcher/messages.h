//===- messages.h - The launcher's localised message table ---------------===//
// Every text that the launcher shows in a message box, in English, Italian, French and German,
// stored as Windows-1252 bytes that go to MessageBoxA unconverted.
#ifndef VX_LAUNCHER_MESSAGES_H
#define VX_LAUNCHER_MESSAGES_H

#include <cstdint>

// One row of the table: a message id and its four texts. The texts are constant and live for
// the whole run; nobody changes or frees them.
struct MessageEntry {
  int32_t id;
  const char* english;
  const char* italian;
  const char* french;
  const char* german;
};

// Ids of the messages that the launcher shows.
enum : int32_t {
  kMsgCaption = 0,         // caption of every message box
  kMsgConfirmClose = 1,    // Yes/No question before the splash is closed
  kMsgNoRoom = 5,          // "%s" drive, "%.1f" MB required, "%.1f" MB available
  kMsgEndMarker = 37,      // id of the row that ends the table; not a message
};

// Rows 0 to 36 in ascending id order, then the end-marker row (id 37, empty texts). There is
// no separate count: the end marker alone ends the table.
extern const MessageEntry kMessageTable[];

// The text that GetMessageText gives for an id that is not in the table.
extern const char kUnknownMessageText[];

// The text of message `id` in the current user's language, or kUnknownMessageText; never
// null. The language is asked for anew at every successful lookup (the user's default
// language, the system's when the user's is 0): German, French and Italian select their
// column by the primary language whatever the sublanguage; every other language reads
// English. Keeps no state.
const char* GetMessageText(int id);

// The language the texts are chosen by, asked for anew at each call: the user's default
// language, the system's when the user's is 0.
uint16_t GetMessageLanguage();

// The column GetMessageText reads for a language identifier.
const char* SelectMessageColumn(const MessageEntry& entry, uint16_t languageId);

#endif  // VX_LAUNCHER_MESSAGES_H
