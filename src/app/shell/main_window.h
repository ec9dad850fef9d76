// The main window: the three tab pages and, below them, the boxes that act on
// the whole program and on the line. It lives for the whole run; closing it
// ends the run.
#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>
#include <optional>
#include <string_view>

#include "app/shell/job_prompts_adapter.h"
#include "app/shell/main_window_controls.h"
#include "app/shell/page_hooks.h"
#include "app/shell/queued_observer.h"
#include "core/session/jobs.h"
#include "core/shell/port_discovery.h"

namespace lumera {

class Prompts;
struct Workspace;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // `settings_path` is where the settings file lives (none: the run keeps
  // no settings). `ports` is the discovered port list. With
  // `command_line_file` the editor page loads ProgramFileName as it is
  // created.
  MainWindow(Workspace& workspace, TransferJob& job, Prompts& prompts,
             std::optional<std::filesystem::path> settings_path,
             const PortList& ports, bool command_line_file,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // Pages fill these in; the window calls them.
  PageHooks& hooks() { return hooks_; }
  const MainWindowControls& controls() const { return controls_; }
  // The control with the given resource id, or null.
  QWidget* Control(int control_id) const;
  QWidget* Page(int tab_index) const;
  TransferObserver& observer() { return observer_; }

  // Brings every status field up to date from the working values.
  void RefreshMainStatus();
  // Pobierz:N, Wyślij:N and Drukuj:N for the editor's current segment.
  void SetSegmentCaptions();
  void SetStatusLine(const QString& text);
  // Message box "INFO" with a warning icon.
  void ShowWarning(const QString& text);
  // The open or save dialog with the program file load or save behind it.
  bool ChooseProgramFile(bool save);
  // Shows the controller's error report when one is pending (once).
  bool ShowPendingErrorReport();
  // Switches tabs as a click on the tab would.
  void SelectTab(int tab_index);

  // The worker's calls, carried out on this thread (see QueuedObserver).
  void SetProgressRange(int maximum);
  void StepProgress();
  void ResetProgress();
  void ApplyReply(const ReplyRecord& record);
  void PostProcess(const ReplyRecord& record);
  void LoadSegmentIntoGrid();
  void RefreshConfigPage();
  void ShowControllerPosition(int segment_index, int command_index);
  // Why the port failed, as the status line's tooltip (the line keeps the
  // system's own text).
  void ShowPortFailure(const PortFailure& failure);
  void OnJobFinished(bool succeeded);

  // The build stamp: "Mmm dd yyyy / hh:mm:ss".
  static QString BuildStamp();

 signals:
  void jobFinished(bool succeeded);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateTabPages(bool command_line_file);
  void LoadCommandLineFile();
  void ConnectControls();
  void ConnectJobButton(QWidget* button, bool (MainWindow::*start)());
  void OnTabChanged(int index);
  void RefreshPage(int tab_index);
  void ReadNumberField(QObject* field);
  void PushLineValues();
  bool QueueHoldsRequests() const;
  LinkContext Context();
  EditorSide Editor() const;

  // Commands.
  void OnLoadFile();
  void OnSaveFile();
  void OnPortChosen(int index);
  void OnRadioOption(bool checked);
  bool StartDownloadAll();
  bool StartDownloadSegment();
  bool StartUploadAll();
  bool StartUploadSegment();
  bool StartVerifyAll();
  bool StartVerifySegment();
  bool StartRestart();
  bool StartErrorReport();
  bool StartReadConfig();
  bool StartWriteConfig();
  bool StartDefaults(bool configuration_only);
  bool StartRadioResetJob();

  Workspace& workspace_;
  TransferJob& job_;
  Prompts& prompts_;
  std::optional<std::filesystem::path> settings_path_;
  PortList ports_;
  PageHooks hooks_;
  JobPromptsAdapter job_prompts_;
  QueuedObserver observer_;
  MainWindowControls controls_;
  int shown_tab_ = -1;
  bool closing_ = false;
};

}  // namespace lumera
