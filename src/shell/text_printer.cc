// Printing the text of a document.
#include "shell/text_printer.h"

#include <QCoreApplication>
#include <QTextDocument>
#include <QtPrintSupport>

#include "shell/dialogs.h"

namespace marvolen {

TextPrinter::TextPrinter(DialogProvider& dialogs, QWidget* parent)
    : dialogs_(dialogs), parent_(parent) {}

TextPrinter::~TextPrinter() = default;

QPrinter& TextPrinter::printer() {
  if (printer_ == nullptr) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void TextPrinter::Print(QTextDocument* text) {
  QPrintDialog dialog(&printer(), parent_);
  if (dialogs_.RunModal(&dialog) == QDialog::Accepted) text->print(&printer());
}

void TextPrinter::Preview(QTextDocument* text, const QString& name) {
  QPrintPreviewDialog preview(&printer(), parent_);
  preview.setWindowTitle(QCoreApplication::translate("TextPrinter", "%1 - 打印预览").arg(name));
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, text,
                   [text](QPrinter* p) { text->print(p); });
  dialogs_.RunModal(&preview);
}

void TextPrinter::SetUpPage() {
  // The page setup dialog works on a system printer only; without one there
  // is nothing to set up (printing can still go to a PDF file).
  if (printer().outputFormat() != QPrinter::NativeFormat &&
      QPrinterInfo::availablePrinterNames().isEmpty())
    return dialogs_.ShowMessage(
        parent_,
        QCoreApplication::translate("TextPrinter",
                                    "尚未安装打印机。\n打印时可以选择打印到 PDF 文件。"),
        MessageIcon::kWarning);
  printer().setOutputFormat(QPrinter::NativeFormat);
  QPageSetupDialog dialog(&printer(), parent_);
  dialog.setWindowTitle(QCoreApplication::translate("TextPrinter", "打印设置"));
  dialogs_.RunModal(&dialog);
}

}  // namespace marvolen
