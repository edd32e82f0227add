#include "recorder/RecorderFlows.h"

#include "compression/CCompressSongsDlg.h"
#include "curation/CSongSearchDlg.h"
#include "curation/CSongTypeListDlg.h"
#include "curation/CurationTools.h"
#include "curation/SongReports.h"
#include "library/GuardOperation.h"
#include "library/SongStore.h"
#include "platform/process/Process.h"
#include "platform/report/CReportEngine.h"
#include "platform/ui/UserInteraction.h"
#include "playlists/CPlaylistEditDlg.h"
#include "playlists/CPlaylistSelectDlg.h"
#include "recorder/COptionsDlg.h"
#include "recorder/CRecorderMainWindow.h"
#include "recorder/CTechInfoDlg.h"
#include "recorder/ImportSoundFileFlow.h"
#include "recorder/LogSongFromCdFlow.h"
#include "recorder/RecordNewSongFlow.h"
#include "recorder/TechInfoReport.h"

namespace vx {

FlowTable BuiltFlows() {
  return {
      {RecorderFlow::RecordNewSong, RunRecordNewSong},
      {RecorderFlow::ImportSoundFile, RunImportSoundFile},
      {RecorderFlow::LogSongFromCd, RunLogSongFromCd},
      {RecorderFlow::Search, RunSearch},
      {RecorderFlow::CompressSongs, RunCompressSongs},
      {RecorderFlow::SongTypes, RunSongTypes},
      {RecorderFlow::Options, RunOptions},
      {RecorderFlow::TechInfo, RunTechInfo},
      {RecorderFlow::Playlist, RunPlaylist},
  };
}

void RunOptions(CRecorderMainWindow& window) {
  const RecorderState& state = window.State();
  COptionsDlg dialog(state.inventory, state.cdDriveLetter, state.midiDevice, &window);
  if (Ui().RunModal(dialog) != QDialog::Accepted) return;
  window.SetCdDriveLetter(dialog.CdDriveLetter());
  window.SetMidiDevice(dialog.MidiDevice());
}

void RunCompressSongs(CRecorderMainWindow& window) {
  const RecorderState& state = window.State();
  CCompressSongsDlg dialog(*state.database, SongsFolder(state.libraryFolder.toStdString()), {},
                           &window);
  if (dialog.OnInitDialog()) Ui().RunModal(dialog);
  window.RefreshSummary();
}

void RunTechInfo(CRecorderMainWindow& window) {
  const RecorderState& state = window.State();
  TechInfoFacts facts;
  facts.build = window.Env().build;
  if (state.database != nullptr && state.database->IsOpen()) {
    facts.databasePath = state.database->Path();
  }
  facts.cdLetters = state.inventory.cdLetters;
  facts.midiOutputs = state.inventory.midiOutputs;

  // A failure while building the report ends this dialog only, not the recorder.
  QString report;
  {
    WaitCursor busy;
    if (!GuardOperation([&] { report = BuildTechInfoReport(facts, window.Env().techInfo); })) {
      return;
    }
  }
  CTechInfoDlg dialog(report, &window);
  Ui().RunModal(dialog);
}

void RunSongTypes(CRecorderMainWindow& window) {
  CSongTypeListDlg dialog(*window.State().database, &window);
  dialog.Run();
}

void RunSearch(CRecorderMainWindow& window) {
  const RecorderState& state = window.State();
  SongSearchSetup setup;
  setup.libraryFolder = state.libraryFolder.toStdString();
  setup.midiDevice = state.midiDevice;
  setup.midiNote = state.midiInstrument;
  setup.cdDriveLetter = state.cdDriveLetter;
  if (state.reportEngine != nullptr && state.reportEngine->IsOpen()) {
    report::CReportEngine& engine = *state.reportEngine;
    const std::string reports = FindResource("Reports");
    const std::string library = setup.libraryFolder;
    setup.printReport = [&engine, reports, library](QWidget* parent,
                                                    const SongReportRequest& request) {
      PrintSongReport(engine, reports, library, parent, request);
    };
  }
  const std::unique_ptr<SongEditorTools> tools = MakeSongEditorTools(window);
  CSongSearchDlg dialog(*state.database, std::move(setup), *tools, &window);
  dialog.Run();
  // Deleted or changed songs change the summary.
  window.RefreshSummary();
}

void RunPlaylist(CRecorderMainWindow& window) {
  dao::DaoDatabase& database = *window.State().database;
  CPlaylistSelectDlg select(database, &window);
  if (select.Run() != QDialog::Accepted) return;
  CPlaylistEditDlg editor(database, select.Name(), select.IsNew(), &window);
  editor.Run();
}

std::unique_ptr<SongEditorTools> MakeSongEditorTools(CRecorderMainWindow&) {
  return std::make_unique<CurationTools>();
}

}  // namespace vx
