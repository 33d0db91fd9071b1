#include "launcher/messages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/language.h"
#include "platform/testing/language_queries.h"

namespace {

uint16_t userLanguage = 0;
uint16_t systemLanguage = 0;
int userQueries = 0;

uint16_t FakeUser() {
  ++userQueries;
  return userLanguage;
}
uint16_t FakeSystem() { return systemLanguage; }

class MessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    userLanguage = 0x0409;
    systemLanguage = 0x0409;
    userQueries = 0;
    platform::SetLanguageQueriesForTesting(FakeUser, FakeSystem);
  }
  void TearDown() override { platform::SetLanguageQueriesForTesting(nullptr, nullptr); }
};

const MessageEntry& Row(int id) { return kMessageTable[id]; }

TEST_F(MessagesTest, TableHoldsIdsInOrderAndEndsWithTheMarker) {
  for (int id = 0; id < kMsgEndMarker; ++id) {
    EXPECT_EQ(kMessageTable[id].id, id);
    for (const char* text : {Row(id).english, Row(id).italian, Row(id).french, Row(id).german}) {
      ASSERT_NE(text, nullptr);
      EXPECT_GT(std::strlen(text), 0u) << "id " << id;
      EXPECT_EQ(std::strchr(text, '\r'), nullptr) << "id " << id;
    }
  }
  const MessageEntry& marker = kMessageTable[kMsgEndMarker];
  EXPECT_EQ(marker.id, 37);
  EXPECT_STREQ(marker.english, "");
  EXPECT_STREQ(marker.italian, "");
  EXPECT_STREQ(marker.french, "");
  EXPECT_STREQ(marker.german, "");
}

struct LanguageCase {
  uint16_t user;
  uint16_t system;
  const char* column;
};

TEST_F(MessagesTest, ChoosesTheColumnByPrimaryLanguage) {
  const LanguageCase cases[] = {
      {0x0407, 0x0409, "de"},  // German, Germany
      {0x0807, 0x0409, "de"},  // German, Switzerland
      {0x0C07, 0x0409, "de"},  // German, Austria
      {0x040C, 0x0409, "fr"},  // French, France
      {0x0C0C, 0x0409, "fr"},  // French, Canada
      {0x080C, 0x0409, "fr"},  // French, Belgium
      {0x0410, 0x0409, "it"},  // Italian, Italy
      {0x0810, 0x0409, "it"},  // Italian, Switzerland
      {0x0413, 0x0407, "en"},  // Dutch: the system language is not asked
      {0x0409, 0x040C, "en"},  // English, United States
      {0x0809, 0x0409, "en"},  // English, United Kingdom
      {0x0000, 0x040C, "fr"},  // no user language: the system's decides
      {0x0000, 0x0810, "it"},
      {0x0000, 0x0000, "en"},  // neither: English
      {0x0007, 0x0409, "de"},  // primary language alone
      {0xFC07, 0x0409, "de"},  // only the low 10 bits count
      {0x0416, 0x0409, "en"},  // Portuguese
  };
  for (const LanguageCase& c : cases) {
    userLanguage = c.user;
    systemLanguage = c.system;
    const MessageEntry& row = Row(1);
    const std::string want = c.column[0] == 'd'   ? row.german
                             : c.column[0] == 'f' ? row.french
                             : c.column[0] == 'i' ? row.italian
                                                  : row.english;
    EXPECT_EQ(GetMessageText(1), want) << std::hex << c.user << "/" << c.system;
  }
}

TEST_F(MessagesTest, UnknownIdsGiveTheFallbackWithoutAskingTheLanguage) {
  userLanguage = 0x0407;
  for (int id : {-1, 37, 38, 1000, -2147483647 - 1, 2147483647}) {
    EXPECT_STREQ(GetMessageText(id), "unknown msg text") << id;
  }
  EXPECT_EQ(userQueries, 0);
}

TEST_F(MessagesTest, TakesTheLanguageAtEveryLookup) {
  userLanguage = 0x0407;
  EXPECT_STREQ(GetMessageText(0), "Zelvora Setup");
  userLanguage = 0x0410;
  EXPECT_STREQ(GetMessageText(0), "Installazione di Zelvora");
  userLanguage = 0x040C;
  EXPECT_STREQ(GetMessageText(0), "Installation de Zelvora");
  EXPECT_EQ(userQueries, 3);
}

TEST_F(MessagesTest, CaptionIsTheSameInGermanAndEnglish) {
  EXPECT_STREQ(Row(0).english, "Zelvora Setup");
  EXPECT_STREQ(Row(0).german, "Zelvora Setup");
}

