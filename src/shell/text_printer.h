// Printing the text of a document: the print dialog, the preview and the
// page setup, all on one printer kept while the workbench runs.
#ifndef MARVOLEN_SHELL_TEXT_PRINTER_H_
#define MARVOLEN_SHELL_TEXT_PRINTER_H_

#include <QString>
#include <memory>

class QPrinter;
class QTextDocument;
class QWidget;

namespace marvolen {

class DialogProvider;

class TextPrinter {
 public:
  // The dialogs show over `parent`, run through `dialogs`.
  TextPrinter(DialogProvider& dialogs, QWidget* parent);
  ~TextPrinter();
  TextPrinter(const TextPrinter&) = delete;
  TextPrinter& operator=(const TextPrinter&) = delete;

  // Print `text` once the print dialog is accepted.
  void Print(QTextDocument* text);
  // Show `text` as it would print, the window titled after `name`.
  void Preview(QTextDocument* text, const QString& name);
  // The page setup dialog (a system printer's).
  void SetUpPage();

 private:
  QPrinter& printer();

  DialogProvider& dialogs_;
  QWidget* parent_;
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_TEXT_PRINTER_H_
