#include "app/shell/application_setup.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "app/resources/app_resources.h"
#include "app/resources/image_names.h"
#include "app/shell/polish_translation.h"

namespace lumera {

namespace {

// Windows names its dialog font after a face it ships (Segoe UI, Tahoma);
// where that face is missing, as under wine, Qt falls back to a serif face.
// The first sans face present, at the system's size, keeps the window's
// look.
void UseSansFont(QApplication& app) {
#ifdef Q_OS_WIN
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("Segoe UI"), QStringLiteral("Tahoma"),
                    QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
  app.setFont(font);
#else
  (void)app;
#endif
}

}  // namespace

void SetUpApplication(QApplication& app, QTranslator& translator) {
  app.setApplicationName(QStringLiteral("lumera"));
  UseSansFont(app);
  RegisterAppResources();
  app.setWindowIcon(QIcon(QString::fromLatin1(kProgramIconImage)));
  InstallPolishTranslation(app, translator);
}

void ShowCentred(QWidget& window) {
  // The layout may widen the window to what its pages need: centre the
  // size it will show at, not the one asked for.
  if (QLayout* layout = window.layout()) layout->activate();
  if (const QScreen* screen = window.screen()) {
    const QRect available = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(available.center());
    // On a screen smaller than the window its title bar and left edge stay
    // on the screen, where they can be reached.
    frame.moveTopLeft({std::max(frame.left(), available.left()),
                       std::max(frame.top(), available.top())});
    window.move(frame.topLeft());
  }
  window.show();
}

}  // namespace lumera
