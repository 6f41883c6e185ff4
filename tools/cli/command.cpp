#include "cli/command.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <iterator>

#include "locmodel/serial/version_info.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"dump-stream", "dump-stream FILE|- [--json | --props]",
       "print the structure of a binary serial stream (plain or gzip)",
       "Reads any binary serial stream, plain or gzip-compressed (told apart by\n"
       "content), and prints its nodes and fields without knowing the classes\n"
       "that wrote them. --json prints {\"items\":[...]}, where a node is\n"
       "{\"node\":NAME,\"items\":[...]} (NAME null, a string or a byte number)\n"
       "and a field is {\"field\":\"<hex>\"}. --props shows each property map\n"
       "(node #1) of the text tree as its entries: NAME = CLASS(VALUE). FILE -\n"
       "reads standard input.\n",
       {"--json", "--props"}, 1, 1, RunDumpStream},
      {"dump", "dump FILE|- [--json] [--sequential] [--progress | --quiet]", "print the item tree of a project file",
       "Loads a project file (plain or gzip) or a project database (SQLite), told\n"
       "apart by content, and prints its item tree: each item's type, resource id,\n"
       "comment, state, data size, own and configuration properties, translations\n"
       "and children. --json prints\n"
       "{\"root\":ITEM} in the shape the README describes. The file is read by the\n"
       "tree reader, which accepts files of other versions; --sequential reads it\n"
       "strictly in order instead. FILE - reads standard input (a project file;\n"
       "a database must be a file). --progress shows the bytes read on stderr,\n"
       "which happens anyway when stderr is a terminal, unless --quiet.\n",
       {"--json", "--sequential", "--progress", "--quiet"}, 1, 1, RunDump},
      {"convert", "convert IN|- OUT [--gzip[=LEVEL]] [--sequential] [--progress | --quiet]",
       "load a project file and save it again, plain or gzip",
       "Loads IN (a project file, plain or gzip, or a project database, by\n"
       "content; a database is only read) and saves it as OUT: plain, or gzip\n"
       "at LEVEL 0-9 (2 when no level is given). OUT is written under a temporary\n"
       "name and renamed only on success: after a failure no OUT exists (or the\n"
       "old one is untouched). Re-saving a file this version wrote reproduces\n"
       "its bytes exactly. IN - reads standard input. An OUT ending in .db or\n"
       ".sqlite is refused: project databases are made by db-upgrade.\n"
       "--progress and --quiet as for dump.\n",
       {"--gzip[=]", "--sequential", "--progress", "--quiet"}, 2, 2, RunConvert},
      {"demo", "demo [DIR]", "build, save and reload a sample project",
       "Builds a sample project (folders, files, resources, translations in three\n"
       "languages, configuration inherited down the tree), saves it plain and gzip\n"
       "into DIR (a new temporary folder when none is given), loads both files\n"
       "back through both readers, checks that every tree equals the original and\n"
       "prints the tree.\n",
       {}, 0, 1, RunDemo},
      {"langs", "langs [--json]", "list the language table",
       "Prints every row of the language table in identifier order. --json prints\n"
       "an array of {\"id\":N,\"culture\":S,\"name\":S,\"longName\":S,\"langCode\":S,\n"
       "\"countryCode\":S,\"langGroup\":N,\"ansiCodePage\":N,\"rtl\":B}.\n",
       {"--json"}, 0, 0, RunLangs},
      {"lang", "lang LANG [--json]", "show one language and its macros",
       "LANG is a decimal or 0x-hexadecimal language value (brand bits allowed)\n"
       "or a culture name (any case). Prints the language's row and its nine\n"
       "macros; --json prints the row object of 'langs' plus \"macros\":{...}.\n",
       {"--json"}, 1, 1, RunLang},
      {"expand", "expand PATTERN --lang LANG [--set NAME=VALUE ...]",
       "expand language macros in an output path pattern",
       "Replaces the language macros of LANG and each --set macro (NAME without\n"
       "$( ): --set OutputDir=out sets $(OutputDir)) in PATTERN and prints it.\n",
       {"--lang=", "--set="}, 1, 1, RunExpand},
      {"encoding", "encoding CP|NAME|ansi --lang LANG",
       "resolve an encoding for a language",
       "Prints the code page, the ICU converter name and the IANA name of an\n"
       "encoding given as a code page number, an encoding name, or 'ansi' (the\n"
       "default ANSI code page of LANG).\n",
       {"--lang="}, 1, 1, RunEncoding},
      {"entities", "entities decode|encode|hide [--xml]",
       "convert character entity references, stdin to stdout",
       "Reads all of stdin as UTF-8 and writes the result to stdout, adding no\n"
       "newline. decode replaces references (\"&amp;\", \"&#233;\", \"&#xE9;\") by\n"
       "their characters; encode writes every character that has a name as a\n"
       "named reference; hide overwrites each reference, from \"&\" to \";\", with\n"
       "its character so that the text keeps its length. The HTML 4.01 names are\n"
       "used unless --xml asks for the five XML ones.\n",
       {"--xml"}, 1, 1, RunEntities},
      {"escapes", "escapes show|hide",
       "show or hide the escape codes of control characters, stdin to stdout",
       "show writes a backslash as \"\\\\\" and BEL, BS, FF, LF, CR, TAB, VT as\n"
       "\\a \\b \\f \\n \\r \\t \\v; hide turns such a text back. UTF-8 in and out,\n"
       "no newline added.\n",
       {}, 1, 1, RunEscapes},
      {"cond", "cond EXPRESSION [NAME=VALUE ...]",
       "evaluate a condition expression; exit status 0 true, 1 false",
       "Evaluates EXPRESSION with the parameters given (each split at its first\n"
       "\"=\"; names are case-insensitive) and prints \"true\" or \"false\", or\n"
       "\"false (error N)\" when the expression is malformed or not boolean.\n"
       "Exit status: 0 true, 1 false, 2 bad usage, so it works like test(1):\n"
       "  locmodel cond 'LANG = \"de\" OR LANG = \"fr\"' LANG=de && echo yes\n",
       {}, 1, SIZE_MAX, RunCond},
      {"sqlite2-dump", "sqlite2-dump FILE [--json]",
       "print every row of every table of an SQLite 2 database",
       "Reads an SQLite 2.1 database file (the legacy project database) without\n"
       "changing it and prints each table, in schema order, with its rows in\n"
       "rowid order: the rowid, then each column as a JSON string when its bytes\n"
       "are UTF-8, {\"hex\":\"<hex>\"} when they are not, or null. --json prints\n"
       "{\"tables\":{NAME:[[rowid,v1,...],...],...}}. A damaged file prints\n"
       "nothing but one error line.\n",
       {"--json"}, 1, 1, RunSqlite2Dump},
      {"path", "path norm|canon|dir|name|ext PATH... | abs|rel BASE PATH... | is-abs PATH [--native]",
       "apply the path text rules of project data",
       "norm normalizes, canon also resolves \".\" and \"..\", dir/name/ext split off\n"
       "the directory (with its separator), the name and the extension; abs and rel\n"
       "make each PATH absolute or relative to BASE. One result per line, with \"\\\"\n"
       "separators (--native: \"/\"). is-abs prints nothing: exit status 0 when PATH\n"
       "is absolute, 1 when not, like test(1).\n",
       {"--native"}, 2, SIZE_MAX, RunPath},
      {"run", "run [--cwd DIR] [--quiet] [--json] -- PROGRAM [ARG...] | --cmdline LINE",
       "run a command, echoing its output line by line",
       "Runs PROGRAM with the ARGs exactly as given, or the Windows-style command\n"
       "line LINE (split by the rules of the Microsoft C runtime), never through a\n"
       "shell. Standard output and error are captured together and printed as the\n"
       "library echoes them; --quiet turns the echo off. Exit status 0 when the\n"
       "command exited 0, 1 when it could not start or exited otherwise. --json\n"
       "prints {\"message\":S} per echoed message, then {\"started\":true,\n"
       "\"exitCode\":N,\"output\":S} or {\"started\":false,\"error\":S}. There is no\n"
       "timeout; put timeout(1) in front of the command for one.\n",
       {"--cwd=", "--quiet", "--json", "--cmdline="}, 0, SIZE_MAX, RunRun},
      {"pe-checksum", "pe-checksum FILE...", "print the PE image checksum of files",
       "Prints \"%08x  FILE\" per FILE: the checksum a Windows executable stores in\n"
       "its optional header, computed over the file with that field as zero.\n",
       {}, 1, SIZE_MAX, RunPeChecksum},
      {"dirs", "dirs", "show the program, application data and temporary directories",
       "Prints \"program DIR\", \"appdata DIR\" and \"temp DIR\", as the library finds\n"
       "them (an empty DIR when it cannot).\n",
       {}, 0, 0, RunDirs},
      {"db-values", "db-values FILE [--json]", "list the value store of a project database",
       "Opens the project database read-only and prints every row of its value\n"
       "store in the order the rows were stored: KEY = VALUE, or KEY in FILE =\n"
       "VALUE for a value that belongs to one file, texts quoted as JSON strings.\n"
       "--json prints [{\"key\":S,\"file\":S,\"value\":S},...]. Every value shows as\n"
       "the text stored (a null as \"\"); binary values keep their encoded form,\n"
       "with bytes that are not UTF-8 shown as U+FFFD.\n",
       {"--json"}, 1, 1, RunDbValues},
      {"db-dump", "db-dump FILE [--json] [--progress | --quiet]", "print every row of the project tables of a database",
       "Prints the rows of PROP, RES_ITEM, TRANS_ITEM, BINARY and VAL_STORAGE (in\n"
       "that order) of a project database, SQLite 3 or legacy SQLite 2, opened\n"
       "read-only: the rowid, then each column in the order of its create-table\n"
       "statement, as a JSON string when its bytes are UTF-8, {\"hex\":\"<hex>\"}\n"
       "when they are not, or null. A legacy file is read by the library's own\n"
       "reader, so every stored byte shows. --json prints\n"
       "{\"tables\":{\"PROP\":[[rowid,v1,...],...],...}}; a table the file lacks is\n"
       "an empty list. A damaged file prints nothing but one error line.\n"
       "--progress shows the rows read on stderr, as dump shows bytes. FILE must\n"
       "be a file: the database engine cannot read standard input or a pipe.\n",
       {"--json", "--progress", "--quiet"}, 1, 1, RunDbDump},
      {"segment", "segment [--type icu|srx|none] [--srx FILE] [--lang LANG | --culture NAME] [--whole] [--json]",
       "split texts from stdin into segments",
       "Reads UTF-8 from stdin, one text per line (--whole: all of it is one text),\n"
       "and prints each text with a line feed at every segment break. --type\n"
       "defaults to icu; --srx FILE implies srx, and srx without it uses the rules\n"
       "of segment.srx in the program directory. LANG as for 'lang', default\n"
       "en-US; --culture NAME (srx) takes the rules for a culture name directly.\n"
       "--json prints {\"breaks\":[N,...],\"segments\":[S,...]} per text, offsets\n"
       "in UTF-16 code units. --srx may name a pipe, not standard input, which\n"
       "holds the texts.\n",
       {"--type=", "--srx=", "--lang=", "--culture=", "--whole", "--json"}, 0, 0, RunSegment},
      {"srx", "srx check FILE|- [--lang LANG] | normalize IN|- OUT", "check or rewrite an SRX rule file",
       "check loads FILE and prints its cascade flag and each map with its rule\n"
       "count, then errors (patterns ICU cannot compile; exit 1) and warnings\n"
       "(capturing before-break patterns, maps naming no language rule, language\n"
       "rules no map names, trimmed white space, shared rule names, no SRX 2.0\n"
       "element). With --lang, the rules that apply to the language, in order,\n"
       "each with its map. normalize loads IN and saves it to OUT, which is\n"
       "replaced only on success. FILE or IN - reads standard input.\n",
       {"--lang="}, 2, 3, RunSrx},
      {"db-upgrade", "db-upgrade OLD NEW [--progress | --quiet]", "copy a project database into a new SQLite 3 one",
       "Writes NEW, a new SQLite 3 project database with the tables and indexes of\n"
       "the project schema, holding the rows of OLD (SQLite 2 or SQLite 3) with\n"
       "their rowids, so that a legacy project can be kept and changed with\n"
       "today's tools. Each value is stored as the storage layer stores it: texts\n"
       "exactly, but a number-like text in an INT column may come back in SQLite\n"
       "3's canonical form (\"007\" as \"7\"). NEW is written under a temporary\n"
       "name and renamed when whole; an existing NEW is an error (exit 1).\n"
       "--progress shows the time spent on stderr, as dump shows bytes. OLD must\n"
       "be a file, not standard input or a pipe.\n",
       {"--progress", "--quiet"}, 2, 2, RunDbUpgrade},
      {"migrate", "migrate OLD.db NEW.lmp [--gzip[=LEVEL]] [--dry-run] [--strict]",
       "turn an old project database into a project file with its settings",
       "Loads the item tree of OLD.db (SQLite 3 or legacy SQLite 2, opened\n"
       "read-only and never changed), turns the settings of its value store into\n"
       "configuration properties of the root and saves the project as NEW.lmp,\n"
       "plain or gzip at LEVEL 0-9 (2 when no level is given), replaced only when\n"
       "whole. Prints \"read KEY = VALUE\" per setting taken, \"set NAME = VALUE\"\n"
       "per configuration property of the root (as 'config get' prints it), then\n"
       "\"migrated OLD.db -> NEW.lmp: I items, S settings read, P properties set,\n"
       "W warnings\". Every other row of the value store, each language the\n"
       "project languages dropped and each stored row the tree left out is a\n"
       "warning on stderr (\"locmodel: warning: OLD.db: KEY: REASON\"); storage\n"
       "errors show as \"locmodel: error: OLD.db: TEXT\". --dry-run writes\n"
       "nothing and prints \"checked OLD.db: ...\"; --strict does the same and\n"
       "exits 1 when there is a warning. A file that is no database or holds no\n"
       "items exits 1; NEW.lmp naming OLD.db exits 2. OLD.db must be a file, not\n"
       "standard input or a pipe.\n",
       {"--gzip[=]", "--dry-run", "--strict"}, 2, 2, RunMigrate},
      {"xliff", "xliff export PROJECT --target LANG [--source LANG] [--text-prop NAME] [--item SEL] [--segment] [--version 2.0|1.2] -o OUT | xliff import PROJECT FILE.xlf [--target LANG] [--text-prop NAME] [--dry-run] [--json]", "exchange a language of a project with translators as XLIFF", "export writes the texts of PROJECT (the own property NAME of each item,\ndefault Text) with their translations into LANG as an XLIFF 2.0 (default) or\n1.2 file; OUT is replaced only when whole, '-' is stdout. --source is the\nsource culture (default en-US), --item the subtree to export (SEL as for\n'config'), --segment splits texts into sentences. import takes the targets of\nFILE.xlf ('-' for stdin) back into PROJECT, matching units by id; units whose\nsource changed, locked items and targets with markup are skipped and counted.\nThe project is rewritten only when something changed (--dry-run: never).\n--json prints {\"updated\":N,\"unchanged\":N,\"skipped\":{\"unknownUnit\":N,\n\"sourceChanged\":N,\"locked\":N,\"inlineCodes\":N,\"wrongClass\":N}}.\n", {"--target=", "--source=", "--text-prop=", "--item=", "--segment", "--version=", "--dry-run", "--json"}, 1, 5, RunXliff},
      {"config", "config list FILE [--item SEL] [--json] [--format F]... | get FILE NAME [--item SEL] | set FILE NAME VALUE [--item SEL] | reset FILE NAME [--item SEL]",
       "list, read, change or reset the configuration properties of a project",
       "SEL names an item: \"/\" (the root, the default), \"/2/0\" (positions from 0),\n"
       "\"/@Sources/#101\" (resource ids; write \"/\" and \"%\" in an id as %2F, %25) or\n"
       "\"id:N\" (the first item holding item id N). NAME is the stored name: a text\n"
       "as it is (\"@\" in front when empty or starting with \"#\" or \"@\"), a number\n"
       "as \"#N\". list shows every declared property and every other one held on\n"
       "the path, as seen at the item: NAME = JSON-VALUE (SOURCE [HOLDER]), SOURCE\n"
       "being own, inherited, default or invalid (a value of another class; the\n"
       "default is shown). --json prints {\"item\":P,\"properties\":[{\"name\":NAME,\n"
       "\"accessor\":ACC,\"class\":CLASS,\"value\":V,\"source\":SRC,\"from\":P|null},...]}.\n"
       "get prints the effective value: strings raw, true/false, decimal numbers,\n"
       "SRX stores as SRX, other classes as JSON. set reads the same forms (also\n"
       "1/0 and 0x hex; an SRX store from @FILE) and prints stored or unchanged;\n"
       "reset prints removed or unchanged. The file is rewritten only when it\n"
       "changes, in its own form; databases are read-only (see convert).\n"
       "A per-format setting is named F.BASE (\"12.XML.XPath\"): format F, written as\n"
       "a decimal 32-bit number other than -1, of the object family whose base name\n"
       "is BASE; a bare BASE is format -1. list shows each object family at -1, at\n"
       "every format stored on the path and at each --format F, its ACC then\n"
       "written \"CXmlParserCfg(12)::XPathTemplate\". The text listing shows a set\n"
       "PFX password (NetRes.OutMisc) as (set); --json and get show it.\n",
       {"--item=", "--json", "--format="}, 2, 4, RunConfig},
      {"project-langs", "project-langs FILE [--item SEL] [--brand N] [--json] [--select LIST] [--add LANG] [--target LANG] [--secondary LANG|none]",
       "show or change the project languages, brands and output languages",
       "Shows native, target and secondary language, the selected languages, the\n"
       "brand map and the output languages for brand N (0-255; 255, the default,\n"
       "means every brand) as seen at the item (SEL as for 'config'). --json prints\n"
       "{\"item\":P,\"native\":L,\"target\":L,\"secondary\":L,\"selected\":[L,...],\n"
       "\"brands\":[{\"brand\":K,\"name\":S},...],\"output\":[L,...]}, L being null for\n"
       "none or {\"id\":N,\"brand\":B,\"culture\":S|null,\"name\":S,\"codepage\":N,\n"
       "\"encoding\":S,\"iana\":S|null}. More than 100000 output languages are refused.\n"
       "The change options run in this order through the rules of the project\n"
       "languages: LIST is comma-separated (empty: no language), LANG a decimal or\n"
       "0x-hex identifier (brand bits included) or a culture name. A refused change\n"
       "writes nothing and exits 1; otherwise the file is rewritten (unless nothing\n"
       "changed: 'unchanged') and the result shown. Databases are read-only.\n",
       {"--item=", "--brand=", "--json", "--select=", "--add=", "--target=", "--secondary="}, 1, 1,
       RunProjectLangs},
      {"dbcfg", "dbcfg expand FILE [--item SEL] [--lang LANG]... [--json]",
       "show what a database builder would use, per table and language",
       "expand prints, for every table of the database configuration the item\n"
       "sees (SEL as for 'config') and every language, the language column and its\n"
       "value (scheme 1) and the columns that hold the translation. LANG as for\n"
       "'project-langs', repeatable, in the order given; by default the item's\n"
       "output languages (none: exit 1). Connection strings are shown as stored.\n"
       "--json prints {\"item\":P,\"connectionString\":S,\"sourceName\":S,\n"
       "\"sqlMonitor\":B,\"langs\":[N,...],\"tables\":[{\"name\":S,\"scheme\":N,\n"
       "\"keyFields\":[{\"name\":S,\"group\":B},...],\"where\":S,\"langs\":[{\"lang\":N,\n"
       "\"langField\":S|null,\"langValue\":S|null,\"fields\":[S,...]},...]},...]}.\n",
       {"--item=", "--lang=", "--json"}, 2, 2, RunDbCfg},
      {"xmlcfg", "xmlcfg show FILE --format F [--item SEL] [--json]",
       "show the XML settings of one format as an item sees them",
       "show prints the 14 XML settings of format F (-1: undecorated names) as\n"
       "the item sees them (SEL as for 'config'), each with the item it comes\n"
       "from or (default), then the namespace attributes and a warning for each\n"
       "declaration whose prefix is no XML NCName or whose URI holds \", < or &.\n"
       "--json prints {\"item\":P,\"format\":N,\"properties\":[{\"name\":S,\n"
       "\"from\":P|null,\"value\":V},...],\"namespaceAttributes\":S,\"warnings\":[S,...]},\n"
       "V in the JSON form of its class.\n",
       {"--format=", "--item=", "--json"}, 2, 2, RunXmlCfg},
      {"job", "job show FILE [--json] | job make PROJECT JOB --item SEL --file-name NAME [--original-file NAME] [--native LANG] [--target LANG] [--targets LANG,...] [--project-dir DIR] [--culture NAME] [--parse [--parse-lang LANG] [--scan-for-changes]]",
       "show or make the job file of a scan or a build",
       "show prints a job file's parameters, its item chain (the file item marked),\n"
       "the configuration the file item sees and the file item's tree. --json prints\n"
       "the document the README describes. A job without a file item is shown, and\n"
       "exits 1 with the reason. FILE - reads standard input.\n"
       "make writes JOB for the item SEL of PROJECT (SEL as for 'config') as a host\n"
       "does before a build: a create-localized job, or with --parse a parse job.\n"
       "Values not given come from the item's configuration: native and target\n"
       "language, the output languages of every brand, the target's culture name,\n"
       "the folder of PROJECT; the original file defaults to NAME, the parse\n"
       "language to the native one. LANG as for 'project-langs'. JOB is written\n"
       "beside, read back and renamed only when whole; PROJECT is never changed.\n",
       {"--json", "--item=", "--file-name=", "--original-file=", "--native=", "--target=", "--targets=",
        "--project-dir=", "--culture=", "--parse", "--parse-lang=", "--scan-for-changes"},
       2, 3, RunJob},
      {"hhp", "hhp write FILE [OUT] [--item SEL] [--prop NAME] [--crlf] [--encoding utf-8|ansi|NAME] [--init-skipped]",
       "write an HTML Help project held in a project as an .hhp file",
       "Finds the HhpInfoProp value in FILE (own or configuration properties of\n"
       "the item SEL, as for 'config'; without --item, of every item; --prop\n"
       "NAME only under that name) and writes it as an .hhp file to OUT, replaced\n"
       "only when whole, or to stdout. The bytes are UTF-8 without a byte order\n"
       "mark and LF line ends unless --crlf and --encoding say otherwise: ansi is\n"
       "the ANSI code page of the project's Language (what the HTML Help compiler\n"
       "reads), NAME any ICU converter name. --init-skipped first fills empty\n"
       "options from the default window. A line break or zero character in a\n"
       "field, a double quote in a quoted window field, or a character the\n"
       "encoding lacks is refused (exit 1, nothing written); several matching\n"
       "values (listed) or an unknown encoding exit 2.\n",
       {"--item=", "--prop=", "--crlf", "--encoding=", "--init-skipped"}, 2, 3, RunHhp},
  };
  return commands;
}

