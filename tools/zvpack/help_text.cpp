// The texts of "zvpack --help" and "zvpack help COMMAND".
#include "tools/zvpack/help_text.h"

#include "tools/zvpack/exit_codes.h"

#include <libdeflate.h>
#include <zlib.h>

namespace zvpack {

std::string VersionLine() {
  return std::string("zvpack " ZVPACK_VERSION " (ZVArc archives; zlib ") + zlibVersion() + ", libdeflate " +
         LIBDEFLATE_VERSION_STRING + ")";
}

const char kExitCodesHelp[] =
    "exit codes (the same for every command):\n"
    "  0  done; diff: the two are the same\n"
    "  1  bad command line (unknown or incomplete option, missing argument)\n"
    "  2  an input refused or unreadable, or the output not written (create, setup)\n"
    "  3  a FILE that is no archive or launcher, or is damaged\n"
    "  4  extract: a file could not be written\n"
    "  5  setup: the stub cannot take a payload (no PE image, signed, its layout)\n"
    "  6  diff: the two differ\n"
    "  7  setup: the signing command failed, or left no signed setup\n";

const char kSummaryHelp[] =
    "usage: zvpack COMMAND [OPTIONS] ARGUMENTS\n"
    "\n"
    "  create   pack a folder or a list file into one archive\n"
    "  list     the entries of an archive or of every archive in a setup\n"
    "  verify   check an archive or every archive in a setup as the launcher does\n"
    "  extract  unpack an archive, or every archive of a setup, into a folder\n"
    "  setup    write a payload's eight archives into a copy of a launcher stub;\n"
    "           --check runs the payload's checks alone\n"
    "  diff     what differs between two archives or setups\n"
    "  help     this text, or a command's: zvpack help COMMAND (or COMMAND --help)\n"
    "\n"
    "  --version   zvpack's version\n"
    "\n"
    "FILE is a bare archive or a launcher (PE32 or PE32+), whose resources of type\n"
    "ZVArc are its archives.\n"
    "\n";

namespace {

const char kCreateHelp[] =
    "usage: zvpack create [-0..-9 | --best] [--threads N] [--exclude GLOB]... [--quiet]\n"
    "                     ARCHIVE DIR\n"
    "       zvpack create [...] [--base DIR] ARCHIVE --list LISTFILE\n"
    "\n"
    "Packs every regular file under DIR, sorted by stored name (byte order), or the\n"
    "files of LISTFILE in its order. A LISTFILE line is NAME<TAB>HOSTPATH or a bare\n"
    "NAME that is also the path under --base (default: the list file's folder);\n"
    "blank lines and lines starting with # are skipped. Names use \\ or / and are\n"
    "stored with \\, in Windows-1252; each must be one the launcher unpacks (a plain\n"
    "relative path of at most 255 bytes, no device names, no trailing dot or blank).\n"
    "A symbolic link is packed as what it points to; FIFOs, sockets, devices and\n"
    "entries of 4 GiB are refused. Empty folders are not stored.\n"
    "  -0..-9        zlib level (default 6)\n"
    "  --best        the smallest streams (libdeflate's level 12, still zlib streams)\n"
    "  --threads N   compress on N threads (default: all cores); same bytes for any N\n"
    "  --exclude G   leave out what the glob G matches: without / or \\ a file or\n"
    "                folder name at any depth (Thumbs.db, .git, *.pdb), with one a\n"
    "                path from the top (Docs/*/draft.rtf); case is ignored; repeatable\n"
    "  --quiet, -q   no progress and no summary\n"
    "Progress goes to stderr (a rewritten line on a terminal, one line per archive\n"
    "otherwise), the summary table to stdout. time1 = modification time, time2 =\n"
    "status-change time, time3 = the newest of those in the archive, or\n"
    "SOURCE_DATE_EPOCH when set (which also caps time1 and time2).\n";

const char kListHelp[] =
    "usage: zvpack list [--json] FILE\n"
    "\n"
    "Prints each entry's offset, packed and inflated size and name (UTF-8), and a\n"
    "total line per archive. --json: one JSON document on stdout instead.\n";

const char kVerifyHelp[] =
    "usage: zvpack verify [--json] FILE\n"
    "\n"
    "Checks bounds, layout (first stream at 4, no gap or overlap, directory ending\n"
    "the archive) and that every stream inflates to its size with a valid Adler-32;\n"
    "names the first failing entry. --json: one JSON document on stdout with every\n"
    "archive's result.\n";

const char kExtractHelp[] =
    "usage: zvpack extract [-v] FILE DIR\n"
    "\n"
    "Verifies, then unpacks with the launcher's own code into the host folder DIR\n"
    "(made when missing); a setup's archives go to DIR/NAME (DIR/NAME.LANGUAGE when\n"
    "a name comes in several languages). -v prints each name.\n";

const char kSetupHelp[] =
    "usage: zvpack setup [-0..-9 | --best] [--threads N] [--exclude GLOB]... [--quiet]\n"
    "                    [--json] --stub STUB --payload DIR|MANIFEST --out SETUP\n"
    "                    [--version A.B.C.D] [--version-info KEY=VALUE]...\n"
    "                    [--sign-command CMD [--sign-retries N]\n"
    "                     [--sign-retry-delay SECONDS]]\n"
    "       zvpack setup --check [--exclude GLOB]... [--json] [--stub STUB]\n"
    "                    --payload DIR|MANIFEST\n"
    "\n"
    "Packs the eight archives of a payload folder (NAME/ or NAME.list for each of\n"
    "BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE APPBASE PICTUNINST ZVVERSION, and\n"
    "nothing else) or manifest (\"NAME PATH\" lines) and writes them as ZVArc\n"
    "resources (German, 1031) into a copy of STUB, replacing its own; every other\n"
    "resource and all code stay. --best is the default.\n"
    "Refused before anything is packed: a SETUPBASE without Vistart.exe and\n"
    "pidwait.exe, or with one that is no Windows program for the stub's machine; a\n"
    "path in two of the five archives the launcher unpacks; anything else at the\n"
    "payload folder's top level; bad names (all reported). Warned: empty folders,\n"
    "names beyond ASCII or too long, a worst case above 1 GiB. After packing, the\n"
    "eight archives as written must fit 1 GiB, else nothing is written.\n"
    "  --version A.B.C.D  the setup's file and product version\n"
    "  --version-info KEY=VALUE  a string of the version resource (CompanyName,\n"
    "                     ProductName, FileDescription, LegalCopyright, ...), UTF-8\n"
    "  --sign-command CMD  sign the setup before it is put at SETUP: CMD is one\n"
    "                     command line for the system's interpreter (sh -c, cmd /c)\n"
    "                     in which {file} stands for the quoted path of the setup,\n"
    "                     which CMD signs in place; it must leave the setup with a\n"
    "                     signature added, else exit 7\n"
    "  --sign-retries N   try a failing CMD again N times (0 by default)\n"
    "  --sign-retry-delay SECONDS  between the tries (2 by default)\n"
    "  --check            the payload's checks alone (with --stub, the machine too)\n"
    "  --json             one JSON document on stdout instead of the summary\n"
    "  --exclude, --quiet, -0..-9, --best, --threads: as for create\n"
    "A signed STUB is refused: sign through --sign-command. SETUP is written\n"
    "through a temporary file, signed there; a failed or interrupted run leaves\n"
    "nothing new, and a setup already at SETUP as it was.\n";

const char kDiffHelp[] =
    "usage: zvpack diff [--json] OLD NEW\n"
    "\n"
    "Compares two archives or setups (any mix of PE32, PE32+ and bare archives):\n"
    "per archive the entries added, removed and changed (size, content, time), and\n"
    "in setups the archives added or removed, the other resources that differ and\n"
    "the version. Archives are matched by name; a bare archive is named by its file\n"
    "name (SETUPBASE.zva is SETUPBASE), and two bare archives are matched whatever\n"
    "their names. Exit 0 when the same, 6 when they differ, 3 when one cannot be\n"
    "read.\n";

const char kHelpHelp[] = "usage: zvpack help [COMMAND]\n";

}  // namespace

const char* CommandHelp(const std::string& command) {
  static const struct {
    const char* name;
    const char* help;
  } kCommands[] = {{"create", kCreateHelp}, {"list", kListHelp},   {"verify", kVerifyHelp}, {"extract", kExtractHelp},
                   {"setup", kSetupHelp},   {"diff", kDiffHelp},   {"help", kHelpHelp}};
  for (const auto& c : kCommands) {
    if (command == c.name) return c.help;
  }
  return nullptr;
}

}  // namespace zvpack
