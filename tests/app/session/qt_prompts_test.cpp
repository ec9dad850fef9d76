// The real message boxes and file dialogs behind Prompts: captions, icons,
// buttons in Polish, and which answer each button gives.
#include "app/session/qt_prompts.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QTranslator>
#include <QtTest>
#include <functional>

#include "app/shell/polish_translation.h"

namespace lumera {
namespace {

// Runs `check` on the modal window once it is open, then lets it answer.
void WhenModalOpens(std::function<void(QWidget*)> check) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, check] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      check(modal);
    }
  });
  timer->start();
}

QAbstractButton* ButtonWithText(QMessageBox* box, const QString& text) {
  for (QAbstractButton* button : box->buttons()) {
    if (button->text().remove('&') == text) return button;
  }
  return nullptr;
}

class QtPromptsTest : public QObject {
  Q_OBJECT

 private:
  QTranslator polish_;

 private slots:
  void initTestCase() { QVERIFY(InstallPolishTranslation(*qApp, polish_)); }

  void PrintDialogOffersOneCopyAndNoPageRange() {
#ifdef _WIN32
    QSKIP("the print dialog is the system's own window there, not a widget");
#endif
    QWidget owner;
    QtPrompts prompts(&owner);
    QPrinter printer;
    printer.setCopyCount(3);
    printer.setPrintRange(QPrinter::PageRange);
    bool checked = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* dialog = qobject_cast<QPrintDialog*>(modal);
      QVERIFY(dialog);
      QVERIFY(!dialog->testOption(QAbstractPrintDialog::PrintPageRange));
      QCOMPARE(printer.copyCount(), 1);
      QCOMPARE(printer.printRange(), QPrinter::AllPages);
      checked = true;
      dialog->reject();
    });
    QVERIFY(!prompts.ChoosePrinter(printer));
    QVERIFY(checked);
  }

  void QuestionsAnswerByTheirButtons_data() {
    QTest::addColumn<bool>("yes_no");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<bool>("answer");
    QTest::newRow("Tak") << true << "Tak" << QStringList{"Tak", "Nie"} << true;
    QTest::newRow("Nie") << true << "Nie" << QStringList{"Tak", "Nie"} << false;
    QTest::newRow("OK") << false << "OK" << QStringList{"OK", "Anuluj"} << true;
    QTest::newRow("Anuluj")
        << false << "Anuluj" << QStringList{"OK", "Anuluj"} << false;
  }
  void QuestionsAnswerByTheirButtons() {
    QFETCH(bool, yes_no);
    QFETCH(QString, press);
    QFETCH(QStringList, buttons);
    QFETCH(bool, answer);
    QWidget owner;
    QtPrompts prompts(&owner);
    bool checked = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box);
      QCOMPARE(box->windowTitle(), QStringLiteral("    Wprowadzono zmiany:"));
      QCOMPARE(box->text(), QStringLiteral("Zapisac do pliku ?"));
      QCOMPARE(box->icon(), QMessageBox::Question);
      QStringList texts;
      for (QAbstractButton* button : box->buttons()) {
        texts << button->text().remove('&');
      }
      texts.sort();
      QStringList expected = buttons;
      expected.sort();
      QCOMPARE(texts, expected);
      checked = true;
      ButtonWithText(box, press)->click();
    });
    const QString caption = QStringLiteral("    Wprowadzono zmiany:");
    const QString text = QStringLiteral("Zapisac do pliku ?");
    const bool result = yes_no ? prompts.AskYesNo(caption, text)
                               : prompts.AskOkCancel(caption, text);
    QVERIFY(checked);
    QCOMPARE(result, answer);
  }

  void WarningHasWarningIcon() {
    QtPrompts prompts;
    bool checked = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box);
      QCOMPARE(box->windowTitle(), QStringLiteral("INFO"));
      QCOMPARE(box->icon(), QMessageBox::Warning);
      QCOMPARE(box->buttons().size(), qsizetype{1});
      checked = true;
      box->buttons().front()->click();
    });
    prompts.Warn(QStringLiteral("INFO"), QStringLiteral("uwaga"));
    QVERIFY(checked);
  }

  void FileDialogsFollowTheRequest_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("accept");
    QTest::newRow("save, chosen") << true << true;
    QTest::newRow("save, cancelled") << true << false;
    QTest::newRow("open, chosen") << false << true;
    QTest::newRow("open, cancelled") << false << false;
  }
  void FileDialogsFollowTheRequest() {
    QFETCH(bool, save);
    QFETCH(bool, accept);
    QTemporaryDir dir;
    QFile existing(dir.filePath("stary.prg"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();

    QtPrompts prompts;
    FileDialogRequest request;
    request.title = QStringLiteral("Wybór pliku do zapisu:");
    request.filters = {QStringLiteral("Pliki Programów (*.prg)"),
                       QStringLiteral("All Files (*.*)")};
    request.start_name = dir.filePath(save ? "nowy" : "stary.prg");
    request.default_suffix = QStringLiteral("prg");
    bool checked = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      QVERIFY(dialog);
      QCOMPARE(dialog->windowTitle(), request.title);
      QCOMPARE(dialog->nameFilters(), request.filters);
      QCOMPARE(dialog->defaultSuffix(), QStringLiteral("prg"));
      QCOMPARE(dialog->acceptMode(),
               save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
      QCOMPARE(dialog->fileMode(),
               save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
      QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
      checked = true;
      if (accept) {
        QMetaObject::invokeMethod(dialog, "accept");
      } else {
        dialog->reject();
      }
    });
    const std::optional<QString> chosen = save
                                              ? prompts.ChooseSaveFile(request)
                                              : prompts.ChooseOpenFile(request);
    QVERIFY(checked);
    QCOMPARE(chosen.has_value(), accept);
    if (accept) {
      // The extension is added when none was typed.
      QCOMPARE(*chosen, dir.filePath(save ? "nowy.prg" : "stary.prg"));
    }
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::QtPromptsTest)
#include "qt_prompts_test.moc"
