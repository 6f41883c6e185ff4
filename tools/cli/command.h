// The locmodel command-line tool: a table of subcommands sharing one shape.
//
// Exit status: 0 done, 1 failed (one line on stderr, nothing half-written),
// 2 bad usage (the usage line on stderr).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace locmodel::cli {

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2 };

// A subcommand's arguments after its name, split into positional arguments
// and the options it declared.
struct Args {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // name, value ("" if none)
  bool Has(const std::string& name) const;
  const std::string* Value(const std::string& name) const;
};

struct Command {
  const char* name;
  const char* usage;                 // "dump-stream FILE [--json]"
  const char* summary;               // one line for the command list
  const char* help;                  // the rest of --help
  // Accepted options: "--json" a flag, "--lang=" with a value, "--gzip[=]"
  // with an optional value.
  std::vector<const char*> options;
  size_t min_positional, max_positional;
  int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

// Runs the tool; `argv` includes the program name.
int Main(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

// "locmodel: <message>" on `err`; returns kFailed.
int Fail(std::ostream& err, const std::string& message);

// "locmodel: <problem>" and the usage line of the command `name` on `err`;
// returns kUsage. For problems only the command itself can see.
int UsageError(std::ostream& err, const char* name, const std::string& problem);

// The whole of standard input, as bytes.
std::string ReadStdin();

// The subcommands, one declaration each (defined beside each command).
int RunDumpStream(const Args& args, std::ostream& out, std::ostream& err);
int RunDump(const Args& args, std::ostream& out, std::ostream& err);
int RunConvert(const Args& args, std::ostream& out, std::ostream& err);
int RunDemo(const Args& args, std::ostream& out, std::ostream& err);
int RunLangs(const Args& args, std::ostream& out, std::ostream& err);
int RunLang(const Args& args, std::ostream& out, std::ostream& err);
int RunExpand(const Args& args, std::ostream& out, std::ostream& err);
int RunEncoding(const Args& args, std::ostream& out, std::ostream& err);
int RunEntities(const Args& args, std::ostream& out, std::ostream& err);
int RunEscapes(const Args& args, std::ostream& out, std::ostream& err);
int RunCond(const Args& args, std::ostream& out, std::ostream& err);
int RunSqlite2Dump(const Args& args, std::ostream& out, std::ostream& err);
int RunPath(const Args& args, std::ostream& out, std::ostream& err);
int RunRun(const Args& args, std::ostream& out, std::ostream& err);
int RunPeChecksum(const Args& args, std::ostream& out, std::ostream& err);
int RunDirs(const Args& args, std::ostream& out, std::ostream& err);
int RunDbValues(const Args& args, std::ostream& out, std::ostream& err);
int RunDbDump(const Args& args, std::ostream& out, std::ostream& err);
int RunSegment(const Args& args, std::ostream& out, std::ostream& err);
int RunSrx(const Args& args, std::ostream& out, std::ostream& err);
int RunDbUpgrade(const Args& args, std::ostream& out, std::ostream& err);
int RunMigrate(const Args& args, std::ostream& out, std::ostream& err);
int RunXliff(const Args& args, std::ostream& out, std::ostream& err);
int RunConfig(const Args& args, std::ostream& out, std::ostream& err);
int RunProjectLangs(const Args& args, std::ostream& out, std::ostream& err);
int RunDbCfg(const Args& args, std::ostream& out, std::ostream& err);
int RunXmlCfg(const Args& args, std::ostream& out, std::ostream& err);
int RunJob(const Args& args, std::ostream& out, std::ostream& err);
int RunHhp(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace locmodel::cli