void PrintToolHelp(std::ostream& out) {
  out << "usage: locmodel [-h | --help] [-V | --version] COMMAND [ARGS]\n\ncommands:\n";
  for (const Command& c : Commands()) {
    std::string name = c.name;
    name.resize(std::max<size_t>(name.size(), 14), ' ');
    out << "  " << name << "  " << c.summary << "\n";
  }
  out << "\nRun 'locmodel COMMAND --help' for a command's arguments.\n";
}

int UsageError(std::ostream& err, const Command& c, const std::string& problem) {
  err << "locmodel: " << problem << "\nusage: locmodel " << c.usage << "\n";
  return kUsage;
}

const Command* FindCommand(const std::string& name) {
  const auto& commands = Commands();
  const auto it = std::find_if(commands.begin(), commands.end(),
                               [&](const Command& c) { return name == c.name; });
  return it == commands.end() ? nullptr : &*it;
}

// Splits the arguments; false (with `problem` set) on an option the command
// does not declare or a wrong number of positional arguments.
bool ParseArgs(const Command& c, const std::vector<std::string>& words, Args& args,
               std::string& problem) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--") {  // the rest is positional, even when it looks like an option
      args.positional.insert(args.positional.end(), words.begin() + static_cast<long>(i) + 1,
                             words.end());
      break;
    }
    if (word.size() < 2 || word.compare(0, 2, "--") != 0) {
      args.positional.push_back(word);
      continue;
    }
    const size_t eq = word.find('=');
    const std::string name = word.substr(0, eq);
    // "--x" a flag, "--x=" takes a value ("--x=v" or "--x v"), "--x[=]" an
    // optional value (only as "--x=v").
    enum { kFlag, kValue, kOptionalValue } kind = kFlag;
    const bool declared = std::any_of(c.options.begin(), c.options.end(), [&](const char* o) {
      std::string option = o;
      kind = kFlag;
      if (option.size() > 3 && option.compare(option.size() - 3, 3, "[=]") == 0) {
        option.resize(option.size() - 3);
        kind = kOptionalValue;
      } else if (option.back() == '=') {
        option.pop_back();
        kind = kValue;
      }
      return option == name && (eq == std::string::npos || kind != kFlag);
    });
    if (!declared) {
      problem = "unknown option '" + word + "'";
      return false;
    }
    if (eq != std::string::npos) {
      args.options.emplace_back(name, word.substr(eq + 1));
    } else if (kind != kValue) {
      args.options.emplace_back(name, "");
    } else if (i + 1 < words.size()) {  // "--lang 1033" as well as "--lang=1033"
      args.options.emplace_back(name, words[++i]);
    } else {
      problem = "option '" + name + "' needs a value";
      return false;
    }
  }
  if (args.positional.size() < c.min_positional) {
    problem = "missing argument";
    return false;
  }
  if (args.positional.size() > c.max_positional) {
    problem = "unexpected argument '" + args.positional[c.max_positional] + "'";
    return false;
  }
  return true;
}

}  // namespace

