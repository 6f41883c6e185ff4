#include "cli/command.h"

#include <algorithm>

#include "locmodel/serial/version_info.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"dump-stream", "dump-stream FILE [--json]",
       "print the structure of a binary serial stream (plain or gzip)",
       "Reads any binary serial stream, plain or gzip-compressed (told apart by\n"
       "content), and prints its nodes and fields without knowing the classes\n"
       "that wrote them. --json prints {\"items\":[...]}, where a node is\n"
       "{\"node\":NAME,\"items\":[...]} (NAME null, a string or a byte number)\n"
       "and a field is {\"field\":\"<hex>\"}.\n",
       {"--json"}, 1, 1, RunDumpStream},
      {"sqlite2-dump", "sqlite2-dump FILE [--json]",
       "print every row of every table of an SQLite 2 database",
       "Reads an SQLite 2.1 database file (the legacy project database) without\n"
       "changing it and prints each table, in schema order, with its rows in\n"
       "rowid order: the rowid, then each column as a JSON string when its bytes\n"
       "are UTF-8, {\"hex\":\"<hex>\"} when they are not, or null. --json prints\n"
       "{\"tables\":{NAME:[[rowid,v1,...],...],...}}. A damaged file prints\n"
       "nothing but one error line.\n",
       {"--json"}, 1, 1, RunSqlite2Dump},
  };
  return commands;
}

void PrintToolHelp(std::ostream& out) {
  out << "usage: locmodel [--help] [--version] COMMAND [ARGS]\n\ncommands:\n";
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

// Splits the arguments; false (with `problem` set) on an option the command
// does not declare or a wrong number of positional arguments.
bool ParseArgs(const Command& c, const std::vector<std::string>& words, Args& args,
               std::string& problem) {
  for (const std::string& word : words) {
    if (word.size() < 2 || word.compare(0, 2, "--") != 0 || word == "--") {
      args.positional.push_back(word);
      continue;
    }
    const size_t eq = word.find('=');
    const std::string name = word.substr(0, eq);
    const bool declared = std::any_of(c.options.begin(), c.options.end(), [&](const char* o) {
      std::string option = o;
      const bool takes_value = option.back() == '=';
      if (takes_value) option.pop_back();
      return option == name && (eq == std::string::npos || takes_value);
    });
    if (!declared) {
      problem = "unknown option '" + word + "'";
      return false;
    }
    args.options.emplace_back(name, eq == std::string::npos ? "" : word.substr(eq + 1));
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
  if (first == "--version") {
    out << "locmodel " << LOCMODEL_VERSION << " (scheme version "
        << Utf16ToUtf8(Serial::CURRENT_SCHEME_VERSION.ToString()) << ")\n";
    return kOk;
  }
  const auto& commands = Commands();
  const auto it = std::find_if(commands.begin(), commands.end(),
                               [&](const Command& c) { return first == c.name; });
  if (it == commands.end()) {
    err << "locmodel: unknown command '" << first << "'\n";
    PrintToolHelp(err);
    return kUsage;
  }
  const std::vector<std::string> words(argv.begin() + 2, argv.end());
  if (std::find(words.begin(), words.end(), "--help") != words.end()) {
    out << "usage: locmodel " << it->usage << "\n\n" << it->help;
    return kOk;
  }
  Args args;
  std::string problem;
  if (!ParseArgs(*it, words, args, problem)) return UsageError(err, *it, problem);
  return it->run(args, out, err);
}

}  // namespace locmodel::cli
