// What a page tells the window and the other pages, as Qt signals: the pages
// never reach each other or the frame that holds them directly. The main
// window owns it and connects what concerns it.
#pragma once

#include <QObject>
#include <QString>

namespace lumera {

class PageEvents : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

 signals:
  // The configuration page was refreshed: the outputs page's refresh follows.
  void configPageRefreshed();
  // The editor's tab was entered or left: its refresh is the main window's
  // status fields.
  void editorTabChanged();
  // The editor page shows another segment (CurrentSegment has changed): the
  // per-segment captions follow.
  void segmentShown();
  // A page's own text for the status line.
  void statusText(const QString& text);
};

}  // namespace lumera
