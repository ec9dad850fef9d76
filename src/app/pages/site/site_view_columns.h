// How the site page's tables look: alternate rows, and each column wide
// enough for its usual text and its heading.
#pragma once

#include <QHeaderView>
#include <QWidget>
#include <algorithm>
#include <initializer_list>

#include "app/widgets/control_tag.h"

namespace lumera {

template <typename View>
View* TableLike(QWidget* parent, int id, const char* object_name,
                const QString& name) {
  auto* view = Tag(new View(parent), id, object_name, name);
  view->setAlternatingRowColors(true);
  return view;
}

// Each column wide enough for `letters` characters and for its heading.
inline void FitColumns(const QWidget* view, QHeaderView* header,
                       std::initializer_list<int> letters) {
  int column = 0;
  for (const int count : letters) {
    const QString heading =
        header->model()->headerData(column, Qt::Horizontal).toString();
    header->resizeSection(
        column,
        std::max(count * view->fontMetrics().averageCharWidth(),
                 header->fontMetrics().horizontalAdvance(heading) + 24));
    ++column;
  }
}

}  // namespace lumera
