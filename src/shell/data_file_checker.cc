// Marking the faults of the data files in their editors.
#include "shell/data_file_checker.h"

#include <QPointer>
#include <optional>

#include "run/data_lint.h"
#include "run/run.h"
#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/document_manager.h"
#include "shell/document_window.h"
#include "shell/file_io.h"
#include "shell/pane_grammar.h"

namespace marvolen {

DataFileChecker::DataFileChecker(std::string startupDir, DocumentManager* documents,
                                 QObject* parent)
    : QObject(parent), startupDir_(std::move(startupDir)), documents_(documents) {
  delay_.setSingleShot(true);
  delay_.setInterval(kDelay);
  connect(&delay_, &QTimer::timeout, this, &DataFileChecker::Check);
  // A document saved under another name, opened or closed.
  connect(documents_, &DocumentManager::changed, this, [this] {
    dataFiles_ = DataFiles();
    Schedule();
  });
  dataFiles_ = DataFiles();
}

QStringList DataFileChecker::DataFiles() const {
  const RunConfig config = ReadRunConfig(ProfilePathFor(startupDir_));
  return {ConfiguredPath(startupDir_, config.tags), ConfiguredPath(startupDir_, config.rules),
          ConfiguredPath(startupDir_, config.sequences)};
}

bool DataFileChecker::IsDataFile(const Document* document) const {
  for (const QString& file : dataFiles_)
    if (SameFile(document->path(), file)) return true;
  return false;
}

void DataFileChecker::Watch(DocumentWindow* window) {
  const QPointer<Document> document = window->document();
  connect(document->text(), &QTextDocument::contentsChanged, this, [this, document] {
    if (document != nullptr && IsDataFile(document)) Schedule();
  });
  Schedule();
}

void DataFileChecker::Schedule() { delay_.start(); }

void DataFileChecker::Check() {
  delay_.stop();
  const RunConfig config = ReadRunConfig(ProfilePathFor(startupDir_));
  dataFiles_ = DataFiles();
  const QList<DocumentWindow*> windows = documents_->windows();
  // Each file as its document holds it, else as on disk; nothing when it
  // cannot be read (its text has a character GBK cannot hold).
  auto text = [&](const QString& path) -> std::optional<std::string> {
    if (path.isEmpty()) return std::nullopt;
    for (const DocumentWindow* window : windows) {
      if (SameFile(window->document()->path(), path)) {
        QString error;
        return window->document()->Bytes(&error);
      }
    }
    std::string bytes;
    QString error;
    if (!ReadFileBytes(path, Document::kMaxFileSize, &bytes, &error)) return std::nullopt;
    return bytes;
  };
  const std::vector<DataDiagnostic> diagnostics =
      CheckDataTexts(text(dataFiles_[0]), text(dataFiles_[2]), text(dataFiles_[1]),
                     ThreeItemsOnlyFor(config.itemLength));
  const DataFile kinds[] = {DataFile::kTags, DataFile::kRules, DataFile::kSequences};
  for (DocumentWindow* window : windows) {
    QList<LineNote> notes;
    for (int k = 0; k < 3; ++k) {
      if (!SameFile(window->document()->path(), dataFiles_[k])) continue;
      for (const DataDiagnostic& d : diagnostics)
        if (d.file == kinds[k]) notes.append({d.line, QString::fromStdString(d.text)});
      break;
    }
    if (!notes.isEmpty() || !window->editor()->notes().isEmpty()) window->SetNotes(notes);
  }
  emit checked();
}

}  // namespace marvolen
