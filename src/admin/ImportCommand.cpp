#include "admin/ImportCommand.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <ostream>

#include "admin/BatchImport.h"
#include "admin/LibraryCreator.h"
#include "cd/CMciDevice.h"
#include "library/LibraryText.h"
#include "library/ReportDaoError.h"
#include "platform/dao/DaoDatabase.h"

namespace vx::admin {
namespace {

constexpr int kInterrupted = 130;
constexpr int kBarWidth = 30;

volatile std::sig_atomic_t stopAsked = 0;

void AskStop(int) { stopAsked = 1; }

// While it lives, SIGINT and SIGTERM only ask the import to stop after the file in hand; a
// second signal ends the program at once (the copy in hand never sits under a song's name).
class StopSignals {
 public:
  StopSignals() {
    stopAsked = 0;
    struct sigaction action {};
    action.sa_handler = AskStop;
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
  }
  ~StopSignals() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
  static bool Asked() { return stopAsked != 0; }

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
};

bool IsTerminal(const std::ostream& out) {
  return out.rdbuf() == std::cout.rdbuf() && isatty(STDOUT_FILENO) != 0;
}

// The progress of the run: on a terminal one bar redrawn in place, with refusals printed
// above it; elsewhere one plain line per file.
class ImportProgress {
 public:
  ImportProgress(std::ostream& out, std::size_t total)
      : out_(out), total_(total), terminal_(IsTerminal(out)) {}

  void Done(std::size_t count, const std::string& source, const ImportedFile& file) {
    if (!terminal_) {
      out_ << "[" << count << "/" << total_ << "] " << Word(file.outcome) << ' ' << source
           << ": " << file.detail << '\n';
      return;
    }
    if (file.outcome == ImportOutcome::kRefused) {
      out_ << "\r\033[K" << "refused " << source << ": " << file.detail << '\n';
    }
    const std::size_t filled = total_ == 0 ? kBarWidth : count * kBarWidth / total_;
    out_ << "\r\033[K[" << std::string(filled, '#') << std::string(kBarWidth - filled, ' ')
         << "] " << count << "/" << total_ << ' '
         << std::filesystem::path(source).filename().string() << std::flush;
  }

  void Finish() {
    if (terminal_) out_ << "\r\033[K" << std::flush;
  }

  static const char* Word(ImportOutcome outcome) {
    switch (outcome) {
      case ImportOutcome::kImported: return "imported";
      case ImportOutcome::kRefused: return "refused";
      case ImportOutcome::kSkipped: return "skipped";
    }
    return "";
  }

 private:
  std::ostream& out_;
  std::size_t total_;
  bool terminal_;
};

struct ImportLine {
  bool move = false;
  std::string typeCode;
  std::vector<std::string> paths;
};

bool ParseImportLine(const std::vector<std::string>& args, ImportLine& line) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--move") {
      line.move = true;
    } else if (args[i] == "--type" && i + 1 < args.size()) {
      line.typeCode = args[++i];
    } else if (args[i].rfind("--", 0) == 0) {
      return false;
    } else {
      line.paths.push_back(args[i]);
    }
  }
  return !line.paths.empty();
}

struct Tally {
  std::size_t imported = 0;
  std::size_t skipped = 0;
  std::vector<std::pair<std::string, std::string>> refused;  // source, reason
};

int Summarise(const Tally& tally, std::size_t left, std::ostream& out, std::ostream& err) {
  out << "Imported " << tally.imported << ", refused " << tally.refused.size() << ", skipped "
      << tally.skipped << " (already imported).\n";
  for (const auto& [source, reason] : tally.refused) {
    err << "Refused " << source << ": " << reason << '\n';
  }
  if (left > 0) {
    err << "Interrupted: " << left << " file(s) not looked at.\n";
    return kInterrupted;
  }
  return tally.refused.empty() ? 0 : 1;
}

int ImportInto(const std::string& folder, const ImportLine& line, std::ostream& out,
               std::ostream& err) {
  dao::DaoDatabase db;
  db.Open(folder + "/" + kLibraryFileName);
  if (!line.typeCode.empty()) {
    const std::vector<std::string> codes = SongTypeCodes(db);
    if (std::find(codes.begin(), codes.end(), line.typeCode) == codes.end()) {
      err << "vxadmin: the library has no song type " << line.typeCode << '\n';
      return 2;
    }
  }
  Tally tally;
  std::vector<std::string> missing;
  const std::vector<std::string> files = CollectSoundFiles(line.paths, missing);
  for (const std::string& path : missing) tally.refused.emplace_back(path, "no such file or folder");

  CMciDevice mci;
  BatchImporter importer(db, mci, {folder, line.typeCode, line.move});
  ImportProgress progress(out, files.size());
  const StopSignals stopSignals;
  std::size_t done = 0;
  for (; done < files.size() && !StopSignals::Asked(); ++done) {
    const ImportedFile file = importer.Import(files[done]);
    switch (file.outcome) {
      case ImportOutcome::kImported: ++tally.imported; break;
      case ImportOutcome::kSkipped: ++tally.skipped; break;
      case ImportOutcome::kRefused: tally.refused.emplace_back(files[done], file.detail); break;
    }
    progress.Done(done + 1, files[done], file);
  }
  progress.Finish();
  return Summarise(tally, files.size() - done, out, err);
}

}  // namespace

int RunImport(const std::vector<std::string>& args, const std::string& folder, std::ostream& out,
              std::ostream& err) {
  ImportLine line;
  if (!ParseImportLine(args, line)) {
    err << "Usage: vxadmin import [--move] [--type CODE] FILE|DIR...\n";
    return 2;
  }
  try {
    return ImportInto(folder, line, out, err);
  } catch (const dao::DaoException& error) {
    err << "vxadmin: " << DaoErrorText(error).toStdString() << '\n';
  } catch (const std::exception& error) {
    err << "vxadmin: " << error.what() << '\n';
  }
  return 1;
}

}  // namespace vx::admin