// The shown texts byte for byte, written in hex so that this file's encoding cannot matter.
TEST_F(MessagesTest, ShownTextsAreWindows1252Bytes) {
  EXPECT_STREQ(Row(1).english,
               "You are about to interrupt the Zelvora download.\n"
               "To continue downloading, you just need to restart the setup program.\n"
               "Files already downloaded won't be downloaded again.\n"
               "Do you really want to interrupt the download?");
  EXPECT_STREQ(Row(1).italian,
               "Sta per interrompere il download di Zelvora.\n"
               "Per continuare il download, basta rilanciare il file setup.\n"
               "I file che sono gi\xE1 stati scaricati non verranno scaricati nuovamente.\n"
               "Desidera veramente interrompere il download?");
  EXPECT_STREQ(Row(1).french,
               "Vous allez interrompre le t\xE9l\xE9"
               "chargement de Zelvora.\n"
               "Pour continuer le t\xE9l\xE9"
               "chargement, vous devez juste relancer le setup.\n"
               "Les fichiers d\xE9j\xE1 t\xE9l\xE9"
               "charg\xE9s n'auront pas besoin de l'\xEAtre \xE0 nouveau.\n"
               "Voulez-vous r\xE9"
               "ellement interrompre le t\xE9l\xE9"
               "chargement ?");
  EXPECT_STREQ(Row(1).german,
               "Sie sind dabei, den Zelvora-Download zu unterbrechen.\n"
               "Um den Download fortzusetzen, m\xFCssen Sie nur das Setup-Program erneut starten.\n"
               "Die bereits herunter geladenen Datein werden nicht erneut heruntergeladen.\n"
               "Wollen Sie den Download wirklich unterbrechen?");
  EXPECT_STREQ(Row(5).english,
               "Insufficient space on drive %s to run setup!\n"
               "(%.1f MB required, only %.1f MB available)");
  EXPECT_STREQ(Row(5).italian,
               "Spazio insufficente sul disco %s per lanciare l' installazione!\n"
               "(%.1f MB required, only %.1f MB available)");
  EXPECT_STREQ(Row(5).french,
               "Espace insuffisant pour lancer l'installation sur le disque %s !\n"
               "(%.1f Mo n\xE9"
               "cessaires, seulement %.1f Mo de disponible)");
  EXPECT_STREQ(Row(5).german,
               "Nicht gen\xFCgend freier Platz auf Laufwerk %s, um Setup laufen zu lassen!\n"
               "(%.1f MB ben\xF6tigt, nur %.1f MB vorhanden)");
  // The French question mark follows an ordinary space.
  const char* french = Row(1).french;
  EXPECT_EQ(french[std::strlen(french) - 2], ' ');
}

TEST_F(MessagesTest, EnglishTextsKeepTheirExactForm) {
  EXPECT_STREQ(Row(2).english, "Download %d%% done (%d/%d KB)");
  EXPECT_STREQ(Row(3).english, " %d KB/s, %d min remaining");
  EXPECT_STREQ(Row(4).english, " %d KB/s, %d s remaining");
  EXPECT_STREQ(Row(8).english,
               "Zelvora Setup could not access the download site. \n"
               "Please check your Internet connection, firewall or proxy settings. \n");
  EXPECT_STREQ(Row(23).english,
               "MAPI error\nThe type of a recipient was not To:, Cc:, or Bcc:. No message was sent.");
  EXPECT_STREQ(Row(33).english,
               "MAPI error\nOne or more recipients were invalid or did not resolve to any address.");
  EXPECT_STREQ(Row(35).english, "MAPI Error:%x\n%s");
  EXPECT_STREQ(Row(36).english,
               "Zelvora could not generate an email because MAPI is not configured or installed "
               "on your system.\nPlease send us the file %s by other means.");
}

// A translation must take the same arguments as the English text, in the same order.
std::string Placeholders(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '%') continue;
    while (*p == '.' || (*p >= '0' && *p <= '9')) ++p;
    out += *p;
  }
  return out;
}

TEST_F(MessagesTest, TranslationsKeepThePlaceholders) {
  for (int id = 0; id < kMsgEndMarker; ++id) {
    const std::string want = Placeholders(Row(id).english);
    EXPECT_EQ(Placeholders(Row(id).italian), want) << id;
    EXPECT_EQ(Placeholders(Row(id).french), want) << id;
    EXPECT_EQ(Placeholders(Row(id).german), want) << id;
  }
}

}  // namespace
