// The site's journal as a list, newest first: every line it keeps (a run's
// start, a controller's write begun, its outcome) in words, to be narrowed
// to one line and one controller. A run's start stays in sight under any
// filter, so that the lines below it are known as that run's.
#pragma once

#include <QWidget>

#include "core/site/run/site_installation.h"

class QComboBox;
class QLabel;
class QTreeWidget;

namespace lumera {

class SiteJournalPanel : public QWidget {
 public:
  explicit SiteJournalPanel(QWidget* parent);

  // The journal read anew; the filters stay where they are while their
  // line and controller are still in it.
  void Show(const SiteJournalView& journal);
  void Clear();

 private:
  void Filter();

  QComboBox* line_filter_;
  QComboBox* controller_filter_;
  QTreeWidget* list_;
  QLabel* unreadable_;
};

}  // namespace lumera
