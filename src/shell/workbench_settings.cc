// The workbench's settings, kept in config.ini.
#include "shell/workbench_settings.h"

#include <QString>
#include <QStringList>
#include <optional>

#include "ini/profile.h"
#include "ini/profile_update.h"

namespace marvolen {

namespace {

const char kSection[] = "Workbench";

// A whole number, or nullopt when the text is anything else.
std::optional<int> Number(const QString& text) {
  bool ok = false;
  const int n = text.trimmed().toInt(&ok);
  return ok ? std::optional<int>(n) : std::nullopt;
}

std::string Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

void WorkbenchSettings::Read(const std::string& profilePath) {
  const Profile profile = Profile::Load(profilePath);
  auto value = [&](const char* key) {
    return QString::fromStdString(profile.GetString(kSection, key));
  };
  layout = WorkbenchLayout();
  const QStringList place = value("MainWindow").split(QLatin1Char(','));
  std::optional<int> n[4];
  for (int i = 0; i < 4 && place.size() == 4; ++i) n[i] = Number(place[i]);
  if (n[0] && n[1] && n[2] && n[3] && *n[2] > 0 && *n[3] > 0)
    layout.mainWindow = QRect(*n[0], *n[1], *n[2], *n[3]);
  layout.mainWindowMaximized = value("MainWindowMaximized") == QLatin1String("1");
  layout.documentWindowsMaximized = value("DocumentWindowsMaximized") == QLatin1String("1");
  layout.htmlReport = value("HtmlReport") == QLatin1String("1");
  layout.csvTable = value("CsvTable") == QLatin1String("1");
  if (const auto size = Number(value("PointSize"));
      size && *size >= kMinPointSize && *size <= kMaxPointSize)
    layout.pointSize = *size;
  layout.parsePaneShown = value("ParsePane") == QLatin1String("1");
  if (const auto width = Number(value("ParsePaneWidth")); width && *width > 0 && *width < 10000)
    layout.parsePaneWidth = *width;
  if (const auto zoom = Number(value("TreeZoom")); zoom && *zoom >= 25 && *zoom <= 400)
    layout.treeZoomPercent = *zoom;
  stored_ = layout;
}

bool WorkbenchSettings::Write(const std::string& profilePath, std::string* error) {
  if (layout == stored_) return true;
  const QRect& r = layout.mainWindow;
  std::vector<ProfileKeyUpdate> updates = {
      {"MainWindow", r.isValid() ? std::optional<std::string>(QStringLiteral("%1,%2,%3,%4")
                                                                  .arg(r.x())
                                                                  .arg(r.y())
                                                                  .arg(r.width())
                                                                  .arg(r.height())
                                                                  .toStdString())
                                 : std::nullopt},
      {"MainWindowMaximized", Flag(layout.mainWindowMaximized)},
      {"DocumentWindowsMaximized", Flag(layout.documentWindowsMaximized)},
      {"PointSize", layout.pointSize > 0
                        ? std::optional<std::string>(std::to_string(layout.pointSize))
                        : std::nullopt},
      {"HtmlReport", Flag(layout.htmlReport)},
      {"CsvTable", Flag(layout.csvTable)},
      {"ParsePane", Flag(layout.parsePaneShown)},
      {"ParsePaneWidth", layout.parsePaneWidth > 0
                             ? std::optional<std::string>(std::to_string(layout.parsePaneWidth))
                             : std::nullopt},
      {"TreeZoom", std::to_string(layout.treeZoomPercent)},
  };
  if (!UpdateProfileFile(profilePath, kSection, updates, error)) return false;
  stored_ = layout;
  return true;
}

}  // namespace marvolen
