// The localised message table and its lookup. Non-ASCII letters are written as Windows-1252
// escapes so that the bytes do not depend on the source file's encoding; a string is split
// after an escape where the next character would read as another hex digit.
#include "launcher/messages.h"

#include "platform/language.h"

namespace {

// Primary language ids, the low 10 bits of a language identifier.
constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr uint16_t kLangGerman = 0x07;
constexpr uint16_t kLangFrench = 0x0C;
constexpr uint16_t kLangItalian = 0x10;

}  // namespace

const char kUnknownMessageText[] = "unknown msg text";

const MessageEntry kMessageTable[] = {
    {0,
     "Zelvora Setup",
     "Installazione di Zelvora",
     "Installation de Zelvora",
     "Zelvora Setup"},
    {1,
     "You are about to interrupt the Zelvora download.\nTo continue downloading, you just need to restart the setup program.\nFiles already downloaded won't be downloaded again.\nDo you really want to interrupt the download?",
     "Sta per interrompere il download di Zelvora.\nPer continuare il download, basta rilanciare il file setup.\nI file che sono gi\xE1 stati scaricati non verranno scaricati nuovamente.\nDesidera veramente interrompere il download?",
     "Vous allez interrompre le t\xE9l\xE9" "chargement de Zelvora.\nPour continuer le t\xE9l\xE9" "chargement, vous devez juste relancer le setup.\nLes fichiers d\xE9j\xE1 t\xE9l\xE9" "charg\xE9s n'auront pas besoin de l'\xEAtre \xE0 nouveau.\nVoulez-vous r\xE9" "ellement interrompre le t\xE9l\xE9" "chargement ?",
     "Sie sind dabei, den Zelvora-Download zu unterbrechen.\nUm den Download fortzusetzen, m\xFCssen Sie nur das Setup-Program erneut starten.\nDie bereits herunter geladenen Datein werden nicht erneut heruntergeladen.\nWollen Sie den Download wirklich unterbrechen?"},
    {2,
     "Download %d%% done (%d/%d KB)",
     "Download completato al %d%% (%d/%d KB)",
     "T\xE9l\xE9" "chargement effectu\xE9 \xE0 %d%% (%d/%d Ko)",
     "Download zu %d%% abgeschlossen (%d/%d KB)"},
    {3,
     " %d KB/s, %d min remaining",
     " %d KB/s, %d min rimanenti",
     " %d Ko/s, %d min restantes",
     " %d KB/s, noch %d Min."},
    {4,
     " %d KB/s, %d s remaining",
     " %d KB/s, %d s rimanenti",
     " %d Ko/s, %d s restantes",
     " %d KB/s, noch %d Sek."},
    {5,
     "Insufficient space on drive %s to run setup!\n(%.1f MB required, only %.1f MB available)",
     "Spazio insufficente sul disco %s per lanciare l' installazione!\n(%.1f MB required, only %.1f MB available)",
     "Espace insuffisant pour lancer l'installation sur le disque %s !\n(%.1f Mo n\xE9" "cessaires, seulement %.1f Mo de disponible)",
     "Nicht gen\xFCgend freier Platz auf Laufwerk %s, um Setup laufen zu lassen!\n(%.1f MB ben\xF6tigt, nur %.1f MB vorhanden)"},
    {6,
     "All necessary installation files are available. \nWould you like to check for more recent ones?",
     "Tutti i file di installazione necessari sono disponibili. \nDesidera verificare se ne esistono di pi\xF9 recenti?",
     "Tous les fichiers d'installation n\xE9" "cessaires sont disponibles. \nVoulez-vous rechercher des fichiers plus r\xE9" "cents ?",
     "Alle ben\xF6tigten Installationsdateien sind vorhanden. \nM\xF6" "chten Sie nach neueren Dateien suchen?"},
    {7,
     "Internet Explorer (version 4.0 or higher) is required but not installed.\nThe Zelvora website features links to download the current Internet Explorer version. Do you want to visit the Zelvora Website?",
     "Internet Explorer (versione 4.0 o superiore) \xE8 necessario ma non \xE8 installato.\nIl sito web di Zelvora contiene i collegamenti per scaricare la versione attuale di Internet Explorer. Desidera visitare il sito web di Zelvora?",
     "Internet Explorer (version 4.0 ou sup\xE9rieure) est n\xE9" "cessaire mais n'est pas install\xE9.\nLe site web de Zelvora propose des liens pour t\xE9l\xE9" "charger la version actuelle d'Internet Explorer. Voulez-vous visiter le site web de Zelvora ?",
     "Internet Explorer (Version 4.0 oder h\xF6her) wird ben\xF6tigt, ist aber nicht installiert.\nAuf der Zelvora-Website finden Sie Links zum Herunterladen der aktuellen Internet Explorer-Version. M\xF6" "chten Sie die Zelvora-Website besuchen?"},
    {8,
     "Zelvora Setup could not access the download site. \nPlease check your Internet connection, firewall or proxy settings. \n",
     "L'installazione di Zelvora non \xE8 riuscita ad accedere al sito di download. \nControlli la connessione a Internet e le impostazioni del firewall o del proxy. \n",
     "L'installation de Zelvora n'a pas pu acc\xE9" "der au site de t\xE9l\xE9" "chargement. \nVeuillez v\xE9rifier votre connexion Internet et les param\xE8tres de votre pare-feu ou de votre proxy. \n",
     "Zelvora Setup konnte nicht auf die Download-Seite zugreifen. \nBitte \xFC" "berpr\xFC" "fen Sie Ihre Internetverbindung und die Einstellungen Ihrer Firewall oder Ihres Proxys. \n"},
    {9,
     "Zelvora received an error message while trying to access the download site. \nDo you want to see this message?",
     "Zelvora ha ricevuto un messaggio di errore durante l'accesso al sito di download. \nDesidera visualizzare il messaggio?",
     "Zelvora a re\xE7u un message d'erreur en essayant d'acc\xE9" "der au site de t\xE9l\xE9" "chargement. \nVoulez-vous afficher ce message ?",
     "Zelvora hat beim Zugriff auf die Download-Seite eine Fehlermeldung erhalten. \nM\xF6" "chten Sie diese Meldung sehen?"},
    {10,
     "It is possible to download Zelvora as a single file from our website. \nDo you want to visit the Zelvora website?",
     "Zelvora \xE8 disponibile anche come file unico sul nostro sito web. \nDesidera visitare il sito web di Zelvora?",
     "Vous pouvez t\xE9l\xE9" "charger Zelvora en un seul fichier depuis notre site web. \nVoulez-vous visiter le site web de Zelvora ?",
     "Sie k\xF6nnen Zelvora auch als einzelne Datei von unserer Website herunterladen. \nM\xF6" "chten Sie die Zelvora-Website besuchen?"},
    {11,
     "MAPI error\nOne or more unspecified errors occurred. No message was sent.",
     "Errore MAPI\nSi sono verificati uno o pi\xF9 errori non specificati. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nUne ou plusieurs erreurs non sp\xE9" "cifi\xE9" "es se sont produites. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nEin oder mehrere nicht n\xE4her bezeichnete Fehler sind aufgetreten. Es wurde keine Nachricht gesendet."},
    {12,
     "MAPI error\nThere was no default logon and the user failed to log on successfully when the logon dialog box was displayed. No message was sent.",
     "Errore MAPI\nNon esisteva un accesso predefinito e l'utente non \xE8 riuscito ad accedere nella finestra di accesso. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nIl n'y avait pas d'ouverture de session par d\xE9" "faut et l'utilisateur n'a pas r\xE9ussi \xE0 ouvrir une session dans la bo\xEEte de dialogue de connexion. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nEs gab keine Standardanmeldung, und die Anmeldung des Benutzers im Anmeldedialog ist fehlgeschlagen. Es wurde keine Nachricht gesendet."},
    {13,
     "MAPI error\nYour disk is full. No message was sent.",
     "Errore MAPI\nIl disco \xE8 pieno. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nVotre disque est plein. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nIhr Datentr\xE4ger ist voll. Es wurde keine Nachricht gesendet."},
    {14,
     "MAPI error\nOut of memory. No message was sent.",
     "Errore MAPI\nMemoria esaurita. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nM\xE9moire insuffisante. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nNicht gen\xFCgend Arbeitsspeicher. Es wurde keine Nachricht gesendet."},
    {15,
     "MAPI error\nAccess denied. No message was sent.",
     "Errore MAPI\nAccesso negato. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nAcc\xE8s refus\xE9. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nZugriff verweigert. Es wurde keine Nachricht gesendet."},
    {16,
     "MAPI error\nToo many sessions. No message was sent.",
     "Errore MAPI\nTroppe sessioni. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nTrop de sessions. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nZu viele Sitzungen. Es wurde keine Nachricht gesendet."},
    {17,
     "MAPI error\nThere were too many images. Try to split up the images into several emails. No message was sent.",
     "Errore MAPI\nLe immagini erano troppe. Provi a suddividerle in pi\xF9 e-mail. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nIl y avait trop d'images. Essayez de r\xE9partir les images sur plusieurs e-mails. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nEs waren zu viele Bilder. Versuchen Sie, die Bilder auf mehrere E-Mails zu verteilen. Es wurde keine Nachricht gesendet."},
    {18,
     "MAPI error\nThere were too many recipients. No message was sent.",
     "Errore MAPI\nI destinatari erano troppi. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nIl y avait trop de destinataires. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nEs waren zu viele Empf\xE4nger. Es wurde keine Nachricht gesendet."},
    {19,
     "MAPI error\nAttachment not found. No message was sent.",
     "Errore MAPI\nAllegato non trovato. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nPi\xE8" "ce jointe introuvable. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nAnlage nicht gefunden. Es wurde keine Nachricht gesendet."},
    {20,
     "MAPI error\nThe specified attachment could not be opened. No message was sent.",
     "Errore MAPI\nNon \xE8 stato possibile aprire l'allegato indicato. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nImpossible d'ouvrir la pi\xE8" "ce jointe indiqu\xE9" "e. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nDie angegebene Anlage konnte nicht ge\xF6" "ffnet werden. Es wurde keine Nachricht gesendet."},
    {21,
     "MAPI error\nThe specified attachment could not be written to. No message was sent.",
     "Errore MAPI\nNon \xE8 stato possibile scrivere nell'allegato indicato. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nImpossible d'\xE9" "crire dans la pi\xE8" "ce jointe indiqu\xE9" "e. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nDie angegebene Anlage konnte nicht geschrieben werden. Es wurde keine Nachricht gesendet."},
    {22,
     "MAPI error\nA recipient did not appear in the address list. No message was sent.",
     "Errore MAPI\nUn destinatario non compariva nella rubrica. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nUn destinataire ne figurait pas dans la liste d'adresses. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nEin Empf\xE4nger war nicht im Adressbuch enthalten. Es wurde keine Nachricht gesendet."},
    {23,
     "MAPI error\nThe type of a recipient was not To:, Cc:, or Bcc:. No message was sent.",
     "Errore MAPI\nIl tipo di un destinatario non era A:, Cc: o Ccn:. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nLe type d'un destinataire n'\xE9tait pas A :, Cc : ou Cci :. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nDer Typ eines Empf\xE4ngers war nicht An:, Cc: oder Bcc:. Es wurde keine Nachricht gesendet."},
    {24,
     "MAPI error\nNo messages. No message was sent.",
     "Errore MAPI\nNessun messaggio. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nAucun message. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nKeine Nachrichten. Es wurde keine Nachricht gesendet."},
    {25,
     "MAPI error\nInvalid message. No message was sent.",
     "Errore MAPI\nMessaggio non valido. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nMessage non valide. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nUng\xFCltige Nachricht. Es wurde keine Nachricht gesendet."},
    {26,
     "MAPI error\nThe text in the message was too large. No message was sent.",
     "Errore MAPI\nIl testo del messaggio era troppo lungo. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nLe texte du message \xE9tait trop long. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nDer Text der Nachricht war zu gro\xDF. Es wurde keine Nachricht gesendet."},
    {27,
     "MAPI error\nInvalid session. No message was sent.",
     "Errore MAPI\nSessione non valida. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nSession non valide. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nUng\xFCltige Sitzung. Es wurde keine Nachricht gesendet."},
    {28,
     "MAPI error\nType not supported. No message was sent.",
     "Errore MAPI\nTipo non supportato. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nType non pris en charge. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nTyp nicht unterst\xFCtzt. Es wurde keine Nachricht gesendet."},
    {29,
     "MAPI error\nA recipient matched more than one of the recipient descriptor structures and no dialog was to be displayed. No message was sent.",
     "Errore MAPI\nUn destinatario corrispondeva a pi\xF9 di una struttura di descrizione dei destinatari e non era prevista alcuna finestra di dialogo. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nUn destinataire correspondait \xE0 plusieurs structures de description de destinataire et aucune bo\xEEte de dialogue ne devait \xEAtre affich\xE9" "e. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nEin Empf\xE4nger passte zu mehreren Empf\xE4ngerbeschreibungen, und es sollte kein Dialog angezeigt werden. Es wurde keine Nachricht gesendet."},
    {30,
     "MAPI error\nMessage in use. No message was sent.",
     "Errore MAPI\nMessaggio in uso. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nMessage en cours d'utilisation. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nNachricht wird verwendet. Es wurde keine Nachricht gesendet."},
    {31,
     "MAPI error\nNetwork failure. No message was sent.",
     "Errore MAPI\nErrore di rete. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nPanne du r\xE9seau. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nNetzwerkfehler. Es wurde keine Nachricht gesendet."},
    {32,
     "MAPI error\nInvalid rdit fields. No message was sent.",
     "Errore MAPI\nCampi rdit non validi. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nChamps rdit non valides. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nUng\xFCltige rdit-Felder. Es wurde keine Nachricht gesendet."},
    {33,
     "MAPI error\nOne or more recipients were invalid or did not resolve to any address.",
     "Errore MAPI\nUno o pi\xF9 destinatari non erano validi o non corrispondevano ad alcun indirizzo.",
     "Erreur MAPI\nUn ou plusieurs destinataires n'\xE9taient pas valides ou ne correspondaient \xE0 aucune adresse.",
     "MAPI-Fehler\nEin oder mehrere Empf\xE4nger waren ung\xFCltig oder konnten keiner Adresse zugeordnet werden."},
    {34,
     "MAPI error\nNot supported. No message was sent.",
     "Errore MAPI\nOperazione non supportata. Nessun messaggio \xE8 stato inviato.",
     "Erreur MAPI\nOp\xE9ration non prise en charge. Aucun message n'a \xE9t\xE9 envoy\xE9.",
     "MAPI-Fehler\nNicht unterst\xFCtzt. Es wurde keine Nachricht gesendet."},
    {35,
     "MAPI Error:%x\n%s",
     "Errore MAPI:%x\n%s",
     "Erreur MAPI :%x\n%s",
     "MAPI-Fehler:%x\n%s"},
    {36,
     "Zelvora could not generate an email because MAPI is not configured or installed on your system.\nPlease send us the file %s by other means.",
     "Zelvora non ha potuto creare un'e-mail perch\xE9 MAPI non \xE8 configurato o installato nel sistema.\nLa preghiamo di inviarci il file %s in un altro modo.",
     "Zelvora n'a pas pu cr\xE9" "er d'e-mail car MAPI n'est pas configur\xE9 ou install\xE9 sur votre syst\xE8me.\nVeuillez nous envoyer le fichier %s par un autre moyen.",
     "Zelvora konnte keine E-Mail erstellen, weil MAPI auf Ihrem System nicht konfiguriert oder installiert ist.\nBitte senden Sie uns die Datei %s auf anderem Weg."},
    {kMsgEndMarker, "", "", "", ""},
};

static_assert(sizeof(kMessageTable) / sizeof(kMessageTable[0]) == kMsgEndMarker + 1,
              "ids 0 to 36 and the end marker");

const char* SelectMessageColumn(const MessageEntry& entry, uint16_t languageId) {
  switch (languageId & kPrimaryLanguageMask) {
    case kLangGerman:
      return entry.german;
    case kLangFrench:
      return entry.french;
    case kLangItalian:
      return entry.italian;
    default:
      return entry.english;
  }
}

uint16_t GetMessageLanguage() {
  uint16_t language = platform::GetUserDefaultLanguage();
  return language != 0 ? language : platform::GetSystemDefaultLanguage();
}

const char* GetMessageText(int id) {
  for (const MessageEntry* entry = kMessageTable;; ++entry) {
    // The end-marker test comes first, so the marker's own id is not a message either.
    if (entry->id == kMsgEndMarker) return kUnknownMessageText;
    if (entry->id != id) continue;
    return SelectMessageColumn(*entry, GetMessageLanguage());
  }
}
