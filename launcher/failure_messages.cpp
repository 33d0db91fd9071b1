// The launcher's failure texts. Non-ASCII letters are Windows-1252 escapes; a
// string is split after an escape where the next character would read as
// another hex digit.
#include "launcher/failure_messages.h"

#include "launcher/exit_codes.h"

namespace {

const MessageEntry kFailureMessages[] = {
    {kExitDamagedArchive,
     "The setup program is damaged and cannot be run. Please download it again.\n\n(%s)",
     "Il programma di installazione \xE8 danneggiato e non pu\xF2 essere eseguito. Lo scarichi di "
     "nuovo.\n\n(%s)",
     "Le programme d'installation est endommag\xE9 et ne peut pas \xEAtre ex\xE9" "cut\xE9. Veuillez "
     "le t\xE9l\xE9" "charger \xE0 nouveau.\n\n(%s)",
     "Das Setup-Programm ist besch\xE4" "digt und kann nicht ausgef\xFChrt werden. Bitte laden Sie es "
     "erneut herunter.\n\n(%s)"},
    {kExitStreamFailure,
     "The setup files could not be written to the temporary folder. Please check that the drive has "
     "room and that you may write to it, then start setup again.\n\n(%s)",
     "Non \xE8 stato possibile scrivere i file di installazione nella cartella temporanea. Verifichi "
     "che sul disco ci sia spazio e che sia possibile scrivervi, poi avvii di nuovo "
     "l'installazione.\n\n(%s)",
     "Les fichiers d'installation n'ont pas pu \xEAtre \xE9" "crits dans le dossier temporaire. "
     "V\xE9rifiez que le disque a de la place et que vous pouvez y \xE9" "crire, puis relancez "
     "l'installation.\n\n(%s)",
     "Die Setup-Dateien konnten nicht in den tempor\xE4ren Ordner geschrieben werden. Bitte "
     "pr\xFC" "fen Sie, ob auf dem Laufwerk Platz ist und Sie dort schreiben d\xFCrfen, und starten "
     "Sie das Setup erneut.\n\n(%s)"},
    {kExitNoUniqueName,
     "The temporary folder holds too many files for setup to find a free name. Please empty the "
     "temporary folder and start setup again.\n\n(%s)",
     "La cartella temporanea contiene troppi file per trovare un nome libero. Svuoti la cartella "
     "temporanea e avvii di nuovo l'installazione.\n\n(%s)",
     "Le dossier temporaire contient trop de fichiers pour trouver un nom libre. Videz le dossier "
     "temporaire, puis relancez l'installation.\n\n(%s)",
     "Im tempor\xE4ren Ordner liegen zu viele Dateien, um einen freien Namen zu finden. Bitte leeren "
     "Sie den tempor\xE4ren Ordner und starten Sie das Setup erneut.\n\n(%s)"},
    {kExitOutOfMemory,
     "There is not enough memory to run setup. Please close other programs and start setup "
     "again.\n\n(%s)",
     "Memoria insufficiente per eseguire l'installazione. Chiuda gli altri programmi e avvii di "
     "nuovo l'installazione.\n\n(%s)",
     "M\xE9moire insuffisante pour lancer l'installation. Fermez les autres programmes, puis "
     "relancez l'installation.\n\n(%s)",
     "Nicht gen\xFCgend Arbeitsspeicher f\xFCr das Setup. Bitte schlie\xDF" "en Sie andere Programme "
     "und starten Sie das Setup erneut.\n\n(%s)"},
    {kExitUnexpected,
     "Setup stopped because of an unexpected error. Please start setup again.\n\n(%s)",
     "L'installazione \xE8 stata interrotta da un errore imprevisto. Avvii di nuovo "
     "l'installazione.\n\n(%s)",
     "L'installation a \xE9t\xE9 interrompue par une erreur inattendue. Veuillez relancer "
     "l'installation.\n\n(%s)",
     "Das Setup wurde durch einen unerwarteten Fehler abgebrochen. Bitte starten Sie das Setup "
     "erneut.\n\n(%s)"},
    {kExitStageNotStarted,
     "Setup could not start the installation program. A security program may have blocked it; "
     "please check its settings and start setup again.\n\n(%s)",
     "Non \xE8 stato possibile avviare il programma di installazione. Un programma di sicurezza "
     "potrebbe averlo bloccato; verifichi le sue impostazioni e avvii di nuovo "
     "l'installazione.\n\n(%s)",
     "Le programme d'installation n'a pas pu \xEAtre lanc\xE9. Un logiciel de s\xE9" "curit\xE9 "
     "l'a peut-\xEAtre bloqu\xE9 ; v\xE9rifiez ses param\xE8tres, puis relancez "
     "l'installation.\n\n(%s)",
     "Das Installationsprogramm konnte nicht gestartet werden. M\xF6glicherweise hat ein "
     "Sicherheitsprogramm es blockiert; bitte pr\xFC" "fen Sie dessen Einstellungen und starten "
     "Sie das Setup erneut.\n\n(%s)"},
};

}  // namespace

const MessageEntry* FindFailureMessage(int exitCode) {
  for (const MessageEntry& entry : kFailureMessages) {
    if (entry.id == exitCode) return &entry;
  }
  return nullptr;
}

VxString FormatFailureMessage(int exitCode, const char* detail) {
  const MessageEntry* entry = FindFailureMessage(exitCode);
  if (entry == nullptr) entry = FindFailureMessage(kExitUnexpected);
  VxString text;
  text.Format(SelectMessageColumn(*entry, GetMessageLanguage()), detail != nullptr ? detail : "");
  return text;
}