bool Args::Has(const std::string& name) const { return Value(name) != nullptr; }

const std::string* Args::Value(const std::string& name) const {
  for (const auto& [key, value] : options)
    if (key == name) return &value;
  return nullptr;
}

int Fail(std::ostream& err, const std::string& message) {
  err << "locmodel: " << message << "\n";
  return kFailed;
}

int UsageError(std::ostream& err, const char* name, const std::string& problem) {
  return UsageError(err, *FindCommand(name), problem);
}

std::string ReadStdin() {
  return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
}

int Main(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
  if (argv.size() < 2) {
    PrintToolHelp(err);
    return kUsage;
  }
  const std::string& first = argv[1];
  if (first == "--help" || first == "-h" || first == "help") {
    PrintToolHelp(out);
    return kOk;
  }
  if (first == "--version" || first == "-V") {
    out << "locmodel " << LOCMODEL_VERSION << " (scheme version "
        << Utf16ToUtf8(Serial::CURRENT_SCHEME_VERSION.ToString()) << ")\n";
    return kOk;
  }
  const Command* it = FindCommand(first);
  if (!it) {
    err << "locmodel: unknown command '" << first << "'\n";
    PrintToolHelp(err);
    return kUsage;
  }
  const std::vector<std::string> words(argv.begin() + 2, argv.end());
  const auto optionsEnd = std::find(words.begin(), words.end(), "--");
  if (std::find(words.begin(), optionsEnd, "--help") != optionsEnd) {
    out << "usage: locmodel " << it->usage << "\n\n" << it->help;
    return kOk;
  }
  Args args;
  std::string problem;
  if (!ParseArgs(*it, words, args, problem)) return UsageError(err, *it, problem);
  return it->run(args, out, err);
}

}  // namespace locmodel::cli
