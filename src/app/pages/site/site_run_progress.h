// A progress bar for each line of a site run: how many of its controllers
// are done, which one is being served, how many failed.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "core/site/run/site_rows.h"

class QProgressBar;
class QVBoxLayout;

namespace lumera {

class SiteRunProgress : public QWidget {
 public:
  explicit SiteRunProgress(QWidget* parent);

  // A bar for each line (by its index in the site) with controllers in the
  // run; the rest show none.
  void Reset(const std::vector<std::string>& names,
             const std::vector<SiteLineProgress>& start);
  void Show(std::size_t line, const SiteLineProgress& progress);
  // The bar of line `line`, or null.
  QProgressBar* Bar(std::size_t line) const;

 private:
  QVBoxLayout* layout_;
  std::vector<std::string> names_;
  std::vector<QProgressBar*> bars_;
};

}  // namespace lumera
