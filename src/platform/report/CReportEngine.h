// The report print engine: one per program run, opened at start and closed at exit. It
// keeps its open print jobs by 16-bit handle; each job is one report template filled with
// the library's location, its named formulas (the title), one sort field and a selection
// formula, then checked (the rows are read) and shown in a modal preview window, which
// prints and saves PDF. The engine and each job remember their last error as text.
#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class QPagedPaintDevice;
class QWidget;

namespace vx::report {

class CPrintJob;

class CReportEngine {
 public:
  // Versions the technical information report shows: major in bits 8-15, minor in 0-7.
  static constexpr int kDllVersion = 0x0200;
  static constexpr int kEngineVersion = 0x0200;

  CReportEngine();
  ~CReportEngine();
  CReportEngine(const CReportEngine&) = delete;
  CReportEngine& operator=(const CReportEngine&) = delete;

  bool Open();
  // Closes every job still open, then the engine.
  void Close();
  bool IsOpen() const { return open_; }

  // Opens a job on a template file; 0 on failure (the engine's error says why).
  std::uint16_t OpenJob(const std::string& templatePath);
  void CloseJob(std::uint16_t job);
  // The job of a handle; nullptr when it is not open.
  CPrintJob* Job(std::uint16_t job);
  std::size_t JobCount() const { return jobs_.size(); }

  // The engine's last error; empty when there is none.
  const QString& LastError() const { return error_; }

 private:
  bool open_ = false;
  std::uint16_t nextHandle_ = 1;
  std::map<std::uint16_t, std::unique_ptr<CPrintJob>> jobs_;
  QString error_;
};

class CPrintJob {
 public:
  explicit CPrintJob(std::string templatePath);
  ~CPrintJob();

  // Reads the template; false with the error set when it cannot be used.
  bool Load();
  int TableCount() const;
  // Points table n at the library file; false when n is not a table of the report or the
  // file cannot be opened as a library.
  bool SetTableLocation(int n, const std::string& path);
  // Sets a named formula; the report's title formula is a text in apostrophes.
  bool SetFormula(const std::string& name, const std::string& text);
  // Sort field n ("{Songs.Field}"), direction 1 ascending (the only one reports use).
  bool SetSortField(int n, const std::string& field, int direction);
  bool SetSelectionFormula(const std::string& text);
  // Reads the rows the report lists; false with the error set when the job cannot run.
  bool Check();
  // Where Start shows the preview: its window title and parent.
  void OutputToWindow(const QString& title, QWidget* parent);
  // Shows the checked report in its modal preview window until the person closes it.
  void Start();
  // Paints the checked report on device; answers the number of pages.
  int Paint(QPagedPaintDevice& device) const;
  // The number of rows the checked report lists.
  std::size_t RowCount() const;

  const QString& LastError() const { return error_; }

 private:
  bool Fail(const QString& error);
  struct State;
  std::unique_ptr<State> state_;
  QString error_;
};

}  // namespace vx::report
