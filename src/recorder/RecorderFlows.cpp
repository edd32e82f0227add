#include "recorder/RecorderFlows.h"

#include "curation/CSongTypeListDlg.h"
#include "curation/SongEditorTools.h"
#include "library/GuardOperation.h"
#include "platform/ui/UserInteraction.h"
#include "recorder/COptionsDlg.h"
#include "recorder/CRecorderMainWindow.h"
#include "recorder/CTechInfoDlg.h"
#include "recorder/RecordNewSongFlow.h"
#include "recorder/TechInfoReport.h"

namespace vx {

FlowTable BuiltFlows() {
  return {
      {RecorderFlow::RecordNewSong, RunRecordNewSong},
      {RecorderFlow::SongTypes, RunSongTypes},
      {RecorderFlow::Options, RunOptions},
      {RecorderFlow::TechInfo, RunTechInfo},
  };
}

void RunOptions(CRecorderMainWindow& window) {
  const RecorderState& state = window.State();
  COptionsDlg dialog(state.inventory, state.cdDriveLetter, state.midiDevice, &window);
  if (Ui().RunModal(dialog) != QDialog::Accepted) return;
  window.SetCdDriveLetter(dialog.CdDriveLetter());
  window.SetMidiDevice(dialog.MidiDevice());
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

std::unique_ptr<SongEditorTools> MakeSongEditorTools(CRecorderMainWindow& window) {
  return std::make_unique<UnavailableSongEditorTools>(
      [&window](const QString& text) { window.SetStatusText(text); });
}

}  // namespace vx
