#include "platform/report/CReportEngine.h"

#include <QWidget>

#include <cassert>
#include <initializer_list>
#include <filesystem>

#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"
#include "platform/report/CReportPreviewDlg.h"
#include "platform/report/ReportPainter.h"
#include "platform/report/ReportRows.h"
#include "platform/report/ReportTemplate.h"
#include "platform/report/ReportText.h"
#include "platform/report/SelectionFormula.h"
#include "platform/ui/UserInteraction.h"

namespace vx::report {
namespace {

// The text with each "%s" or "%d" replaced by the next value, in order.
QString FillIn(const char* format, std::initializer_list<QString> values) {
  const QString text = QString::fromUtf8(format);
  QString out;
  auto next = values.begin();
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('%') && i + 1 < text.size() &&
        (text[i + 1] == QLatin1Char('s') || text[i + 1] == QLatin1Char('d')) &&
        next != values.end()) {
      out += *next++;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

QString Printf(const char* format, const std::string& argument) {
  return FillIn(format, {QString::fromStdString(argument)});
}

constexpr const char* kTitleFormula = "UserReportTitle";

}  // namespace

CReportEngine::CReportEngine() = default;
CReportEngine::~CReportEngine() { Close(); }

bool CReportEngine::Open() {
  open_ = true;
  error_.clear();
  return true;
}

void CReportEngine::Close() {
  jobs_.clear();
  open_ = false;
}

std::uint16_t CReportEngine::OpenJob(const std::string& templatePath) {
  if (!open_) {
    error_ = QString::fromUtf8(text::kReportEngineClosed);
    return 0;
  }
  auto job = std::make_unique<CPrintJob>(templatePath);
  if (!job->Load()) {
    error_ = job->LastError();
    return 0;
  }
  // Handles are never 0 and never one still in use.
  while (nextHandle_ == 0 || jobs_.count(nextHandle_) != 0) ++nextHandle_;
  const std::uint16_t handle = nextHandle_++;
  jobs_[handle] = std::move(job);
  error_.clear();
  return handle;
}

void CReportEngine::CloseJob(std::uint16_t job) { jobs_.erase(job); }

CPrintJob* CReportEngine::Job(std::uint16_t job) {
  const auto found = jobs_.find(job);
  return found == jobs_.end() ? nullptr : found->second.get();
}

struct CPrintJob::State {
  std::string templatePath;
  ReportTemplate layout;
  std::vector<std::string> locations;
  std::string title;
  std::string sortField = "{Songs.SongID}";
  SelectionFormula formula;
  ReportRows rows;
  bool checked = false;
  QString windowTitle;
  QWidget* parent = nullptr;
};

CPrintJob::CPrintJob(std::string templatePath) : state_(std::make_unique<State>()) {
  state_->templatePath = std::move(templatePath);
}

CPrintJob::~CPrintJob() = default;

bool CPrintJob::Fail(const QString& error) {
  error_ = error;
  state_->checked = false;
  return false;
}

bool CPrintJob::Load() {
  int line = 0;
  std::string problem;
  if (!std::filesystem::is_regular_file(state_->templatePath)) {
    return Fail(Printf(text::kReportTemplateMissing, state_->templatePath));
  }
  if (!LoadReportTemplate(state_->templatePath, state_->layout, line, problem)) {
    if (line == 0) return Fail(Printf(text::kReportTemplateMissing, state_->templatePath));
    return Fail(FillIn(text::kReportTemplateInvalid,
                       {QString::fromStdString(state_->templatePath), QString::number(line),
                        QString::fromStdString(problem)}));
  }
  state_->locations.assign(state_->layout.tables.size(), std::string());
  return true;
}

int CPrintJob::TableCount() const { return static_cast<int>(state_->layout.tables.size()); }

bool CPrintJob::SetTableLocation(int n, const std::string& path) {
  if (n < 0 || n >= TableCount()) {
    return Fail(FillIn(text::kReportNoTable, {QString::number(n)}));
  }
  const std::string& table = state_->layout.tables[static_cast<std::size_t>(n)];
  try {
    dao::DaoDatabase db;
    db.Open(path, dao::OpenMode::ReadOnly);
    db.Execute("SELECT 1 FROM " + table + " LIMIT 0");
  } catch (const dao::DaoException&) {
    return Fail(FillIn(text::kReportLocationMissing,
                       {QString::fromStdString(path), QString::fromStdString(table)}));
  }
  state_->locations[static_cast<std::size_t>(n)] = path;
  return true;
}

bool CPrintJob::SetFormula(const std::string& name, const std::string& text) {
  bool known = false;
  for (const std::string& formula : state_->layout.formulas) known = known || formula == name;
  if (!known) return Fail(Printf(text::kReportUnknownFormula, name));
  std::string value;
  if (!ParseTextLiteral(text, value)) return Fail(Printf(text::kReportBadTitle, name));
  if (name == kTitleFormula) state_->title = value;
  state_->checked = false;
  return true;
}

bool CPrintJob::SetSortField(int n, const std::string& field, int direction) {
  if (n != 0 || direction != 1) return Fail(Printf(text::kReportBadSortField, field));
  state_->sortField = field;
  state_->checked = false;
  return true;
}

bool CPrintJob::SetSelectionFormula(const std::string& text) {
  std::string problem;
  if (!state_->formula.Parse(text, problem)) return Fail(QString::fromStdString(problem));
  state_->checked = false;
  return true;
}

bool CPrintJob::Check() {
  for (std::size_t n = 0; n < state_->locations.size(); ++n) {
    if (state_->locations[n].empty()) {
      return Fail(Printf(text::kReportNoLocation, state_->layout.tables[n]));
    }
  }
  std::string problem;
  try {
    if (!ReadReportRows(state_->locations.front(), state_->formula, state_->sortField,
                        state_->layout.cues, state_->rows, problem)) {
      return Fail(QString::fromStdString(problem));
    }
  } catch (const dao::DaoException& failure) {
    return Fail(QString::fromUtf8(failure.what()));
  }
  state_->checked = true;
  error_.clear();
  return true;
}

void CPrintJob::OutputToWindow(const QString& title, QWidget* parent) {
  state_->windowTitle = title;
  state_->parent = parent;
}

void CPrintJob::Start() {
  assert(state_->checked);
  CReportPreviewDlg preview(*this, state_->windowTitle, state_->parent);
  Ui().RunModal(preview);
}

int CPrintJob::Paint(QPagedPaintDevice& device) const {
  assert(state_->checked);
  return PaintReport(device, state_->layout, state_->rows, QString::fromStdString(state_->title));
}

std::size_t CPrintJob::RowCount() const { return state_->rows.rows.size(); }

}  // namespace vx::report
