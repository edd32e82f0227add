#include "admin/AdminCommands.h"

#include <QString>

#include <ctime>
#include <filesystem>
#include <functional>
#include <ostream>
#include <stdexcept>

#include "admin/DemoLibrary.h"
#include "admin/DeviceCommands.h"
#include "admin/ImportCommand.h"
#include "admin/LibraryCreator.h"
#include "admin/LibraryMaintenance.h"
#include "admin/LibraryRepair.h"
#include "library/InstanceLockText.h"
#include "library/LibraryText.h"
#include "library/MaintenanceDate.h"
#include "platform/dao/DaoException.h"
#include "platform/instance/InstanceLock.h"
#include "platform/settings/ProfileSettings.h"

namespace vx::admin {
namespace {

constexpr const char* kUsage =
    "Usage: vxadmin COMMAND\n"
    "The Velumix library administrator.\n"
    "\n"
    "Commands:\n"
    "  create DIR       make a new, empty library in DIR (DIR/Velumix.vxl and DIR/Songs)\n"
    "                   and record DIR as the library of the Velumix programs\n"
    "  demo DIR         like create, then fill the library with generated demo songs,\n"
    "                   their cue points and one playlist\n"
    "  use DIR          record the existing library in DIR as the programs' library\n"
    "  where            print the recorded library folder (nothing when none is recorded)\n"
    "  check [DIR]      check the library (default: the recorded one): the file, and the\n"
    "                   audio files the songs name; exits 1 on any problem. Temporary\n"
    "                   files left in Songs by a cut-off recording, import or\n"
    "                   compression are listed apart: they are no damage\n"
    "  repair [DIR]     rebuild a damaged library file from every row that can still be\n"
    "                   read; the damaged file is kept beside it as\n"
    "                   Velumix.vxl.damaged-DATE-TIME, song audio files are never\n"
    "                   touched; leftover temporary files in Songs are deleted\n"
    "  /Fullmaint=N     full maintenance of the recorded library, N days after the last:\n"
    "                   check, compact, and record today as the last maintenance\n"
    "  import [--move] [--type CODE] FILE|DIR...\n"
    "                   import WAV and MP3 files (folders searched through) into the\n"
    "                   recorded library, one song per file; --move deletes each source\n"
    "                   once its song is complete; exits 1 when a file was refused\n"
    "  devices          print the wave, CD and MIDI devices as the recorder sees them\n"
    "  mci CMD...       send each media control command string in turn; print each\n"
    "                   reply or error on a line (exits 1 when any command failed)\n"
    "  --help           this text\n";

std::string RecordedLibrary() {
  return ProfileSettings::Get(settings::kSongDbPath).toStdString();
}

int Report(const std::vector<std::string>& problems, const std::string& folder,
           std::ostream& out, std::ostream& err) {
  if (problems.empty()) {
    out << "Library " << folder << ": no problems found.\n";
    return 0;
  }
  err << "Library " << folder << ": " << problems.size() << " problem(s):\n";
  for (const std::string& problem : problems) err << "  " << problem << '\n';
  return 1;
}

// Names the temporary files that programs ended abruptly left in Songs.
void PrintLeftovers(const std::string& folder, std::ostream& out) {
  const std::vector<std::string> leftovers = LeftoverTempFiles(folder);
  if (leftovers.empty()) return;
  out << leftovers.size() << " temporary file(s) left in " << kSongsFolderName
      << " by a recording, import or compression that was cut off (no damage: delete them "
         "while no Velumix program runs, or run 'vxadmin repair'):\n";
  for (const std::string& name : leftovers) out << "  " << kSongsFolderName << "/" << name << '\n';
}

// Deletes the temporary files that programs ended abruptly left in Songs. The caller holds
// the instance lock, so no program is writing one of them now.
void RemoveLeftovers(const std::string& folder, std::ostream& out, std::ostream& err) {
  for (const std::string& name : LeftoverTempFiles(folder)) {
    const std::string shown = std::string(kSongsFolderName) + "/" + name;
    std::error_code error;
    if (std::filesystem::remove(std::filesystem::path(folder) / kSongsFolderName / name, error)) {
      out << "Deleted the leftover temporary file " << shown << '\n';
    } else if (error) {
      err << "vxadmin: cannot delete the leftover temporary file " << shown << ": "
          << error.message() << '\n';
    }
  }
}

// make is CreateLibrary or CreateDemoLibrary.
int Create(const std::string& dir, void (*make)(const std::string&), std::ostream& out,
           std::ostream& err) {
  const std::string folder = std::filesystem::absolute(dir).lexically_normal().string();
  try {
    make(folder);
  } catch (const std::exception& error) {
    err << "vxadmin: cannot create the library: " << error.what() << '\n';
    return 1;
  }
  ProfileSettings::Set(settings::kSongDbPath, QString::fromStdString(folder));
  out << "Created the library " << folder << "/" << kLibraryFileName << '\n';
  return 0;
}

int Use(const std::string& dir, std::ostream& out, std::ostream& err) {
  const std::string folder = std::filesystem::absolute(dir).lexically_normal().string();
  const std::vector<std::string> problems = CheckLibraryStructure(folder);
  if (!problems.empty()) return Report(problems, folder, out, err);
  ProfileSettings::Set(settings::kSongDbPath, QString::fromStdString(folder));
  out << "Recorded the library " << folder << '\n';
  return 0;
}

// Runs work while holding the programs' lock, so no other Velumix program has the library
// open; answers 1 when the lock cannot be taken.
int WithProgramLock(std::ostream& err, const std::function<int()>& work) {
  InstanceLock lock(text::kGlobalMutexName);
  if (!lock.TryAcquire()) {
    err << LockRefusedText(lock) << '\n';
    return 1;
  }
  return work();
}

// Runs work on the recorded library while no other Velumix program runs.
int WithLockedLibrary(std::ostream& err, const std::function<int(const std::string&)>& work) {
  return WithProgramLock(err, [&] {
    const std::string folder = RecordedLibrary();
    if (folder.empty()) {
      err << "vxadmin: no library is recorded; run 'vxadmin create DIR' first\n";
      return 1;
    }
    return work(folder);
  });
}

int FullMaintenance(const std::string& days, std::ostream& out, std::ostream& err) {
  return WithLockedLibrary(err, [&](const std::string& folder) {
    out << "Maintenance of " << folder << " (" << days << " days since the last)\n";
    const int result = Report(CompactLibrary(folder), folder, out, err);
    if (result == 0) {
      ProfileSettings::Set(settings::kLastMaint,
                           QString::fromStdString(MaintDateText(std::time(nullptr))));
    }
    return result;
  });
}

// Prints what a repair recovered and lost; answers the exit code.
int PrintRepair(const RepairReport& report, const std::string& folder, std::ostream& out,
                std::ostream& err) {
  if (!report.backup.empty()) {
    out << "The damaged file is kept as " << report.backup << '\n';
  }
  if (!report.problems.empty()) {
    err << "Library " << folder << ": the repair failed; the library is as it was:\n";
    for (const std::string& problem : report.problems) err << "  " << problem << '\n';
    return 1;
  }
  out << "Repaired the library " << folder << ":\n";
  for (const TableRepair& table : report.tables) {
    out << "  " << table.table << ": " << table.recovered << " rows recovered";
    if (table.fromLoosePages > 0) {
      out << " (" << table.fromLoosePages << " from pages cut off from the table)";
    }
    if (table.before && *table.before > table.recovered) {
      out << "; at least " << *table.before - table.recovered << " lost";
    } else if (!table.before) {
      out << "; the damaged table could not be counted";
    }
    if (table.refused > 0) out << "; " << table.refused << " duplicates dropped";
    out << '\n';
  }
  if (report.unreadablePages > 0) {
    out << "  " << report.unreadablePages
        << " damaged pages could not be read: their rows are lost\n";
  }
  if (report.undecodableRows > 0) {
    out << "  " << report.undecodableRows << " damaged rows could not be read\n";
  }
  if (report.unplacedRows > 0) {
    out << "  " << report.unplacedRows << " rows found could not be told to a table\n";
  }
  if (report.versionRestored) out << "  The schema version 2.0 was written again\n";
  const std::vector<std::string> remaining = CheckLibrary(folder);
  if (remaining.empty()) {
    out << "The library passes the check.\n";
  } else {
    out << "Still to look at (the repair leaves audio files alone):\n";
    for (const std::string& problem : remaining) out << "  " << problem << '\n';
  }
  return 0;
}

int Repair(const std::string& folder, std::ostream& out, std::ostream& err) {
  return WithProgramLock(err, [&] {
    const int result = PrintRepair(RepairLibrary(folder, std::time(nullptr)), folder, out, err);
    if (result == 0) RemoveLeftovers(folder, out, err);
    return result;
  });
}

bool IsFullMaint(const std::string& arg, std::string& days) {
  for (const char* prefix : {"/Fullmaint=", "/fullmaint=", "--fullmaint="}) {
    const std::string p(prefix);
    if (arg.rfind(p, 0) == 0) {
      days = arg.substr(p.size());
      return true;
    }
  }
  return false;
}

}  // namespace

int RunAdmin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kUsage;
    return 2;
  }
  const std::string& command = args[0];
  std::string days;
  if (command == "--help" || command == "-h" || command == "help") {
    out << kUsage;
    return 0;
  }
  if (command == "create" && args.size() == 2) return Create(args[1], CreateLibrary, out, err);
  if (command == "demo" && args.size() == 2) return Create(args[1], CreateDemoLibrary, out, err);
  if (command == "devices" && args.size() == 1) return PrintDevices(out);
  if (command == "mci" && args.size() >= 2) {
    return RunMciCommands({args.begin() + 1, args.end()}, out);
  }
  if (command == "import") {
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    return WithLockedLibrary(
        err, [&](const std::string& folder) { return RunImport(rest, folder, out, err); });
  }
  if (command == "use" && args.size() == 2) return Use(args[1], out, err);
  if (command == "where" && args.size() == 1) {
    const std::string folder = RecordedLibrary();
    if (!folder.empty()) out << folder << '\n';
    return 0;
  }
  if (command == "check" && args.size() <= 2) {
    const std::string folder = args.size() == 2 ? args[1] : RecordedLibrary();
    if (folder.empty()) {
      err << "vxadmin: no library is recorded; name its folder\n";
      return 2;
    }
    const int result = Report(CheckLibrary(folder), folder, out, err);
    PrintLeftovers(folder, out);
    return result;
  }
  if (command == "repair" && args.size() <= 2) {
    const std::string folder = args.size() == 2 ? args[1] : RecordedLibrary();
    if (folder.empty()) {
      err << "vxadmin: no library is recorded; name its folder\n";
      return 2;
    }
    return Repair(folder, out, err);
  }
  if (args.size() == 1 && IsFullMaint(command, days)) return FullMaintenance(days, out, err);
  err << "vxadmin: unknown command line\n" << kUsage;
  return 2;
}

}  // namespace vx::admin
