// The main window: the frame around the three tab pages and, below them, the
// boxes that act on the whole program and on the line. It lives for the
// whole run; closing it ends the run.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "app/pages/page.h"
#include "app/pages/page_events.h"
#include "app/print/print_listing.h"
#include "app/session/job_launcher.h"
#include "app/shell/main_window_controls.h"
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
  // created. `pages` makes the tab pages (tests give their own).
  MainWindow(Workspace& workspace, TransferJob& job, Prompts& prompts,
             std::optional<std::filesystem::path> settings_path,
             const PortList& ports, bool command_line_file,
             PageFactory pages = nullptr, QWidget* parent = nullptr);
  ~MainWindow() override;

  const MainWindowControls& controls() const { return controls_; }
  // The control with the given resource id, or null. The pages number their
  // controls on their own, so an id may also belong to a page's control:
  // the window's own comes first, then the pages' in tab order.
  QWidget* Control(int control_id) const;
  Page* PageAt(int tab_index) const;
  JobLauncher& launcher() { return launcher_; }

  // Brings every status field up to date from the working values.
  void RefreshMainStatus();
  // Pobierz:N, Wyślij:N and Drukuj:N for the editor's current segment.
  void SetSegmentCaptions();
  void SetStatusLine(const QString& text);
  // The open or save dialog with the program file load or save behind it.
  bool ChooseProgramFile(bool save);
  // Switches tabs as a click on the tab would.
  void SelectTab(int tab_index);
  // What "Drukuj:N" (false) and "DRUKUJ" (true) print.
  void SetPrintListing(std::function<void(bool all_segments)> print);

  // The build stamp: "Mmm dd yyyy / hh:mm:ss".
  static QString BuildStamp();

 signals:
  void jobFinished(bool succeeded);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Asks for a printer and prints the scope; a printer that refuses a step
  // gets the printout's warning in a message box ("INFO").
  void PrintListing(PrintScope scope);
  void CreateTabPages(bool command_line_file, const PageFactory& pages);
  void LoadCommandLineFile();
  // The status line says when a loaded program file was not 7714 bytes.
  void ShowLoadedSize(std::uintmax_t size);
  void ConnectControls();
  void ConnectWorkerEvents();
  void OnTabChanged(int index);
  void ReadNumberField(QObject* field);

  // Commands.
  void OnLoadFile();
  void OnSaveFile();
  void OnPortChosen(int index);
  void OnRadioOption(bool checked);

  // Worker events.
  void SetProgressRange(int maximum);
  void StepProgress();
  // Why the port failed, as the status line's tooltip (the line keeps the
  // system's own text).
  void ShowPortFailure(const PortFailure& failure);

  Workspace& workspace_;
  Prompts& prompts_;
  std::optional<std::filesystem::path> settings_path_;
  PortList ports_;
  JobLauncher launcher_;
  PageEvents page_events_;
  PageContext page_context_;
  MainWindowControls controls_;
  std::array<Page*, kPageCount> pages_{};
  std::function<void(bool)> print_listing_;
  int shown_tab_ = -1;
  bool closing_ = false;
};

}  // namespace lumera
