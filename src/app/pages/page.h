// A tab page of the main window. The window holds its pages through this
// interface only: it shows and hides them, runs their refresh when their tab
// is left or entered, and tells them when a program file was loaded or
// saved. (The editor's grid is written back through the job launcher's
// CommitGrid; the other pages take every value into the workspace as it is
// typed.)
#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>

namespace lumera {

class JobLauncher;
class PageEvents;
class Prompts;
struct PortList;
struct Workspace;

// What a page works with; it reaches jobs only through `launcher`, the
// window and the other pages only through `events`.
struct PageContext {
  Workspace& workspace;
  JobLauncher& launcher;
  Prompts& prompts;
  PageEvents& events;
  // Where the settings file lives (none: the run keeps no settings).
  const std::optional<std::filesystem::path>& settings_path;
  // The ports discovered as the window was made.
  const PortList& ports;
};

class Page : public QWidget {
 public:
  Page(int dialog_id, const char* object_name, const QString& title,
       QWidget* parent);

  // The refresh its tab runs when it is left and when it is entered.
  virtual void RefreshOnTabChange() = 0;
  // A program file was loaded into the workspace, or saved from it.
  virtual void ProgramLoaded() {}
  virtual void ProgramSaved() {}
  // The window closes with no job running: what the page holds and has not
  // yet kept may be kept now (after the program's own question). False
  // keeps the window open: what was to be kept could not be.
  virtual bool WindowClosing() { return true; }
  // The window closes, a job of its own running or not: a job the page
  // runs itself ends now, as its "Przerwij" ends it, before the window goes.
  virtual void EndJobs() {}

  // The page's control with the given resource id, or null.
  QWidget* Control(int control_id) const;
};

inline constexpr int kPageCount = 4;

// Makes the page of tab `tab_index` (0..3) in `parent`, the window's page
// area. The window makes them one by one in tab order, as each page's
// creation may rely on the one before.
using PageFactory =
    std::function<Page*(int tab_index, PageContext& context, QWidget* parent)>;

}  // namespace lumera
