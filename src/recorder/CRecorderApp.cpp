#include "recorder/CRecorderApp.h"

#include "library/GuardOperation.h"
#include "library/InstanceLockText.h"
#include "library/LibraryQueries.h"
#include "library/LibraryText.h"
#include "library/MaintenanceDate.h"
#include "platform/log/DebugLog.h"
#include "platform/process/Process.h"
#include "platform/settings/ProfileSettings.h"
#include "platform/ui/TerminationSignals.h"
#include "platform/ui/UserInteraction.h"
#include "recorder/RecorderText.h"

namespace vx {
namespace {

constexpr const char* kLibraryFile = "/Velumix.vxl";
constexpr long kMaintenanceDays = 30;  // maintenance is due after more days than this

}  // namespace

CRecorderApp::CRecorderApp(Environment environment)
    : env_(std::move(environment)), lock_(text::kGlobalMutexName) {}

CRecorderApp::~CRecorderApp() { ExitInstance(); }

int CRecorderApp::Run() {
  bool started = false;
  GuardOperation([&] { started = StartUp(); });
  if (started) {
    DebugLog("vxrec: started");
    if (env_.runMainWindow) env_.runMainWindow(*this);
    // Ended by a signal (a logout, a shutdown): no maintenance program is started.
    if (!TerminationSignals::Received()) GuardOperation([&] { MaintenanceCheck(); });
  }
  ExitInstance();
  return 0;
}

bool CRecorderApp::StartUp() {
  if (!lock_.TryAcquire()) {
    Ui().Message(QString::fromStdString(LockRefusedText(lock_)), MsgIcon::Stop);
    return false;
  }
  if (!LocateLibrary()) return false;
  applicationFolder_ = QString::fromStdString(ProgramFolder());
  if (!OpenLibrary()) return false;
  ChooseDevices();
  reportEngine_.Open();
  return true;
}

bool CRecorderApp::LocateLibrary() {
  libraryFolder_ = ProfileSettings::Get(settings::kSongDbPath);
  if (!libraryFolder_.isEmpty()) return true;
  const MsgAnswer answer = Ui().Message(QString::fromUtf8(text::kDbEntryNotFound),
                                        MsgIcon::Question, MsgButtons::YesNo, 1);
  if (answer == MsgAnswer::Yes) {
    FileRequest request;
    request.filter = QString::fromUtf8(text::kDbFileFilter);
    request.defaultExtension = QStringLiteral("vxl");
    request.mustExist = true;
    if (const auto chosen = Ui().OpenFile(request)) {
      // Only the folder is kept: the library file is always Velumix.vxl.
      libraryFolder_ = chosen->left(chosen->lastIndexOf(QLatin1Char('/')));
      ProfileSettings::Set(settings::kSongDbPath, libraryFolder_);
      return true;
    }
  }
  Ui().Message(QString::fromUtf8(text::kCannotRunWithoutDb), MsgIcon::Exclamation);
  return false;
}

bool CRecorderApp::OpenLibrary() {
  database_.Open((libraryFolder_ + QLatin1String(kLibraryFile)).toStdString(),
                 dao::OpenMode::Shared);
  if (ReadDatabaseVersion(database_) != kDatabaseVersion) {
    Ui().Message(QString::fromUtf8(text::kDbVersionWrong), MsgIcon::Stop);
    return false;
  }
  return true;
}

int CRecorderApp::DefaultMidiDevice(const std::vector<int>& technologies) {
  for (std::size_t i = 0; i < technologies.size(); ++i) {
    const int technology = technologies[i];
    if (technology == 4 || technology == 3 || technology == 2) return static_cast<int>(i);
  }
  return 0;
}

RecorderInventory CRecorderApp::InventoryOf(CMciDevice& mci) {
  mci.TakeInventory();
  RecorderInventory inventory;
  inventory.waveInputs = static_cast<int>(mci.NumWaveDevices());
  const std::string letters = mci.CdDriveLetters();
  inventory.cdLetters.assign(letters.begin(), letters.end());
  inventory.midiTechnologies = mci.MidiTechnologies();
  inventory.midiOutputs = mci.MidiOutputs();
  return inventory;
}

void CRecorderApp::ChooseDevices() {
  mci_ = env_.makeMciDevice ? env_.makeMciDevice() : std::make_unique<CMciDevice>();
  inventory_ = env_.takeInventory ? env_.takeInventory() : InventoryOf(*mci_);

  const auto drives = inventory_.cdLetters.size();
  if (drives > 1) {
    const QString chosen = ProfileSettings::Get(settings::kCdRomDrive);
    cdDriveLetter_ = chosen.isEmpty() ? ' ' : chosen.at(0).toLatin1();
  } else {
    cdDriveLetter_ = drives == 1 ? inventory_.cdLetters.front() : ' ';
  }

  const int outputs = static_cast<int>(inventory_.midiTechnologies.size());
  if (outputs == 0) {
    midiDevice_ = -1;
  } else if (outputs == 1) {
    midiDevice_ = 0;
  } else {
    midiDevice_ = ProfileSettings::Get(settings::kMidiDevice);
    // A stored index of a device that is gone counts as never chosen.
    if (midiDevice_ < 0 || midiDevice_ >= outputs) {
      midiDevice_ = DefaultMidiDevice(inventory_.midiTechnologies);
    }
  }
  if (midiDevice_ != -1) {
    midiInstrument_ =
        static_cast<unsigned char>(ProfileSettings::Get(settings::kMidiInstrument) & 0xff);
  }
}

void CRecorderApp::MaintenanceCheck() {
  const std::time_t now = env_.now ? env_.now() : std::time(nullptr);
  const std::string lastMaint = ProfileSettings::Get(settings::kLastMaint).toStdString();
  if (lastMaint.empty()) {
    ProfileSettings::Set(settings::kLastMaint, QString::fromStdString(MaintDateText(now)));
    return;
  }
  const auto days = DaysSinceMaint(lastMaint, now);
  if (!days || *days <= kMaintenanceDays) return;
  // The administrator needs the library and the lock to itself.
  database_.Close();
  lock_.Release();
  const std::string argument = QString::asprintf(text::kFullMaintArgument, *days).toStdString();
  const std::string program = FindHelperProgram(text::kAdministratorProgram);
  if (env_.startAdministrator) {
    env_.startAdministrator(program, {argument});
  } else {
    SpawnDetached(program, {argument});
  }
}

void CRecorderApp::ExitInstance() {
  reportEngine_.Close();
  database_.Close();
  lock_.Release();
}

}  // namespace vx
